// Pieces of the record pages: events with their details, notes, citations and media.
#pragma once

#include "site.h"

#include <cstdint>
#include <string>
#include <string_view>

// Text with its line feeds as line breaks.
void append_text(std::string &out, std::string_view text);

// A note line: its own text, or the note record or shared note it points to.
void append_note(std::string &out, const site_state &site, std::uint32_t line);

// A source citation: the source linked by its title, with its PAGE.
void append_citation(std::string &out, const site_state &site, std::uint32_t line, std::string_view root);

// An event or attribute line as a list item: label, value, type, date, place, age, cause,
// notes and sources.
void append_event(std::string &out, const site_state &site, std::uint32_t line, std::string_view label,
		  std::string_view root);

// The event lines under a record, from `first` to `end`, in date order: those without a
// date stay after the dated event before them.
using event_labels = std::string_view (*)(std::string_view tag);
std::string events_list(const site_state &site, std::uint32_t first, std::uint32_t end, event_labels label,
			std::string_view root);

// A media reference: a link for a relative path or a web address, else the text alone.
void append_media(std::string &out, const site_state &site, std::uint32_t line, std::string_view root);

// The places named under a record's events, for the place index.
std::string_view place_of(const site_state &site, std::uint32_t line);
