// List markers, labels, sequences, notes and note references: the numbered items of a document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/StyleTypes.h"

namespace xq {

class TRVStyle;

/// The marker that starts a bulleted or numbered paragraph. Counter and DisplayText are derived:
/// they are recomputed from the markers of the same list whenever markers come, go or change.
class TRVMarkerItemInfo : public TRVRectItemInfo {
public:
    TRVMarkerItemInfo() noexcept : TRVRectItemInfo(rvsListMarker) {}
    TRVMarkerItemInfo(int listNo, int level, int startFrom = 1, bool reset = false) noexcept
        : TRVRectItemInfo(rvsListMarker), ListNo(listNo), Level(level), Reset(reset), StartFrom(startFrom)
    {
    }

    /// Cached index in the container's marker list; -1 when unknown. Verified before use.
    std::int32_t PosInList = -1;
    /// Index of the list style; -1: no list, the marker shows nothing.
    std::int32_t ListNo = -1;
    /// 0 = outermost; a level beyond the list's last level uses the last one.
    std::int32_t Level = 0;
    /// Computed number of this marker.
    std::int32_t Counter = 1;
    /// This marker restarts the numbering at StartFrom.
    bool Reset = false;
    std::int32_t StartFrom = 1;
    /// Computed marker text (8-bit, in the marker font).
    std::string DisplayText;
    bool NoHTMLImageSize = false;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    void MarkStylesInUse(TRVStyleUsage& usage) const override;
    void UpdateStyles(const TRVStyleRenumbering& map) override;
    void OnInserted(TCustomRVData& owner, int index) override;
    void OnRemoving(TCustomRVData& owner) override;
};

/// Text that cannot be edited, shown in a text style of its own.
class TRVLabelItemInfo : public TRVRectItemInfo {
public:
    TRVLabelItemInfo() noexcept : TRVRectItemInfo(rvsLabel) {}

    std::int32_t TextStyleNo = 0;
    /// 8-bit text in the code page of the text style.
    std::string Text;
    /// Narrowest width the label takes, pixels.
    std::int32_t MinWidth = 0;
    /// Placement of the text inside MinWidth: 0 left, 1 right, 2 centre.
    std::uint8_t Alignment = 0;
    /// The text style cannot be changed by the user.
    bool ProtectTextStyleNo = false;

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    void MarkStylesInUse(TRVStyleUsage& usage) const override;
    void UpdateStyles(const TRVStyleRenumbering& map) override;

protected:
    explicit TRVLabelItemInfo(int styleNo) noexcept : TRVRectItemInfo(styleNo) {}
};

/// A number of a named sequence; sequences of one name (any letter case) count in document
/// order. The label text is the number.
class TRVSeqItemInfo : public TRVLabelItemInfo {
public:
    TRVSeqItemInfo() noexcept : TRVLabelItemInfo(rvsSequence) {}

    /// Cached index in the container's sequence list; -1 when unknown. Verified before use.
    std::int32_t PosInList = -1;
    std::string SeqName;
    TRVSeqType NumberType = rvseqDecimal;
    /// Template the number is shown in, kept as stored.
    std::string FormatText;
    bool Reset = false;
    std::int32_t StartFrom = 1;
    /// Computed number.
    std::int32_t Counter = 1;

    /// How the number is written; notes take it from the style sheet.
    [[nodiscard]] virtual TRVSeqType NumberingType(const TRVStyle* sheet) const noexcept { return NumberType; }

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void Assign(const TCustomRVItemInfo& source) override;
    void OnInserted(TCustomRVData& owner, int index) override;
    void OnRemoving(TCustomRVData& owner) override;

protected:
    explicit TRVSeqItemInfo(int styleNo) noexcept : TRVLabelItemInfo(styleNo) {}
};

/// A footnote or endnote: the reference number in the text, owning the note's text. The note
/// text's lists and sequences continue those of the container that holds the note.
class TCustomRVNoteItemInfo : public TRVSeqItemInfo {
public:
    ~TCustomRVNoteItemInfo() override;

    [[nodiscard]] TRVSubData& NoteText() noexcept { return *NoteText_; }
    [[nodiscard]] const TRVSubData& NoteText() const noexcept { return *NoteText_; }

    /// Besides the own fields, copies the note text item by item.
    void Assign(const TCustomRVItemInfo& source) override;
    [[nodiscard]] int SubDocumentCount() const noexcept override { return 1; }
    [[nodiscard]] TCustomRVData* SubDocument(int index) const noexcept override;
    void OnInserted(TCustomRVData& owner, int index) override;
    void OnRemoving(TCustomRVData& owner) override;

protected:
    TCustomRVNoteItemInfo(int styleNo, const char* seqName);

private:
    std::unique_ptr<TRVSubData> NoteText_;
};

class TRVFootnoteItemInfo : public TCustomRVNoteItemInfo {
public:
    TRVFootnoteItemInfo() : TCustomRVNoteItemInfo(rvsFootnote, "@footnote@") {}
    [[nodiscard]] TRVSeqType NumberingType(const TRVStyle* sheet) const noexcept override;
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
};

class TRVEndnoteItemInfo : public TCustomRVNoteItemInfo {
public:
    TRVEndnoteItemInfo() : TCustomRVNoteItemInfo(rvsEndnote, "@endnote@") {}
    [[nodiscard]] TRVSeqType NumberingType(const TRVStyle* sheet) const noexcept override;
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
};

/// The note's number repeated inside its own text; it shows the number of the note that owns
/// the text it sits in.
class TRVNoteReferenceItemInfo : public TRVLabelItemInfo {
public:
    TRVNoteReferenceItemInfo() noexcept : TRVLabelItemInfo(rvsNoteReference) {}

    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateEmpty() const override;
    void OnInserted(TCustomRVData& owner, int index) override;
};

/// Adds markers, labels, sequences, notes and note references to the registry of item kinds.
void RegisterListItemKinds();

} // namespace xq
