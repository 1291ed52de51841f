#!/usr/bin/env python3
# Writes src/platform/CodePageTables.cpp: single-byte code page tables taken from glibc iconv, plus the
# composition and non-spacing-mark tables taken from Python's unicodedata.
#
#   python3 scripts/gen_codepage_tables.py [OUTPUT]
#
# Each single-byte page is read byte by byte through the C library's iconv, so the tables are glibc's
# own. Bytes that iconv leaves undefined get a code point anyway, because a text must survive being
# read and written again: undefined bytes in 0x80..0x9F become the C1 control of the same value
# (U+0081 for 0x81 in 1252, as the desktop platform does); undefined bytes from 0xA0 on become the
# private-use character U+F700 + byte.

import ctypes
import ctypes.util
import os
import sys
import unicodedata

# Code page number -> glibc iconv name. Every page listed must agree with ASCII in 0x00..0x7F.
SINGLE_BYTE_PAGES = [
    (437, "CP437"), (737, "CP737"), (775, "CP775"), (850, "CP850"), (852, "CP852"), (855, "CP855"),
    (857, "CP857"), (858, "CP858"), (860, "CP860"), (861, "CP861"), (862, "CP862"), (863, "CP863"),
    (865, "CP865"), (866, "CP866"), (869, "CP869"), (874, "CP874"),
    (1250, "CP1250"), (1251, "CP1251"), (1252, "CP1252"), (1253, "CP1253"), (1254, "CP1254"),
    (1255, "CP1255"), (1256, "CP1256"), (1257, "CP1257"), (1258, "CP1258"),
    (10000, "MACINTOSH"),
]

# Where glibc's table differs from the one the desktop platform uses for the page.
OVERRIDES = {
    10000: {0xC6: 0x2206, 0xF0: 0xF8FF},  # INCREMENT and the Apple logo, not GREEK DELTA and U+E01E
}

# Composed characters offered to the composite check: Latin, Greek and Cyrillic letters.
COMPOSED_RANGES = [(0x00C0, 0x04FF), (0x1E00, 0x1EFF)]

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                       ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
libc.iconv_close.argtypes = [ctypes.c_void_p]
libc.gnu_get_libc_version.restype = ctypes.c_char_p
ICONV_FAILED = ctypes.c_size_t(-1).value


def decode_byte(name, byte):
    """The code points iconv gives for one byte, or None when the byte is undefined."""
    cd = libc.iconv_open(b"UTF-32LE", name.encode())
    if cd is None or cd == ICONV_FAILED:
        sys.exit(f"iconv does not know {name}")
    try:
        src = ctypes.create_string_buffer(bytes([byte]), 1)
        dst = ctypes.create_string_buffer(32)
        in_ptr, in_left = ctypes.c_char_p(ctypes.addressof(src)), ctypes.c_size_t(1)
        out_ptr, out_left = ctypes.c_char_p(ctypes.addressof(dst)), ctypes.c_size_t(32)
        if libc.iconv(cd, ctypes.byref(in_ptr), ctypes.byref(in_left),
                      ctypes.byref(out_ptr), ctypes.byref(out_left)) == ICONV_FAILED:
            return None
        if libc.iconv(cd, None, None, ctypes.byref(out_ptr), ctypes.byref(out_left)) == ICONV_FAILED:
            return None
        data = dst.raw[:32 - out_left.value]
        return [int.from_bytes(data[i:i + 4], "little") for i in range(0, len(data), 4)]
    finally:
        libc.iconv_close(cd)


def page_table(code_page, name):
    table = []
    for byte in range(256):
        chars = decode_byte(name, byte)
        if chars is None:
            table.append(byte if byte < 0xA0 else 0xF700 + byte)
        elif len(chars) != 1 or chars[0] > 0xFFFF:
            sys.exit(f"{name}: byte {byte:#04x} does not give a single BMP character: {chars}")
        else:
            table.append(chars[0])
    for byte, char in OVERRIDES.get(code_page, {}).items():
        table[byte] = char
    if table[:128] != list(range(128)):
        sys.exit(f"{name} differs from ASCII below 0x80")
    return table


def reverse_table(table):
    """(character, byte) for the upper half, sorted by character; the lowest byte wins a tie."""
    seen = {}
    for byte in range(128, 256):
        seen.setdefault(table[byte], byte)
    return sorted(seen.items())


def compositions():
    result = []
    for first, last in COMPOSED_RANGES:
        for composed in range(first, last + 1):
            decomposition = unicodedata.decomposition(chr(composed)).split()
            if len(decomposition) != 2 or decomposition[0].startswith("<"):
                continue
            base, mark = (int(part, 16) for part in decomposition)
            if not 0x0300 <= mark <= 0x036F:
                continue
            if unicodedata.normalize("NFC", chr(base) + chr(mark)) != chr(composed):
                continue  # excluded from composition
            result.append((base, mark, composed))
    return sorted(result)


def non_spacing_ranges():
    ranges = []
    for char in range(0x10000):
        if unicodedata.category(chr(char)) != "Mn":
            continue
        if ranges and ranges[-1][1] == char - 1:
            ranges[-1][1] = char
        else:
            ranges.append([char, char])
    return ranges


def rows(items, per_line, indent="    "):
    return "\n".join(indent + ", ".join(items[i:i + per_line]) + "," for i in range(0, len(items), per_line))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "platform", "CodePageTables.cpp")
    glibc = libc.gnu_get_libc_version().decode()

    out = []
    out.append("// Code page tables. GENERATED by scripts/gen_codepage_tables.py from glibc " + glibc
               + " iconv and Unicode " + unicodedata.unidata_version + " (Python unicodedata); do not edit.")
    out.append('#include "platform/CodePage.h"')
    out.append("")
    out.append("#include <iterator>")
    out.append("")
    out.append("namespace xq::detail {")
    out.append("")
    out.append("namespace {")
    out.append("")
    entries = []
    for code_page, name in SINGLE_BYTE_PAGES:
        table = page_table(code_page, name)
        reverse = reverse_table(table)
        out.append(f"// {code_page} ({name})")
        out.append(f"constexpr char16_t ToUnicode{code_page}[256] = {{")
        out.append(rows([f"0x{c:04X}" for c in table], 12))
        out.append("};")
        out.append(f"constexpr ByteMapping FromUnicode{code_page}[] = {{")
        out.append(rows([f"{{0x{c:04X}, 0x{b:02X}}}" for c, b in reverse], 8))
        out.append("};")
        out.append("")
        entries.append(f"    {{{code_page}, ToUnicode{code_page}, FromUnicode{code_page}, "
                       f"std::size(FromUnicode{code_page})}},")
    out.append("constexpr Composition CompositionTable[] = {")
    out.append(rows([f"{{0x{b:04X}, 0x{m:04X}, 0x{c:04X}}}" for b, m, c in compositions()], 5))
    out.append("};")
    out.append("")
    out.append("constexpr CharRange NonSpacingTable[] = {")
    out.append(rows([f"{{0x{a:04X}, 0x{b:04X}}}" for a, b in non_spacing_ranges()], 6))
    out.append("};")
    out.append("")
    out.append("} // namespace")
    out.append("")
    out.append("const SingleBytePage SingleBytePages[] = {")
    out.extend(entries)
    out.append("};")
    out.append("const std::size_t SingleBytePageCount = std::size(SingleBytePages);")
    out.append("")
    out.append("const Composition* const Compositions = CompositionTable;")
    out.append("const std::size_t CompositionCount = std::size(CompositionTable);")
    out.append("")
    out.append("const CharRange* const NonSpacingMarks = NonSpacingTable;")
    out.append("const std::size_t NonSpacingMarkCount = std::size(NonSpacingTable);")
    out.append("")
    out.append("} // namespace xq::detail")
    with open(output, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
