// The two borrowed syntaxes of 7.0 payloads: BCP 47 language tags and media types.
#include "rules7_internal.h"

#include <array>

namespace rules7 {

static bool is_alpha(char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

static bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

static bool is_alnum(char c)
{
	return is_alpha(c) || is_digit(c);
}

static bool all_of(std::string_view t, bool (*test)(char))
{
	for (char c : t)
		if (!test(c))
			return false;
	return true;
}

static bool sized(std::string_view t, std::size_t lo, std::size_t hi, bool (*test)(char))
{
	return t.size() >= lo && t.size() <= hi && all_of(t, test);
}

// Tags registered before the present syntax that do not follow it.
static bool is_irregular(std::string_view value)
{
	static constexpr std::array<std::string_view, 17> irregular = {
		"en-GB-oed", "i-ami", "i-bnn", "i-default", "i-enochian", "i-hak", "i-klingon", "i-lux", "i-mingo",
		"i-navajo", "i-pwn", "i-tao", "i-tay", "i-tsu", "sgn-BE-FR", "sgn-BE-NL", "sgn-CH-DE"};
	for (std::string_view t : irregular)
		if (t.size() == value.size()) {
			std::size_t i = 0;
			while (i < t.size() && (t[i] | 0x20) == (value[i] | 0x20))
				++i;
			if (i == t.size())
				return true;
		}
	return false;
}

struct subtags7 {
	std::string_view rest;
	std::string_view now;
	bool more;
};

static void next_subtag(subtags7 &s)
{
	s.more = !s.rest.empty();
	std::size_t dash = s.rest.find('-');
	s.now = s.rest.substr(0, dash);
	s.rest = dash == std::string_view::npos ? std::string_view{} : s.rest.substr(dash + 1);
	if (dash != std::string_view::npos && s.rest.empty())
		s.rest = "-";	// a trailing dash leaves an empty subtag, which nothing accepts
}

// "x" and one or more subtags of 1 to 8 letters and digits; s.now is the "x".
static bool is_private_use(subtags7 &s)
{
	next_subtag(s);
	if (!s.more)
		return false;
	while (s.more) {
		if (!sized(s.now, 1, 8, is_alnum))
			return false;
		next_subtag(s);
	}
	return true;
}

static bool skip_language(subtags7 &s)
{
	if (sized(s.now, 4, 8, is_alpha)) {
		next_subtag(s);
		return true;
	}
	if (!sized(s.now, 2, 3, is_alpha))
		return false;
	next_subtag(s);
	for (int extlang = 0; extlang < 3 && s.more && sized(s.now, 3, 3, is_alpha); ++extlang)
		next_subtag(s);
	return true;
}

static bool is_variant(std::string_view t)
{
	return sized(t, 5, 8, is_alnum) || (t.size() == 4 && is_digit(t[0]) && all_of(t, is_alnum));
}

// What follows the language: script, region, variants, extensions, private use, each in turn.
static bool is_after_language(subtags7 &s)
{
	if (s.more && sized(s.now, 4, 4, is_alpha))
		next_subtag(s);
	if (s.more && (sized(s.now, 2, 2, is_alpha) || sized(s.now, 3, 3, is_digit)))
		next_subtag(s);
	while (s.more && is_variant(s.now))
		next_subtag(s);
	while (s.more && s.now.size() == 1 && is_alnum(s.now[0]) && (s.now[0] | 0x20) != 'x') {
		next_subtag(s);
		if (!s.more || !sized(s.now, 2, 8, is_alnum))
			return false;
		while (s.more && sized(s.now, 2, 8, is_alnum))
			next_subtag(s);
	}
	if (s.more && (s.now == "x" || s.now == "X"))
		return is_private_use(s);
	return !s.more;
}

bool is_language_tag(std::string_view value)
{
	if (is_irregular(value))
		return true;
	subtags7 s = {value, {}, false};
	next_subtag(s);
	if (s.now == "x" || s.now == "X")
		return is_private_use(s);
	return skip_language(s) && is_after_language(s);
}

static bool is_restricted_char(char c)
{
	return is_alnum(c) || std::string_view("!#$&-^_.+").find(c) != std::string_view::npos;
}

static bool is_token_char(char c)
{
	return is_alnum(c) || std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

static bool is_restricted_name(std::string_view t)
{
	return !t.empty() && t.size() <= 127 && is_alnum(t[0]) && all_of(t, is_restricted_char);
}

static std::string_view skip_white(std::string_view t)
{
	while (!t.empty() && (t[0] == ' ' || t[0] == '\t'))
		t.remove_prefix(1);
	return t;
}

// token "=" (token / quoted-string); rest is left after it.
static bool take_parameter(std::string_view &rest)
{
	std::size_t eq = rest.find('=');
	if (eq == std::string_view::npos || eq == 0 || !all_of(rest.substr(0, eq), is_token_char))
		return false;
	rest.remove_prefix(eq + 1);
	std::size_t n = 0;
	if (!rest.empty() && rest[0] == '"') {
		for (n = 1; n < rest.size() && rest[n] != '"'; ++n)
			n += rest[n] == '\\';
		if (n >= rest.size())
			return false;
		rest.remove_prefix(n + 1);
		return true;
	}
	while (n < rest.size() && is_token_char(rest[n]))
		++n;
	rest.remove_prefix(n);
	return n > 0;
}

bool is_media_type(std::string_view value)
{
	std::size_t slash = value.find('/');
	if (slash == std::string_view::npos || !is_restricted_name(value.substr(0, slash)))
		return false;
	std::string_view rest = value.substr(slash + 1);
	std::size_t n = 0;
	while (n < rest.size() && is_restricted_char(rest[n]))
		++n;
	if (!is_restricted_name(rest.substr(0, n)))
		return false;
	rest.remove_prefix(n);
	while (!(rest = skip_white(rest)).empty()) {
		if (rest[0] != ';')
			return false;
		rest = skip_white(rest.substr(1));
		if (!rest.empty() && rest[0] != ';' && !take_parameter(rest))
			return false;
	}
	return true;
}

} // namespace rules7
