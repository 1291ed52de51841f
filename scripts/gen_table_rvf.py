#!/usr/bin/env python3
# Writes the table streams of the test corpora, built byte by byte from the record grammar of
# table records, independently of the engine's writer:
#
#   python3 scripts/gen_table_rvf.py
#
# tests/data/rvf receives valid documents with merged and nested tables (the canonical ones are
# written back byte for byte by the engine) and tables whose spans the reader cuts;
# tests/data/rvf-malformed receives table records
# damaged in the ways a reader must survive.

import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
VALID = os.path.join(ROOT, "tests", "data", "rvf")
MALFORMED = os.path.join(ROOT, "tests", "data", "rvf-malformed")

# --- Tagged values ---------------------------------------------------------------------------


def sstr(b):
    assert len(b) < 256
    return bytes([len(b)]) + b


def tint(v):
    if -128 <= v <= 127:
        return b"\x02" + struct.pack("<b", v)
    if -32768 <= v <= 32767:
        return b"\x03" + struct.pack("<h", v)
    return b"\x04" + struct.pack("<i", v)


def tbool(v):
    return b"\x09" if v else b"\x08"


def tident(s):
    return b"\x07" + sstr(s)


def tstr(s):
    return b"\x06" + sstr(s)


def tbin(b):
    return b"\x0a" + struct.pack("<I", len(b)) + b


def tset(members):
    return b"\x0b" + b"".join(sstr(m) for m in members) + b"\x00"


def prop(name, value):
    return sstr(name) + value


def listof(values):
    return b"\x01" + b"".join(values) + b"\x00"


# --- RVF -------------------------------------------------------------------------------------


def paragraphs(*texts, style=0, para=0):
    """One text record of paragraphs in the same styles."""
    head = f"{style} {len(texts)} {para} 0 0 0\r\n".encode()
    return head + b"".join(t + b"\r\n" for t in texts)


def stream(*records):
    return b"-8 1 3\r\n" + b"".join(records)


def cell(colspan, rowspan, content, props=()):
    data = struct.pack("<i", len(content)) + content
    return (tint(colspan) + tint(rowspan) + sstr(b"TD") + sstr(b"") + b"".join(props) +
            prop(b"C.Data", tbin(data)) + b"\x00\x00")


def table_stream(props, rows, cols=0, cells=(), row_lists=b"", cells_raw=None):
    if cells_raw is not None:
        grid = cells_raw
    elif rows == 0:
        grid = tint(0)
    else:
        grid = tint(rows) + tint(cols) + listof(cells)
    return (b"TPF0" + sstr(b"TRVTableSW") + sstr(b"") + b"".join(props) + prop(b"C", grid) + row_lists +
            b"\x00\x00")


def table_record(body, binary, name=b"TAB", extras=(), para=0, seventh=b" 0", line_count=None):
    lines = 3 + len(extras) if line_count is None else line_count
    header = f"-60 {lines} {para} 0 {2 if binary else 0} 0".encode() + seventh + b"\r\n"
    if binary:
        data = struct.pack("<i", len(body)) + body
    else:
        data = body.hex().upper().encode() + b"\r\n"
    return header + name + b"\r\n" + b"".join(e + b"\r\n" for e in extras) + b"1\r\n" + data


def write(directory, name, data):
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


# --- Valid documents -------------------------------------------------------------------------


def merged_text():
    """Text mode: a 3 x 3 table whose first cell spans two columns and whose third column
    starts with a cell two rows high; table, cell and row properties set."""
    binary = False

    def c(colspan, rowspan, text, props=()):
        return cell(colspan, rowspan, stream(paragraphs(text)), props)

    cells = [
        c(2, 1, b"Kopf", [prop(b"C.Color", tident(b"clYellow")), prop(b"C.BestWidth", tint(-50))]),
        c(1, 2, b"Seite", [prop(b"C.VAlign", tident(b"rvcBottom")), prop(b"C.Hint", tstr(b"Hinweis"))]),
        c(1, 1, b"A"),
        c(1, 1, b"B", [prop(b"C.VisibleBorders.Top", tbool(False))]),
        c(1, 1, b"C"),
        c(1, 1, b"D"),
        c(1, 1, b"E", [prop(b"C.BestHeight", tint(300))]),
    ]
    props = [
        prop(b"T.Options", tset([b"rvtoEditing", b"rvtoRowSizing", b"rvtoHideGridLines"])),
        prop(b"T.BestWidth", tint(-100)),
        prop(b"T.Color", tident(b"clNone")),
        prop(b"T.TextColSeparator", tstr(b" | ")),
        prop(b"T.BorderWidth", tint(1)),
        prop(b"T.BorderColor", tident(b"clBlack")),
        prop(b"T.BorderStyle", tident(b"rvtbColor")),
        prop(b"T.BorderVSpacing", tint(-1)),
        prop(b"T.BorderHSpacing", tint(-1)),
        prop(b"T.CellBorderWidth", tint(1)),
        prop(b"T.CellPadding", tint(5)),
        prop(b"T.CellBorderStyle", tident(b"rvtbColor")),
    ]
    rows = prop(b"RowVAlign", listof([tint(0), tint(2), tint(0)]))
    table = table_stream(props, 3, 3, cells, rows)
    return stream(paragraphs(b"Vorher"), table_record(table, binary), paragraphs(b"Nachher"))


def nested_binary():
    """Binary mode: a 2 x 2 table holding, in its last cell, a 2 x 2 table whose first row is
    one merged cell; extra property lines and a page break before the second row."""
    binary = True
    inner_cells = [
        cell(2, 1, stream(paragraphs(b"innen oben"))),
        cell(1, 1, stream(paragraphs(b"links", b"zwei Zeilen"))),
        cell(1, 1, stream(paragraphs(b"rechts"))),
    ]
    inner = table_stream([prop(b"T.HeadingRowCount", tint(1))], 2, 2, inner_cells)
    inner_doc = stream(paragraphs(b"davor"), table_record(inner, binary, name=b"INNEN"))
    outer_cells = [
        cell(1, 1, stream(paragraphs(b"eins"))),
        cell(1, 1, stream(paragraphs(b"zwei"))),
        cell(1, 1, b""),
        cell(1, 1, inner_doc, [prop(b"C.Color", tint(0x123456))]),
    ]
    rows = prop(b"RowPageBreakBefore", listof([tbool(False), tbool(True)]))
    outer = table_stream([prop(b"T.CellHPadding", tint(3)), prop(b"T.CellVPadding", tint(4))], 2, 2,
                         outer_cells, rows)
    return stream(table_record(outer, binary, extras=[b"hint=Tabelle", b"unremovable=1"]), paragraphs(b"Ende"))


def no_seventh_field():
    """A header that ends after the tag, around an empty table."""
    return stream(paragraphs(b"Text"), table_record(table_stream([], 0), False, seventh=b""))


# --- Damaged documents -----------------------------------------------------------------------


def simple_cell(text=b"x"):
    return cell(1, 1, stream(paragraphs(text)))


def damaged(body, binary=False, **record):
    return stream(paragraphs(b"Vorher"), table_record(body, binary, **record), paragraphs(b"Nachher"))


def deep_nesting(levels):
    content = stream(paragraphs(b"innen"))
    for _ in range(levels):
        content = stream(table_record(table_stream([], 1, 1, [cell(1, 1, content)]), True))
    return content


def malformed():
    two = [simple_cell(b"a"), simple_cell(b"b"), simple_cell(b"c"), simple_cell(b"d")]
    good = table_stream([], 2, 2, two)
    return {
        "table-cells-list-ends-early.rvf": damaged(table_stream([], 2, 2, two[:3])),
        "table-cells-left-over.rvf": damaged(table_stream([], 1, 1, two[:2])),
        # The span is cut to the grid, and then one cell is left over.
        "table-span-below-grid.rvf": damaged(table_stream([], 2, 2, [cell(1, 3, b"")] + two[:3])),
        "table-huge-grid.rvf": damaged(table_stream([], 0, cells_raw=tint(100000) + tint(100000) + b"\x01\x00")),
        "table-huge-row-count.rvf": damaged(table_stream([], 0, cells_raw=tint(2**31 - 1) + tint(1) + b"\x01\x00")),
        "table-rows-without-columns.rvf": damaged(table_stream([], 0, cells_raw=tint(3) + tint(0) + b"\x01\x00")),
        "table-negative-row-count.rvf": damaged(table_stream([], 0, cells_raw=tint(-2) + tint(2) + b"\x01\x00")),
        "table-cells-not-a-list.rvf": damaged(table_stream([], 0, cells_raw=tint(1) + tint(1) + simple_cell())),
        "table-wrong-class.rvf": damaged(b"TPF0" + sstr(b"TRVTableXX") + good[15:]),
        "table-no-signature.rvf": damaged(b"TPFX" + good[4:]),
        "table-cell-wrong-class.rvf": damaged(good.replace(sstr(b"TD"), sstr(b"TX"), 1)),
        "table-truncated-stream.rvf": damaged(good[: len(good) // 2]),
        "table-missing-end-bytes.rvf": damaged(good[:-2]),
        "table-bad-hex-body.rvf": damaged(good).replace(good.hex().upper().encode()[:8], b"ZZ00ZZ00", 1),
        "table-odd-hex-body.rvf": damaged(good).replace(good.hex().upper().encode(), good.hex().upper().encode()[:-1]),
        "table-cell-data-too-long.rvf": damaged(table_stream([], 1, 1, [
            tint(1) + tint(1) + sstr(b"TD") + sstr(b"") +
            prop(b"C.Data", tbin(struct.pack("<i", 1000) + stream(paragraphs(b"kurz")))) + b"\x00\x00"])),
        "table-cell-content-garbage.rvf": damaged(table_stream([], 1, 1, [cell(1, 1, b"kein RVF\r\n")])),
        "table-cell-content-unknown-kind.rvf": damaged(
            table_stream([], 1, 1, [cell(1, 1, stream(b"-77 1 0 0 0 0\r\nx\r\n"))])),
        "table-without-body.rvf": damaged(good, line_count=2),
        "table-marker-line-not-a-number.rvf": damaged(good).replace(b"\r\n1\r\n", b"\r\neins\r\n", 1),
        "table-seventh-field-not-a-number.rvf": damaged(good, seventh=b" x"),
        "table-block-longer-than-stream.rvf": stream(paragraphs(b"Vorher"),
                                                     table_record(good, True)[:-20]),
        "table-deep-nesting.rvf": deep_nesting(40),
    }


def cut_spans():
    """Spans that reach beyond the grid, over covered slots or below 1: the reader cuts them as
    merging would and keeps the table (with a warning)."""
    two = [simple_cell(b"a"), simple_cell(b"b")]
    return {
        "table-span-beyond-grid.rvf": damaged(table_stream([], 2, 2, [cell(3, 1, b"")] + two)),
        "table-overlapping-spans.rvf": damaged(
            table_stream([], 2, 2, [simple_cell(), cell(1, 2, b""), cell(2, 1, b"")])),
        "table-zero-span.rvf": damaged(table_stream([], 1, 2, [cell(0, 1, b""), simple_cell()])),
        "table-negative-span.rvf": damaged(table_stream([], 1, 1, [cell(-1, 1, b"")])),
    }


def main():
    write(VALID, "table-merged-text.rvf", merged_text())
    write(VALID, "table-nested-binary.rvf", nested_binary())
    write(VALID, "table-header-without-seventh-field.rvf", no_seventh_field())
    for name, data in cut_spans().items():
        write(VALID, name, data)
    for name, data in malformed().items():
        write(MALFORMED, name, data)


if __name__ == "__main__":
    main()
