// Moves a program's own bytes through user space and nothing more: reads FILE in blocks and
// writes BYTES to standard output, the blocks read and then, should BYTES be larger, them
// again. The floor of a report that reads FILE and writes BYTES.
//
// usage: move FILE BYTES
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::array<char, 1 << 17> block;

bool write_all(const char *p, std::size_t n)
{
	while (n > 0) {
		ssize_t k = write(STDOUT_FILENO, p, n);
		if (k <= 0)
			return false;
		p += k;
		n -= static_cast<std::size_t>(k);
	}
	return true;
}

} // namespace

int main(int argc, char **argv)
{
	int in = argc == 3 ? open(argv[1], O_RDONLY) : -1;
	if (in < 0) {
		std::fputs("usage: move FILE BYTES\n", stderr);
		return 2;
	}
	std::size_t left = std::strtoull(argv[2], nullptr, 10);
	std::size_t last = 0;
	for (ssize_t k; (k = read(in, block.data(), block.size())) > 0;) {
		last = static_cast<std::size_t>(k);
		std::size_t n = last < left ? last : left;
		if (!write_all(block.data(), n))
			return 1;
		left -= n;
	}
	for (; left > 0 && last > 0; left -= left < last ? left : last)
		if (!write_all(block.data(), left < last ? left : last))
			return 1;
	return 0;
}
