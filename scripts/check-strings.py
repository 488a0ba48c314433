#!/usr/bin/env python3
"""Checks the format of the string table (src/settings/strings.tsv).

Usage: scripts/check-strings.py [path]

Errors (exit status 1): a line that is not 8 tab-separated columns, an id that
is not a whole number or not ascending, a duplicate id, an empty cell other than
the one text that has no Dutch translation, a bad escape sequence.
Warnings (exit status unchanged): where the English text ends or starts with
blanks, a translation that does not (the program joins such texts with others).
"""

import sys
from pathlib import Path

LANGUAGES = ["English", "Dutch", "French", "German", "Spanish", "Italian", "Portuguese"]
COLUMNS = 1 + len(LANGUAGES)
# (base id, language index) of the cells that are meant to be empty.
ALLOWED_EMPTY = {(919, 1)}
VALID_ESCAPES = {"n", "t", "\\"}


def bad_escape(cell):
    """Returns the offending sequence, or None when every backslash escapes n, t or \\."""
    i = 0
    while i < len(cell):
        if cell[i] == "\\":
            if i + 1 >= len(cell) or cell[i + 1] not in VALID_ESCAPES:
                return cell[i:i + 2]
            i += 2
        else:
            i += 1
    return None


def leading_blanks(text):
    return len(text) - len(text.lstrip(" "))


def trailing_blanks(text):
    return len(text) - len(text.rstrip(" "))


def check(path):
    errors = []
    warnings = []
    seen = set()
    previous = None
    count = 0

    try:
        raw = path.read_bytes()
    except OSError as exc:
        return [f"{path}: {exc.strerror}"], [], 0
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as exc:
        return [f"{path}: not UTF-8 ({exc})"], [], 0
    if text.startswith("\ufeff"):
        errors.append(f"{path}: starts with a byte order mark")

    for number, line in enumerate(text.split("\n"), start=1):
        where = f"{path}:{number}"
        if "\r" in line:
            errors.append(f"{where}: carriage return (the file must use line feeds only)")
            line = line.replace("\r", "")
        if line == "" or line.startswith("#"):
            continue
        cells = line.split("\t")
        if len(cells) != COLUMNS:
            errors.append(f"{where}: {len(cells)} columns, expected {COLUMNS}")
            continue
        id_text, texts = cells[0], cells[1:]
        if not id_text.isascii() or not id_text.isdigit():
            errors.append(f"{where}: id {id_text!r} is not a whole number")
            continue
        base = int(id_text)
        if base in seen:
            errors.append(f"{where}: duplicate id {base}")
        elif previous is not None and base < previous:
            errors.append(f"{where}: id {base} follows {previous} (not ascending)")
        seen.add(base)
        previous = base if previous is None else max(previous, base)
        count += 1

        for index, cell in enumerate(texts):
            language = LANGUAGES[index]
            if cell == "":
                if (base, index) not in ALLOWED_EMPTY:
                    errors.append(f"{where}: id {base} has no {language} text")
                continue
            if (base, index) in ALLOWED_EMPTY:
                errors.append(f"{where}: id {base} should have no {language} text")
            escape = bad_escape(cell)
            if escape is not None:
                errors.append(f"{where}: id {base} {language}: bad escape {escape!r}")

        english = texts[0]
        for index, cell in enumerate(texts[1:], start=1):
            if cell == "":
                continue
            language = LANGUAGES[index]
            if trailing_blanks(english) != trailing_blanks(cell):
                warnings.append(
                    f"{where}: id {base} {language}: {trailing_blanks(cell)} trailing "
                    f"blank(s), English has {trailing_blanks(english)}")
            if leading_blanks(english) != leading_blanks(cell):
                warnings.append(
                    f"{where}: id {base} {language}: {leading_blanks(cell)} leading "
                    f"blank(s), English has {leading_blanks(english)}")

    for (base, index) in sorted(ALLOWED_EMPTY):
        if base not in seen:
            warnings.append(f"{path}: id {base} is missing")
    return errors, warnings, count


def main(argv):
    default = Path(__file__).resolve().parent.parent / "src" / "settings" / "strings.tsv"
    path = Path(argv[1]) if len(argv) > 1 else default
    errors, warnings, count = check(path)
    for message in warnings:
        print(f"warning: {message}", file=sys.stderr)
    for message in errors:
        print(f"error: {message}", file=sys.stderr)
    print(f"{path}: {count} ids, {len(errors)} error(s), {len(warnings)} warning(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
