// The picture lookup every window shares.
#include "pictures.h"

#include <cstdio>
#include <unistd.h>

// A picture in the working directory wins, so a user can restyle the windows there; otherwise
// the first copy found in dirs is used. When there is none the name comes back unchanged.
const char *find_picture(const char *name, std::span<const char *const> dirs, picture_path &buf)
{
	if (access(name, R_OK) == 0)
		return name;
	for (const char *dir : dirs) {
		int n = std::snprintf(buf.data(), buf.size(), "%s/%s", dir, name);
		if (n > 0 && static_cast<std::size_t>(n) < buf.size() && access(buf.data(), R_OK) == 0)
			return buf.data();
	}
	return name;
}
