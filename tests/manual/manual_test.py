#!/usr/bin/env python3
"""The user manual in docs/manual: every page well formed, self-contained (no
script, nothing fetched from elsewhere), every link and picture it names
there, and every numbered message of res/catalog.txt in the troubleshooting
page under its own heading, worded as the catalog words it.
Usage: manual_test.py SOURCE_DIR"""

import html
import html.parser
import os
import re
import sys
from urllib.parse import urlsplit

VOID = {"meta", "link", "img", "br", "hr", "input", "source", "wbr"}


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.faults, self.refs, self.ids, self.stack = [], [], set(), []
        self.headings = {}  # id -> text of an h2/h3 with that id
        self.heading = None
        self.doctype = False

    def handle_decl(self, decl):
        self.doctype = self.doctype or decl.lower() == "doctype html"

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "script" or any(k.startswith("on") for k in a):
            self.faults.append(f"script in <{tag}>")
        if "id" in a:
            if a["id"] in self.ids:
                self.faults.append(f"id {a['id']} twice")
            self.ids.add(a["id"])
            if tag in ("h2", "h3"):
                self.heading = [a["id"], ""]
        for key in ("href", "src"):
            if key in a:
                self.refs.append((tag, key, a[key], self.getpos()[0]))
        if tag not in VOID:
            self.stack.append((tag, self.getpos()[0]))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        if not self.stack or self.stack[-1][0] != tag:
            open_tag = self.stack[-1] if self.stack else ("nothing", 0)
            self.faults.append(f"</{tag}> on line {self.getpos()[0]} closes <{open_tag[0]}> "
                               f"of line {open_tag[1]}")
            return
        self.stack.pop()
        if self.heading and tag in ("h2", "h3"):
            self.headings[self.heading[0]] = " ".join(self.heading[1].split())
            self.heading = None

    def handle_data(self, data):
        if self.heading:
            self.heading[1] += data


def main():
    source = sys.argv[1]
    folder = os.path.join(source, "docs", "manual")
    pages = {}
    for name in sorted(os.listdir(folder)):
        if name.endswith(".html"):
            page = Page()
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            page.feed(text)
            page.close()
            if not page.doctype:
                page.faults.append("no <!DOCTYPE html>")
            if '<meta charset="utf-8">' not in text or '<html lang="' not in text:
                page.faults.append("no charset or language")
            page.faults += [f"<{t}> of line {n} never closed" for t, n in page.stack]
            pages[name] = page
    faults = [f"{name}: {fault}" for name, page in pages.items() for fault in page.faults]

    for name, page in pages.items():
        for tag, key, ref, line in page.refs:
            parts = urlsplit(ref)
            where = f"{name}:{line}: {key}={ref}"
            if parts.scheme or parts.netloc:
                # Links out are fine; nothing the page shows may come from elsewhere.
                if tag != "a":
                    faults.append(f"{where} is fetched from elsewhere")
                continue
            target = os.path.normpath(os.path.join(folder, parts.path)) if parts.path else \
                os.path.join(folder, name)
            if not os.path.isfile(target):
                faults.append(f"{where} names no file")
                continue
            if parts.fragment:
                other = pages.get(os.path.relpath(target, folder))
                if other is None or parts.fragment not in other.ids:
                    faults.append(f"{where} names no such place")

    # Every numbered message, under a heading of its own worded as the catalog has it.
    trouble = pages.get("troubleshooting.html")
    with open(os.path.join(source, "res", "catalog.txt"), encoding="utf-8") as f:
        english = [line.split("\t")[1] for line in f if re.match(r"\d+\t", line)]
    numbered = [text.strip() for text in english if re.match(r"\s*No\.\d+ ", text)]
    if trouble is None or len(numbered) < 10:
        faults.append(f"no troubleshooting page, or too few numbered messages ({len(numbered)})")
    else:
        for text in numbered:
            anchor = "no" + re.match(r"No\.(\d+)", text).group(1)
            got = trouble.headings.get(anchor)
            if got != html.unescape(text):
                faults.append(f"troubleshooting.html: #{anchor} should read {text!r}, "
                              f"reads {got!r}")

    for fault in faults:
        print("FAILED:", fault)
    if not faults:
        print(f"manual: {len(pages)} pages, {sum(len(p.refs) for p in pages.values())} links "
              f"and pictures, {len(numbered)} numbered messages: all there")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
