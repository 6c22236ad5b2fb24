#!/usr/bin/env python3
"""Checks the texts of the message boxes that Wine showed, in order.

Wine's "msgbox" debug channel (WINEDEBUG=+msgbox) writes the text of each
box as it opens, as a wide string with C escapes and \\xxxx for the
characters beyond ASCII:  ...:trace:msgbox:MSGBOX_OnInit L"...". Reading it
back shows what the player read, after the program's text went through
Wine's code page conversions.

  box_texts.py WINE_LOG TEXT...
Exit code 0 when the boxes' texts were exactly the TEXTs, in order; else 1
with one line "win: ..." naming the texts that were shown.
"""
import re
import sys

ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def decode(body):
    text, i = [], 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            text.append(c)
            i += 1
        elif body[i + 1] in ESCAPES:
            text.append(ESCAPES[body[i + 1]])
            i += 2
        else:
            text.append(chr(int(body[i + 1:i + 5], 16)))
            i += 5
    return "".join(text)


def shown(log):
    texts = []
    with open(log, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = re.search(r':trace:msgbox:MSGBOX_OnInit L"(.*)"\s*$', line)
            if match:
                texts.append(decode(match.group(1)))
    return texts


def main():
    if len(sys.argv) < 2:
        print("win: usage: box_texts.py WINE_LOG TEXT...")
        return 1
    texts = shown(sys.argv[1])
    if texts != sys.argv[2:]:
        print(f"win: the message boxes said {texts}, not {sys.argv[2:]}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
