// A list that grows with the file. The records, links and findings of a file have no bound
// that a fixed table could hold, so they live in memory asked for as the file is read.
#pragma once

#include "pages.h"

#include <cstddef>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

template <typename T>
struct grow_list {
	static_assert(std::is_trivially_copyable_v<T>);
	T *items = nullptr;
	std::size_t size = 0;
	std::size_t capacity = 0;
	std::size_t bytes = 0; // of its block

	constexpr grow_list() = default;
	grow_list(const grow_list &) = delete;
	grow_list &operator=(const grow_list &) = delete;
	grow_list(grow_list &&other) noexcept { swap(other); }
	grow_list &operator=(grow_list &&other) noexcept
	{
		grow_list gone(std::move(other));
		swap(gone);
		return *this;
	}
	~grow_list() { release_pages(items, bytes); }

	void swap(grow_list &other) noexcept
	{
		std::swap(items, other.items);
		std::swap(size, other.size);
		std::swap(capacity, other.capacity);
		std::swap(bytes, other.bytes);
	}
	T &operator[](std::size_t i) { return items[i]; }
	const T &operator[](std::size_t i) const { return items[i]; }
};

// False when the system has no more memory; the list is then unchanged.
template <typename T>
bool grow_to(grow_list<T> &list, std::size_t n)
{
	if (n <= list.capacity)
		return true;
	std::size_t want = list.capacity < 1024 ? 1024 : list.capacity;
	while (want < n)
		want *= 2;
	void *block = list.items;
	if (!grow_pages(block, list.bytes, want * sizeof(T)))
		return false;
	list.items = static_cast<T *>(block);
	list.capacity = list.bytes / sizeof(T);
	return true;
}

// An empty list made `n` items long, every byte zero. Only what it held before is cleared:
// memory it grows into comes zeroed, and clearing it again would touch every page once more.
template <typename T>
bool grow_zeroed(grow_list<T> &list, std::size_t n)
{
	std::size_t held = list.bytes < n * sizeof(T) ? list.bytes : n * sizeof(T);
	if (!grow_to(list, n))
		return false;
	if (held > 0)
		std::memset(static_cast<void *>(list.items), 0, held);
	list.size = n;
	return true;
}

template <typename T>
bool push(grow_list<T> &list, const T &item)
{
	if (list.size == list.capacity && !grow_to(list, list.size + 1))
		return false;
	list.items[list.size++] = item;
	return true;
}

template <typename T>
std::span<T> entries_of(grow_list<T> &list)
{
	return {list.items, list.size};
}

// Its memory given back at once, not when the list goes.
template <typename T>
void release(grow_list<T> &list)
{
	list = grow_list<T>{};
}
