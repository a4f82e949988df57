// The messages of the lines HEAD lacks and of the doubts, and the closing line on the family trees.
#include "doubts.h"

#include <array>
#include <string>

long long family_trees();

namespace {

// The parts a finding of HEAD's lines names, in the order HEAD writes them.
void print_parts(unsigned missing, const std::array<const char *, 4> &names, FILE *out)
{
	int left = std::popcount(missing);
	for (std::size_t i = 0; i < names.size(); ++i) {
		if (!(missing & (1u << i)))
			continue;
		std::fputs(names[i], out);
		--left;
		std::fputs(left > 1 ? ", " : left == 1 ? " or " : "", out);
	}
}

struct doubt_text {
	const char *format; // the later fact's line, then the other's (the other person's xref between)
	bool names_person;
};

doubt_text text_of(finding_kind kind)
{
	switch (kind) {
	case doubts_death_before_birth: return {"death at line %llu comes before birth at line %llu", false};
	case doubts_burial_before_death: return {"burial or cremation at line %llu comes before death at line %llu", false};
	case doubts_christening_before_birth: return {"christening or baptism at line %llu comes before birth at line %llu", false};
	case doubts_event_after_death: return {"event at line %llu comes more than a year after death at line %llu", false};
	case doubts_long_life: return {"death or burial at line %llu comes more than 120 years after birth at line %llu", false};
	case doubts_mother_young: return {"birth at line %llu: mother @%.*s@, born at line %llu, is under 12", true};
	case doubts_mother_old: return {"birth at line %llu: mother @%.*s@, born at line %llu, is over 60", true};
	case doubts_father_young: return {"birth at line %llu: father @%.*s@, born at line %llu, is under 12", true};
	case doubts_father_old: return {"birth at line %llu: father @%.*s@, born at line %llu, is over 90", true};
	case doubts_after_mother_death: return {"birth at line %llu comes after the death of mother @%.*s@ at line %llu", true};
	case doubts_after_father_death:
		return {"birth at line %llu comes more than ten months after the death of father @%.*s@ at line %llu", true};
	case doubts_before_ancestor: return {"birth at line %llu comes before that of ancestor @%.*s@ at line %llu", true};
	case doubts_married_young: return {"marriage at line %llu: @%.*s@, born at line %llu, is under 12", true};
	case doubts_married_after_death: return {"marriage at line %llu comes after the death of @%.*s@ at line %llu", true};
	default:
		return {"birth at line %llu comes more than 10 days and less than 8 months after that of @%.*s@, of the "
			"same mother, at line %llu", true};
	}
}

} // namespace

void print_missing(const finding &f, FILE *out)
{
	auto missing = static_cast<unsigned>(f.number);
	if (f.kind == finds_head_lines) {
		std::fputs("HEAD without ", out);
		print_parts(missing, {"SOUR", "SUBM", "GEDC", "CHAR"}, out);
	} else {
		std::fputs("GEDC without ", out);
		print_parts(missing >> 4, {"VERS", "FORM", "", ""}, out);
	}
}

void print_doubt(const finding &f, FILE *out)
{
	auto fact = static_cast<unsigned long long>(f.number), other = static_cast<unsigned long long>(f.key);
	std::fputs("doubt: ", out);
	if (f.kind == doubts_future) {
		std::fprintf(out, "date after %llu, the current year", other);
		return;
	}
	doubt_text t = text_of(f.kind);
	if (!t.names_person) {
		std::fprintf(out, t.format, fact, other);
		return;
	}
	static std::string room;
	std::string_view x = shown(record_xref(f.record), room);
	std::fprintf(out, t.format, fact, static_cast<int>(x.size()), x.data(), other);
}

void write_trees_line(const char *file, FILE *out)
{
	long long trees = family_trees();
	if (doubts_wanted && trees > 1)
		std::fprintf(out, "%s: %lld family trees not linked to one another by FAMC and FAMS\n", file, trees);
}
