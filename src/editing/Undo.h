// The undo and redo lists of the editable container: groups of records, each record able to
// reverse itself and to say which items it touches. Reversing a record writes its own reversal
// into the other list, so Undo fills the redo list and Redo the undo list with the same classes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/RVData.h"

namespace xq {

// Messages of misuse of the lists, word for word.
inline constexpr const char* errUndoListEmpty = "Can't modify empty undo list";
inline constexpr const char* errUndoIncorrectAdding = "Incorrect adding into undo list";
inline constexpr const char* errUndoBufferEmpty = "Undo buffer is empty";

/// The kind of a user-visible step (UndoAction and RedoAction report it; 0: nothing to do).
enum TRVUndoType : std::uint8_t {
    rvutNone = 0,
    rvutDelete,
    rvutInsert,
    rvutPara,
    rvutNewLine,
    rvutInsertPageBreak,
    rvutRemovePageBreak,
    rvutTyping,
    rvutTag,
    rvutStyleNo,
    rvutModifyItem,
    rvutList,
};

class TRVUndoList;

/// The items a group touches, in the numbering of the document before it is reversed, and the
/// number of items its reversal adds (negative: removes).
struct TRVUndoRange {
    int First = -1;
    int Last = -1;
    int ItemDelta = 0;
    [[nodiscard]] bool Empty() const noexcept { return First < 0; }
};

/// One reversible change.
class TRVUndoInfo {
public:
    TRVUndoInfo() = default;
    virtual ~TRVUndoInfo() = default;
    TRVUndoInfo(const TRVUndoInfo&) = delete;
    TRVUndoInfo& operator=(const TRVUndoInfo&) = delete;

    /// Reverses the change in data; the reversal is recorded into reverse (a group is open there).
    virtual void Undo(TCustomRVData& data, TRVUndoList& reverse) = 0;
    /// The first and last item the record touches, as numbered where the change left them.
    virtual void ItemRange(int& first, int& last) const = 0;
    /// How many items reversing the record adds (negative: removes).
    [[nodiscard]] virtual int ItemDelta() const noexcept { return 0; }
};

/// Base of the records about one item.
class TRVUndoItemNoInfo : public TRVUndoInfo {
public:
    explicit TRVUndoItemNoInfo(int itemNo) noexcept : ItemNo(itemNo) {}
    void ItemRange(int& first, int& last) const override { first = last = ItemNo; }
    int ItemNo;
};

/// Characters inserted into a text item: Position (1-based, characters) and Length.
class TRVUndoInsertSubstringInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoInsertSubstringInfo(int itemNo, int position, int length) noexcept
        : TRVUndoItemNoInfo(itemNo), Position(position), Length(length)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int Position;
    int Length;
};

/// A run of typed characters: the group stays while characters are left; Undo takes back the last.
class TRVUndoTypingInfo : public TRVUndoInsertSubstringInfo {
public:
    TRVUndoTypingInfo(int itemNo, int position, bool unicode) noexcept
        : TRVUndoInsertSubstringInfo(itemNo, position, 1), Unicode(unicode)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    bool Unicode;
};

/// Base of the records that keep a string (text bytes as the item stores them).
class TRVUndoStringInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoStringInfo(int itemNo, std::string s) noexcept : TRVUndoItemNoInfo(itemNo), S(std::move(s)) {}
    std::string S;
};

/// Base: a piece of text at Position (1-based, characters) of an item.
class TRVUndoSubStringInfo : public TRVUndoStringInfo {
public:
    TRVUndoSubStringInfo(int itemNo, int position, std::string s) noexcept
        : TRVUndoStringInfo(itemNo, std::move(s)), Position(position)
    {
    }
    int Position;
};

/// Text cut from an item.
class TRVUndoDeleteSubstringInfo : public TRVUndoSubStringInfo {
public:
    using TRVUndoSubStringInfo::TRVUndoSubStringInfo;
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
};

/// Characters that undoing typing took away, in text order; Redo puts back the first of them.
class TRVRedoTypingInfo : public TRVUndoSubStringInfo {
public:
    TRVRedoTypingInfo(int itemNo, int position, std::string s, bool unicode) noexcept
        : TRVUndoSubStringInfo(itemNo, position, std::move(s)), Unicode(unicode)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    bool Unicode;
};

/// The old text of an item.
class TRVUndoChangeTextInfo : public TRVUndoStringInfo {
public:
    using TRVUndoStringInfo::TRVUndoStringInfo;
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
};

/// An item placed at ItemNo.
class TRVUndoInsertItemInfo : public TRVUndoItemNoInfo {
public:
    using TRVUndoItemNoInfo::TRVUndoItemNoInfo;
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    [[nodiscard]] int ItemDelta() const noexcept override { return -1; }
};

/// An item taken out of ItemNo, kept alive with its text and checkpoint.
class TRVUndoDeleteItemInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoDeleteItemInfo(int itemNo, TRVItemEntry entry) noexcept
        : TRVUndoItemNoInfo(itemNo), Entry(std::move(entry))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    [[nodiscard]] int ItemDelta() const noexcept override { return 1; }
    TRVItemEntry Entry;
};

/// Count items placed from ItemNo on (an inserted fragment).
class TRVUndoInsertItemsInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoInsertItemsInfo(int itemNo, int count) noexcept : TRVUndoItemNoInfo(itemNo), Count(count) {}
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    void ItemRange(int& first, int& last) const override
    {
        first = ItemNo;
        last = ItemNo + Count - 1;
    }
    [[nodiscard]] int ItemDelta() const noexcept override { return -Count; }
    int Count;
};

/// A run of items taken out at ItemNo, kept alive with their texts and checkpoints.
class TRVUndoDeleteItemsInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoDeleteItemsInfo(int itemNo, std::vector<TRVItemEntry> entries) noexcept
        : TRVUndoItemNoInfo(itemNo), Entries(std::move(entries))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    [[nodiscard]] int ItemDelta() const noexcept override { return static_cast<int>(Entries.size()); }
    std::vector<TRVItemEntry> Entries;
};

/// An item replaced by another one (its properties changed as a whole); Old is the item before.
class TRVUndoModifyItemInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoModifyItemInfo(int itemNo, TRVItemEntry old) noexcept : TRVUndoItemNoInfo(itemNo), Old(std::move(old)) {}
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    TRVItemEntry Old;
};

/// One old integer property of an item (a picture's width or height, for instance).
class TRVUndoExtraIntProperty : public TRVUndoItemNoInfo {
public:
    TRVUndoExtraIntProperty(int itemNo, TRVExtraItemProperty property, std::int32_t value) noexcept
        : TRVUndoItemNoInfo(itemNo), Property(property), Value(value)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    TRVExtraItemProperty Property;
    std::int32_t Value;
};

/// The old paragraph flags (ContinuesPara, NewLine, NewPageBefore) and paragraph style of an item.
class TRVUndoNewLineInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoNewLineInfo(int itemNo, std::uint8_t options, int paraNo) noexcept
        : TRVUndoItemNoInfo(itemNo), Options(options), ParaNo(paraNo)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    std::uint8_t Options;
    int ParaNo;
};

/// The old text style of an item (with its Unicode bit).
class TRVUndoStyleNoInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoStyleNoInfo(int itemNo, int styleNo, bool unicode) noexcept
        : TRVUndoItemNoInfo(itemNo), StyleNo(styleNo), Unicode(unicode)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    int StyleNo;
    bool Unicode;
};

/// The old text style carried by a non-text item (a tab's leader style, a label's style).
class TRVUndoAssociatedTextStyleNoInfo : public TRVUndoStyleNoInfo {
public:
    TRVUndoAssociatedTextStyleNoInfo(int itemNo, int styleNo) noexcept : TRVUndoStyleNoInfo(itemNo, styleNo, false) {}
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
};

/// Base of the records that keep a list of integers.
class TRVUndoListInfo : public TRVUndoInfo {
public:
    explicit TRVUndoListInfo(std::vector<int> list) noexcept : List(std::move(list)) {}
    std::vector<int> List;
};

/// The old paragraph style of each paragraph of the items FirstItemNo..LastItemNo (the first
/// item starts a paragraph), one entry per paragraph in document order.
class TRVUndoParaListInfo : public TRVUndoListInfo {
public:
    TRVUndoParaListInfo(int firstItemNo, int lastItemNo, std::vector<int> list) noexcept
        : TRVUndoListInfo(std::move(list)), FirstItemNo(firstItemNo), LastItemNo(lastItemNo)
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    void ItemRange(int& first, int& last) const override
    {
        first = FirstItemNo;
        last = LastItemNo;
    }
    int FirstItemNo;
    int LastItemNo;
};

/// The old tag of an item.
class TRVUndoTagInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoTagInfo(int itemNo, std::string tag) noexcept : TRVUndoItemNoInfo(itemNo), Tag(std::move(tag)) {}
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    std::string Tag;
};

/// A checkpoint given to an item that had none.
class TRVUndoAddCPInfo : public TRVUndoItemNoInfo {
public:
    using TRVUndoItemNoInfo::TRVUndoItemNoInfo;
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
};

/// A checkpoint taken from an item.
class TRVUndoDeleteCPInfo : public TRVUndoItemNoInfo {
public:
    TRVUndoDeleteCPInfo(int itemNo, std::unique_ptr<TRVCPInfo> cp) noexcept
        : TRVUndoItemNoInfo(itemNo), Checkpoint(std::move(cp))
    {
    }
    void Undo(TCustomRVData& data, TRVUndoList& reverse) override;
    std::unique_ptr<TRVCPInfo> Checkpoint;
};

/// A place in an undo list's records, to roll back to.
struct TRVUndoMark {
    std::size_t Groups = 0;
    /// The records the last of those groups held.
    std::size_t Records = 0;
};

/// How groups handed over to a list are placed there.
enum class TRVGroupJoin : std::uint8_t {
    /// As if their records had been made in the list: in group mode a group joins the last one.
    AsRecorded,
    /// Each opens a group of its own (the reversal of an undone or redone group).
    Own,
};

/// One group: one user-visible step.
class TRVUndoInfos {
public:
    TRVUndoType StepKind = rvutNone;
    std::string StepTitle;
    /// The caret when the group was opened; Undo puts it back there.
    int CaretItemNo = -1;
    int CaretOffs = 0;
    std::vector<std::unique_ptr<TRVUndoInfo>> Records;

    /// The group holds exactly one typing record.
    [[nodiscard]] bool IsTyping() const noexcept;
    /// The items touched by reversing the whole group, in today's numbering, cut to count items.
    [[nodiscard]] TRVUndoRange AffectedRange(int count) const;
};

/// The undo list: groups, oldest first.
class TRVUndoList {
public:
    explicit TRVUndoList(TCustomRVData& data) noexcept : Data_(data) {}
    virtual ~TRVUndoList() = default;
    TRVUndoList(const TRVUndoList&) = delete;
    TRVUndoList& operator=(const TRVUndoList&) = delete;

    /// -1: unlimited; 0: nothing is recorded; n > 0: at most n groups.
    std::int32_t MaxGroups = -1;
    /// While above 0, operations join the last group.
    std::int32_t JoinDepth = 0;

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Groups_.size()); }
    [[nodiscard]] bool Empty() const noexcept { return Groups_.empty(); }
    [[nodiscard]] TRVUndoInfos& Group(int index) { return *Groups_.at(std::size_t(index)); }
    [[nodiscard]] TRVUndoInfos* LastGroup() noexcept { return Groups_.empty() ? nullptr : Groups_.back().get(); }
    /// The StepKind of the last group, rvutNone when there is none.
    [[nodiscard]] TRVUndoType CurrentUndoType() const noexcept;

    /// Opens a group (or joins the last one in group mode); false when nothing is recorded.
    bool BeginUndoGroup(TRVUndoType kind, const std::string& title, int caretItemNo, int caretOffs);
    /// Group mode on (+1) or off (-1).
    void SetGroupMode(bool on) noexcept { JoinDepth += on ? 1 : -1; }
    /// Appends a record to the last group.
    void AddInfo(std::unique_ptr<TRVUndoInfo> info);
    /// A character typed at (itemNo, position); caretItemNo/caretOffs is the caret before it.
    void AddTypedChar(int itemNo, int position, bool unicode, int caretItemNo, int caretOffs);
    /// Characters removed at (itemNo, position) by undoing typing.
    void AddRedoTypedChar(int itemNo, int position, const std::string& chars, bool unicode, int caretItemNo,
                          int caretOffs);
    /// Where the records stand now.
    [[nodiscard]] TRVUndoMark Mark() const noexcept;
    /// Reverses, newest first, every record made after mark and forgets them with the groups
    /// opened after it: an operation that ends halfway leaves the document as it found it.
    void RollBack(TRVUndoMark mark);
    /// Takes over the groups of log, oldest first, which leaves it empty. A typing group goes
    /// character by character through AddTypedChar (AddRedoTypedChar), so that it joins the run
    /// before it exactly as a character typed here would; any other group opens a group here
    /// (joins the last one in group mode, unless join is Own) and hands its records over. Groups
    /// without records are dropped, and everything is when this list records nothing.
    void Append(TRVUndoList& log, TRVGroupJoin join);
    void Clear() noexcept { Groups_.clear(); }

    /// Reverses the last group in the document, recording into reverse; the group leaves this
    /// list unless it is a typing group with characters left. nowItemNo/nowOffs is the caret
    /// before, which the group opened in reverse remembers; caretItemNo/caretOffs receive where
    /// the caret goes after. Throws "Undo buffer is empty".
    void Execute(TRVUndoList& reverse, int nowItemNo, int nowOffs, int& caretItemNo, int& caretOffs);

protected:
    [[nodiscard]] TCustomRVData& Data() noexcept { return Data_; }

private:
    void OpenGroup(TRVUndoType kind, const std::string& title, int caretItemNo, int caretOffs);
    /// Append for one typing group; false when the group is no typing group.
    bool AppendTyping(const TRVUndoInfos& group);

    TCustomRVData& Data_;
    std::vector<std::unique_ptr<TRVUndoInfos>> Groups_;
};

/// Group mode for the span of one compound operation: every step inside joins one group.
class TRVUndoGroupScope {
public:
    explicit TRVUndoGroupScope(TRVUndoList& list) noexcept : List_(list) { List_.SetGroupMode(true); }
    ~TRVUndoGroupScope() { List_.SetGroupMode(false); }
    TRVUndoGroupScope(const TRVUndoGroupScope&) = delete;
    TRVUndoGroupScope& operator=(const TRVUndoGroupScope&) = delete;

private:
    TRVUndoList& List_;
};

/// The redo list: the same groups, filled by Undo.
class TRVRedoList : public TRVUndoList {
public:
    using TRVUndoList::TRVUndoList;
};

// Text helpers shared by the records and the editor: positions are characters from 1, the
// bytes per character are 2 in a Unicode item and 1 otherwise.

/// The bytes of count characters of item itemNo from position.
[[nodiscard]] std::string ItemSubstring(const TCustomRVData& data, int itemNo, int position, int count);
/// Inserts bytes s at position of item itemNo.
void InsertItemSubstring(TCustomRVData& data, int itemNo, int position, const std::string& s);
/// Cuts count characters at position of item itemNo and returns them.
std::string CutItemSubstring(TCustomRVData& data, int itemNo, int position, int count);
[[nodiscard]] int CharSizeOf(const TCustomRVData& data, int itemNo);

/// The text style a non-text item carries (a tab's leader style, a label's style); false for
/// items that carry none.
[[nodiscard]] bool GetAssociatedTextStyleNo(const TCustomRVItemInfo& item, int& styleNo) noexcept;
/// Sets it; false for items that carry none.
bool SetAssociatedTextStyleNo(TCustomRVItemInfo& item, int styleNo) noexcept;

} // namespace xq
