// Tables in RVF: writing the component stream with the non-default properties, reading it back
// property by property, and the record around it.
#include "tables/TableRvf.h"

#include <exception>
#include <span>
#include <vector>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/NamedValues.h"
#include "formats/rvf/RvfItemCodec.h"
#include "formats/rvf/RvfLines.h"
#include "formats/rvf/TaggedStream.h"
#include "pictures/PictureKinds.h"
#include "pictures/UnreadablePicture.h"
#include "platform/CodePage.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

constexpr std::string_view TableClassName = "TRVTableSW";
constexpr std::string_view CellClassName = "TD";

// Member names in ordinal order.
constexpr std::string_view TableOptionNames[] = {
    "rvtoEditing",         "rvtoRowSizing",         "rvtoColSizing",          "rvtoRowSelect",
    "rvtoColSelect",       "rvtoNoCellSelect",      "rvtoRTFSaveCellPixelBestWidth", "rvtoRTFAllowAutofit",
    "rvtoHideGridLines",   "rvtoOverlappingCorners", "rvtoCellBelowBorders",  "rvtoIgnoreContentWidth",
    "rvtoIgnoreContentHeight"};
constexpr std::string_view TablePrintOptionNames[] = {"rvtoHalftoneBorders", "rvtoRowsSplit", "rvtoWhiteBackground"};
constexpr std::string_view TableBorderStyleNames[] = {"rvtbRaised", "rvtbLowered", "rvtbColor", "rvtbRaisedColor",
                                                      "rvtbLoweredColor"};
constexpr std::string_view CellVAlignNames[] = {"rvcTop", "rvcMiddle", "rvcBottom", "rvcVDefault"};
constexpr std::string_view BackgroundStyleNames[] = {"rvbsColor", "rvbsStretched", "rvbsTiled", "rvbsCentered"};

// ---------------------------------------------------------------------------------------------
// Writing

/// Writes a prefixed property only when its value differs from the default.
class TPropWriter {
public:
    TPropWriter(TTaggedWriter& w, std::string_view prefix) : W(w), Prefix_(prefix) {}

    void Name(std::string_view name) { W.WritePropName(Prefix_ + std::string(name)); }

    void Int(std::string_view name, std::int32_t value, std::int32_t def)
    {
        if (value != def) {
            Name(name);
            W.WriteInteger(value);
        }
    }
    void Bool(std::string_view name, bool value, bool def)
    {
        if (value != def) {
            Name(name);
            W.WriteBool(value);
        }
    }
    void Color(std::string_view name, TColor value, TColor def)
    {
        if (value != def) {
            Name(name);
            WriteColorValue(W, value);
        }
    }
    void Enum(std::string_view name, TMemberNames names, int value, int def)
    {
        if (value != def) {
            Name(name);
            WriteEnumValue(W, names, value);
        }
    }
    void Set(std::string_view name, TMemberNames names, std::uint64_t bits, std::uint64_t def)
    {
        if (bits != def) {
            Name(name);
            WriteSetValue(W, names, bits);
        }
    }
    /// Strings have no default: written when not empty, in the stream's code page.
    void Text(std::string_view name, const std::string& utf8)
    {
        if (!utf8.empty()) {
            Name(name);
            W.WriteString(ToStreamString(utf8));
        }
    }
    /// A picture as list levels store theirs: the kind's name as a short string, then its bytes.
    void Picture(std::string_view name, const TGraphic* picture)
    {
        if (!picture)
            return;
        std::string data;
        TTaggedWriter(data).WriteShortString(picture->ClassName());
        data += picture->SaveToBytes();
        Name(name);
        W.WriteBinary(data);
    }
    void Borders(const TRVBooleanRect& b)
    {
        Bool("VisibleBorders.Left", b.Left, true);
        Bool("VisibleBorders.Right", b.Right, true);
        Bool("VisibleBorders.Top", b.Top, true);
        Bool("VisibleBorders.Bottom", b.Bottom, true);
    }

    TTaggedWriter& W;

private:
    std::string Prefix_;
};

void WriteTableProperties(TPropWriter& p, const TRVTableItemInfo& t)
{
    const TRVTableProperties d;
    p.Set("Options", TableOptionNames, t.Options.Bits(), d.Options.Bits());
    p.Set("PrintOptions", TablePrintOptionNames, t.PrintOptions.Bits(), d.PrintOptions.Bits());
    p.Int("BestWidth", t.BestWidth, d.BestWidth);
    p.Color("Color", t.Color, d.Color);
    p.Enum("BackgroundStyle", BackgroundStyleNames, t.BackgroundStyle, d.BackgroundStyle);
    p.Int("HeadingRowCount", t.HeadingRowCount, d.HeadingRowCount);
    p.Text("TextRowSeparator", t.TextRowSeparator);
    p.Text("TextColSeparator", t.TextColSeparator);
    p.Int("BorderWidth", t.BorderWidth, d.BorderWidth);
    p.Color("BorderColor", t.BorderColor, d.BorderColor);
    p.Color("BorderLightColor", t.BorderLightColor, d.BorderLightColor);
    p.Enum("BorderStyle", TableBorderStyleNames, t.BorderStyle, d.BorderStyle);
    p.Int("BorderVSpacing", t.BorderVSpacing, d.BorderVSpacing);
    p.Int("BorderHSpacing", t.BorderHSpacing, d.BorderHSpacing);
    p.Borders(t.VisibleBorders);
    p.Int("CellBorderWidth", t.CellBorderWidth, d.CellBorderWidth);
    p.Color("CellBorderColor", t.CellBorderColor, d.CellBorderColor);
    p.Color("CellBorderLightColor", t.CellBorderLightColor, d.CellBorderLightColor);
    // Equal paddings, the common case, travel as one value.
    if (t.CellHPadding == t.CellVPadding) {
        p.Int("CellPadding", t.CellHPadding, d.CellHPadding);
    } else {
        p.Int("CellHPadding", t.CellHPadding, d.CellHPadding);
        p.Int("CellVPadding", t.CellVPadding, d.CellVPadding);
    }
    p.Enum("CellBorderStyle", TableBorderStyleNames, t.CellBorderStyle, d.CellBorderStyle);
    p.Int("VRuleWidth", t.VRuleWidth, d.VRuleWidth);
    p.Color("VRuleColor", t.VRuleColor, d.VRuleColor);
    p.Int("HRuleWidth", t.HRuleWidth, d.HRuleWidth);
    p.Color("HRuleColor", t.HRuleColor, d.HRuleColor);
    p.Int("CellVSpacing", t.CellVSpacing, d.CellVSpacing);
    p.Int("CellHSpacing", t.CellHSpacing, d.CellHSpacing);
    p.Bool("VOutermostRule", t.VOutermostRule, d.VOutermostRule);
    p.Bool("HOutermostRule", t.HOutermostRule, d.HOutermostRule);
    p.Picture("BackgroundImg", t.BackgroundImage.get());
}

void WriteCell(TTaggedWriter& w, const TRVTableCellData& cell, TRVFWriteContext& ctx)
{
    w.WriteInteger(cell.ColSpan());
    w.WriteInteger(cell.RowSpan());
    w.WriteShortString(CellClassName);
    w.WriteShortString({});
    TPropWriter p(w, "C.");
    const TRVTableCellProperties d;
    p.Color("Color", cell.Color, d.Color);
    p.Color("BorderColor", cell.BorderColor, d.BorderColor);
    p.Color("BorderLightColor", cell.BorderLightColor, d.BorderLightColor);
    p.Int("BestWidth", cell.BestWidth, d.BestWidth);
    p.Int("BestHeight", cell.BestHeight, d.BestHeight);
    p.Borders(cell.VisibleBorders);
    p.Enum("VAlign", CellVAlignNames, cell.VAlign, d.VAlign);
    p.Enum("BackgroundStyle", BackgroundStyleNames, cell.BackgroundStyle, d.BackgroundStyle);
    p.Text("BackgroundImageFileName", cell.BackgroundImageFileName);
    p.Text("Hint", cell.Hint);

    std::string content;
    if (ctx.WriteSubDocument)
        (void)ctx.WriteSubDocument(cell, content);
    std::string data;
    AppendInt32LE(data, static_cast<std::int32_t>(content.size()));
    data += content;
    p.Name("Data");
    w.WriteBinary(data);
    p.Picture("BackgroundImg", cell.BackgroundImage.get());
    w.WriteListEnd(); // end of properties
    w.WriteListEnd(); // end of children
}

// ---------------------------------------------------------------------------------------------
// Reading: assigning values by name. Each returns whether the value was taken.

/// The name without the prefix, when it has it (letter case aside).
bool StripPrefix(std::string_view& name, std::string_view prefix)
{
    if (name.size() <= prefix.size() || !SameIdent(name.substr(0, prefix.size()), prefix))
        return false;
    name.remove_prefix(prefix.size());
    return true;
}

bool ToBorders(std::string_view name, const TTaggedValue& v, TRVBooleanRect& b, bool& known)
{
    known = true;
    if (SameIdent(name, "VisibleBorders.Left"))
        return ValueToBool(v, b.Left);
    if (SameIdent(name, "VisibleBorders.Right"))
        return ValueToBool(v, b.Right);
    if (SameIdent(name, "VisibleBorders.Top"))
        return ValueToBool(v, b.Top);
    if (SameIdent(name, "VisibleBorders.Bottom"))
        return ValueToBool(v, b.Bottom);
    known = false;
    return false;
}

/// A picture stored as the kind's short-string name and its bytes; a kind that is not known is
/// left out, data that does not decode is kept as it is.
bool ToPicture(const TTaggedValue& v, std::unique_ptr<TGraphic>& picture, TRVFWarnings& warnings)
{
    if (v.Tag != TValueTag::Binary || v.Bytes.empty())
        return false;
    const std::size_t nameLength = static_cast<unsigned char>(v.Bytes[0]);
    if (1 + nameLength > v.Bytes.size())
        return false;
    const std::string className = v.Bytes.substr(1, nameLength);
    const std::string_view bytes = std::string_view(v.Bytes).substr(1 + nameLength);
    std::unique_ptr<TGraphic> graphic = CreateGraphic(className);
    if (!graphic) {
        warnings.Include(WarnUnknownPicture);
        return true;
    }
    if (!graphic->LoadFromBytes(bytes)) {
        warnings.Include(WarnInvalidPicture);
        graphic = std::make_unique<TUnreadablePicture>(className, std::string(bytes));
    }
    picture = std::move(graphic);
    return true;
}

bool AssignTableProperty(std::string_view name, const TTaggedValue& v, TRVTableItemInfo& t, TRVFWarnings& warnings)
{
    if (!StripPrefix(name, "T."))
        return false;
    const std::pair<std::string_view, std::int32_t*> ints[] = {
        {"BestWidth", &t.BestWidth},         {"HeadingRowCount", &t.HeadingRowCount},
        {"BorderWidth", &t.BorderWidth},     {"BorderVSpacing", &t.BorderVSpacing},
        {"BorderHSpacing", &t.BorderHSpacing}, {"CellBorderWidth", &t.CellBorderWidth},
        {"CellHPadding", &t.CellHPadding},   {"CellVPadding", &t.CellVPadding},
        {"VRuleWidth", &t.VRuleWidth},       {"HRuleWidth", &t.HRuleWidth},
        {"CellVSpacing", &t.CellVSpacing},   {"CellHSpacing", &t.CellHSpacing}};
    for (const auto& [field, target] : ints)
        if (SameIdent(name, field))
            return ValueToInt32(v, *target);
    const std::pair<std::string_view, TColor*> colors[] = {
        {"Color", &t.Color},
        {"BorderColor", &t.BorderColor},
        {"BorderLightColor", &t.BorderLightColor},
        {"CellBorderColor", &t.CellBorderColor},
        {"CellBorderLightColor", &t.CellBorderLightColor},
        {"VRuleColor", &t.VRuleColor},
        {"HRuleColor", &t.HRuleColor}};
    for (const auto& [field, target] : colors)
        if (SameIdent(name, field))
            return ValueToColor(v, *target);
    bool known = false;
    const bool taken = ToBorders(name, v, t.VisibleBorders, known);
    if (known)
        return taken;

    if (SameIdent(name, "CellPadding")) {
        std::int32_t padding = 0;
        if (!ValueToInt32(v, padding))
            return false;
        t.SetCellPadding(padding);
        return true;
    }
    if (SameIdent(name, "Options"))
        return ToSet(v, TableOptionNames, t.Options);
    if (SameIdent(name, "PrintOptions"))
        return ToSet(v, TablePrintOptionNames, t.PrintOptions);
    if (SameIdent(name, "BackgroundStyle"))
        return ToEnum(v, BackgroundStyleNames, t.BackgroundStyle);
    if (SameIdent(name, "BorderStyle"))
        return ToEnum(v, TableBorderStyleNames, t.BorderStyle);
    if (SameIdent(name, "CellBorderStyle"))
        return ToEnum(v, TableBorderStyleNames, t.CellBorderStyle);
    if (SameIdent(name, "TextRowSeparator"))
        return ValueToText(v, t.TextRowSeparator);
    if (SameIdent(name, "TextColSeparator"))
        return ValueToText(v, t.TextColSeparator);
    if (SameIdent(name, "VOutermostRule"))
        return ValueToBool(v, t.VOutermostRule);
    if (SameIdent(name, "HOutermostRule"))
        return ValueToBool(v, t.HOutermostRule);
    if (SameIdent(name, "BackgroundImg"))
        return ToPicture(v, t.BackgroundImage, warnings);
    return false;
}

bool AssignCellProperty(std::string_view name, const TTaggedValue& v, TRVTableCellData& cell, TRVFWarnings& warnings)
{
    if (!StripPrefix(name, "C."))
        return false;
    if (SameIdent(name, "Color"))
        return ValueToColor(v, cell.Color);
    if (SameIdent(name, "BorderColor"))
        return ValueToColor(v, cell.BorderColor);
    if (SameIdent(name, "BorderLightColor"))
        return ValueToColor(v, cell.BorderLightColor);
    if (SameIdent(name, "BestWidth"))
        return ValueToInt32(v, cell.BestWidth);
    if (SameIdent(name, "BestHeight"))
        return ValueToInt32(v, cell.BestHeight);
    bool known = false;
    const bool taken = ToBorders(name, v, cell.VisibleBorders, known);
    if (known)
        return taken;
    if (SameIdent(name, "VAlign"))
        return ToEnum(v, CellVAlignNames, cell.VAlign);
    if (SameIdent(name, "BackgroundStyle"))
        return ToEnum(v, BackgroundStyleNames, cell.BackgroundStyle);
    if (SameIdent(name, "BackgroundImageFileName"))
        return ValueToText(v, cell.BackgroundImageFileName);
    if (SameIdent(name, "Hint"))
        return ValueToText(v, cell.Hint);
    if (SameIdent(name, "BackgroundImg"))
        return ToPicture(v, cell.BackgroundImage, warnings);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Reading: the structure of the stream

class TTableStreamReader {
public:
    TTableStreamReader(std::string_view stream, TRVTableItemInfo& table, TRVFReadContext& ctx)
        : R(stream), Table_(table), Ctx_(ctx)
    {
    }

    bool Read()
    {
        std::string className, objectName;
        if (!R.ReadSignature() || !R.ReadShortString(className) || !SameIdent(className, TableClassName) ||
            !R.ReadShortString(objectName))
            return false;
        std::vector<int> rowAligns, rowBreaks;
        for (;;) {
            std::string name;
            if (!R.ReadPropName(name))
                return false;
            if (name.empty())
                break;
            bool ok = true;
            if (SameIdent(name, "C"))
                ok = ReadCells();
            else if (SameIdent(name, "RowVAlign"))
                ok = ReadRowList(rowAligns, [](const TTaggedValue& v) {
                    // Ordinals as written; member names as other writers may store them.
                    int align = -1;
                    if (v.IsInteger())
                        return v.Int >= rvcTop && v.Int <= rvcVDefault ? static_cast<int>(v.Int) : -1;
                    return ValueToEnum(v, CellVAlignNames, align) ? align : -1;
                });
            else if (SameIdent(name, "RowPageBreakBefore"))
                ok = ReadRowList(rowBreaks, [](const TTaggedValue& v) {
                    bool flag = false;
                    return ValueToBool(v, flag) ? int{flag} : -1;
                });
            else
                ok = ReadScalar([&](const TTaggedValue& v) {
                    return AssignTableProperty(name, v, Table_, Ctx_.Warnings);
                });
            if (!ok)
                return false;
        }
        // Row lists may come before the cells they describe; they are applied at the end.
        for (int r = 0; r < Table_.RowCount(); ++r) {
            if (std::size_t(r) < rowAligns.size() && rowAligns[std::size_t(r)] >= 0)
                Table_.Rows[r].RowVAlign = static_cast<TRVCellVAlign>(rowAligns[std::size_t(r)]);
            if (std::size_t(r) < rowBreaks.size() && rowBreaks[std::size_t(r)] >= 0)
                Table_.Rows[r].RowPageBreakBefore = rowBreaks[std::size_t(r)] != 0;
        }
        return R.ReadListEnd(); // end of children
    }

private:
    /// Reads a scalar value and hands it to assign; a value not taken counts as unknown.
    template <class Assign>
    bool ReadScalar(Assign assign)
    {
        TTaggedValue value;
        if (!R.ReadValue(value))
            return false;
        if (!assign(value))
            Ctx_.Warnings.Include(WarnUnknownProperty);
        return true;
    }

    /// A list of one value per row; convert gives -1 for a value it cannot take.
    template <class Convert>
    bool ReadRowList(std::vector<int>& values, Convert convert)
    {
        values.clear();
        if (!R.ReadListBegin())
            return !R.Failed() && ReadScalar([](const TTaggedValue&) { return false; });
        while (!R.AtListEnd()) {
            TTaggedValue value;
            if (!R.ReadValue(value))
                return false;
            const int converted = convert(value);
            if (converted < 0)
                Ctx_.Warnings.Include(WarnUnknownProperty);
            values.push_back(converted);
        }
        return R.ReadListEnd();
    }

    bool ReadCells()
    {
        std::int32_t rows = 0, cols = 0;
        if (!R.ReadInt32(rows))
            return false;
        if (rows == 0)
            return Table_.RowCount() == 0;
        if (!R.ReadInt32(cols))
            return false;
        TRVTableGridBuilder grid(Table_, rows, cols, MaxTableSlotsInStream);
        if (!grid.SizeAccepted() || !R.ReadListBegin())
            return false;
        while (!R.AtListEnd()) {
            // An entry after the last slot, or a list that ends early below: "Wrong end of
            // cells list". A span that reaches beyond the grid or over a covered slot is cut,
            // as merging would cut it, and the table is kept.
            std::int32_t colSpan = 0, rowSpan = 0;
            if (grid.Complete() || !R.ReadInt32(colSpan) || !R.ReadInt32(rowSpan))
                return false;
            bool cut = false;
            TRVTableCellData* cell = grid.PlaceNext(colSpan, rowSpan, &cut);
            if (!cell)
                return false;
            if (cut)
                Ctx_.Warnings.Include(WarnUnknownProperty);
            cell->ResetToEmptyParagraph(&Ctx_.Sheet);
            if (!ReadCell(*cell))
                return false;
        }
        return R.ReadListEnd() && grid.Finish();
    }

    bool ReadCell(TRVTableCellData& cell)
    {
        std::string className, objectName;
        if (!R.ReadShortString(className) || !SameIdent(className, CellClassName) || !R.ReadShortString(objectName))
            return false;
        for (;;) {
            std::string name;
            if (!R.ReadPropName(name))
                return false;
            if (name.empty())
                break;
            TValueTag tag;
            if (SameIdent(name, "C.Data") && R.PeekTag(tag) && tag == TValueTag::Binary) {
                std::string data;
                if (!R.ReadBinary(data) || !ReadCellContent(cell, data))
                    return false;
                continue;
            }
            if (!ReadScalar([&](const TTaggedValue& v) { return AssignCellProperty(name, v, cell, Ctx_.Warnings); }))
                return false;
        }
        return R.ReadListEnd(); // end of children
    }

    /// A 32-bit byte count and an RVF stream of that length; it replaces the cell's content.
    bool ReadCellContent(TRVTableCellData& cell, std::string_view data)
    {
        if (data.size() < 4)
            return false;
        const std::int32_t length = ReadInt32LE(data.data());
        if (length < 0 || static_cast<std::size_t>(length) > data.size() - 4)
            return false;
        cell.Clear();
        if (length == 0)
            return true;
        return Ctx_.ReadSubDocument && Ctx_.ReadSubDocument(cell, data.substr(4, static_cast<std::size_t>(length)));
    }

    TTaggedReader R;
    TRVTableItemInfo& Table_;
    TRVFReadContext& Ctx_;
};

// ---------------------------------------------------------------------------------------------
// The record

class TTableCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& table = static_cast<const TRVTableItemInfo&>(owner.ItemAt(index));
        rec.AddField(0); // the seventh header field that non-text items share
        rec.SaveType = ctx.Binary() ? 2 : 0;
        rec.AddText(owner.TextAt(index));
        WriteExtraProperties(table, rec);
        rec.AddText("1");
        rec.AddData(WriteTableStream(table, ctx));
    }

    bool ReadHeaderTail(TCustomRVItemInfo&, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        std::int32_t ignored = 0;
        return tail.AtEnd() || tail.ReadInt(ignored);
    }

    bool IsBinaryLine(int line, int lineCount, int saveType) const override
    {
        return saveType == 2 && line == lineCount - 1 && lineCount >= 3;
    }

    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext& ctx) const override
    {
        std::int32_t marker = 0;
        if (lines.size() < 3 || !ParseInt32(lines[lines.size() - 2].Bytes, marker))
            return TRVFItemRead::Fail;
        name.assign(lines[0].Bytes);
        for (const TRVFInLine& line : lines.subspan(1, lines.size() - 3))
            ApplyExtraPropertyLine(item, line.Bytes);
        std::string stream;
        if (!lines.back().DecodeData(stream) ||
            !ReadTableStream(stream, static_cast<TRVTableItemInfo&>(item), ctx))
            return TRVFItemRead::Fail;
        return TRVFItemRead::Keep;
    }
};

} // namespace

std::string WriteTableStream(const TRVTableItemInfo& table, TRVFWriteContext& ctx)
{
    std::string out;
    TTaggedWriter w(out);
    w.WriteSignature();
    w.WriteShortString(TableClassName);
    w.WriteShortString({});
    TPropWriter p(w, "T.");
    WriteTableProperties(p, table);

    w.WritePropName("C");
    w.WriteInteger(table.RowCount());
    if (table.RowCount() > 0) {
        w.WriteInteger(table.ColCount());
        w.WriteListBegin();
        for (int r = 0; r < table.RowCount(); ++r)
            for (int c = 0; c < table.ColCount(); ++c)
                if (const TRVTableCellData* cell = table.Rows[r][c])
                    WriteCell(w, *cell, ctx);
        w.WriteListEnd();
    }

    bool aligned = false, breaks = false;
    for (int r = 0; r < table.RowCount(); ++r) {
        aligned = aligned || table.Rows[r].RowVAlign != rvcTop;
        breaks = breaks || table.Rows[r].RowPageBreakBefore;
    }
    if (aligned) {
        w.WritePropName("RowVAlign");
        w.WriteListBegin();
        for (int r = 0; r < table.RowCount(); ++r)
            w.WriteInteger(table.Rows[r].RowVAlign);
        w.WriteListEnd();
    }
    if (breaks) {
        w.WritePropName("RowPageBreakBefore");
        w.WriteListBegin();
        for (int r = 0; r < table.RowCount(); ++r)
            w.WriteBool(table.Rows[r].RowPageBreakBefore);
        w.WriteListEnd();
    }
    w.WriteListEnd(); // end of properties
    w.WriteListEnd(); // end of children
    return out;
}

bool ReadTableStream(std::string_view stream, TRVTableItemInfo& table, TRVFReadContext& ctx)
{
    if (table.RowCount() != 0)
        return false;
    bool ok = false;
    try {
        ok = TTableStreamReader(stream, table, ctx).Read();
    } catch (const std::exception&) {
        ok = false; // out of memory on a damaged stream
    }
    if (!ok)
        table.RemoveAllRows(); // nothing of a damaged grid stays behind
    return ok;
}

void RegisterTableRvfCodec()
{
    RegisterRvfItemCodec(rvsTable, std::make_shared<TTableCodec>());
}

} // namespace xq
