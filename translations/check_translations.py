#!/usr/bin/env python3
"""Every text of the current sources has a translation in each catalogue source.

Runs lupdate on the sources into a scratch copy of each .ts file (the one in the tree is left
alone) and lists every text without a translation, and every translation whose placeholders,
line breaks or leading and trailing blanks differ from its source text's. Exit status 1 when
there is any.

usage: check_translations.py LUPDATE SOURCE_ROOT TS_FILE... -- FOLDER... -- LUPDATE_OPTION...
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# %1 … %99, %n, and the title template's placeholders.
PLACEHOLDER = re.compile(r"%(?:\d+|n|[YTHMSACUDZ])")


def text_of(element):
    """The element's text with <byte value="xd"/> (a carriage return) put back."""
    if element is None:
        return ""
    out = element.text or ""
    for child in element:
        if child.tag == "byte":
            out += chr(int(child.get("value").lstrip("x"), 16))
        out += child.tail or ""
    return out


def shape(text):
    """What a translation keeps of its source: placeholders, line breaks, outer blanks."""
    lead = len(text) - len(text.lstrip(" "))
    trail = len(text) - len(text.rstrip(" "))
    return (sorted(PLACEHOLDER.findall(text)), text.count("\n"), lead, trail)


def problems(ts_path):
    found = []
    for context in ET.parse(ts_path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = text_of(message.find("source"))
            translation = message.find("translation")
            kind = translation.get("type", "")
            if kind in ("vanished", "obsolete"):
                continue
            forms = translation.findall("numerusform") or [translation]
            texts = [text_of(f) for f in forms]
            where = f"{name}: {source!r}"
            if kind == "unfinished" or not all(texts):
                found.append(f"untranslated  {where}")
                continue
            for t in texts:
                # A plural form may leave out %n.
                expected = shape(source)
                got = shape(t)
                if message.get("numerus") == "yes":
                    expected = ([p for p in expected[0] if p != "%n"],) + expected[1:]
                    got = ([p for p in got[0] if p != "%n"],) + got[1:]
                if got != expected:
                    found.append(f"differs       {where} -> {t!r}")
    return found


def main(argv):
    try:
        first = argv.index("--")
        second = argv.index("--", first + 1)
    except ValueError:
        print(__doc__, file=sys.stderr)
        return 2
    lupdate, root, *ts_files = argv[1:first]
    folders = [os.path.join(root, f) for f in argv[first + 1 : second]]
    options = argv[second + 1 :]
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for ts in ts_files:
            copy = os.path.join(scratch, os.path.basename(ts))
            shutil.copyfile(ts, copy)
            run = subprocess.run(
                [lupdate, "-silent", *options, "-extensions", "cpp,h", *folders, "-ts", copy],
                capture_output=True,
                text=True,
            )
            if run.returncode != 0:
                print(run.stdout + run.stderr, file=sys.stderr)
                return 1
            listed = problems(copy)
            for line in listed:
                print(f"{os.path.basename(ts)}: {line}")
            if listed:
                failed = True
                print(
                    f"{len(listed)} text(s) of {os.path.basename(ts)} to translate; "
                    "`cmake --build build --target update_translations` brings them into the "
                    "file, then translate them there (Qt Linguist or an editor)."
                )
            else:
                print(f"{os.path.basename(ts)}: every text translated")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
