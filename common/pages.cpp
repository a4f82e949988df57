// pages: large tables in huge pages.
#include "pages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>

bool grow_pages(void *&block, std::size_t &bytes, std::size_t want)
{
	if (want <= bytes)
		return true;
	if (want < huge_page) {
		void *grown = std::realloc(block, want);
		if (!grown)
			return false;
		std::memset(static_cast<char *>(grown) + bytes, 0, want - bytes);
		block = grown;
		bytes = want;
		return true;
	}
	std::size_t size = (want + huge_page - 1) / huge_page * huge_page;
	void *m = mmap(nullptr, size + huge_page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
	if (m == MAP_FAILED)
		return false;
	auto start = reinterpret_cast<std::uintptr_t>(m);
	std::uintptr_t aligned = (start + huge_page - 1) / huge_page * huge_page;
	if (aligned > start)
		munmap(m, aligned - start);
	if (aligned + size < start + size + huge_page)
		munmap(reinterpret_cast<void *>(aligned + size), start + huge_page - aligned);
	void *fresh = reinterpret_cast<void *>(aligned);
	advise_huge_pages(fresh, size);
	bool moved = bytes >= huge_page &&
		     mremap(block, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED, fresh) != MAP_FAILED;
	if (block && !moved) {
		std::memcpy(fresh, block, bytes);
		release_pages(block, bytes);
	}
	block = fresh;
	bytes = size;
	return true;
}

void release_pages(void *block, std::size_t bytes)
{
	if (bytes < huge_page)
		std::free(block);
	else
		munmap(block, bytes);
}

void advise_huge_pages(void *p, std::size_t n)
{
#if defined(MADV_HUGEPAGE)
	auto from = (reinterpret_cast<std::uintptr_t>(p) + huge_page - 1) & ~(huge_page - 1);
	auto to = (reinterpret_cast<std::uintptr_t>(p) + n) & ~(huge_page - 1);
	if (to > from)
		madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#else
	(void)p;
	(void)n;
#endif
}
