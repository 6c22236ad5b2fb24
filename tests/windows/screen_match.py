#!/usr/bin/env python3
"""Waits until an X screen shows given 16-bit pictures, one after another.

The pictures are PNG snapshots of the headless build, whose 5-6-5 pixels
were widened to 8 bits per channel by repeating their top bits; that is
undone here exactly, and the screen (xwd of a 16-bit 5-6-5 root window) is
compared word for word. The screen is polled, so a picture counts as seen
once it stands on the screen, whatever the timing of the run.

One difference is Wine's, not ours: Wine keeps a 16-bit device-dependent
bitmap (what CreateDIBitmap makes for the screen) as 5-5-5, so a picture
loaded through GDI reaches the 5-6-5 surface with green's lowest bit copied
from its highest. A screen whose every differing pixel differs only in that
bit, and holds there the copy of its highest green bit, counts as seen; the
pass line says in how many pixels.

  screen_match.py DISPLAY TIMEOUT_S PID PICTURE.png...
PID is the process that draws; waiting stops early when it has gone.
Exit code 0 when every picture was seen in order, else 1 with one line
"win: ..." that names the picture and the differing pixel count of the
closest screenshot.
"""
import array
import os
import struct
import subprocess
import sys
import time

WIDTH, HEIGHT = 640, 480


def fail(message):
    print(f"win: {message}", flush=True)
    sys.exit(1)


def expected_words(png):
    """The snapshot's pixels as 5-6-5 words, rows top to bottom."""
    rgb = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=False).stdout
    if len(rgb) != WIDTH * HEIGHT * 3:
        fail(f"{png} is not a {WIDTH}x{HEIGHT} picture")
    words = array.array("H", bytes(WIDTH * HEIGHT * 2))
    for i in range(WIDTH * HEIGHT):
        r, g, b = rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]
        r5, g6, b5 = r >> 3, g >> 2, b >> 3
        if (r5 << 3 | r5 >> 2, g6 << 2 | g6 >> 4, b5 << 3 | b5 >> 2) != (r, g, b):
            fail(f"{png} does not hold 16-bit pixels (pixel {i})")
        words[i] = r5 << 11 | g6 << 5 | b5
    return words


def screen_words(display):
    """The root window of a 16-bit 5-6-5 X screen as words, or None."""
    data = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True, check=False).stdout
    if len(data) < 100:
        return None
    (header_size, _, _, depth, width, height, _, byte_order, _, _, _, bits_per_pixel, bytes_per_line, _,
     red, green, blue, _, _, ncolors) = struct.unpack(">20I", data[:80])
    if (depth, bits_per_pixel, red, green, blue) != (16, 16, 0xF800, 0x07E0, 0x001F):
        fail(f"the screen of {display} is not 16-bit 5-6-5 (depth {depth})")
    if width < WIDTH or height < HEIGHT:
        fail(f"the screen of {display} is {width}x{height}, smaller than {WIDTH}x{HEIGHT}")
    start = header_size + ncolors * 12
    words = array.array("H")
    for y in range(HEIGHT):
        row = start + y * bytes_per_line
        words.frombytes(data[row:row + WIDTH * 2])
    if len(words) != WIDTH * HEIGHT:
        return None
    if (byte_order == 0) != (sys.byteorder == "little"):
        words.byteswap()
    return words


GREEN_LOW_BIT = 0x0020
GREEN_HIGH_BIT = 0x0400


def without_green_low_bit(words):
    return array.array("H", (w & ~GREEN_LOW_BIT & 0xFFFF for w in words))


def widened_from_555(shot, want):
    """Every pixel that differs holds green's highest bit in its lowest."""
    return all(bool(x & GREEN_LOW_BIT) == bool(x & GREEN_HIGH_BIT) for x, y in zip(shot, want) if x != y)


def differing(a, b):
    return sum(1 for x, y in zip(a, b) if x != y)


def save_png(words, path):
    """Writes 5-6-5 words as an 8-bit PNG the way the headless build does."""
    rgb = bytearray(len(words) * 3)
    for i, w in enumerate(words):
        r, g, b = w >> 11, (w >> 5) & 63, w & 31
        rgb[3 * i:3 * i + 3] = bytes((r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2))
    subprocess.run(["convert", "-size", f"{WIDTH}x{HEIGHT}", "-depth", "8", "rgb:-", path], input=bytes(rgb),
                   check=False)


def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False


def main():
    if len(sys.argv) < 5:
        fail("usage: screen_match.py DISPLAY TIMEOUT_S PID PICTURE.png...")
    display, timeout, pid = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
    pictures = [(png, expected_words(png)) for png in sys.argv[4:]]
    started = time.monotonic()
    for png, want in pictures:
        want_555 = without_green_low_bit(want)
        name = os.path.basename(png)
        deadline = time.monotonic() + timeout
        closest, closest_shot = WIDTH * HEIGHT + 1, None
        while True:
            shot = screen_words(display)
            if shot is not None:
                if shot == want:
                    how = "pixel for pixel"
                    break
                if without_green_low_bit(shot) == want_555 and widened_from_555(shot, want):
                    how = f"but for green's lowest bit in {differing(shot, want)} pixels (Wine's 5-5-5 bitmaps)"
                    break
                count = differing(shot, want)
                if count < closest:
                    closest, closest_shot = count, shot
            gone = not alive(pid)
            if gone or time.monotonic() > deadline:
                if closest_shot is not None:
                    save_png(closest_shot, png[:-len(".png")] + "-screen.png")
                when = "before the program ended" if gone else f"within {timeout:g} s"
                fail(f"the screen never showed {name} {when} (closest shot, kept beside it: {closest} pixels differ)")
            time.sleep(0.1)
        print(f"win ok: the screen showed {name} {how} ({time.monotonic() - started:.1f} s)", flush=True)


if __name__ == "__main__":
    main()
