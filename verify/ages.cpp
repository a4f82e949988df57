// The age grammar of GEDCOM 5.5.1: CHILD, INFANT, STILLBORN, or [< | >] nnny nnm nnnd.
#include "checks551.h"

#include "grammar.h"

namespace {

// One part, "45y": up to `digits` digits and the unit; false when the text there is not one.
bool age_part(std::string_view &v, char unit, std::size_t digits)
{
	std::size_t n = 0;
	while (n < v.size() && n <= digits && v[n] >= '0' && v[n] <= '9')
		++n;
	if (n == 0 || n > digits || n >= v.size() || v[n] != unit)
		return false;
	v.remove_prefix(n + 1);
	while (!v.empty() && is_blank(v.front()))
		v.remove_prefix(1);
	return true;
}

} // namespace

bool age_value_ok(std::string_view value)
{
	std::string_view v = trim_blanks(value);
	for (std::string_view word : {"CHILD", "INFANT", "STILLBORN"})
		if (same_caseless(v, word))
			return true;
	if (!v.empty() && (v.front() == '<' || v.front() == '>')) {
		v.remove_prefix(1);
		while (!v.empty() && is_blank(v.front()))
			v.remove_prefix(1);
	}
	bool any = false;
	any = age_part(v, 'y', 3) || any;
	any = age_part(v, 'm', 2) || any;
	any = age_part(v, 'd', 3) || any;
	return any && v.empty();
}
