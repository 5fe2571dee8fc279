#!/usr/bin/env python3
"""The user manual in docs/manual: no script and nothing fetched from
elsewhere, every link and picture it names there, and every numbered message
of res/catalog.txt under a heading of its own in the troubleshooting page,
worded as the catalog words it. Usage: manual_test.py SOURCE_DIR"""

import html.parser
import os
import re
import sys
from urllib.parse import urlsplit


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.refs, self.ids, self.headings, self.heading = [], set(), {}, None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "script" or any(k.startswith("on") for k in a):
            self.refs.append((tag, "script", "", self.getpos()[0]))
        self.ids.add(a.get("id"))
        if tag in ("h2", "h3") and "id" in a:
            self.heading = [a["id"], ""]
        self.refs += [(tag, k, a[k], self.getpos()[0]) for k in ("href", "src") if k in a]

    def handle_endtag(self, tag):
        if self.heading and tag in ("h2", "h3"):
            self.headings[self.heading[0]] = " ".join(self.heading[1].split())
            self.heading = None

    def handle_data(self, data):
        if self.heading:
            self.heading[1] += data


def main():
    folder = os.path.join(sys.argv[1], "docs", "manual")
    pages = {}
    for name in sorted(n for n in os.listdir(folder) if n.endswith(".html")):
        pages[name] = Page()
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            pages[name].feed(f.read())
    faults = []
    for name, page in pages.items():
        for tag, key, ref, line in page.refs:
            parts, where = urlsplit(ref), f"{name}:{line}: <{tag} {key}={ref}>"
            if key == "script" or ((parts.scheme or parts.netloc) and tag != "a"):
                faults.append(f"{where}: a script, or fetched from elsewhere")
            if key == "script" or parts.scheme or parts.netloc:
                continue
            target = os.path.normpath(os.path.join(folder, parts.path or name))
            other = pages.get(os.path.relpath(target, folder))
            if not os.path.isfile(target):
                faults.append(f"{where} names no file")
            elif parts.fragment and (other is None or parts.fragment not in other.ids):
                faults.append(f"{where} names no such place")

    with open(os.path.join(sys.argv[1], "res", "catalog.txt"), encoding="utf-8") as f:
        numbered = [m.group(1).strip() for m in re.finditer(r"^\d+\t(\s*No\.\d+ [^\t]*)", f.read(),
                                                            re.M)]
    trouble = pages.get("troubleshooting.html", Page())
    for text in numbered:
        anchor = "no" + re.match(r"No\.(\d+)", text).group(1)
        if trouble.headings.get(anchor) != text:
            faults.append(f"troubleshooting.html#{anchor} should read {text!r}, reads "
                          f"{trouble.headings.get(anchor)!r}")
    if len(numbered) < 10:
        faults.append(f"only {len(numbered)} numbered messages in the catalog")

    for fault in faults:
        print("FAILED:", fault)
    print(f"manual: {len(pages)} pages, {len(numbered)} numbered messages, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
