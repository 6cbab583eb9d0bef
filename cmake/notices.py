"""Writes the notices of the software of others that a release bundles: for
each part, the copyright and licence that the Debian copyright file of the
package it comes from gives for the source files the release is built from.

  notices.py --output FILE [--html] [--crlf] [--own NAME LICENCE]
             --part NAME COPYRIGHT_FILE SOURCE_PATH... [--part ...]

Each part's source paths are looked up in its copyright file as Debian's
tools do (the last Files paragraph that matches wins), and each paragraph
found is written once. A copyright file that is not machine-readable is
written whole. --own puts the release's own licence first; --html escapes the
text for a page; --crlf ends lines as Windows does.
"""

import argparse
import html
import re
import sys

from debian import copyright as dep5


def parse(arguments):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--output", required=True)
    parser.add_argument("--html", action="store_true")
    parser.add_argument("--crlf", action="store_true")
    parser.add_argument("--own", nargs=2, metavar=("NAME", "LICENCE"))
    parser.add_argument("--part", nargs="+", action="append", required=True,
                        metavar="NAME COPYRIGHT_FILE SOURCE_PATH")
    options = parser.parse_args(arguments)
    for part in options.part:
        if len(part) < 3:
            parser.error("--part takes a name, a copyright file and at least one source path")
    return options


def heading(name):
    return f"{name}\n{'=' * len(name)}\n"


def licence_texts(licence, standalone):
    """The licence's own text, or that of each licence its synopsis names
    ("Expat or NCSA"), from the file's standalone License paragraphs."""
    if licence.text:
        return [licence.text]
    names = re.split(r"\s+(?:or|and)\s+", licence.synopsis)
    missing = [name for name in names if name not in standalone]
    if missing:
        sys.exit(f"notices: no text for the licence {', '.join(missing)}")
    return [f"{name}:\n\n{standalone[name]}" if len(names) > 1 else standalone[name]
            for name in names]


def notices_of(name, copyright_file, paths):
    with open(copyright_file, encoding="utf-8") as text:
        content = text.read()
    try:
        described = dep5.Copyright(content.splitlines(), strict=False)
    except dep5.NotMachineReadableError:
        return heading(name) + "\n" + content.strip() + "\n"
    standalone = {paragraph.license.synopsis: paragraph.license.text
                  for paragraph in described.all_license_paragraphs()}
    found = []
    for path in paths:
        paragraph = described.find_files_paragraph(path)
        if paragraph is None:
            sys.exit(f"notices: {copyright_file} says nothing of {path}")
        if paragraph not in found:
            found.append(paragraph)
    sections = []
    for paragraph in found:
        holders = "\n".join("  " + line.strip() for line in paragraph.copyright.strip().splitlines())
        texts = "\n\n".join(licence_texts(paragraph.license, standalone))
        sections.append(f"Copyright:\n{holders}\nLicence: {paragraph.license.synopsis}\n\n{texts}\n")
    return heading(name) + "\n" + "\n".join(sections)


def main(arguments):
    options = parse(arguments)
    blocks = []
    if options.own:
        name, licence = options.own
        with open(licence, encoding="utf-8") as text:
            blocks.append(heading(name) + "\n" + text.read().strip() + "\n")
    blocks += [notices_of(name, copyright_file, paths)
               for name, copyright_file, *paths in options.part]
    text = "\n\n".join(blocks)
    if options.html:
        text = html.escape(text, quote=False)
    with open(options.output, "w", encoding="utf-8", newline="\r\n" if options.crlf else "\n") as out:
        out.write(text)


if __name__ == "__main__":
    main(sys.argv[1:])
