// The RVF reader: a single pass over the stream in memory, record by record.
#include "formats/rvf/RvfReader.h"

#include <vector>

#include "document/DocumentInfo.h"
#include "document/ItemRegistry.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "document/StyleMerge.h"
#include "formats/rvf/RvfItemCodec.h"
#include "formats/rvf/RvfItemCodecs.h"
#include "formats/rvf/RvfLines.h"
#include "formats/rvf/StyleStream.h"
#include "pictures/PictureKinds.h"
#include "pictures/UnreadablePicture.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

/// Streams nest through note texts and table cells; deeper nesting is refused.
constexpr int MaxNesting = 32;

enum class TRole { Document, Fragment, SubDocument };

/// A picture of a known kind whose data does not load (damaged, or claiming a size beyond the
/// picture limits) is kept byte for byte, shown as the invalid picture; null for unknown kinds.
std::unique_ptr<TGraphic> MakeKeptPicture(std::string_view className, std::string_view bytes, TRVFWarnings& warnings)
{
    std::unique_ptr<TGraphic> graphic = CreateGraphic(className);
    if (graphic && !graphic->LoadFromBytes(bytes)) {
        warnings.Include(WarnInvalidPicture);
        return std::make_unique<TUnreadablePicture>(std::string(className), std::string(bytes));
    }
    return graphic;
}

int FindStyleByName(const auto& collection, const std::string& utf8Name)
{
    for (int i = 0; i < collection.Count(); ++i)
        if (collection[i].StyleName == utf8Name)
            return i;
    return 0;
}

class TStreamReader {
public:
    TStreamReader(TRVFReadContext& ctx, TRVFReaderStyleMode textMode, TRVFReaderStyleMode paraMode,
                  TRVDocumentInfo* info, TRole role)
        : Ctx_(ctx), TextMode_(textMode), ParaMode_(paraMode), Info_(info), Role_(role)
    {
    }

    /// Reads the stream, appending items to target.
    bool Read(TCustomRVData& target, std::string_view data)
    {
        TRVFLineReader lines(data);
        while (!lines.AtEnd()) {
            std::string_view header;
            (void)lines.ReadTextLine(header);
            if (header.empty())
                continue;
            if (!ReadRecord(target, lines, header))
                return false;
        }
        // A marker is never the last item of its paragraph.
        if (!target.Empty() && target.ItemAt(target.Count() - 1).IsListMarker())
            target.AppendText({}, 0, -1);
        return true;
    }

    /// The first item read had ParaNo -1: it continues whatever precedes the insertion point.
    bool FirstItemContinues = false;

private:
    bool ReadRecord(TCustomRVData& target, TRVFLineReader& lines, std::string_view header)
    {
        TRVFHeaderParser h(header);
        std::int32_t styleNo = 0;
        std::string field;
        bool quoted = false;
        bool namedStyle = false;
        if (h.NextIsQuoted()) {
            if (!h.ReadString(field, quoted))
                return false;
            styleNo = FindStyleByName(Ctx_.Sheet.TextStyles, FromStreamString(field));
            namedStyle = true;
        } else if (!h.ReadInt(styleNo)) {
            return false;
        }

        if (styleNo == rvsVersionInfo)
            return h.ReadInt(Version_) && h.ReadInt(SubVersion_);

        std::int32_t lineCount = 0, paraNo = 0, options = 0, saveType = 0;
        if (!h.ReadInt(lineCount) || lineCount < 0)
            return false;
        bool namedPara = false;
        if (h.NextIsQuoted()) {
            if (!h.ReadString(field, quoted))
                return false;
            paraNo = FindStyleByName(Ctx_.Sheet.ParaStyles, FromStreamString(field));
            namedPara = true;
        } else if (!h.ReadInt(paraNo)) {
            return false;
        }
        if (Version_ >= 1 && SubVersion_ >= 2 && !h.ReadInt(options))
            return false;
        if (!h.ReadInt(saveType))
            return false;
        std::string tag;
        if (!h.ReadString(tag, quoted))
            return false;
        if (!quoted && tag == "0")
            tag.clear();
        tag = FromStreamString(tag);

        switch (styleNo) {
        case rvsCheckpoint:
            return ReadCheckpoint(target, lines, h, lineCount, std::move(tag));
        case rvsBack:
            return ReadBackground(lines, h, lineCount, saveType);
        case rvsDocProperty:
            return ReadSpecial(lines, h, lineCount, saveType);
        default:
            break;
        }
        // Paragraph numbers of items go through the maps like text style numbers.
        if (!namedPara && paraNo != -1 && !Ctx_.MapParaStyle(paraNo))
            return false;
        if (styleNo >= 0) {
            if (!namedStyle && !Ctx_.MapTextStyle(styleNo))
                return false;
            return ReadText(target, lines, h, styleNo, lineCount, paraNo, options, saveType, tag);
        }
        return ReadItem(target, lines, h, styleNo, lineCount, paraNo, options, saveType, std::move(tag));
    }

    /// False when the read reached the item limit: the document is refused, not cut.
    [[nodiscard]] bool Append(TCustomRVData& target, std::string text, std::unique_ptr<TCustomRVItemInfo> item)
    {
        if (++Ctx_.ItemsRead > Ctx_.ItemLimit) {
            Ctx_.TooLarge = true;
            return false;
        }
        if (target.Empty() && item->ParaNo == -1)
            FirstItemContinues = true;
        ItemsRead_ = true;
        target.AppendItem(std::move(text), std::move(item));
        return true;
    }

    bool ReadText(TCustomRVData& target, TRVFLineReader& lines, TRVFHeaderParser& h, int styleNo, int lineCount,
                  int paraNo, int options, int saveType, const std::string& tag)
    {
        std::string hint;
        bool quoted = false;
        if (!h.AtEnd() && h.ReadString(hint, quoted))
            hint = FromStreamString(hint);

        const bool unicode = (options & TCustomRVItemInfo::rvioUnicode) != 0;
        const TFontInfo& style = Ctx_.Sheet.TextStyles.StyleAt(styleNo == rvsDefStyle ? 0 : styleNo);
        const int codePage = Ctx_.Sheet.CodePageOfStyle(styleNo == rvsDefStyle ? -1 : styleNo);
        std::string decoded;
        // Every line takes at least a byte: what the stream can hold bounds what the header says.
        const std::int64_t possible = std::min<std::int64_t>(lineCount, std::int64_t(lines.Remaining()));
        if (Ctx_.ItemsRead + possible > Ctx_.ItemLimit && possible == lineCount) {
            Ctx_.TooLarge = true; // refused before any of its items is made
            return false;
        }
        // A record of many paragraphs (a long text saved as one record) takes its room at once.
        if (possible > target.Count())
            target.ReserveItems(std::int64_t(target.Count()) + possible);
        for (int k = 0; k < lineCount; ++k) {
            if (lines.AtEnd())
                return false;
            std::string_view line;
            if (unicode && saveType != 3)
                (void)lines.ReadUnicodeLine(line);
            else
                (void)lines.ReadTextLine(line);
            std::string text;
            if (unicode && saveType == 3) {
                if (!DecodeHex(line, decoded))
                    return false;
                text = std::move(decoded);
            } else {
                text.assign(line);
            }
            if (unicode && text.size() % 2 != 0)
                return false;

            auto item = std::make_unique<TRVTextItemInfo>(styleNo);
            item->ParaNo = paraNo;
            item->SetItemOptions(static_cast<std::uint8_t>(options));
            item->Tag = tag;
            item->Hint = hint;
            if (unicode && !style.Unicode) {
                text = UnicodeBytesToAnsi(text, codePage);
                item->SetUnicode(false);
                Ctx_.Warnings.Include(WarnConvertedTo8Bit);
            } else if (!unicode && style.Unicode) {
                text = AnsiToUnicodeBytes(text, codePage);
                item->SetUnicode(true);
                Ctx_.Warnings.Include(WarnConvertedToUnicode);
            }
            (void)ReplaceLineBreakCharacters(text, item->IsUnicode());
            if (!Append(target, std::move(text), std::move(item)))
                return false;
        }
        return true;
    }

    bool ReadItem(TCustomRVData& target, TRVFLineReader& lines, TRVFHeaderParser& h, int styleNo, int lineCount,
                  int paraNo, int options, int saveType, std::string tag)
    {
        const TRVFItemCodec* codec = FindRvfItemCodec(styleNo);
        std::unique_ptr<TCustomRVItemInfo> item = CreateItemByStyleNo(styleNo);
        if (!codec || !item)
            return false;
        item->ParaNo = paraNo;
        item->SetItemOptions(static_cast<std::uint8_t>(options & ~TCustomRVItemInfo::rvioUnicode));
        item->Tag = std::move(tag);
        if (!codec->ReadHeaderTail(*item, h, Ctx_))
            return false;

        std::vector<TRVFInLine> data;
        for (int k = 0; k < lineCount; ++k) {
            if (lines.AtEnd())
                return false;
            TRVFInLine line;
            line.Binary = codec->IsBinaryLine(k, lineCount, saveType);
            if (line.Binary ? !lines.ReadBinaryBlock(line.Bytes) : !lines.ReadTextLine(line.Bytes))
                return false;
            data.push_back(line);
        }

        std::string name;
        switch (codec->ReadData(*item, name, data, saveType, Ctx_)) {
        case TRVFItemRead::Keep:
            return Append(target, std::move(name), std::move(item));
        case TRVFItemRead::Drop:
            return true;
        case TRVFItemRead::Fail:
            break;
        }
        return false;
    }

    bool ReadCheckpoint(TCustomRVData& target, TRVFLineReader& lines, TRVFHeaderParser& h, int lineCount,
                        std::string tag)
    {
        std::int32_t raiseEvent = 0, persistent = 0;
        if (!h.AtEnd() && !h.ReadInt(raiseEvent))
            return false;
        if (!h.AtEnd() && !h.ReadInt(persistent))
            return false;
        auto cp = std::make_unique<TRVCPInfo>();
        cp->Tag = std::move(tag);
        cp->RaiseEvent = raiseEvent != 0;
        cp->Persistent = persistent != 0;
        for (int k = 0; k < lineCount; ++k) {
            std::string_view line;
            if (!lines.ReadTextLine(line))
                return false;
            if (k == 0)
                cp->Name = FromStreamString(line);
        }
        target.SetPendingCheckpoint(std::move(cp));
        return true;
    }

    bool ReadBackground(TRVFLineReader& lines, TRVFHeaderParser& h, int lineCount, int saveType)
    {
        std::int32_t style = 0, color = 0;
        if (!h.ReadInt(style) || !h.ReadInt(color))
            return false;
        // Lines: the picture's class name, then its data (a block in binary streams).
        std::string_view className;
        std::string bytes;
        for (int k = 0; k < lineCount; ++k) {
            std::string_view line;
            const bool binary = k == 1 && saveType == 2;
            if (binary ? !lines.ReadBinaryBlock(line) : !lines.ReadTextLine(line))
                return false;
            if (k == 0)
                className = line;
            else if (k == 1 && !TRVFInLine{line, binary}.DecodeData(bytes))
                return false;
        }
        if (Role_ != TRole::Document || !Info_ || !Ctx_.Options.Contains(rvfoLoadBack))
            return true;
        Info_->BackgroundStyle = style >= bsNoBitmap && style <= bsBottomRight ? TBackgroundStyle(style) : bsNoBitmap;
        Info_->BackgroundColor = static_cast<TColor>(color);
        Info_->BackgroundPicture.reset();
        if (lineCount >= 2) {
            Info_->BackgroundPicture = MakeKeptPicture(className, bytes, Ctx_.Warnings);
            if (!Info_->BackgroundPicture)
                Ctx_.Warnings.Include(WarnUnknownPicture);
        }
        return true;
    }

    bool ReadSpecial(TRVFLineReader& lines, TRVFHeaderParser& h, int lineCount, int saveType)
    {
        std::int32_t kind = 0;
        if (!h.ReadInt(kind))
            return false;
        const bool applyDocProps =
            Role_ == TRole::Document && Info_ && Ctx_.Options.Contains(rvfoLoadDocProperties);
        if (kind == 7 && applyDocProps)
            Info_->DocParameters.ResetToDefaults();

        const bool dataKind = kind == 1 || kind == 2 || kind == 3 || kind == 4 || kind == 6;
        for (int k = 0; k < lineCount; ++k) {
            std::string_view line;
            const bool binary = dataKind && saveType == 2;
            if (binary ? !lines.ReadBinaryBlock(line) : !lines.ReadTextLine(line))
                return false;
            if (dataKind) {
                std::string bytes;
                if (!TRVFInLine{line, binary}.DecodeData(bytes))
                    return false;
                if (k == 0 && !ApplyDataRecord(kind, bytes))
                    return false;
            } else if (kind == 5 && applyDocProps) {
                std::string property(line);
                for (char& c : property)
                    c = c == '\x01' ? '\r' : c == '\x02' ? '\n' : c;
                Info_->DocProperties.push_back(std::move(property));
            } else if (kind == 7 && applyDocProps) {
                Info_->DocParameters.ApplyRvfLine(line);
            }
        }
        return true;
    }

    bool ApplyDataRecord(int kind, const std::string& bytes)
    {
        switch (kind) {
        case 1:
            return ApplyTextStyles(bytes);
        case 2:
            return ApplyParaStyles(bytes);
        case 4:
            return ApplyListStyles(bytes);
        case 3:
            return ApplyLayout(bytes);
        case 6:
            return CheckMarkerState(bytes);
        default:
            return true;
        }
    }

    // Only the top stream of a read carries styles that count, and only its first record of a kind.
    // Styles that come after items would pull the ground from under the items already read, so a
    // stream's styles count only before its first item.
    [[nodiscard]] bool TakesStyles(TRVFReaderStyleMode mode, const std::optional<TRVIndexMap>& map) const
    {
        return Role_ != TRole::SubDocument && mode != rvf_sIgnore && !map && !ItemsRead_;
    }

    static TRVIndexMap Identity(int count)
    {
        TRVIndexMap map(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            map[std::size_t(i)] = i;
        return map;
    }

    [[nodiscard]] TRVStyleMergeMode MergeMode(TRVFReaderStyleMode mode) const
    {
        return mode == rvf_sInsertMap ? rvs_merge_Map : rvs_merge_SmartMerge;
    }

    /// A style record: read, then for a whole document replace the sheet's collection, for a
    /// fragment merge into it; the map takes the stream's numbers to the sheet's either way.
    template <class TInfos, class TReadFn, class TMergeFn>
    bool ApplyStyles(const std::string& bytes, TInfos& sheetStyles, TRVFReaderStyleMode mode,
                     std::optional<TRVIndexMap>& map, TReadFn read, TMergeFn merge)
    {
        TInfos styles(nullptr);
        if (!read(bytes, styles))
            return false;
        if (!TakesStyles(mode, map) || styles.Count() == 0)
            return true;
        if (Role_ == TRole::Document) {
            sheetStyles.CopyFrom(styles);
            map = Identity(styles.Count());
        } else {
            map = merge(sheetStyles, styles, MergeMode(mode));
        }
        return true;
    }

    bool ApplyTextStyles(const std::string& bytes)
    {
        return ApplyStyles(
            bytes, Ctx_.Sheet.TextStyles, TextMode_, Ctx_.TextMap,
            [this](const std::string& b, TFontInfos& into) { return ReadTextStyleStream(b, into, Ctx_.Warnings); },
            [](TFontInfos& sheet, const TFontInfos& from, TRVStyleMergeMode m) { return MergeStyles(sheet, from, m); });
    }

    bool ApplyParaStyles(const std::string& bytes)
    {
        return ApplyStyles(
            bytes, Ctx_.Sheet.ParaStyles, ParaMode_, Ctx_.ParaMap,
            [this](const std::string& b, TParaInfos& into) { return ReadParaStyleStream(b, into, Ctx_.Warnings); },
            [this](TParaInfos& sheet, const TParaInfos& from, TRVStyleMergeMode m) {
                // Default text styles of merged paragraph styles follow the text style map.
                return MergeStyles(sheet, from, m, Ctx_.TextMap ? &*Ctx_.TextMap : nullptr);
            });
    }

    bool ApplyListStyles(const std::string& bytes)
    {
        return ApplyStyles(
            bytes, Ctx_.Sheet.ListStyles, ParaMode_, Ctx_.ListMap,
            [this](const std::string& b, TRVListInfos& into) {
                return ReadListStyleStream(b, into, Ctx_.Warnings, [this](std::string_view c, std::string_view d) {
                    return MakeKeptPicture(c, d, Ctx_.Warnings);
                });
            },
            [](TRVListInfos& sheet, const TRVListInfos& from, TRVStyleMergeMode m) {
                return MergeStyles(sheet, from, m);
            });
    }

    bool ApplyLayout(const std::string& bytes)
    {
        if (bytes.size() < 8)
            return false;
        const std::int32_t subDocument = ReadInt32LE(bytes.data());
        const std::int32_t rest = ReadInt32LE(bytes.data() + 4);
        if (rest < 0 || static_cast<std::size_t>(rest) > bytes.size() - 8)
            return false;
        if (subDocument == 0 && rest < 25)
            return false; // "Invalid RVF format"
        if (Role_ != TRole::Document || !Info_ || subDocument != 0)
            return true;
        // Kept with the document so that saving it again writes the same layout.
        TRVLayoutInfo layout;
        const char* p = bytes.data() + 8;
        std::int32_t* fields[] = {&layout.LeftMargin,   &layout.RightMargin,  &layout.TopMargin,
                                  &layout.BottomMargin, &layout.MinTextWidth, &layout.MaxTextWidth};
        for (std::int32_t* f : fields) {
            *f = ReadInt32LE(p);
            p += 4;
        }
        const auto bidi = static_cast<unsigned char>(*p++);
        layout.BiDiMode = bidi <= rvbdRightToLeft ? TRVBiDiMode(bidi) : rvbdUnspecified;
        if (rest >= 25 + 16) {
            layout.PartialParagraphs = true;
            layout.FirstParaPartial = ReadInt32LE(p) != 0;
            layout.LastParaPartial = ReadInt32LE(p + 4) != 0;
            layout.FirstParaListNo = ReadInt32LE(p + 8);
            layout.FirstParaLevel = ReadInt32LE(p + 12);
        }
        Info_->Layout = layout;
        return true;
    }

    // The numbering state of a partly stored container; only its shape is checked here.
    static bool CheckMarkerState(const std::string& bytes)
    {
        if (bytes.size() < 8)
            return false;
        const std::int32_t count = ReadInt32LE(bytes.data() + 4);
        return count >= 0 && static_cast<std::size_t>(count) <= (bytes.size() - 8) / 17;
    }

    TRVFReadContext& Ctx_;
    TRVFReaderStyleMode TextMode_;
    TRVFReaderStyleMode ParaMode_;
    TRVDocumentInfo* Info_;
    TRole Role_;
    bool ItemsRead_ = false;
    std::int32_t Version_ = 0;
    std::int32_t SubVersion_ = 0;
};

} // namespace

/// One read: the shared context, with nested streams read by the same rules.
struct TRVFReader::TSession {
    TSession(TRVFReader& owner)
        : Owner(owner), Ctx{owner.Sheet_, owner.Options_, {}, {}, {}, {}, {}}
    {
        RegisterBuiltInRvfItemCodecs();
        Ctx.ItemLimit = owner.ItemLimit;
        Ctx.ReadSubDocument = [this](TCustomRVData& target, std::string_view data) {
            if (Depth >= MaxNesting)
                return false;
            ++Depth;
            TStreamReader nested(Ctx, Owner.TextMode_, Owner.ParaMode_, nullptr, TRole::SubDocument);
            const bool ok = nested.Read(target, data);
            --Depth;
            return ok;
        };
    }

    TRVFReader& Owner;
    TRVFReadContext Ctx;
    int Depth = 0;
};

bool TRVFReader::ReadDocument(TCustomRVData& doc, TRVDocumentInfo* info, std::string_view stream)
{
    doc.Clear();
    if (info) {
        info->DocProperties.clear();
        info->Layout.reset();
    }
    TSession session(*this);
    TRVFReadContext& ctx = session.Ctx;
    TStreamReader reader(ctx, TextMode_, ParaMode_, info, TRole::Document);
    const bool ok = reader.Read(doc, stream);
    Warnings_ = ctx.Warnings;
    TooLarge_ = ctx.TooLarge;
    return ok;
}

bool TRVFReader::ReadFragment(TCustomRVData& doc, int index, std::string_view stream)
{
    if (index < 0 || index > doc.Count())
        index = doc.Count();
    TSession session(*this);
    TRVFReadContext& ctx = session.Ctx;

    // The fragment is read on its own, then moved into place in one step.
    TCustomRVData fragment(&Sheet_);
    TStreamReader reader(ctx, TextMode_, ParaMode_, nullptr, TRole::Fragment);
    const bool ok = reader.Read(fragment, stream);
    Warnings_ = ctx.Warnings;
    TooLarge_ = ctx.TooLarge;
    if (fragment.Empty() || TooLarge_)
        return ok;

    const bool continues = reader.FirstItemContinues && index > 0 && !doc.ItemAt(index - 1).IsFullLine() &&
                           !fragment.ItemAt(0).IsFullLine() && !fragment.ItemAt(0).IsListMarker();
    const int count = fragment.Count();
    doc.InsertItemsFrom(fragment, index);
    if (continues) {
        // The first paragraph of the fragment joins the paragraph it was inserted into.
        const int paraNo = doc.ItemAt(index - 1).ParaNo;
        doc.ItemAt(index).SetContinuesPara(true);
        for (int i = index; i < index + count && (i == index || doc.ItemAt(i).ContinuesPara() || doc.ItemAt(i).NewLine()); ++i)
            doc.ItemAt(i).ParaNo = paraNo;
    }
    return ok;
}

} // namespace xq
