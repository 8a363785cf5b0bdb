#!/usr/bin/env python3
"""Disc IDs of a table of contents "first last leadout offset1 offset2 ...", in frames,
computed from the published rules alone: the freedb (CDDB) disc ID and the MusicBrainz disc ID.
Prints one line per TOC read from standard input: freedb ID, MusicBrainz ID, the playing time as a
time value (whole hundredths of a second plus one), and the TOC."""
import base64
import hashlib
import sys


def freedb_id(first, last, leadout, offsets):
    def digit_sum(n):
        return sum(int(c) for c in str(n))
    checksum = sum(digit_sum(o // 75) for o in offsets) % 255
    seconds = leadout // 75 - offsets[0] // 75
    return "%08x" % ((checksum << 24) | (seconds << 8) | len(offsets))


def musicbrainz_id(first, last, leadout, offsets):
    text = "%02X%02X" % (first, last)
    frames = [leadout] + offsets + [0] * (99 - len(offsets))
    text += "".join("%08X" % f for f in frames)
    digest = hashlib.sha1(text.encode("ascii")).digest()
    return base64.b64encode(digest).decode("ascii").translate(str.maketrans("+/=", "._-"))


for line in sys.stdin:
    numbers = [int(n) for n in line.split()]
    if not numbers:
        continue
    first, last, leadout, offsets = numbers[0], numbers[1], numbers[2], numbers[3:]
    playing = (leadout // 75 - offsets[0] // 75) * 100 + 1
    print(freedb_id(first, last, leadout, offsets), musicbrainz_id(first, last, leadout, offsets), playing,
          line.strip())
