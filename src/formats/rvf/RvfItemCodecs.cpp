// The codecs of the built-in item kinds and of markers, labels, sequences and notes.
#include "formats/rvf/RvfItemCodecs.h"


#include "document/LengthBounds.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfItemCodec.h"
#include "lists/ListItems.h"
#include "pictures/PictureKinds.h"
#include "pictures/UnreadablePicture.h"

namespace xq {

namespace {

int NonTextSaveType(const TRVFWriteContext& ctx)
{
    return ctx.Binary() ? 2 : 0;
}

void ApplyExtraLines(TCustomRVItemInfo& item, std::span<const TRVFInLine> lines)
{
    for (const TRVFInLine& line : lines)
        ApplyExtraPropertyLine(item, line.Bytes);
}

/// A field of the header tail that may be missing; a present field must be a number.
bool OptionalField(TRVFHeaderParser& tail, std::int32_t& value, std::int32_t missing)
{
    if (tail.AtEnd()) {
        value = missing;
        return true;
    }
    return tail.ReadInt(value);
}

bool ReadVAlign(TCustomRVItemInfo& item, TRVFHeaderParser& tail)
{
    std::int32_t v = 0;
    if (!OptionalField(tail, v, 0))
        return false;
    if (v >= rvvaBaseline && v <= rvvaAbsMiddle)
        static_cast<TRVRectItemInfo&>(item).VAlign = static_cast<TRVVAlign>(v);
    return true;
}

// --- Horizontal line -------------------------------------------------------------------------

class TBreakCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVBreakItemInfo&>(owner.ItemAt(index));
        rec.AddField(static_cast<std::int32_t>(item.Color));
        rec.AddField(item.Style);
        rec.AddField(item.Width);
        rec.SaveType = NonTextSaveType(ctx);
        WriteExtraProperties(item, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        auto& brk = static_cast<TRVBreakItemInfo&>(item);
        std::int32_t color = 0, style = 0, width = 1;
        if (!OptionalField(tail, color, static_cast<std::int32_t>(clNone)) || !OptionalField(tail, style, 0) ||
            !OptionalField(tail, width, 1))
            return false;
        brk.Color = static_cast<TColor>(color);
        brk.Style = style >= rvbsLine && style <= rvbsDashed ? static_cast<TRVBreakStyle>(style) : rvbsLine;
        brk.Width = static_cast<std::uint8_t>(std::clamp(width, 0, 255));
        return true;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string&, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext&) const override
    {
        ApplyExtraLines(item, lines);
        return TRVFItemRead::Keep;
    }
};

// --- Pictures --------------------------------------------------------------------------------

class TPictureCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVGraphicItemInfo&>(owner.ItemAt(index));
        rec.AddField(item.VAlign);
        rec.AddText(owner.TextAt(index));
        const bool body = ctx.Options.Contains(rvfoSavePicturesBody) && item.Image;
        rec.SaveType = body ? NonTextSaveType(ctx) : 1;
        if (body)
            rec.AddText(item.Image->ClassName());
        WriteExtraProperties(item, rec);
        if (body)
            rec.AddData(item.Image->SaveToBytes());
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        return ReadVAlign(item, tail);
    }
    bool IsBinaryLine(int line, int lineCount, int saveType) const override
    {
        return saveType == 2 && line == lineCount - 1 && lineCount >= 3;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines,
                          int saveType, TRVFReadContext& ctx) const override
    {
        auto& pic = static_cast<TRVGraphicItemInfo&>(item);
        if (lines.empty())
            return TRVFItemRead::Fail;
        name.assign(lines[0].Bytes);
        if (saveType == 1) { // no body: the application would have to supply the picture
            ApplyExtraLines(item, lines.subspan(1));
            return TRVFItemRead::Keep;
        }
        if (lines.size() < 3)
            return TRVFItemRead::Fail;
        const std::string className(lines[1].Bytes);
        ApplyExtraLines(item, lines.subspan(2, lines.size() - 3));
        std::string data;
        if (!lines.back().DecodeData(data))
            return TRVFItemRead::Fail;
        std::unique_ptr<TGraphic> graphic = CreateGraphic(className);
        if (!graphic) {
            ctx.Warnings.Include(WarnUnknownPicture);
            return ctx.Options.Contains(rvfoIgnoreUnknownPicFmt) ? TRVFItemRead::Drop : TRVFItemRead::Fail;
        }
        if (!graphic->LoadFromBytes(data)) {
            // Shown as the sheet's invalid picture; the bytes stay for saving.
            ctx.Warnings.Include(WarnInvalidPicture);
            graphic = std::make_unique<TUnreadablePicture>(className, std::move(data));
        }
        pic.Image = std::move(graphic);
        return TRVFItemRead::Keep;
    }
};

// --- Controls --------------------------------------------------------------------------------

class TControlCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVControlItemInfo&>(owner.ItemAt(index));
        rec.AddField(item.VAlign);
        rec.AddText(owner.TextAt(index));
        const bool body = ctx.Options.Contains(rvfoSaveControlsBody);
        rec.SaveType = body ? NonTextSaveType(ctx) : 1;
        if (body)
            rec.AddText(item.ControlClassName);
        WriteExtraProperties(item, rec);
        if (body)
            rec.AddData(item.ControlData);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        return ReadVAlign(item, tail);
    }
    bool IsBinaryLine(int line, int lineCount, int saveType) const override
    {
        return saveType == 2 && line == lineCount - 1 && lineCount >= 3;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo&, std::string&, std::span<const TRVFInLine>, int,
                          TRVFReadContext& ctx) const override
    {
        // No window controls exist here, so every control class is unknown.
        ctx.Warnings.Include(WarnUnknownControl);
        return ctx.Options.Contains(rvfoIgnoreUnknownCtrls) ? TRVFItemRead::Drop : TRVFItemRead::Fail;
    }
};

// --- Image-list images -----------------------------------------------------------------------

class TBulletCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVBulletItemInfo&>(owner.ItemAt(index));
        rec.AddField(item.ImageList ? item.ImageList->Tag : item.ImageListTag);
        rec.AddField(item.ImageIndex);
        if (auto* hot = dynamic_cast<const TRVHotspotItemInfo*>(&item))
            rec.AddField(hot->HotImageIndex);
        rec.SaveType = NonTextSaveType(ctx);
        rec.AddText(owner.TextAt(index));
        WriteExtraProperties(item, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        auto& bullet = static_cast<TRVBulletItemInfo&>(item);
        if (!tail.ReadInt(bullet.ImageListTag) || !tail.ReadInt(bullet.ImageIndex))
            return false;
        if (auto* hot = dynamic_cast<TRVHotspotItemInfo*>(&item))
            return OptionalField(tail, hot->HotImageIndex, bullet.ImageIndex);
        return true;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext&) const override
    {
        if (lines.empty())
            return TRVFItemRead::Fail;
        name.assign(lines[0].Bytes);
        ApplyExtraLines(item, lines.subspan(1));
        // No image lists are supplied here: the image stays unresolved and its tag is kept.
        return TRVFItemRead::Keep;
    }
};

// --- List markers ----------------------------------------------------------------------------

class TMarkerCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVMarkerItemInfo&>(owner.ItemAt(index));
        rec.AddField(item.ListNo);
        rec.AddField(item.Level);
        rec.AddField(item.StartFrom);
        rec.AddField(item.Reset ? 1 : 0);
        rec.SaveType = NonTextSaveType(ctx);
        WriteExtraProperties(item, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext& ctx) const override
    {
        auto& marker = static_cast<TRVMarkerItemInfo&>(item);
        std::int32_t reset = 0;
        if (!tail.ReadInt(marker.ListNo) || !tail.ReadInt(marker.Level) || !tail.ReadInt(marker.StartFrom) ||
            !tail.ReadInt(reset))
            return false;
        marker.Reset = reset != 0;
        if (marker.Level < 0)
            marker.Level = 0;
        ctx.MapListStyle(marker.ListNo);
        return true;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string&, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext&) const override
    {
        ApplyExtraLines(item, lines);
        return TRVFItemRead::Keep;
    }
};

// A text style number inside an item record: through the maps, and never fatal (an unknown
// one becomes 0 with the warning).
void MapItemTextStyle(std::int32_t& styleNo, TRVFReadContext& ctx)
{
    const TRVFOptions saved = ctx.Options;
    ctx.Options.Include(rvfoConvUnknownStylesToZero);
    (void)ctx.MapTextStyle(styleNo);
    ctx.Options = saved;
}

// --- Tabs ------------------------------------------------------------------------------------

class TTabCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& item = static_cast<const TRVTabItemInfo&>(owner.ItemAt(index));
        rec.AddField(item.TextStyleNo);
        rec.SaveType = NonTextSaveType(ctx);
        WriteExtraProperties(item, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext& ctx) const override
    {
        auto& tab = static_cast<TRVTabItemInfo&>(item);
        if (!OptionalField(tail, tab.TextStyleNo, rvsDefStyle))
            return false;
        if (tab.TextStyleNo != rvsDefStyle)
            MapItemTextStyle(tab.TextStyleNo, ctx);
        return true;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string&, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext&) const override
    {
        ApplyExtraLines(item, lines);
        return TRVFItemRead::Keep;
    }
};

// --- Labels, sequences, notes ----------------------------------------------------------------

void WriteLabelFields(const TRVLabelItemInfo& label, TRVFRecordOut& rec)
{
    rec.AddText(std::to_string(label.TextStyleNo));
    rec.AddText(std::to_string(label.MinWidth));
    rec.AddText(std::to_string(label.Alignment));
    rec.AddText(label.ProtectTextStyleNo ? "protect" : "no-protect");
}

/// Reads TextStyleNo, MinWidth, Alignment and the protect word from four lines.
bool ReadLabelFields(TRVLabelItemInfo& label, std::span<const TRVFInLine> lines, TRVFReadContext& ctx)
{
    std::int32_t alignment = 0;
    if (lines.size() < 4 || !ParseInt32(lines[0].Bytes, label.TextStyleNo) || !ParseInt32(lines[1].Bytes, label.MinWidth) ||
        !ParseInt32(lines[2].Bytes, alignment))
        return false;
    // A negative least width is no least width.
    label.MinWidth = NonNegativeLengthRange.Clamp(label.MinWidth);
    label.Alignment = static_cast<std::uint8_t>(alignment >= 0 && alignment <= 2 ? alignment : 0);
    label.ProtectTextStyleNo = lines[3].Bytes == "protect";
    MapItemTextStyle(label.TextStyleNo, ctx);
    return true;
}

class TLabelCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& label = static_cast<const TRVLabelItemInfo&>(owner.ItemAt(index));
        rec.AddField(label.VAlign);
        rec.SaveType = NonTextSaveType(ctx);
        rec.AddText(label.Text);
        WriteLabelFields(label, rec);
        rec.AddText(owner.TextAt(index));
        WriteExtraProperties(label, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        return ReadVAlign(item, tail);
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext& ctx) const override
    {
        auto& label = static_cast<TRVLabelItemInfo&>(item);
        if (lines.size() < 6 || !ReadLabelFields(label, lines.subspan(1, 4), ctx))
            return TRVFItemRead::Fail;
        label.Text.assign(lines[0].Bytes);
        name.assign(lines[5].Bytes);
        ApplyExtraLines(item, lines.subspan(6));
        return TRVFItemRead::Keep;
    }
};

class TSequenceCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& seq = static_cast<const TRVSeqItemInfo&>(owner.ItemAt(index));
        rec.AddField(seq.VAlign);
        rec.SaveType = NonTextSaveType(ctx);
        rec.AddText(ToStreamString(seq.SeqName));
        rec.AddText(std::to_string(seq.NumberType));
        rec.AddText(seq.Reset ? "1" : "0");
        rec.AddText(std::to_string(seq.StartFrom));
        WriteLabelFields(seq, rec);
        rec.AddText(owner.TextAt(index));
        rec.AddText(seq.FormatText);
        WriteExtraProperties(seq, rec);
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        return ReadVAlign(item, tail);
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext& ctx) const override
    {
        auto& seq = static_cast<TRVSeqItemInfo&>(item);
        std::int32_t type = 0, reset = 0;
        if (lines.size() < 10 || !ParseInt32(lines[1].Bytes, type) || !ParseInt32(lines[2].Bytes, reset) ||
            !ParseInt32(lines[3].Bytes, seq.StartFrom) || !ReadLabelFields(seq, lines.subspan(4, 4), ctx))
            return TRVFItemRead::Fail;
        seq.SeqName = FromStreamString(lines[0].Bytes);
        seq.NumberType = type >= rvseqDecimal && type <= rvseqUpperRoman ? static_cast<TRVSeqType>(type) : rvseqDecimal;
        seq.Reset = reset != 0;
        name.assign(lines[8].Bytes);
        seq.FormatText.assign(lines[9].Bytes);
        ApplyExtraLines(item, lines.subspan(10));
        return TRVFItemRead::Keep;
    }
};

class TNoteCodec final : public TRVFItemCodec {
public:
    void Write(const TCustomRVData& owner, int index, TRVFWriteContext& ctx, TRVFRecordOut& rec) const override
    {
        const auto& note = static_cast<const TCustomRVNoteItemInfo&>(owner.ItemAt(index));
        rec.AddField(note.VAlign);
        rec.SaveType = NonTextSaveType(ctx);
        WriteLabelFields(note, rec);
        rec.AddText(note.Reset ? "1" : "0");
        rec.AddText(std::to_string(note.StartFrom));
        rec.AddText(owner.TextAt(index));
        WriteExtraProperties(note, rec);
        std::string text;
        if (ctx.WriteSubDocument)
            (void)ctx.WriteSubDocument(note.NoteText(), text);
        rec.AddData(std::move(text));
    }
    bool ReadHeaderTail(TCustomRVItemInfo& item, TRVFHeaderParser& tail, TRVFReadContext&) const override
    {
        return ReadVAlign(item, tail);
    }
    bool IsBinaryLine(int line, int lineCount, int saveType) const override
    {
        return saveType == 2 && line == lineCount - 1 && lineCount >= 8;
    }
    TRVFItemRead ReadData(TCustomRVItemInfo& item, std::string& name, std::span<const TRVFInLine> lines, int,
                          TRVFReadContext& ctx) const override
    {
        auto& note = static_cast<TCustomRVNoteItemInfo&>(item);
        std::int32_t reset = 0;
        if (lines.size() < 8 || !ReadLabelFields(note, lines.subspan(0, 4), ctx) ||
            !ParseInt32(lines[4].Bytes, reset) || !ParseInt32(lines[5].Bytes, note.StartFrom))
            return TRVFItemRead::Fail;
        note.Reset = reset != 0;
        name.assign(lines[6].Bytes);
        ApplyExtraLines(item, lines.subspan(7, lines.size() - 8));
        std::string text;
        if (!lines.back().DecodeData(text))
            return TRVFItemRead::Fail;
        if (!text.empty() && (!ctx.ReadSubDocument || !ctx.ReadSubDocument(note.NoteText(), text)))
            return TRVFItemRead::Fail;
        return TRVFItemRead::Keep;
    }
};

} // namespace

void RegisterBuiltInRvfItemCodecs()
{
    static const bool once = [] {
        RegisterRvfItemCodec(rvsBreak, std::make_shared<TBreakCodec>());
        auto picture = std::make_shared<TPictureCodec>();
        RegisterRvfItemCodec(rvsPicture, picture);
        RegisterRvfItemCodec(rvsHotPicture, picture);
        RegisterRvfItemCodec(rvsComponent, std::make_shared<TControlCodec>());
        auto bullet = std::make_shared<TBulletCodec>();
        RegisterRvfItemCodec(rvsBullet, bullet);
        RegisterRvfItemCodec(rvsHotspot, bullet);
        RegisterRvfItemCodec(rvsListMarker, std::make_shared<TMarkerCodec>());
        RegisterRvfItemCodec(rvsTab, std::make_shared<TTabCodec>());
        auto label = std::make_shared<TLabelCodec>();
        RegisterRvfItemCodec(rvsLabel, label);
        RegisterRvfItemCodec(rvsNoteReference, label);
        RegisterRvfItemCodec(rvsSequence, std::make_shared<TSequenceCodec>());
        auto note = std::make_shared<TNoteCodec>();
        RegisterRvfItemCodec(rvsFootnote, note);
        RegisterRvfItemCodec(rvsEndnote, note);
        return true;
    }();
    (void)once;
}

} // namespace xq
