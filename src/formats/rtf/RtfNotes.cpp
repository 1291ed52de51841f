// Notes in RTF. A note is written where it stands as "\chftn" (the automatic note number) in the
// note's text style, followed by the destination "{\footnote ...}" that holds the note's text; an
// endnote adds "\ftnalt". The text is a container of its own and is written by the body writer
// like a table cell, but at nesting level 0: a note's paragraphs never lie in a table, even when
// the note does.
#include "formats/rtf/RtfNotes.h"

#include "document/RVData.h"
#include "lists/ListItems.h"

namespace xq {

namespace {

class TNoteRtf final : public TRVRTFItemWriter {
public:
    void CollectColors(const TCustomRVItemInfo& item, TRVRTFWriteContext& ctx) const override
    {
        // The note text is written with the document: its tables' colours and its restarting
        // markers count as the document's own.
        CollectRtfColors(static_cast<const TCustomRVNoteItemInfo&>(item).NoteText(), ctx);
    }
    [[nodiscard]] int TextStyleOf(const TCustomRVItemInfo& item) const override
    {
        return static_cast<const TCustomRVNoteItemInfo&>(item).TextStyleNo;
    }
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int) const override
    {
        const auto& note = static_cast<const TCustomRVNoteItemInfo&>(item);
        out += "\\chftn{\\footnote";
        if (note.StyleNo == rvsEndnote)
            out += "\\ftnalt";
        out += "\\pard\\plain ";
        ++ctx.NoteDepth;
        WriteRtfContainer(note.NoteText(), out, ctx, 0);
        --ctx.NoteDepth;
        out += '}';
    }
};

/// Inside a note the reference is the number of that note, which a reader computes itself; a
/// reference elsewhere belongs to no note and shows the text it has.
class TNoteReferenceRtf final : public TRVRTFItemWriter {
public:
    [[nodiscard]] int TextStyleOf(const TCustomRVItemInfo& item) const override
    {
        return static_cast<const TRVLabelItemInfo&>(item).TextStyleNo;
    }
    void Write(const TCustomRVItemInfo& item, const std::string&, std::string& out, TRVRTFWriteContext& ctx,
               int) const override
    {
        if (ctx.NoteDepth > 0)
            out += "\\chftn ";
        else
            AppendRtfText(out, static_cast<const TRVLabelItemInfo&>(item).Text);
    }
};

} // namespace

std::shared_ptr<const TRVRTFItemWriter> NewRtfNoteWriter()
{
    return std::make_shared<TNoteRtf>();
}

std::shared_ptr<const TRVRTFItemWriter> NewRtfNoteReferenceWriter()
{
    return std::make_shared<TNoteReferenceRtf>();
}

} // namespace xq
