#!/usr/bin/env python3
"""Writes the GEDCOM 7.0 rule tables as C++ from the official tab-separated tables and term files.

Usage: gen_rules7.py RULES_DIR OUTPUT_HEADER

Only the standard library: the build must run on a bare Debian machine. A release of the tables
is a copy of RULES_DIR and a rebuild; a payload type or table shape this script does not know
stops the build instead of producing a checker that silently skips it.
"""

import os
import sys

G7 = "https://gedcom.io/terms/v7/"

PAYLOADS = {
    "": "pay_none",
    "Y|<NULL>": "pay_y_or_null",
    "http://www.w3.org/2001/XMLSchema#string": "pay_text",
    "http://www.w3.org/2001/XMLSchema#Language": "pay_language",
    "http://www.w3.org/2001/XMLSchema#anyURI": "pay_uri",
    "http://www.w3.org/2001/XMLSchema#nonNegativeInteger": "pay_integer",
    "http://www.w3.org/ns/dcat#mediaType": "pay_media_type",
    G7 + "type-Age": "pay_age",
    G7 + "type-Date": "pay_date",
    G7 + "type-Date#exact": "pay_date_exact",
    G7 + "type-Date#period": "pay_date_period",
    G7 + "type-Enum": "pay_enum",
    G7 + "type-FilePath": "pay_file_path",
    G7 + "type-Latitude": "pay_latitude",
    G7 + "type-List#Enum": "pay_enum_list",
    G7 + "type-List#Text": "pay_text_list",
    G7 + "type-Longitude": "pay_longitude",
    G7 + "type-Name": "pay_name",
    G7 + "type-TagDef": "pay_tag_def",
    G7 + "type-Time": "pay_time",
}

CARDINALITIES = {"{0:1}": (0, 1), "{1:1}": (1, 1), "{0:M}": (0, 0), "{1:M}": (1, 0)}

HASH_START = 0x2545F4914F6CDD1D


def fail(message):
    sys.stderr.write("gen_rules7.py: " + message + "\n")
    sys.exit(1)


def read_tsv(path, columns):
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip("\n")]
    if not rows or rows[0] != columns:
        fail("%s does not start with the columns %s" % (path, " ".join(columns)))
    for row in rows[1:]:
        if len(row) != len(columns):
            fail("%s: row %r has %d columns" % (path, row, len(row)))
    return rows[1:]


def find_tsv(rules, columns):
    """The two enumeration tables are told apart by their header, not their file names."""
    for name in sorted(os.listdir(rules)):
        if name.endswith(".tsv"):
            with open(os.path.join(rules, name), encoding="utf-8") as f:
                if f.readline().rstrip("\n").split("\t") == columns:
                    return read_tsv(os.path.join(rules, name), columns)
    fail("no table with the columns %s in %s" % (" ".join(columns), rules))


def unquote(text):
    text = text.strip()
    if len(text) >= 2 and text[0] == text[-1] and text[0] in "'\"":
        return text[1:-1]
    return text


def read_term(path):
    """The few top-level fields needed: scalars, and block lists of quoted strings."""
    term = {}
    key = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line[0].isspace() and ":" in line and not line.startswith("-"):
                key, _, rest = line.partition(":")
                rest = rest.strip()
                term[key] = [] if rest in ("", "[]") else unquote(rest)
            elif line.startswith("  - ") and key is not None and isinstance(term.get(key), list):
                term[key].append(unquote(line[4:]))
            elif line and not line.startswith(" "):
                key = None
    return term


def read_terms(tags_dir):
    terms = {}
    for name in sorted(os.listdir(tags_dir)):
        term = read_term(os.path.join(tags_dir, name))
        if "uri" in term:
            terms[term["uri"]] = term
    return terms


def tag_key(tag):
    """The tag's bytes as one number, as gedline's tail_word makes it for find_tag7: a tag of
    four to eight bytes as its first four and its last four, a shorter one byte by byte."""
    b = tag.encode("ascii")
    n = len(b)
    if n >= 4:
        return int.from_bytes(b[:4], "little") | int.from_bytes(b[n - 4:], "little") << 32
    return b[0] | b[n // 2] << 8 | b[n - 1] << 16 if n else 0


def tag_hash(key, multiplier, bits):
    return ((key * multiplier) & 0xFFFFFFFFFFFFFFFF) >> (64 - bits)


def perfect_hash(tags):
    """A multiplier and a table size that give each tag a slot of its own: one multiplication
    of its packed key is all a lookup costs."""
    keys = [tag_key(t) for t in tags]
    state = HASH_START
    for bits in range(10, 16):
        if (1 << bits) < 4 * len(tags):
            continue
        for _ in range(100000):
            state = (state + 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF
            multiplier = state | 1
            if len({tag_hash(k, multiplier, bits) for k in keys}) == len(keys):
                return multiplier, bits
    fail("no collision-free tag hash found")


class Rules:
    def __init__(self, rules):
        self.subs = read_tsv(os.path.join(rules, "substructures.tsv"), ["superstructure", "tag", "structure"])
        self.cards = read_tsv(os.path.join(rules, "cardinalities.tsv"), ["superstructure", "structure", "cardinality"])
        self.payloads = dict(read_tsv(os.path.join(rules, "payloads.tsv"), ["structure", "payload"]))
        self.sets_of = dict(find_tsv(rules, ["structure", "set"]))
        self.values = find_tsv(rules, ["set", "value"])
        self.terms = read_terms(os.path.join(rules, "tags"))

    def structure_tag(self, uri):
        term = self.terms.get(uri)
        if term and term.get("standard tag"):
            return term["standard tag"]
        for sup, tag, sub in self.subs:
            if sub == uri:
                return tag
        fail("structure %s has no tag" % uri)


def short(uri):
    return uri[len(G7):] if uri.startswith(G7) else uri


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def build(r):
    structures = [""] + sorted(r.payloads)
    index = {uri: i for i, uri in enumerate(structures)}
    tags = sorted({tag for _, tag, _ in r.subs} | {r.structure_tag(s) for s in structures[1:]})
    tag_id = {t: i for i, t in enumerate(tags)}
    cards = {(sup, sub): CARDINALITIES.get(card) for sup, sub, card in r.cards}
    if None in cards.values():
        fail("unknown cardinality in cardinalities.tsv")
    children = {uri: [] for uri in structures}
    for sup, tag, sub in r.subs:
        if sup not in index or sub not in index:
            fail("substructure row %s %s %s names an unknown structure" % (sup, tag, sub))
        if sup == "" and tag == "CONT":
            continue  # a continuation, not a record
        lo, hi = cards.get((sup, sub), (0, 0))
        if sup == "" and tag == "HEAD":
            lo, hi = 0, 1  # records have no cardinality rows, but a file has one header
        children[sup].append((tag_id[tag], index[sub], lo, hi))
    sets = sorted(set(r.sets_of.values()))
    set_values = {s: sorted({r.terms[v]["standard tag"] for st, v in r.values if st == s}) for s in sets}
    return structures, index, tags, tag_id, children, sets, set_values


def emit_structures(out, r, structures, index, tag_id, children, sets):
    out.append("inline constexpr std::array<structure7, %d> structures7 = {{" % len(structures))
    first = 0
    first_required = 0
    for uri in structures:
        payload = r.payloads.get(uri, "")
        target = -1
        if payload.startswith("@<") and payload.endswith(">@"):
            target = index.get(payload[2:-2], -2)
            kind = "pay_pointer"
        elif payload in PAYLOADS:
            kind = PAYLOADS[payload]
        else:
            fail("unknown payload type %s of %s" % (payload, uri))
        if target == -2:
            fail("pointer of %s to an unknown record" % uri)
        enum_set = sets.index(r.sets_of[uri]) if uri in r.sets_of else -1
        tag = tag_id[r.structure_tag(uri)] if uri else -1
        count = len(children[uri])
        needed = sum(1 for c in children[uri] if c[2] > 0)
        out.append("\t{%s, %d, payload7::%s, %d, %d, %d, %d, %d, %d}," %
                   (cpp_string(short(uri) if uri else "document"), tag, kind, target, enum_set, first, count,
                    first_required, needed))
        first += count
        first_required += needed
    out.append("}};")
    flat = [c for uri in structures for c in sorted(children[uri])]
    required = [i for uri in structures for i, c in enumerate(sorted(children[uri])) if c[2] > 0]
    out.append("inline constexpr std::array<std::uint8_t, %d> required7 = {{" % len(required))
    out.append("\t" + ", ".join(str(i) for i in required) + ",")
    out.append("}};")
    out.append("inline constexpr std::array<substructure7, %d> substructures7 = {{" % len(flat))
    for tag, sub, lo, hi in flat:
        out.append("\t{%d, %d, %d, %d}," % (tag, sub, lo, hi))
    out.append("}};")
    out.append("inline constexpr int most_substructures7 = %d;" % max(len(c) for c in children.values()))


def emit_strings(out, name, items):
    out.append("inline constexpr std::array<std::string_view, %d> %s = {{" % (len(items), name))
    for i in range(0, len(items), 8):
        out.append("\t" + ", ".join(cpp_string(t) for t in items[i:i + 8]) + ",")
    out.append("}};")


def emit_ranges(out, name, groups):
    out.append("inline constexpr std::array<range7, %d> %s = {{" % (len(groups), name))
    first = 0
    for g in groups:
        out.append("\t{%d, %d}," % (first, len(g)))
        first += len(g)
    out.append("}};")


def emit_calendars(out, r):
    cals = sorted((t for t in r.terms.values() if t.get("type") == "calendar"), key=lambda t: t["standard tag"])
    if not cals:
        fail("no calendars among the term files")
    out.append("inline constexpr std::array<calendar7, %d> calendars7 = {{" % len(cals))
    first = 0
    for cal in cals:
        months = cal.get("months", [])
        bce = "true" if "BCE" in cal.get("epochs", []) else "false"
        out.append("\t{%s, %d, %d, %s}," % (cpp_string(cal["standard tag"]), first, len(months), bce))
        first += len(months)
    out.append("}};")
    emit_strings(out, "months7", [r.terms[m]["standard tag"] for cal in cals for m in cal.get("months", [])])


def generate(rules):
    r = Rules(rules)
    structures, index, tags, tag_id, children, sets, set_values = build(r)
    if max(len(t) for t in tags) > 8:
        fail("a standard tag longer than 8 characters does not fit the packed tag keys")
    multiplier, bits = perfect_hash(tags)
    keys = [tag_key(t) for t in tags]
    slots = [-1] * (1 << bits)
    for i, k in enumerate(keys):
        slots[tag_hash(k, multiplier, bits)] = i
    out = ["// Generated by gen_rules7.py from the GEDCOM 7.0 rule tables (Apache-2.0);",
           "// the tables' LICENSE and NOTICE are installed beside lineagecheck's manual page. Do not edit.",
           "#pragma once", '#include "rules7_types.h"', "", "namespace rules7 {", ""]
    emit_strings(out, "tags7", tags)
    out.append("inline constexpr std::array<std::uint64_t, %d> tag_keys7 = {{" % len(keys))
    for i in range(0, len(keys), 6):
        out.append("\t" + ", ".join("0x%xu" % k for k in keys[i:i + 6]) + ",")
    out.append("}};")
    out.append("inline constexpr std::uint64_t tag_hash_multiplier7 = 0x%xu;" % multiplier)
    out.append("inline constexpr int tag_hash_bits7 = %d;" % bits)
    out.append("inline constexpr std::array<std::int16_t, %d> tag_slots7 = {{" % (1 << bits))
    for i in range(0, len(slots), 32):
        out.append("\t" + ", ".join(str(s) for s in slots[i:i + 32]) + ",")
    out.append("}};")
    emit_structures(out, r, structures, index, tag_id, children, sets)
    emit_strings(out, "enum_sets7", [short(s) for s in sets])
    emit_ranges(out, "enum_set_values7", [set_values[s] for s in sets])
    emit_strings(out, "enum_values7", [v for s in sets for v in set_values[s]])
    emit_calendars(out, r)
    out += ["", "} // namespace rules7", ""]
    return "\n".join(out)


def main():
    if len(sys.argv) != 3:
        fail("usage: gen_rules7.py RULES_DIR OUTPUT_HEADER")
    text = generate(sys.argv[1])
    with open(sys.argv[2] + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(sys.argv[2] + ".tmp", sys.argv[2])


if __name__ == "__main__":
    main()
