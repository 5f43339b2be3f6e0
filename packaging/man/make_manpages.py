#!/usr/bin/env python3
"""Section-3 manual pages of libdar3 from the documentation blocks of dar3/dar3.h.

usage: make_manpages.py DAR3_H EXAMPLE_C OUT_DIR VERSION

Each "@page NAME TITLE" block starts a page; the blocks before each declaration document it;
plain comments inside a page are copied into it as they stand; "@records" to "@end" is copied
into dar3(3). Every function also gets a page of its own name that sources its group's page."""
import re
import sys
from pathlib import Path

BLOCK = re.compile(r"/\*\*(.*?)\*/|/\*(.*?)\*/|(^DAR3_API [^;#]*\([^;#]*\);)", re.S | re.M)


def comment_text(body):
    lines = [re.sub(r"^\s*\* ?", "", line) for line in body.strip("\n").split("\n")]
    return "\n".join(lines).strip()


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    out = []
    for line in text.split("\n"):
        if line.startswith((".", "'")):
            line = "\\&" + line
        out.append(line)
    return "\n".join(out)


def paragraphs(text):
    """Blank lines part paragraphs; "- " starts a bullet item."""
    out = []
    for para in re.split(r"\n\s*\n", text):
        if para.lstrip().startswith("- "):
            for item in re.split(r"\n(?=- )", para.strip()):
                out += [".IP \\(bu 2", roff(" ".join(l.strip() for l in item[2:].split("\n")))]
        else:
            out += [".PP", roff(" ".join(l.strip() for l in para.split("\n")))]
    return out


def verbatim(text):
    return [".PP", ".nf", ".ft CR", roff(text.rstrip("\n")), ".ft", ".fi"]


def parse(header):
    pages, records, current, pending = [], "", None, None
    in_records = False
    for match in BLOCK.finditer(header):
        doc, plain, decl = match.groups()
        if doc is not None:
            text = comment_text(doc)
            if text.startswith("@page"):
                name, _, rest = text[len("@page"):].strip().partition(" ")
                title, _, body = rest.partition("\n")
                current = {"name": name, "title": title.strip(), "intro": body.strip(),
                           "entries": [], "notes": []}
                pages.append(current)
                pending = None
            elif text.startswith("@records"):
                in_records, start = True, match.end()
            elif text.startswith("@end"):
                records, in_records = header[start:match.start()].strip(), False
            else:
                pending = text
        elif plain is not None and current is not None and not in_records:
            current["notes"].append(match.group(0))
        elif decl is not None and current is not None:
            function = re.search(r"(\w+)\s*\(", decl).group(1)
            prototype = re.sub(r"\s+", " ", decl.replace("DAR3_API ", "")).replace("( ", "(")
            current["entries"].append((function, prototype, pending or ""))
            pending = None
    return pages, records


def write_page(page, pages, records, example, out, version):
    names = [f for f, _, _ in page["entries"]]
    lines = [f'.TH {page["name"].upper()} 3 "" "libdar3 {version}" "libdar3 manual"',
             ".SH NAME", roff(", ".join([page["name"]] + names) + " - " + page["title"]),
             ".SH SYNOPSIS", ".nf", ".B #include <dar3/dar3.h>", ".PP"]
    lines += [roff(p) for _, p, _ in page["entries"]]
    lines += [".fi", ".PP", "Link with", ".IR \"pkg\\-config \\-\\-libs dar3\" ."]
    if page["intro"]:
        lines += [".SH DESCRIPTION"] + paragraphs(page["intro"])
    for function, _, text in page["entries"]:
        lines += [f".SS {function}"] + paragraphs(text)
    for note in page["notes"]:
        lines += verbatim(note)
    if page["name"] == "dar3":
        lines += [".SH RECORDS"] + verbatim(records)
        lines += [".SH EXAMPLE"] + verbatim(example)
    others = [p["name"] for p in pages if p is not page]
    lines += [".SH SEE ALSO", ",\n".join(f".BR {n} (3)" for n in others)]
    (out / f'{page["name"]}.3').write_text("\n".join(lines) + "\n")
    for function in names:
        (out / f"{function}.3").write_text(f'.so man3/{page["name"]}.3\n')


def main():
    header, example, out, version = sys.argv[1:5]
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    pages, records = parse(Path(header).read_text())
    for page in pages:
        write_page(page, pages, records, Path(example).read_text(), out, version)


if __name__ == "__main__":
    main()
