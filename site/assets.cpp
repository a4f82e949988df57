// The style sheet and the search script, the same in every site. Each function is one text as
// the browser reads it, not logic, so its length is the text's.
#include "site.h"

std::string_view style_sheet()
{
	return R"css(:root {
	color-scheme: light dark;
	--paper: #fbf8f3;
	--ink: #2b2622;
	--muted: #6b6158;
	--accent: #7a3e1d;
	--line: #e2d8cb;
	--card: #ffffff;
	--band: #efe6da;
}
@media (prefers-color-scheme: dark) {
	:root {
		--paper: #1d1b19;
		--ink: #ece6de;
		--muted: #b3a899;
		--accent: #f0b37e;
		--line: #3d3833;
		--card: #26231f;
		--band: #2e2a25;
	}
}
* { box-sizing: border-box; }
body {
	margin: 0;
	background: var(--paper);
	color: var(--ink);
	font: 1.0625rem/1.55 Georgia, "DejaVu Serif", serif;
}
a { color: var(--accent); text-underline-offset: 0.15em; }
a:hover { text-decoration-thickness: 2px; }
header.top {
	display: flex;
	flex-wrap: wrap;
	align-items: center;
	gap: 0.5rem 1.5rem;
	padding: 0.75rem max(1rem, calc(50% - 28rem));
	background: var(--band);
	border-bottom: 1px solid var(--line);
	font-family: system-ui, sans-serif;
}
header.top .site { font-weight: 700; font-size: 1.15rem; text-decoration: none; color: var(--ink); }
form.search { position: relative; margin-left: auto; flex: 1 1 14rem; max-width: 22rem; }
form.search label {
	position: absolute; width: 1px; height: 1px; overflow: hidden; clip: rect(0 0 0 0); white-space: nowrap;
}
form.search input {
	width: 100%;
	padding: 0.45rem 0.7rem;
	border: 1px solid var(--muted);
	border-radius: 0.4rem;
	background: var(--card);
	color: var(--ink);
	font: inherit;
}
ul.results {
	position: absolute; z-index: 2; left: 0; right: 0; margin: 0.25rem 0 0; padding: 0;
	list-style: none; background: var(--card); border-radius: 0.4rem;
	box-shadow: 0 0.4rem 1.2rem rgb(0 0 0 / 0.25); max-height: 70vh; overflow-y: auto;
}
ul.results:empty { display: none; }
ul.results li { padding: 0.35rem 0.7rem; border-bottom: 1px solid var(--line); }
main { max-width: 56rem; margin: 0 auto; padding: 1rem 1rem 3rem; }
h1 { font-size: 2rem; line-height: 1.2; margin: 1rem 0 0.5rem; }
h2 { font-size: 1.3rem; margin: 1.75rem 0 0.5rem; border-bottom: 1px solid var(--line); padding-bottom: 0.2rem; }
h3 { font-size: 1.05rem; margin: 1rem 0 0.25rem; color: var(--muted); }
.years, .type, .age, .cause, .record, .sex, .surname, .pedigree { color: var(--muted); }
.years { font-size: 0.9em; white-space: nowrap; }
.private, .unknown { color: var(--muted); font-style: italic; }
ol.events, ul.people, ul.sources, ul.media, ul.names, ul.more { padding-left: 1.25rem; }
ol.events { list-style: none; padding: 0; }
ol.events > li { padding: 0.45rem 0; border-bottom: 1px solid var(--line); }
ol.events .what { font-weight: 700; margin-right: 0.4rem; }
ol.events .date { font-variant-numeric: tabular-nums; }
.note { margin: 0.3rem 0; }
section.family, section.entry {
	background: var(--card); border: 1px solid var(--line); border-radius: 0.5rem; padding: 0.25rem 1rem 0.75rem;
	margin: 1rem 0;
}
section.family h2, section.entry h2 { border: 0; margin-top: 0.75rem; }
nav.letters ul, nav.parts ul { display: flex; flex-wrap: wrap; gap: 0.35rem; list-style: none; padding: 0; }
nav.letters a, nav.parts a, nav.parts span {
	display: inline-block; min-width: 2.25rem; padding: 0.3rem 0.55rem; text-align: center;
	border: 1px solid var(--line); border-radius: 0.35rem; background: var(--card); text-decoration: none;
}
dl.counts { display: flex; flex-wrap: wrap; gap: 0.75rem; }
dl.counts div { background: var(--card); border: 1px solid var(--line); border-radius: 0.5rem; padding: 0.5rem 1rem; }
dl.counts dt { color: var(--muted); font-size: 0.9rem; }
dl.counts dd { margin: 0; font-size: 1.4rem; font-weight: 700; }
.chart {
	display: grid; grid-template-columns: repeat(3, minmax(0, 1fr)); grid-template-rows: repeat(4, auto);
	gap: 0.4rem; font-size: 0.95rem;
}
.chart > div { background: var(--card); border: 1px solid var(--line); border-radius: 0.4rem; padding: 0.4rem 0.6rem; }
.chart .self { grid-column: 1; grid-row: 1 / 5; align-self: center; }
.chart .father { grid-column: 2; grid-row: 1 / 3; align-self: center; }
.chart .mother { grid-column: 2; grid-row: 3 / 5; align-self: center; }
.chart .ff { grid-column: 3; grid-row: 1; }
.chart .fm { grid-column: 3; grid-row: 2; }
.chart .mf { grid-column: 3; grid-row: 3; }
.chart .mm { grid-column: 3; grid-row: 4; }
footer { text-align: center; color: var(--muted); font-size: 0.85rem; padding: 1.5rem 1rem; border-top: 1px solid var(--line); }
@media (max-width: 40rem) {
	body { font-size: 1rem; }
	h1 { font-size: 1.6rem; }
	form.search { max-width: none; margin-left: 0; }
	.chart { grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); }
	.chart .self { grid-column: 1 / 3; grid-row: 1; }
	.chart .father { grid-column: 1; grid-row: 2; }
	.chart .mother { grid-column: 2; grid-row: 2; }
	.chart .ff { grid-column: 1; grid-row: 3; }
	.chart .fm { grid-column: 1; grid-row: 4; }
	.chart .mf { grid-column: 2; grid-row: 3; }
	.chart .mm { grid-column: 2; grid-row: 4; }
}
@media print {
	:root { --paper: #fff; --ink: #000; --muted: #444; --accent: #000; --card: #fff; --band: #fff; }
	form.search, nav.letters, nav.parts { display: none; }
	section.family, section.entry, .chart > div { break-inside: avoid; }
	a { text-decoration: none; }
}
)css";
}

std::string_view search_script()
{
	return R"js(// The search box of every page: from the second letter typed, the people with a word of
// their name that starts with what was typed, case and accents aside. The data of the first
// two letters of a word, and of its first three, is a script of its own, loaded when it is
// first needed.
(function () {
	"use strict";
	var most = 50;
	var loaded = {};
	var asked = {};
	var input = document.getElementById("search");
	var list = document.getElementById("search-results");
	if (!input || !list)
		return;
	var root = input.getAttribute("data-root") || "";
	var marks = /[\u0300-\u036f\u1ab0-\u1aff\u1dc0-\u1dff\u20d0-\u20ff\ufe20-\ufe2f]/g;

	function fold(text) {
		return text.normalize("NFD").replace(marks, "").toLowerCase().replace(/\u00df/g, "ss").normalize("NFC");
	}
	function words(text) {
		return fold(text).split(/[\s\-.,'()"\/]+/).filter(function (w) { return w.length > 0; });
	}
	function fileOf(key) {
		var bytes = new TextEncoder().encode(key);
		var name = "";
		for (var i = 0; i < bytes.length; i++) {
			var b = bytes[i];
			if ((b >= 97 && b <= 122) || (b >= 48 && b <= 57))
				name += String.fromCharCode(b);
			else
				name += "-" + (b < 16 ? "0" : "") + b.toString(16);
		}
		return name;
	}
	function load(key) {
		if (asked[key])
			return;
		asked[key] = true;
		var script = document.createElement("script");
		script.src = root + "search/" + fileOf(key) + ".js";
		script.onerror = function () { loaded[key] = []; show(); };
		document.head.appendChild(script);
	}
	function matches(entry, wanted) {
		var have = entry[0].split(" ");
		return wanted.every(function (w) {
			return have.some(function (h) { return h.lastIndexOf(w, 0) === 0; });
		});
	}
	function item(entry) {
		var li = document.createElement("li");
		var a = document.createElement("a");
		a.href = root + "people/" + entry[3] + ".html";
		a.textContent = entry[1] || "(no name)";
		li.appendChild(a);
		if (entry[2]) {
			var years = document.createElement("span");
			years.className = "years";
			years.textContent = " " + entry[2];
			li.appendChild(years);
		}
		return li;
	}
	function show() {
		var wanted = words(input.value);
		list.textContent = "";
		if (wanted.length === 0 || Array.from(wanted[0]).length < 2)
			return;
		// The file of the first three letters is the smaller; while it comes, that of the first
		// two, when loaded, holds everyone it holds.
		var first = Array.from(wanted[0]);
		var key = first.slice(0, 3).join("");
		var entries = loaded[key] || loaded[first.slice(0, 2).join("")];
		if (!loaded[key])
			load(key);
		if (!entries)
			return;
		var found = 0;
		for (var i = 0; i < entries.length && found < most; i++)
			if (matches(entries[i], wanted)) {
				list.appendChild(item(entries[i]));
				found++;
			}
		if (found === 0) {
			var none = document.createElement("li");
			none.textContent = "No one found";
			list.appendChild(none);
		}
	}
	window.lineageSearch = function (key, entries) {
		loaded[key] = entries;
		show();
	};
	input.addEventListener("input", show);
	input.form.addEventListener("submit", function (event) {
		event.preventDefault();
		var first = list.querySelector("a");
		if (first)
			window.location.href = first.href;
	});
	show();
})();
)js";
}
