#!/usr/bin/env python3
"""Checks the message boxes that Wine showed: their texts, in order.

Wine's "msgbox" debug channel (WINEDEBUG=+msgbox) writes the text of each
box as it opens, as a wide string with C escapes and \\xxxx for the
characters beyond ASCII:  ...:trace:msgbox:MSGBOX_OnInit L"...". Reading it
back shows what the player read, after the program's text went through
Wine's code page conversions.

  box_texts.py WINE_LOG TEXT... [--then PREFIX]
  box_texts.py WINE_LOG --trace TRACE CAPTIONS
The first form expects exactly the TEXTs, then with --then any number of
boxes whose texts begin with PREFIX. The second expects the boxes of a
headless run's trace (its "msgbox" lines), both their texts and their
captions; CAPTIONS holds the captions that the X windows bore, one a line.
Exit code 0 on a match; else 1 with one line "win: ..." that names both.
"""
import json
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


def traced(trace):
    boxes = []
    with open(trace, encoding="utf-8") as lines:
        for line in lines:
            event = json.loads(line)
            if event.get("ev") == "msgbox":
                boxes.append((event["caption"], event["text"]))
    return boxes


def main():
    args = sys.argv[1:]
    if not args:
        print("win: usage: box_texts.py WINE_LOG TEXT... | WINE_LOG --trace TRACE CAPTIONS")
        return 1
    texts = shown(args[0])
    if len(args) == 4 and args[1] == "--trace":
        captions = args[3].split("\n") if args[3] else []
        got, want = list(zip(captions, texts)), traced(args[2])
        if len(captions) != len(texts) or got != want:
            print(f"win: the boxes were {list(zip(captions, texts)) or captions or texts}, "
                  f"the headless build's {want}")
            return 1
        return 0
    want, then = args[1:], None
    if len(want) >= 2 and want[-2] == "--then":
        want, then = want[:-2], want[-1]
    more = texts[len(want):] if then is not None else []
    if texts[:len(want)] != want or len(texts) != len(want) + len(more) or \
            any(not text.startswith(then) for text in more):
        print(f"win: the message boxes said {texts}, not {want}" +
              (f" and perhaps more beginning {then!r}" if then is not None else ""))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
