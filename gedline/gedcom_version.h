// gedcom_version: the GEDCOM version a file declares in its head's GEDC.VERS, found by the lines' levels.
#pragma once

#include "grammar.h"

#include <array>
#include <cstdint>
#include <string_view>

// The families of versions whose rules differ; every version not named reads as five.
enum class gedcom_family : std::uint8_t { five, seven, seven_later };

inline constexpr std::size_t version_text_max = 16;

// The search through the head record, one cut line at a time.
struct version_seek {
	std::uint8_t stage = 0; // before the head, in it, in its GEDC, done
	std::uint64_t line = 0; // of the VERS line, 0 when there is none
	std::array<char, version_text_max> text{};
	std::uint8_t length = 0;
};

// Takes the next line of the file; true once the search is over: the version read, or the
// head record ended without one. A VERS counts only at level 2 under a level-1 GEDC of the
// first HEAD record, so that the VERS of a source's program says nothing.
bool seek_version(version_seek &s, std::uint64_t line, const line_parts &g);

// The version found, as written (blanks at its ends dropped); empty when none was.
std::string_view sought_version(const version_seek &s);

// The version declared by a file whose text (or its start) is `text`, lines cut as the readers cut them.
std::string_view gedcom_version(std::string_view text, version_seek &s);

// 5.5 and 5.5.1 are five, as are a missing and an unknown version; 7.0 and 7.0.x are seven,
// 7.1 and 7.1.x seven_later.
gedcom_family family_of_version(std::string_view version);
