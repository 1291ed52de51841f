// Inserting items, text and fragments at the caret: the selection goes first (inside the same
// step), the caret's text item is cut in two and the new items go between the halves; then what
// the insertion left apart is joined again - the paragraph flags around the new items, the
// paragraph style of the paragraphs they touch, and the neighbours the merge rule joins.
#include <fstream>
#include <iterator>

#include "document/Normalize.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "editing/EditStep.h"
#include "formats/rvf/RvfReader.h"
#include "platform/CodePage.h"

namespace xq {

namespace {

constexpr std::uint8_t ParaFlags = TCustomRVItemInfo::rvioParagraphFlags;
constexpr TRVProtectOption StickingOptions[] = {rvprSticking, rvprSticking2, rvprSticking3};

} // namespace

// ---------------------------------------------------------------------------------------------
// Items at the caret

bool TCustomDocViewEdit::InsertItems(std::vector<TRVItemEntry> items, bool joinFirst, bool caretAtStart, TRVUndoType kind)
{
    if (items.empty())
        return true;
    if (!AskCanEdit()) {
        Beep();
        return false;
    }
    if (Data_.Count() > 0 && (!Data_.Formatted() || !Data_.CaretValid())) {
        Beep();
        return false;
    }
    const int keptTextStyle = CurrentTextStyle();
    TRVEditStep step(*this, kind);
    TRVDocPos pos = Data_.Count() > 0 ? Data_.CaretDocPos() : TRVDocPos{0, 0};
    // A refusal after the selection went takes the deletion back with the step.
    const TSelectionCut cut = DeleteSelectionFirst(pos);
    if (cut == TSelectionCut::Refused) {
        step.Refuse();
        return false;
    }
    if (cut == TSelectionCut::Cut)
        SetCurrentTextStyle(keptTextStyle);
    int index = 0;
    bool atItemStart = true; // the new items go before item index rather than after index - 1
    if (Data_.Count() > 0 && !RecInsertionPlace(pos, index, atItemStart)) {
        step.Refuse();
        return false;
    }
    const int n = static_cast<int>(items.size());
    const TInsertionFit fit = FitInsertedItems(items, joinFirst, index, atItemStart);
    RecInsertItems(index, std::move(items));
    const int afterNo = index + n;
    if (fit.TouchNext && afterNo < Data_.Count())
        RecSetFlags(afterNo, fit.NextFlags, Data_.ParaOf(afterNo));
    // Each paragraph the new items touch carries the style of its first item.
    RecUnifyParagraphStyle(index);
    if (afterNo - 1 < Data_.Count())
        RecUnifyParagraphStyle(afterNo - 1);
    TRVDocPos start;
    const TRVDocPos caret = RecJoinInsertedItems(index, afterNo - 1, start);
    // The insertion keeps the text style it started with, whatever the caret's item shows.
    step.Commit(caretAtStart ? start : caret, TRVLineBoundary::LineStart,
                [this, keptTextStyle] { SetCurrentTextStyle(keptTextStyle); });
    InsertedStart_ = start;
    InsertedEnd_ = caret;
    return true;
}

bool TCustomDocViewEdit::RecInsertionPlace(TRVDocPos pos, int& index, bool& atItemStart)
{
    pos = TextPosOf(pos);
    const int ci = pos.ItemNo;
    const TCustomRVItemInfo& at = Data_.ItemAt(ci);
    if (ParaReadOnly(ci))
        return false;
    const bool inside = at.IsText() && pos.Offset > Data_.OffsetBefore(ci) && pos.Offset < Data_.OffsetAfter(ci);
    if (inside) {
        if (StyleHas(ci, rvprModifyProtect))
            return false;
        for (const TRVProtectOption option : StickingOptions)
            if (StyleHas(ci, option))
                return false;
    }
    index = (pos.Offset == Data_.OffsetAfter(ci) && !IsEmptyText(ci)) || inside ? ci + 1 : ci;
    atItemStart = index == ci;
    if (!InsertionAllowedAt(index))
        return false;
    // The caret's text item is cut in two; the new items go between the halves.
    if (inside)
        RecSplitText(ci, pos.Offset);
    return true;
}

TCustomDocViewEdit::TInsertionFit TCustomDocViewEdit::FitInsertedItems(std::vector<TRVItemEntry>& items,
                                                                        bool joinFirst, int& index,
                                                                        bool atItemStart) const
{
    TCustomRVItemInfo& head = *items.front().Item;
    const bool tailFullLine = items.back().Item->IsFullLine();
    const bool headJoins = joinFirst && !head.IsFullLine() && !head.IsListMarker();
    // Items that start a paragraph go before a list marker rather than between it and its text.
    if (index > 0 && Data_.ItemAt(index - 1).IsListMarker() && !headJoins) {
        --index;
        atItemStart = true;
    }
    TInsertionFit fit;
    if (index < Data_.Count() && atItemStart && Data_.StartsLine(index)) {
        // Before the first item of a line: the new items take over its start, and the line
        // goes on after them.
        const TCustomRVItemInfo& next = Data_.ItemAt(index);
        std::uint8_t flags = next.ItemOptions() & ParaFlags;
        if (next.NewLine() && !headJoins)
            flags = 0;
        head.SetItemOptions(std::uint8_t((head.ItemOptions() & ~ParaFlags) | flags));
        if (!head.StartsParagraph())
            head.ParaNo = next.ParaNo;
        fit.TouchNext = true;
        fit.NextFlags = tailFullLine || next.IsFullLine() || next.IsListMarker()
                            ? std::uint8_t(next.ItemOptions() & ~ParaFlags & ~TCustomRVItemInfo::rvioNewLine)
                            : TCustomRVItemInfo::rvioContinuesPara;
    } else if (index > 0) {
        // After an item: the new items continue its line, or start a paragraph of their own.
        const TCustomRVItemInfo& prev = Data_.ItemAt(index - 1);
        const bool join = headJoins && !prev.IsFullLine();
        head.SetItemOptions(std::uint8_t((head.ItemOptions() & ~ParaFlags) | (join ? TCustomRVItemInfo::rvioContinuesPara : 0)));
        if (join)
            head.ParaNo = prev.ParaNo;
        // The rest of the line follows the new items, unless they end with a full-line item.
        if (index < Data_.Count() && !Data_.StartsParagraph(index) && tailFullLine)
            fit.TouchNext = true;
    } else {
        head.SetItemOptions(std::uint8_t(head.ItemOptions() & ~ParaFlags));
    }
    return fit;
}

TCustomDocViewEdit::TJoin TCustomDocViewEdit::RecJoinAtInsertion(int a, int b)
{
    if (a < 0 || b >= Data_.Count() || Data_.StartsLine(b))
        return TJoin::Apart;
    if (Data_.ItemAt(a).IsListMarker()) {
        // The marker's text: an empty item goes only when more text of the line follows it.
        if (IsEmptyText(b) && b + 1 < Data_.Count() && !Data_.StartsLine(b + 1) && CanRemoveItem(b)) {
            RecRemoveItem(b);
            return TJoin::IntoFirst;
        }
        return TJoin::Apart;
    }
    if (CanMerge(a, b, false)) {
        const bool aEmpty = IsEmptyText(a);
        RecMerge(a, b);
        return aEmpty ? TJoin::FirstGone : TJoin::IntoFirst;
    }
    // An empty item at the place goes (next to an object); one that must stay (its checkpoint
    // may not be lost) gets a line of its own.
    const int empty = IsEmptyText(a) ? a : IsEmptyText(b) ? b : -1;
    if (empty >= 0 && CanRemoveItem(empty)) {
        RecRemoveItem(empty);
        return empty == a ? TJoin::FirstGone : TJoin::IntoFirst;
    }
    if (empty >= 0)
        RecSetFlags(b, TCustomRVItemInfo::rvioNewLine, Data_.ParaOf(b));
    return TJoin::Apart;
}

TRVDocPos TCustomDocViewEdit::RecJoinInsertedItems(int first, int last, TRVDocPos& start)
{
    // Text of the surrounding style joins the surrounding items, and an empty item at the place
    // goes: first after the new items, then before them.
    TRVDocPos caret;
    const int lastLength = Data_.OffsetAfter(last);
    switch (RecJoinAtInsertion(last, last + 1)) {
    case TJoin::IntoFirst: caret = {last, lastLength}; break;
    case TJoin::FirstGone: caret = {last, Data_.OffsetBefore(last)}; break; // the empty last item gave way
    case TJoin::Apart: caret = {last, Data_.OffsetAfter(last)}; break;
    }
    start = {first, Data_.OffsetBefore(first)};
    if (first == 0)
        return caret;
    const int firstLength = Data_.OffsetAfter(first - 1);
    const TJoin joined = RecJoinAtInsertion(first - 1, first);
    if (joined == TJoin::Apart)
        return caret;
    if (caret.ItemNo == first && joined == TJoin::IntoFirst)
        caret = {first - 1, caret.Offset + firstLength - Data_.OffsetBefore(first - 1)};
    else if (caret.ItemNo >= first)
        --caret.ItemNo;
    start = joined == TJoin::IntoFirst ? TRVDocPos{first - 1, firstLength}
                                       : TRVDocPos{first - 1, Data_.OffsetBefore(first - 1)};
    return caret;
}

bool TCustomDocViewEdit::InsertItemAtCaret(std::string name, std::unique_ptr<TCustomRVItemInfo> item)
{
    if (CellEditor_)
        return CellEditor_->InsertItemAtCaret(std::move(name), std::move(item));
    if (!item)
        return false;
    // Full-line items, list markers and holders of persistent checkpoints start a paragraph.
    const TRVCPInfo* cp = item->Checkpoint();
    const bool starts = item->IsFullLine() || item->IsListMarker() || (cp && cp->Persistent);
    item->ParaNo = item->StyleNo == rvsBreak ? 0 : CurrentParaStyle();
    const TRVStyle* sheet = GetRVStyle();
    if (sheet && item->ParaNo < sheet->ParaStyles.Count() && sheet->ParaStyles[item->ParaNo].Options.Contains(rvpaoReadOnly)) {
        Beep();
        return false;
    }
    item->SetItemOptions(std::uint8_t(item->ItemOptions() & ~ParaFlags));
    const bool marker = item->IsListMarker();
    const int paraNo = item->ParaNo;
    std::vector<TRVItemEntry> items;
    items.push_back({std::move(name), std::move(item)});
    if (marker) {
        // A marker is followed by its paragraph's text: an empty item that the text at the
        // caret, if any, merges into.
        std::unique_ptr<TCustomRVItemInfo> empty;
        NewTextItem(TypingStyle(), paraNo, empty);
        empty->SetContinuesPara(true);
        items.push_back({{}, std::move(empty)});
    }
    return InsertItems(std::move(items), !starts, false, rvutInsert);
}

// ---------------------------------------------------------------------------------------------
// Text and fragments

void TCustomDocViewEdit::InsertTextAtCaret(std::string_view text, bool caretAtStart)
{
    if (CellEditor_) {
        CellEditor_->InsertTextAtCaret(text, caretAtStart);
        return;
    }
    // 8-bit text in the code page of the current text style (or 1252).
    const int style = CurrentTextStyle();
    const int charset = ValidTextStyle(style) ? GetRVStyle()->TextStyles[style].Charset : 0;
    InsertWideTextAtCaret(AnsiToUnicode(std::string(text), CodePageOfCharset(charset, 1252)), caretAtStart);
}

void TCustomDocViewEdit::InsertWideTextAtCaret(std::u16string_view text, bool caretAtStart)
{
    if (CellEditor_) {
        CellEditor_->InsertWideTextAtCaret(text, caretAtStart);
        return;
    }
    const TRVStyle* sheet = GetRVStyle();
    if (!sheet || text.empty())
        return;
    const int style = TypingStyle();
    const int paraNo = CurrentParaStyle();
    std::vector<TRVItemEntry> items;
    std::u16string run;
    std::uint8_t nextFlags = 0; // the paragraph flags of the next item
    bool lineOpen = false;      // the current paragraph has an item
    const auto add = [&](std::string itemText, std::unique_ptr<TCustomRVItemInfo> item) {
        item->ParaNo = paraNo;
        item->SetItemOptions(std::uint8_t((item->ItemOptions() & ~ParaFlags) | nextFlags));
        nextFlags = TCustomRVItemInfo::rvioContinuesPara;
        lineOpen = true;
        items.push_back({std::move(itemText), std::move(item)});
    };
    const auto flushRun = [&](bool force) {
        if (run.empty() && !force)
            return;
        std::unique_ptr<TCustomRVItemInfo> item;
        NewTextItem(style, paraNo, item);
        add(EncodeText(run, style), std::move(item));
        run.clear();
    };
    const auto endParagraph = [&](bool pageBreak) {
        flushRun(!lineOpen);
        nextFlags = pageBreak ? TCustomRVItemInfo::rvioNewPageBefore : 0;
        lineOpen = false;
    };
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char16_t c = text[k];
        if (c == u'\r' || c == u'\n') {
            if (k + 1 < text.size() && (text[k + 1] == u'\r' || text[k + 1] == u'\n') && text[k + 1] != c)
                ++k; // CR LF and LF CR are one break
            endParagraph(false);
        } else if (c == u'\f') {
            endParagraph(true);
        } else if (c == u'\v') {
            endParagraph(false);
        } else if (c == u'\t') {
            if (sheet->SpacesInTab < 1) {
                flushRun(false);
                auto tab = std::make_unique<TRVTabItemInfo>();
                tab->TextStyleNo = style;
                add({}, std::move(tab));
            } else {
                run.append(std::size_t(sheet->SpacesInTab), u' ');
            }
        } else {
            run += c;
        }
    }
    flushRun(!lineOpen);
    InsertItems(std::move(items), true, caretAtStart, rvutInsert);
}

bool TCustomDocViewEdit::InsertDocumentFromStream(std::string_view rvf)
{
    if (CellEditor_)
        return CellEditor_->InsertDocumentFromStream(rvf);
    TRVStyle* sheet = GetRVStyle();
    if (!sheet)
        return false;
    TCustomRVData fragment(sheet);
    // With the editor's options: pictures of unknown kinds and controls are dropped with a
    // warning (rvfoIgnoreUnknownPicFmt, rvfoIgnoreUnknownCtrls) instead of failing the insertion.
    TRVFReader reader(*sheet, RVFOptions);
    if (!reader.ReadFragment(fragment, 0, rvf))
        return false;
    // A fragment cut from a selection may start with the empty rest of an item (a selection
    // from the end of one); what cannot stand in a document goes before it is inserted.
    NormalizeDocument(fragment);
    if (fragment.Empty())
        return true;
    std::vector<TRVItemEntry> items = fragment.ExtractItems(0, fragment.Count());
    return InsertItems(std::move(items), true, false, rvutInsert);
}

bool TCustomDocViewEdit::InsertRtfFromStream(std::string_view rtf)
{
    if (CellEditor_)
        return CellEditor_->InsertRtfFromStream(rtf);
    TRVStyle* sheet = GetRVStyle();
    if (!sheet)
        return false;
    TCustomRVData fragment(sheet);
    // Read apart, then inserted as one step; without page parameters, since only opening a file
    // takes them.
    TRVRTFReaderProperties settings = RTFReadProperties;
    settings.ReadDocParameters = false;
    (void)settings.ReadRtfStreamIntoDocument(rtf, fragment, nullptr);
    if (fragment.Empty())
        return false;
    std::vector<TRVItemEntry> items = fragment.ExtractItems(0, fragment.Count());
    return InsertItems(std::move(items), true, false, rvutInsert);
}

bool TCustomDocViewEdit::InsertDocumentFromFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;
    return InsertDocumentFromStream(bytes);
}

} // namespace xq
