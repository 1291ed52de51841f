// The RVF writer.
#include "formats/rvf/RvfWriter.h"

#include <algorithm>

#include "document/DocumentInfo.h"
#include "document/ItemText.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rvf/RvfItemCodec.h"
#include "formats/rvf/RvfItemCodecs.h"
#include "formats/rvf/RvfLines.h"
#include "formats/rvf/StyleStream.h"

namespace xq {

namespace {

std::string TagField(const std::string& tag)
{
    return tag.empty() ? std::string("0") : QuoteHeaderString(ToStreamString(tag));
}

class TStreamWriter {
public:
    TStreamWriter(const TRVStyle& sheet, TRVFOptions options, std::string& out, const TRVFWriter& owner)
        : Sheet_(sheet), Options_(options), Out_(out),
          Ctx_{sheet, options, [&owner](const TCustomRVData& data, std::string& bytes) {
                   return owner.WriteSubDocument(data, bytes);
               }}
    {
    }

    [[nodiscard]] bool Binary() const noexcept { return Options_.Contains(rvfoSaveBinary); }

    void WriteVersion() { WriteTextLine(Out_, "-8 1 3"); }

    void WriteBackground(const TRVDocumentInfo& info)
    {
        const bool picture = info.BackgroundPicture && info.BackgroundStyle != bsNoBitmap;
        const auto color = std::to_string(static_cast<std::int32_t>(info.BackgroundColor));
        const auto style = std::to_string(info.BackgroundStyle);
        if (!picture) {
            WriteTextLine(Out_, "-7 0 -1 0 0 0 " + style + " " + color);
            return;
        }
        WriteTextLine(Out_, "-7 2 0 0 " + std::to_string(Binary() ? 2 : 0) + " 0 " + style + " " + color);
        WriteTextLine(Out_, info.BackgroundPicture->ClassName());
        WriteDataLine(Out_, info.BackgroundPicture->SaveToBytes(), Binary());
    }

    void WriteSpecialData(int kind, std::string_view bytes)
    {
        WriteTextLine(Out_, "-9 1 0 0 " + std::to_string(Binary() ? 2 : 0) + " 0 " + std::to_string(kind));
        WriteDataLine(Out_, bytes, Binary());
    }

    void WriteSpecialLines(int kind, const std::vector<std::string>& lines)
    {
        WriteTextLine(Out_, "-9 " + std::to_string(lines.size()) + " 0 0 0 0 " + std::to_string(kind));
        for (const std::string& line : lines)
            WriteTextLine(Out_, line);
    }

    void WriteStyles(bool paragraphs)
    {
        if (Options_.Contains(rvfoSaveTextStyles))
            WriteSpecialData(1, WriteTextStyleStream(Sheet_.TextStyles));
        if (paragraphs && Options_.Contains(rvfoSaveParaStyles)) {
            WriteSpecialData(2, WriteParaStyleStream(Sheet_.ParaStyles));
            WriteSpecialData(4, WriteListStyleStream(Sheet_.ListStyles));
        }
    }

    void WriteDocProperties(const TRVDocumentInfo& info)
    {
        if (!info.DocProperties.empty()) {
            // A property line cannot hold line ends: CR and LF travel as bytes 1 and 2.
            std::vector<std::string> lines = info.DocProperties;
            for (std::string& line : lines)
                for (char& c : line)
                    c = c == '\r' ? '\x01' : c == '\n' ? '\x02' : c;
            WriteSpecialLines(5, lines);
        }
        WriteSpecialLines(7, info.DocParameters.RvfLines());
    }

    void WriteLayout(const TRVLayoutInfo& layout)
    {
        std::string block;
        AppendInt32LE(block, 0);
        AppendInt32LE(block, layout.PartialParagraphs ? 25 + 16 : 25);
        for (std::int32_t v : {layout.LeftMargin, layout.RightMargin, layout.TopMargin, layout.BottomMargin,
                               layout.MinTextWidth, layout.MaxTextWidth})
            AppendInt32LE(block, v);
        block.push_back(static_cast<char>(layout.BiDiMode));
        if (layout.PartialParagraphs) {
            AppendInt32LE(block, layout.FirstParaPartial ? 1 : 0);
            AppendInt32LE(block, layout.LastParaPartial ? 1 : 0);
            AppendInt32LE(block, layout.FirstParaListNo);
            AppendInt32LE(block, layout.FirstParaLevel);
        }
        WriteSpecialData(3, block);
    }

    void WriteCheckpoint(const TRVCPInfo& cp)
    {
        WriteTextLine(Out_, "-2 1 0 0 0 " + TagField(cp.Tag) + (cp.RaiseEvent ? " 1" : " 0") +
                                (cp.Persistent ? " 1" : " 0"));
        WriteTextLine(Out_, ToStreamString(cp.Name));
    }

    /// The items from first to last; text of the end items cut to the offsets when cut is set.
    void WriteItems(const TCustomRVData& data, int first, int last, const TRVFSelection* cut)
    {
        int i = first;
        while (i <= last) {
            const TCustomRVItemInfo& item = data.ItemAt(i);
            if (item.Checkpoint())
                WriteCheckpoint(*item.Checkpoint());
            if (item.IsText())
                i = WriteTextRecord(data, i, last, cut);
            else
                WriteItemRecord(data, i++);
        }
    }

private:
    std::string StyleField(int styleNo) const
    {
        if (Options_.Contains(rvfoUseStyleNames) && Sheet_.TextStyles.IsValidIndex(styleNo))
            return QuoteHeaderString(ToStreamString(Sheet_.TextStyles[styleNo].StyleName));
        return std::to_string(styleNo);
    }

    std::string ParaField(const TCustomRVItemInfo& item) const
    {
        if (item.ContinuesPara())
            return "-1";
        if (Options_.Contains(rvfoUseStyleNames) && Sheet_.ParaStyles.IsValidIndex(item.ParaNo))
            return QuoteHeaderString(ToStreamString(Sheet_.ParaStyles[item.ParaNo].StyleName));
        return std::to_string(item.ParaNo);
    }

    // The characters of text item i that belong to the written part, as stored bytes.
    std::string_view TextPart(const TCustomRVData& data, int i, const TRVFSelection* cut) const
    {
        const TRVItemText text = TRVItemText::Of(data, i);
        if (!cut)
            return text.Bytes();
        const auto unit = std::size_t(text.CharSize());
        const auto length = std::size_t(text.Length());
        std::size_t from = 0, to = length;
        if (i == cut->FirstItem)
            from = std::clamp<std::size_t>(std::size_t(std::max(cut->FirstOffset - 1, 0)), 0, length);
        if (i == cut->LastItem)
            to = std::clamp<std::size_t>(std::size_t(std::max(cut->LastOffset - 1, 0)), from, length);
        return text.Bytes().substr(from * unit, (to - from) * unit);
    }

    static bool JoinsRecord(const TCustomRVItemInfo& first, const TCustomRVItemInfo& next)
    {
        return next.IsText() && !next.ContinuesPara() && !next.Checkpoint() && next.StyleNo == first.StyleNo &&
               next.ParaNo == first.ParaNo && next.ItemOptions() == first.ItemOptions() && next.Tag == first.Tag &&
               next.Hint == first.Hint;
    }

    int WriteTextRecord(const TCustomRVData& data, int first, int last, const TRVFSelection* cut)
    {
        const TCustomRVItemInfo& item = data.ItemAt(first);
        int end = first + 1;
        if (!item.ContinuesPara())
            while (end <= last && JoinsRecord(item, data.ItemAt(end)))
                ++end;

        const bool unicode = item.IsUnicode();
        const int saveType = unicode && !Binary() ? 3 : 0;
        std::string header = StyleField(item.StyleNo) + " " + std::to_string(end - first) + " " + ParaField(item) + " " +
                             std::to_string(item.ItemOptions()) + " " + std::to_string(saveType) + " " +
                             TagField(item.Tag);
        if (!item.Hint.empty())
            header += " " + QuoteHeaderString(ToStreamString(item.Hint.str()));
        WriteTextLine(Out_, header);
        std::string clean;
        for (int k = first; k < end; ++k) {
            std::string_view text = TextPart(data, k, cut);
            clean.assign(text);
            if (ReplaceLineBreakCharacters(clean, unicode))
                text = clean;
            if (!unicode)
                WriteTextLine(Out_, text);
            else if (saveType == 3)
                WriteHexLine(Out_, text);
            else
                WriteUnicodeLine(Out_, text);
        }
        return end;
    }

    void WriteItemRecord(const TCustomRVData& data, int i)
    {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        const TRVFItemCodec* codec = FindRvfItemCodec(item.StyleNo);
        if (!codec)
            return; // a kind this writer cannot store is left out
        TRVFRecordOut record;
        codec->Write(data, i, Ctx_, record);
        WriteTextLine(Out_, std::to_string(item.StyleNo) + " " + std::to_string(record.Lines.size()) + " " +
                                ParaField(item) + " " + std::to_string(item.ItemOptions() & 0x07) + " " +
                                std::to_string(record.SaveType) + " " + TagField(item.Tag) + record.HeaderTail);
        for (const TRVFOutLine& line : record.Lines) {
            if (line.Kind == TRVFOutLine::Text)
                WriteTextLine(Out_, line.Bytes);
            else
                WriteDataLine(Out_, line.Bytes, Binary());
        }
    }

    const TRVStyle& Sheet_;
    TRVFOptions Options_;
    std::string& Out_;
    TRVFWriteContext Ctx_;
};

} // namespace

bool TRVFWriter::WriteStream(const TCustomRVData& data, TRole role, const TRVDocumentInfo* info,
                             const TRVFSelection* selection, std::string& out) const
{
    RegisterBuiltInRvfItemCodecs();
    if (data.Empty())
        return true;
    int first = 0, last = data.Count() - 1;
    if (selection) {
        first = std::clamp(selection->FirstItem, 0, last);
        last = std::clamp(selection->LastItem, first, last);
    }

    static const TRVDocumentInfo noInfo;
    const TRVDocumentInfo& docInfo = info ? *info : noInfo;

    TStreamWriter w(Sheet_, Options_, out, *this);
    w.WriteVersion();
    if (role == TRole::Document && Options_.Contains(rvfoSaveBack))
        w.WriteBackground(docInfo);
    if (role != TRole::SubDocument)
        w.WriteStyles(true);
    if (role == TRole::Document && Options_.Contains(rvfoSaveDocProperties))
        w.WriteDocProperties(docInfo);
    if (role == TRole::Document && docInfo.Layout && Options_.Contains(rvfoSaveLayout))
        w.WriteLayout(*docInfo.Layout);
    w.WriteItems(data, first, last, selection);
    if (role == TRole::Document && data.PendingCheckpoint())
        w.WriteCheckpoint(*data.PendingCheckpoint());
    return true;
}

bool TRVFWriter::WriteDocument(const TCustomRVData& doc, const TRVDocumentInfo* info, std::string& out) const
{
    return WriteStream(doc, TRole::Document, info, nullptr, out);
}

bool TRVFWriter::WriteSelection(const TCustomRVData& doc, const TRVFSelection& selection, std::string& out) const
{
    return WriteStream(doc, TRole::Selection, nullptr, &selection, out);
}

bool TRVFWriter::WriteSubDocument(const TCustomRVData& data, std::string& out) const
{
    return WriteStream(data, TRole::SubDocument, nullptr, nullptr, out);
}

} // namespace xq
