// The cross-references of -v as keys: the short ones in the key itself, the others in one text.
#include "findings.h"

grow_list<occurrence> occurrences;
grow_list<char> xref_text;
bool out_of_memory;

std::uint64_t xref_key(std::string_view xref)
{
	std::uint64_t key;
	if (name_key(xref, xref_text, key))
		return key;
	out_of_memory = true;
	return 1;
}

std::string_view key_text(const std::uint64_t &key)
{
	return key_name(key, xref_text);
}
