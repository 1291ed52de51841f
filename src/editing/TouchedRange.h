// TRVTouchedRange: the items an edit has touched, counted from both ends of the document so that
// the count survives items inserted and removed inside the range, and what laying them out again
// needs to know of the document before the change: the paragraphs around them, their minimal
// width and the texts the list markers showed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "document/RVData.h"

namespace xq {

class TRVEditRVData;
class TRVMarkerItemInfo;

/// A change of a document as a text engine reports one: from item First on, Removed items of the
/// document before were replaced by Added items.
struct TRVDocumentChange {
    int First = 0;
    int Removed = 0;
    int Added = 0;
    [[nodiscard]] bool operator==(const TRVDocumentChange&) const = default;
};

/// Listens on a container's change channel while an edit runs. Every change widens the touched
/// range to whole paragraphs of the document as it is at that moment, which outside the range is
/// still the document before the edit; a change of paragraph flags (a join or a split) takes the
/// paragraphs before and after as well, and a removal that leaves the rest of a paragraph without
/// its start takes the paragraph the rest joins. One more paragraph on each side is laid out with
/// the touched ones. Before a paragraph joins that layout range its minimal width is noted, and,
/// when it holds a list marker, the texts of all markers, for the layout decides from those whether
/// the whole document must be laid out again - after the change the old items are gone. A marker
/// renumbered before its paragraph joins the range counts as one renumbered outside it.
///
/// invariant: the Head_ items at the start and the Tail_ items at the end are untouched items of
/// the document before the edit; the items between them are whole paragraphs, before and after,
/// and so are the LayoutHead_ .. LayoutTail_ items around them.
class TRVTouchedRange final : public TRVChangeObserver {
public:
    explicit TRVTouchedRange(TRVEditRVData& data) noexcept : Data_(data) {}

    void ItemsInserting(int index, int count) override;
    void ItemsRemoving(int first, int count) override;
    void ItemsChanging(int first, int last, TRVItemChange change) override;

    /// Something changed.
    [[nodiscard]] bool Changed() const noexcept { return Changed_; }
    /// Something changed that the layout shows (a tag shows nowhere).
    [[nodiscard]] bool NeedsLayout() const noexcept { return NeedsLayout_; }
    /// The touched items: First in both numberings, Removed of the document before, Added of now.
    [[nodiscard]] TRVDocumentChange Change() const noexcept;
    /// Counts the whole document as touched; it is laid out whole.
    void TouchAll();
    /// For a change made before anyone could watch it (the application changed an item itself):
    /// the widest minimal width the changed paragraphs had.
    void SetOldMinWidth(std::int32_t width) noexcept { OldMinWidth_ = width; }
    /// Lays out what changed, once: the layout range again, or the whole document when the
    /// document was not laid out, the text area's width does not hold or list markers outside the
    /// range were renumbered. Nothing when nothing the layout shows changed.
    void LayOut();

private:
    /// The first change: what the document was like before it.
    void Begin();
    /// Items first..last (as numbered now) are about to change; neighbours: with the paragraphs
    /// before and after theirs.
    void Touch(int first, int last, bool neighbours, bool shown);
    /// The touched range grows to the paragraphs a..b (as numbered now).
    void Widen(int a, int b);
    /// Untouched items from..to (as numbered now) join the layout range.
    void NoteEntering(int from, int to);
    void NoteMarkerTexts();
    [[nodiscard]] bool MarkersRenumberedOutside() const;
    /// The old layout's first draw item of the item numbered oldItemNo before the edit (the draw
    /// items still carry those numbers); the number of draw items when it has none.
    [[nodiscard]] int FirstDrawItemOf(int oldItemNo) const;

    TRVEditRVData& Data_;
    bool Changed_ = false;
    bool NeedsLayout_ = false;
    /// The whole document is laid out: it was not laid out before, or TouchAll.
    bool Whole_ = false;
    /// Head_ and Tail_ hold a range.
    bool HasRange_ = false;
    int CountBefore_ = 0;
    int Head_ = 0;
    int Tail_ = 0;
    int LayoutHead_ = 0;
    int LayoutTail_ = 0;
    std::int32_t OldMinWidth_ = 0;
    std::size_t MarkerCount_ = 0;
    bool MarkersNoted_ = false;
    /// A marker came or went before the texts could be noted: they may show other numbers already.
    bool MarkersMoved_ = false;
    std::map<const TRVMarkerItemInfo*, std::string> MarkerTexts_;
};

} // namespace xq
