// The texts the viewer hands to others: the shell command that starts tree, and the path to it.
#include "personview.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

static void append_quoted(std::string &to, std::string_view text)
{
	to += '\'';
	for (char c : text) {
		if (c == '\'')
			to += "'\\''";
		else
			to += c;
	}
	to += '\'';
}

// Built on the heap: the path and the number text may be of any length, and both are quoted
// because the number text comes from the GEDCOM file and must never run as shell code.
std::string tree_command(std::string_view path, std::string_view number, std::string_view lineagetree)
{
	std::string command;
	if (lineagetree.empty()) {
		command = "./tree ";
	} else {
		append_quoted(command, lineagetree);
		command += ' ';
	}
	append_quoted(command, path);
	command += ' ';
	append_quoted(command, number);
	command += " &";
	return command;
}

// A tree program of the user's own in the working directory wins; a folder named tree does not.
bool working_directory_has_tree()
{
	struct stat st {};
	return stat("tree", &st) == 0 && S_ISREG(st.st_mode) && access("tree", X_OK) == 0;
}

// lineagetree beside the running personview: its folder from the kernel, else from how it was
// called; called by a bare name it was found on the PATH, and so is lineagetree.
std::string lineagetree_beside(const char *argv0)
{
	std::string self(PATH_MAX, '\0');
	ssize_t n = readlink("/proc/self/exe", self.data(), self.size());
	self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
	if (self.empty() && argv0)
		self = argv0;
	std::size_t slash = self.rfind('/');
	if (slash == std::string::npos)
		return "lineagetree";
	return self.substr(0, slash + 1) + "lineagetree";
}
