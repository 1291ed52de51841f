#!/usr/bin/env python3
# Writes the hostile documents of tests/data/hostile whose lengths add up beyond 32 bits only
# when they are laid out: each value stays in its range, but there are many of them.
#
#   python3 scripts/gen_hostile_layout_rvf.py
#
# The streams are built byte by byte from the record rules, independently of the engine's writer.

import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HOSTILE = os.path.join(ROOT, "tests", "data", "hostile")

INT32_MAX = 2**31 - 1

# A PNG of one pixel.
PNG = bytes.fromhex(
    "89504E470D0A1A0A0000000D49484452000000010000000108020000009077"
    "53DE0000000C49444154789C63F8CFC0000003010100C9FE92EF0000000049454E44AE426082"
)


def sstr(b):
    assert len(b) < 256
    return bytes([len(b)]) + b


def int32_prop(name, value):
    return sstr(name) + b"\x04" + struct.pack("<i", value)


def set_prop(name, members):
    return sstr(name) + b"\x0b" + b"".join(sstr(m) for m in members) + b"\x00"


def collection(styles):
    """A style collection: one item per list of properties."""
    out = b"\x0e"
    for props in styles:
        out += b"\x01" + b"".join(props) + b"\x00"
    return out + b"\x00"


def style_record(kind, stream):
    """A special record holding a style collection as a binary block."""
    return b"-9 1 0 0 2 0 %d\r\n" % kind + struct.pack("<I", len(stream)) + stream


VERSION = b"-8 1 3\r\n"
TEXT_STYLES, PARA_STYLES = 1, 2


def picture(props):
    """A picture record continuing the paragraph, with its extra properties."""
    lines = b"pic\r\nTPNGObject\r\n" + b"".join(b"%s\r\n" % p for p in props)
    return b"-3 %d -1 0 2 0 0\r\n" % (3 + len(props)) + lines + struct.pack("<I", len(PNG)) + PNG


def many_spaced_paragraphs():
    # 32000 empty paragraphs, each with the largest spacing before and after and the largest
    # line spacing: 2.3e9 pixels from top to bottom.
    paras = collection([[int32_prop(b"SpaceBefore", INT32_MAX), int32_prop(b"SpaceAfter", INT32_MAX),
                         int32_prop(b"LineSpacing", INT32_MAX)]])
    count = 32000
    return VERSION + style_record(PARA_STYLES, paras) + b"0 %d 0 0 0 0\r\n" % count + b"\n" * count


def long_nowrap_huge_font():
    # 45000 capitals in the largest font, scale and spacing, on a line that does not wrap:
    # 2.4e9 pixels wide.
    texts = collection([[int32_prop(b"Size", INT32_MAX), int32_prop(b"CharScale", INT32_MAX),
                         int32_prop(b"CharSpacing", INT32_MAX)]])
    paras = collection([[set_prop(b"Options", [b"rvpaoNoWrap"])]])
    return (VERSION + style_record(TEXT_STYLES, texts) + style_record(PARA_STYLES, paras) +
            b"0 1 0 0 0 0\r\n" + b"W" * 45000 + b"\r\n")


def shifted_pictures_percent_spacing():
    # 100 lines of a tall picture raised by 32767 percent of its height, in paragraphs whose
    # line spacing is 32767 percent: the gap below each line is 3.5e9 pixels.
    paras = collection([[int32_prop(b"LineSpacing", INT32_MAX)]])
    record = picture([b"vshift=2147483647", b"height=32767"])
    return VERSION + style_record(PARA_STYLES, paras) + (b"0 1 0 0 0 0\r\nx\r\n" + record) * 100


DOCUMENTS = {
    "many-spaced-paragraphs.rvf": many_spaced_paragraphs,
    "long-nowrap-huge-font.rvf": long_nowrap_huge_font,
    "shifted-pictures-percent-spacing.rvf": shifted_pictures_percent_spacing,
}

if __name__ == "__main__":
    for name, make in DOCUMENTS.items():
        with open(os.path.join(HOSTILE, name), "wb") as f:
            f.write(make())
