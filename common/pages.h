// pages: memory for tables that grow with a file, on huge pages where the system allows.
// Tables looked up all over cost more in misses of the address translation on small pages
// than in misses of memory, and on some virtual machines the first touch of each small page
// costs more than reading the whole file.
#pragma once

#include <cstddef>

inline constexpr std::size_t huge_page = std::size_t{2} << 20;

// Moves `block` of `bytes` (null and 0 at first) to a new one of at least `want` bytes, its
// contents kept and the rest zero, `bytes` becoming its size; false, with nothing changed,
// when the system has no more. A block below a huge page comes from malloc; a larger one is
// mapped apart, aligned to huge pages, and the pages of a mapped block are moved into it,
// not copied: a copy would hold a table twice at the moment it is largest.
bool grow_pages(void *&block, std::size_t &bytes, std::size_t want);
void release_pages(void *block, std::size_t bytes);

// Asks for huge pages under the whole ones of the n bytes at p, memory that is filled a
// page at a time: a few page faults instead of thousands. Nothing changes where they are not
// offered.
void advise_huge_pages(void *p, std::size_t n);
