// The extension tags a file documents in HEAD.SCHMA, and the standard structures they relocate.
#include "rules7_internal.h"
#include "rules7_tables.h"

#include <cstring>

namespace rules7 {

static constexpr std::string_view terms_prefix = "https://gedcom.io/terms/v7/";

// Records cannot be relocated, so only substructure types count.
static int standard_type_of(std::string_view uri)
{
	if (!uri.starts_with(terms_prefix))
		return -1;
	uri.remove_prefix(terms_prefix.size());
	for (std::size_t i = 1; i < structures7.size(); ++i)
		if (structures7[i].name == uri && !uri.starts_with("record-"))
			return static_cast<int>(i);
	return -1;
}

// A tag too long to keep, or one past the table's end, stays undocumented: it is then
// accepted as any extension is, only without its standard structure's checks.
void note_documented(checker7 &c, std::string_view definition)
{
	std::size_t sp = definition.find(' ');
	std::string_view tag = definition.substr(0, sp);
	if (c.documented_count == documented_tags7 || tag.size() > documented_tag_bytes7)
		return;
	documented7 &d = c.documented[c.documented_count++];
	std::memcpy(d.tag.data(), tag.data(), tag.size());
	d.length = static_cast<std::uint8_t>(tag.size());
	d.type = static_cast<std::int16_t>(standard_type_of(definition.substr(sp + 1)));
}

int documented_type(const checker7 &c, std::string_view tag)
{
	for (int i = 0; i < c.documented_count; ++i) {
		const documented7 &d = c.documented[i];
		if (d.length == tag.size() && std::memcmp(d.tag.data(), tag.data(), tag.size()) == 0)
			return d.type;
	}
	return -1;
}

} // namespace rules7
