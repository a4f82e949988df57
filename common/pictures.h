// The pictures the windows wear, looked up where the user, the installation or the build keeps them.
#pragma once

#include <array>
#include <cstddef>
#include <span>

inline constexpr std::size_t picture_path_size = 4096;

using picture_path = std::array<char, picture_path_size>;

// The path of the picture `name`: the working directory's copy, else the first found in dirs,
// else the name as it is. The path may lie in buf.
const char *find_picture(const char *name, std::span<const char *const> dirs, picture_path &buf);
