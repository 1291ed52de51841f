// TCustomRVData: the item container of documents, table cells and note texts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/ItemInfo.h"

namespace xq {

class TRVStyle;
class TRVMarkerItemInfo;
class TRVSeqItemInfo;

/// One entry of a container: the item's characters (text items) or name (other items),
/// and the item.
struct TRVItemEntry {
    std::string Text;
    std::unique_ptr<TCustomRVItemInfo> Item;
};

/// What an in-place change of an item touches, as the change channel tells it.
enum class TRVItemChange : std::uint8_t {
    /// What the item shows: its text, text style, paragraph style, checkpoint or properties.
    Content,
    /// Its paragraph flags (ContinuesPara, NewLine, NewPageBefore): a join or a split, which
    /// changes the paragraphs before and after it too.
    ParagraphFlags,
    /// Data nothing lays out or draws (the tag).
    Data,
};

/// Hears of every change of a container's items before it is made, while the items are still as
/// they were. The editor's edit step is one: it widens the range it lays out again as the
/// document changes. Bulk passes that rebuild a container (readers, NormalizeDocument) run
/// without an observer.
class TRVChangeObserver {
public:
    TRVChangeObserver() = default;
    virtual ~TRVChangeObserver() = default;
    TRVChangeObserver(const TRVChangeObserver&) = delete;
    TRVChangeObserver& operator=(const TRVChangeObserver&) = delete;

    /// count items are about to go before item index (index may be Count()).
    virtual void ItemsInserting(int index, int count) = 0;
    /// count items from first are about to be removed or taken out.
    virtual void ItemsRemoving(int first, int count) = 0;
    /// Items first..last are about to change in place.
    virtual void ItemsChanging(int first, int last, TRVItemChange change) = 0;
};

/// The most items a document may have, its tables and notes included. Readers refuse larger
/// documents rather than let a small file of line ends ask for gigabytes: an empty paragraph
/// costs about 120 bytes before it is laid out, so the limit keeps a document below about a
/// gigabyte.
inline constexpr int MaxDocumentItems = 4'000'000;

/// An ordered list of (text, item) pairs with its checkpoints, list markers and sequences.
/// Text of a Unicode item is UTF-16LE bytes (even length); other text is 8-bit in the code page
/// of its style. Names, tags and hints are UTF-8.
class TCustomRVData {
public:
    /// A top-level container using sheet (which must outlive it; may be null for a bare list).
    explicit TCustomRVData(TRVStyle* sheet = nullptr) noexcept;
    virtual ~TCustomRVData();
    TCustomRVData(const TCustomRVData&) = delete;
    TCustomRVData& operator=(const TCustomRVData&) = delete;

    [[nodiscard]] TRVStyle* GetRVStyle() const noexcept;
    [[nodiscard]] TCustomRVData* GetParentData() const noexcept { return Parent_; }
    [[nodiscard]] const TCustomRVData& GetRootData() const noexcept;

    /// When false, an added item that would start a paragraph becomes a line break instead.
    bool AllowNewParagraphs = true;
    /// Tags are strings here; an editor with integer tags cannot take this one's content.
    bool TagsArePChars = true;

    /// While deferred (on this container or one it lies in), markers and sequences that come or
    /// go join or leave their lists without renumbering them: a reader that adds many renumbers
    /// once at the end (RenumberAll), instead of once per item.
    void SetNumberingDeferred(bool deferred) noexcept { NumberingDeferred_ = deferred; }
    [[nodiscard]] bool NumberingDeferred() const noexcept;

    // --- Access -------------------------------------------------------------------------------
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(C_->Items.size()); }
    [[nodiscard]] bool Empty() const noexcept { return C_->Items.empty(); }
    /// Checked access: an index outside 0..Count-1 throws "Item index is out of bounds".
    [[nodiscard]] TCustomRVItemInfo& ItemAt(int index) const;
    [[nodiscard]] const std::string& TextAt(int index) const;
    void SetText(int index, std::string text);
    [[nodiscard]] int StyleOf(int index) const { return ItemAt(index).StyleNo; }
    /// StyleOf with rvsDefStyle resolved through the paragraph's DefStyleNo (text style 0 when none).
    [[nodiscard]] int ActualStyleOf(int index) const;
    [[nodiscard]] int ParaOf(int index) const { return ItemAt(index).ParaNo; }
    [[nodiscard]] const std::string& TagOf(int index) const { return ItemAt(index).Tag; }
    /// The item begins a paragraph: neither ContinuesPara nor NewLine.
    [[nodiscard]] bool StartsParagraph(int index) const { return ItemAt(index).StartsParagraph(); }
    /// The item begins a paragraph or a line inside one.
    [[nodiscard]] bool StartsLine(int index) const { return !ItemAt(index).ContinuesPara(); }
    /// Caret offsets: 1 .. length+1 inside text (characters, not bytes), 0 .. 1 around other items.
    [[nodiscard]] int OffsetBefore(int index) const;
    [[nodiscard]] int OffsetAfter(int index) const;
    /// Number of characters of a text item (UTF-16 units for Unicode items).
    [[nodiscard]] int ItemLength(int index) const;

    // --- Adding and removing --------------------------------------------------------------------
    /// Appends an item: ParaNo -1 continues the last paragraph (unless the last item is a
    /// full-line item); a paragraph start after a list marker first gets an empty text item.
    void AppendItem(std::string text, std::unique_ptr<TCustomRVItemInfo> item);
    /// Appends 8-bit text in styleNo (a negative styleNo means rvsDefStyle), converted to UTF-16
    /// when the style is Unicode. paraNo -1: same paragraph.
    void AppendText(std::string_view text, int styleNo, int paraNo = -1, std::string tag = {});
    /// Appends UTF-16 text, converted to the style's code page when the style is not Unicode.
    void AppendTextW(std::u16string_view text, int styleNo, int paraNo = -1, std::string tag = {});
    /// Appends text as it is, in the form the style stores.
    void AppendPlain(std::string text, int styleNo, int paraNo = -1);
    /// AppendText with tab characters replaced by SpacesInTab spaces (8 without a sheet).
    void AppendTextExpandingTabs(std::string_view text, int styleNo, int paraNo = -1, std::string tag = {});

    /// Places an item at index as it is (the caller keeps the document valid).
    void InsertItemAt(int index, std::string text, std::unique_ptr<TCustomRVItemInfo> item);
    /// Removes count items from first (count is cut at the end), with their checkpoints.
    void RemoveItems(int first, int count);
    /// Takes an item out without freeing it; its checkpoint stays with it, unlinked.
    [[nodiscard]] TRVItemEntry ExtractItem(int index);
    /// Takes count items out from first (count is cut at the end), in one step, without freeing
    /// them; their checkpoints stay with them, unlinked.
    [[nodiscard]] std::vector<TRVItemEntry> ExtractItems(int first, int count);
    /// Places items before index as they are, in one step (the caller keeps the document valid).
    void InsertItems(int index, std::vector<TRVItemEntry> items);
    /// Removes all items, checkpoints and the pending checkpoint.
    void Clear();
    /// Makes room for count items in all, so that appending them allocates nothing more.
    void ReserveItems(std::int64_t count) { C_->Items.reserve(std::size_t(std::max<std::int64_t>(count, 0))); }
    /// Moves all items of source (which becomes empty) before index, in one step, with their
    /// checkpoints; markers and notes join this container.
    void InsertItemsFrom(TCustomRVData& source, int index);

    // --- Change channel ----------------------------------------------------------------------
    /// The one observer told before every change of the items (null: none). It must outlive its
    /// registration.
    void SetChangeObserver(TRVChangeObserver* observer) noexcept { Observer_ = observer; }
    [[nodiscard]] TRVChangeObserver* ChangeObserver() const noexcept { return Observer_; }
    /// Tells the observer that items first..last are about to change in place. Whoever changes an
    /// item's fields directly (style, flags, tag, properties) calls it first; the container's own
    /// operations tell it themselves.
    void ItemsChanging(int first, int last, TRVItemChange change = TRVItemChange::Content)
    {
        if (Observer_)
            Observer_->ItemsChanging(first, last, change);
    }
    void ItemChanging(int index, TRVItemChange change = TRVItemChange::Content) { ItemsChanging(index, index, change); }

    // --- Checkpoints ----------------------------------------------------------------------------
    /// Creates the checkpoint that the next added item receives; returns its number. Only one
    /// can be pending: a second call returns the number of the existing one.
    int CreatePendingCheckpoint(std::string name, bool raiseEvent, std::string tag);
    [[nodiscard]] TRVCPInfo* PendingCheckpoint() const noexcept { return C_->PendingCP.get(); }
    /// The pending checkpoint, taken out (for a writer that stores it at the end).
    std::unique_ptr<TRVCPInfo> TakePendingCheckpoint() noexcept { return std::move(C_->PendingCP); }
    /// Makes cp the pending checkpoint, replacing one that was pending.
    void SetPendingCheckpoint(std::unique_ptr<TRVCPInfo> cp) noexcept { C_->PendingCP = std::move(cp); }
    [[nodiscard]] TRVCPInfo* FirstCheckpoint() const noexcept { return C_->FirstCP; }
    [[nodiscard]] TRVCPInfo* LastCheckpoint() const noexcept { return C_->LastCP; }
    [[nodiscard]] int CheckpointCount() const noexcept { return C_->CPCount; }
    /// Attaches cp to the item at index, replacing a checkpoint it had.
    void SetCheckpoint(int index, std::unique_ptr<TRVCPInfo> cp);
    /// Detaches and frees the checkpoint of the item at index.
    void RemoveCheckpoint(int index);

    // --- Extra properties -----------------------------------------------------------------------
    /// Throws "Can't get or set this kind of information for this item" when the item has no such property.
    [[nodiscard]] std::int32_t GetItemExtraIntProperty(int index, TRVExtraItemProperty prop) const;
    void SetItemExtraIntProperty(int index, TRVExtraItemProperty prop, std::int32_t value);
    [[nodiscard]] std::string GetItemExtraStrProperty(int index, TRVExtraItemStrProperty prop) const;
    void SetItemExtraStrProperty(int index, TRVExtraItemStrProperty prop, const std::string& value);

    // --- Lists kept by the container --------------------------------------------------------------
    /// The list markers of this container in document order.
    [[nodiscard]] std::vector<TRVMarkerItemInfo*>& Markers() noexcept { return C_->Markers; }
    [[nodiscard]] const std::vector<TRVMarkerItemInfo*>& Markers() const noexcept { return C_->Markers; }
    /// The sequence items of this container in document order.
    [[nodiscard]] std::vector<TRVSeqItemInfo*>& Sequences() noexcept { return C_->Sequences; }
    [[nodiscard]] const std::vector<TRVSeqItemInfo*>& Sequences() const noexcept { return C_->Sequences; }
    /// The index of item in this container, or -1.
    [[nodiscard]] int IndexOf(const TCustomRVItemInfo* item) const noexcept;

    // --- Borrowed content ----------------------------------------------------------------------
    /// Shows and changes the content of other instead of its own, which stays aside untouched:
    /// items, checkpoints, markers and sequences are other's, and items inserted or removed here
    /// are inserted into or removed from other. This is how a table cell is edited in place by an
    /// editor of its own. Null gives the container its own content back; a container that is
    /// destroyed (either of the two) ends the borrowing. other's own content may be borrowed by one
    /// container at a time.
    void BorrowContentOf(TCustomRVData* other) noexcept;
    /// The container whose content this one shows: itself, or the one it borrows from.
    [[nodiscard]] TCustomRVData& ContentOwner() const noexcept { return *C_->Home; }

    /// Copies the whole content of source (items with checkpoints) after Clear.
    /// Throws "Can't assign DocView to DocView - tags types mismatch" when the tag modes differ.
    void AssignDocument(const TCustomRVData& source);

protected:
    /// A sub-document of parent (table cell, note text).
    explicit TCustomRVData(TCustomRVData* parent) noexcept;
    void SetParentData(TCustomRVData* parent) noexcept { Parent_ = parent; }

private:
    friend void NormalizeDocument(TCustomRVData& data);

    void CheckIndex(int index) const;
    /// A text item for the append operations: styleNo < 0 becomes rvsDefStyle, the Unicode bit
    /// follows the text style the item will show in, and codePage receives that style's code page.
    [[nodiscard]] std::unique_ptr<TCustomRVItemInfo> NewTextItem(int styleNo, int paraNo, std::string tag,
                                                                 int& codePage) const;
    /// Rebuilds the checkpoint chain from the items, after a pass that moved items in bulk.
    void RelinkCheckpoints() noexcept;
    void CheckUnicodeText(const TCustomRVItemInfo& item, const std::string& text) const;
    void LinkCheckpoint(int index);
    void UnlinkCheckpoint(TRVCPInfo* cp) noexcept;
    void ReleaseItemAt(int index);

    void TellInserting(int index, int count)
    {
        if (Observer_ && count > 0)
            Observer_->ItemsInserting(index, count);
    }
    void TellRemoving(int first, int count)
    {
        if (Observer_ && count > 0)
            Observer_->ItemsRemoving(first, count);
    }

    /// What a container holds; another container may show and change it (BorrowContentOf).
    struct TContent {
        std::vector<TRVItemEntry> Items;
        TRVCPInfo* FirstCP = nullptr;
        TRVCPInfo* LastCP = nullptr;
        int CPCount = 0;
        std::unique_ptr<TRVCPInfo> PendingCP;
        std::vector<TRVMarkerItemInfo*> Markers;
        std::vector<TRVSeqItemInfo*> Sequences;
        /// The container the content belongs to: its items are inserted into and removed from it.
        TCustomRVData* Home = nullptr;
        /// The container that borrows it now, null when none.
        TCustomRVData* Borrower = nullptr;
    };

    TContent Own_;
    /// invariant: &Own_, or the content of the container this one borrows from.
    TContent* C_ = &Own_;
    TRVStyle* Sheet_ = nullptr;
    TRVChangeObserver* Observer_ = nullptr;
    TCustomRVData* Parent_ = nullptr;
    bool NumberingDeferred_ = false;
};

/// The text of a footnote or endnote: a sub-document whose markers and sequences are numbered
/// on from those of the document that holds the note.
class TRVSubData : public TCustomRVData {
public:
    /// owner is the note item that holds this text inside parent.
    TRVSubData(TCustomRVData* parent, const TCustomRVItemInfo* owner) noexcept
        : TCustomRVData(parent), Owner_(owner)
    {
    }
    [[nodiscard]] const TCustomRVItemInfo* OwnerItem() const noexcept { return Owner_; }
    /// The note moved into another container.
    void AttachTo(TCustomRVData* parent) noexcept { SetParentData(parent); }

private:
    const TCustomRVItemInfo* Owner_;
};

/// Calls fn for data and for every container below it, depth first, parents first.
void ForEachContainer(TCustomRVData& data, const std::function<void(TCustomRVData&)>& fn);

} // namespace xq
