// Formatting: items into lines of draw items.
//
// One run of TRVFormatter lays out a range of whole paragraphs into a fresh list of draw items,
// starting below a given y. FormatAll runs it over the whole container; ReformatRange over a
// few paragraphs around an edit, after which the new draw items take the old ones' slots and
// the lines below only move.
//
// Vertical model: a line starts at LineTop = (y below the previous line) + paragraph spacing.
// Its baseline lies its largest ascent below that. The y below a line is the lowest
// Top + Height + LineGapAfter of its vertically placed pieces (LineBottom), which is also where
// ReformatRange picks up, so a partial run continues exactly as a whole run would.
#include <algorithm>
#include <climits>

#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "layout/ContainerLayout.h"
#include "layout/ItemLayout.h"
#include "layout/LineBreak.h"
#include "layout/LineRules.h"
#include "layout/MarkerMetrics.h"
#include "layout/DisplayText.h"
#include "layout/TextAdvances.h"
#include "lists/ListItems.h"
#include "lists/Numbering.h"

namespace xq {

namespace {

constexpr char16_t Space = u' ';

/// The stored character at index of an item's text, 0 outside it.
char16_t StoredUnit(const TCustomRVData& data, int itemNo, int index) noexcept
{
    const TRVItemText text = TRVItemText::Of(data, itemNo);
    return index >= 0 && index < text.Length() ? text.UnitAt(index) : u'\0';
}

bool IsLineAligned(TRVObjectAlign align) noexcept
{
    return align >= VAlignLineTop;
}

} // namespace

/// Why a new line starts.
enum class TRVLineStart { Paragraph, NewLine, Wrap };

/// One run of the formatter over a range of whole paragraphs.
class TRVFormatter {
public:
    /// Draw items go to out; the first of them will stand at baseIndex of the container's list.
    /// y is the y below the line before the range.
    TRVFormatter(TRVContainerLayout& layout, int baseIndex, std::int32_t y, bool rebuild)
        : D_(layout), Sheet_(*layout.Doc_.GetRVStyle()), Fonts_(*layout.Fonts_), Canvas_(*layout.Canvas_),
          S_(layout.Scale_), Ctx_{Sheet_, Fonts_, Canvas_, S_, layout.Doc_, rebuild, &layout}, BaseIndex_(baseIndex),
          Y_(y)
    {
        LeftMarginDev_ = S_.X(layout.View_.LeftMargin);
        const_cast<TRVDeviceScale&>(S_).LeftMarginDev = LeftMarginDev_;
        ShowSoftHyphenMarks_ = layout.View_.Options.Contains(rvoShowSpecialCharacters) &&
                               VisibleSpecialCharacters().Contains(rvscSoftHyphen);
    }

    void FormatItems(int first, int last);
    /// Finishes the last line; returns the y below it.
    std::int32_t Finish();

    TRVDrawLines Out;
    std::vector<TRVJumpInfo> Jumps;

private:
    // Paragraph and line state.
    void BeginParagraph(int itemNo);
    void StartLine(int itemNo, TRVLineStart reason);
    void EndLine(bool byWrap);
    void CleanUpWrappedLine();
    void ResolvePendingTab();
    void FinishLine(bool lastLineOfParagraph);
    [[nodiscard]] bool LineEmpty() const noexcept { return !LineOpen_ || Out.Count() == LineFirst_; }
    [[nodiscard]] bool DirectlyAfterMarker() const;

    // Items.
    void FormatText(int itemNo, int start, int end);
    void FormatJustifiedText(int itemNo);
    void FormatObject(int itemNo);
    void FormatFullLine(int itemNo);
    void PrepareText(int itemNo);
    [[nodiscard]] std::int32_t TextWidth(int start, int count) const;
    [[nodiscard]] int FitChars(int start, int count, std::int32_t available) const;
    [[nodiscard]] bool IsSoftHyphenAt(int index) const;

    /// Adds a draw item to the current line with its baseline ascent and returns it.
    /// piece is the draw item to fill, or null for a plain one.
    TRVDrawLineInfo& Place(int itemNo, int firstChar, int charCount, std::int32_t width, std::int32_t height,
                           std::int32_t ascent, bool lineAligned, std::unique_ptr<TRVDrawLineInfo> piece = {});
    void AddJump(int itemNo, const TRVDrawLineInfo& d);

    [[nodiscard]] std::int32_t ParagraphSpacingBefore(int itemNo) const;
    [[nodiscard]] std::int32_t LineWidth() const noexcept { return Wraps_ ? D_.TextAreaWidth_ : D_.MinTextAreaWidth_; }

    TRVContainerLayout& D_;
    const TRVStyle& Sheet_;
    TRVFontInfoCache& Fonts_;
    TCanvas& Canvas_;
    const TRVDeviceScale& S_;
    TRVLayoutContext Ctx_;
    int BaseIndex_;
    std::int32_t LeftMarginDev_ = 0;
    bool ShowSoftHyphenMarks_ = false;
    static constexpr bool Trim_ = true; // on for the screen and for printing

    // Paragraph.
    const TParaInfo* Para_ = nullptr;
    const TRVListLevel* Level_ = nullptr;
    std::int32_t MarkerLeftPart_ = 0;
    bool Wraps_ = true;
    bool RightToLeft_ = false;
    bool HasBiDi_ = false;

    // Line.
    bool LineOpen_ = false;
    int LineFirst_ = 0;
    std::int32_t Y_;                 ///< y below the last finished line
    std::int32_t PendingSpace_ = 0;  ///< paragraph spacing not yet spent
    std::int32_t LineTop_ = 0;
    std::int32_t Baseline_ = 0;
    std::int32_t Ascent_ = 0;
    std::int32_t X_ = 0;             ///< x within the line
    std::int32_t LineStart_ = 0;     ///< x where the line starts
    std::int32_t Available_ = 0;     ///< width from LineStart_ to the line's right edge
    int CharsOnLine_ = 0;
    bool LineByWrap_ = false;
    bool SpaceConsumed_ = false;
    bool HasLineAligned_ = false;
    /// Per draw item of Out: begins with a space, is a tab, is placed on its line afterwards.
    std::vector<std::uint8_t> Flags_;
    static constexpr std::uint8_t fStartsWithSpace = 1, fTab = 2, fLineAligned = 4;

    // Pending right or centre tab.
    int TabIndex_ = -1;
    TRVTabAlign TabAlign_ = rvtaLeft;
    std::int32_t TabPosition_ = 0; ///< absolute x of the stop

    // The text item being formatted.
    int TextItem_ = -1;
    int TextStyle_ = 0;
    bool TextUnicode_ = false;
    std::u16string Text_;
    /// Text_ as the line-break search sees it: soft hyphens shown as marks still allow a break.
    std::u16string BreakText_;
    std::vector<int> Advances_;        ///< of Text_, by the measuring rule
    std::vector<std::int64_t> Prefix_; ///< Prefix_[k]: width of the first k characters
    const TRVFontInfoCacheItem* Font_ = nullptr;

    int JumpCounter_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Lines

std::int32_t TRVFormatter::ParagraphSpacingBefore(int itemNo) const
{
    std::int32_t space = S_.Y(Sheet_.ParaStyles.StyleAt(D_.Doc_.ParaOf(itemNo)).SpaceBefore);
    if (itemNo > 0)
        space += S_.Y(Sheet_.ParaStyles.StyleAt(D_.Doc_.ParaOf(itemNo - 1)).SpaceAfter);
    if (D_.Doc_.StyleOf(itemNo) == rvsBreak)
        space += S_.Y(Sheet_.ParaStyles.StyleAt(0).SpaceBefore);
    return space;
}

void TRVFormatter::BeginParagraph(int itemNo)
{
    Para_ = &Sheet_.ParaStyles.StyleAt(D_.Doc_.ParaOf(itemNo));
    Wraps_ = D_.ParagraphWraps(itemNo);
    const TRVBiDiMode bidi = Para_->BiDiMode != rvbdUnspecified ? Para_->BiDiMode : D_.View_.BiDiMode;
    RightToLeft_ = bidi == rvbdRightToLeft;
    HasBiDi_ = bidi != rvbdUnspecified;
    Level_ = nullptr;
    MarkerLeftPart_ = 0;
    const TCustomRVItemInfo& item = D_.Doc_.ItemAt(itemNo);
    if (item.IsListMarker()) {
        const auto& marker = static_cast<const TRVMarkerItemInfo&>(item);
        Level_ = MarkerLevel(&Sheet_, marker);
        if (Level_)
            MarkerLeftPart_ = MeasureMarker(Sheet_, marker, Canvas_, S_).LeftPart;
    }
}

void TRVFormatter::StartLine(int itemNo, TRVLineStart reason)
{
    if (!LineEmpty())
        EndLine(reason == TRVLineStart::Wrap);

    TRVLinePlace place = TRVLinePlace::NextLine;
    if (reason == TRVLineStart::Paragraph) {
        BeginParagraph(itemNo);
        place = Level_ ? TRVLinePlace::MarkerLine : TRVLinePlace::FirstLine;
        PendingSpace_ += ParagraphSpacingBefore(itemNo);
    } else if (reason == TRVLineStart::NewLine) {
        place = TRVLinePlace::LineBreak;
    }
    if (!Para_)
        BeginParagraph(itemNo);

    TRVLineIndents indents = LineIndents(*Para_, Level_, place, S_);
    if (place == TRVLinePlace::MarkerLine)
        indents.LeftOffset = std::max(indents.LeftOffset - MarkerLeftPart_, 0);
    if (RightToLeft_)
        std::swap(indents.LeftOffset, indents.RightIndent);

    LineStart_ = LeftMarginDev_ + indents.LeftOffset;
    Available_ = LineWidth() - indents.RightIndent - indents.LeftOffset;
    X_ = 0;
    CharsOnLine_ = 0;
    Ascent_ = 0;
    LineTop_ = ClampCoordinate(std::int64_t{Y_} + PendingSpace_);
    PendingSpace_ = 0;
    Baseline_ = LineTop_;
    LineFirst_ = Out.Count();
    LineOpen_ = true;
    LineByWrap_ = reason == TRVLineStart::Wrap;
    if (!LineByWrap_)
        SpaceConsumed_ = false;
    HasLineAligned_ = false;
    TabIndex_ = -1;
}

bool TRVFormatter::DirectlyAfterMarker() const
{
    return !LineEmpty() && D_.Doc_.ItemAt(Out[Out.Count() - 1].ItemNo).IsListMarker();
}

void TRVFormatter::CleanUpWrappedLine()
{
    const int last = Out.Count() - 1;
    TRVDrawLineInfo& d = Out[last];
    if (!D_.Doc_.ItemAt(d.ItemNo).IsText() || d.CharCount == 0)
        return;
    // The item being formatted is looked at in place: copying its text at every wrap would make
    // a long paragraph quadratic.
    std::u16string other;
    if (d.ItemNo != TextItem_)
        other = D_.DisplayTextOf(d.ItemNo);
    const std::u16string& text = d.ItemNo == TextItem_ ? Text_ : other;
    const int end = d.FirstChar - 1 + d.CharCount;
    if (end > static_cast<int>(text.size()) || text[std::size_t(end - 1)] != Space)
        return;
    if (d.CharCount > 1) {
        --d.CharCount;
        if (d.ItemNo == TextItem_) {
            d.Width = TextWidth(d.FirstChar - 1, d.CharCount);
        } else {
            d.Width = ClampExtent(TextAdvanceWidth(Canvas_, Fonts_, D_.Doc_.ActualStyleOf(d.ItemNo),
                                                   std::u16string_view(text).substr(std::size_t(d.FirstChar - 1),
                                                                                    std::size_t(d.CharCount))));
        }
        return;
    }
    // A piece that is only the space goes, unless it is all there is of its item or of the line.
    const bool laterPiece = last > LineFirst_ && Out[last - 1].ItemNo == d.ItemNo;
    if (laterPiece) {
        Out.RemoveLast();
        Flags_.pop_back();
    }
}

void TRVFormatter::EndLine(bool byWrap)
{
    if (byWrap && Trim_)
        CleanUpWrappedLine();
    // A line ending at a soft hyphen shows the hyphen.
    TRVDrawLineInfo& last = Out[Out.Count() - 1];
    const TCustomRVItemInfo& item = D_.Doc_.ItemAt(last.ItemNo);
    if (item.IsText() && item.IsUnicode() && last.CharCount > 0 && !ShowSoftHyphenMarks_ &&
        StoredUnit(D_.Doc_, last.ItemNo, last.FirstChar - 1 + last.CharCount - 1) == SoftHyphen)
        last.Width += Fonts_.Item(D_.Doc_.ActualStyleOf(last.ItemNo)).HyphenWidth;
    ResolvePendingTab();
    FinishLine(!byWrap);
}

void TRVFormatter::ResolvePendingTab()
{
    if (TabIndex_ < 0)
        return;
    const int tab = TabIndex_;
    TabIndex_ = -1;
    const int last = Out.Count() - 1;
    const std::int32_t lineRight = LineStart_ + Available_;
    const std::int32_t stop = std::min(TabPosition_, lineRight);
    const TRVDrawLineInfo& end = Out[last];
    const std::int32_t textRight = end.Left + end.Width;
    std::int32_t shift = 0;
    if (TabAlign_ == rvtaRight)
        shift = stop - textRight;
    else
        shift = (2 * stop - Out[tab].Left - Out[tab].Width - textRight) / 2;
    if (shift <= 0)
        return;
    Out[tab].Width += shift;
    for (int i = tab + 1; i <= last; ++i)
        Out[i].Left += shift;
    X_ += shift;
}

void TRVFormatter::FinishLine(bool lastLineOfParagraph)
{
    const int first = LineFirst_, last = Out.Count() - 1;
    LineOpen_ = false;
    if (last < first)
        return;
    const std::int32_t lineRight = LineStart_ + Available_;

    // a. Alignment, by the paragraph of the line's last piece.
    const TParaInfo& para = Sheet_.ParaStyles.StyleAt(D_.Doc_.ParaOf(Out[last].ItemNo));
    AlignLine(
        Out, first, last, para.Alignment, lineRight, lastLineOfParagraph, HasBiDi_,
        [&](int i) { return (Flags_[std::size_t(i)] & fStartsWithSpace) != 0; },
        [&](int i) { return (Flags_[std::size_t(i)] & fTab) != 0; });

    // b. Line spacing over the vertically placed pieces.
    std::int32_t top = INT_MAX, bottom = INT_MIN;
    for (int i = first; i <= last; ++i)
        if (!(Flags_[std::size_t(i)] & fLineAligned)) {
            top = std::min(top, Out[i].Top);
            bottom = std::max(bottom, Out[i].Bottom());
        }
    if (top > bottom) { // only line-aligned objects
        top = bottom = LineTop_;
    }
    std::int32_t gap = LineSpacingGap(para, top, bottom, S_);

    // c. Objects aligned to the line.
    if (HasLineAligned_) {
        std::int32_t overlapAbove = 0, reachBelow = 0;
        for (int i = first; i <= last; ++i) {
            if (!(Flags_[std::size_t(i)] & fLineAligned))
                continue;
            TRVDrawLineInfo& d = Out[i];
            switch (ItemLayoutOf(D_.Doc_.ItemAt(d.ItemNo)).VAlign(D_.Doc_.ItemAt(d.ItemNo))) {
            case VAlignLineTop: d.Top = top; break;
            case VAlignLineBottom: d.Top = bottom - d.Height; break;
            default: d.Top = (top + bottom - d.Height) / 2; break;
            }
            overlapAbove = std::max(overlapAbove, top - d.Top);
        }
        if (overlapAbove > 0) {
            for (int i = first; i <= last; ++i)
                Out[i].Top += overlapAbove;
            top += overlapAbove;
            bottom += overlapAbove;
        }
        for (int i = first; i <= last; ++i)
            if (Flags_[std::size_t(i)] & fLineAligned)
                reachBelow = std::max(reachBelow, Out[i].Bottom() - bottom);
        gap = ClampExtent(std::int64_t{gap} + reachBelow);
    }

    // d. The gap follows the line.
    for (int i = first; i <= last; ++i)
        Out[i].LineGapAfter = gap;
    Y_ = ClampCoordinate(std::int64_t{bottom} + gap);
}

// ---------------------------------------------------------------------------------------------
// Placing

TRVDrawLineInfo& TRVFormatter::Place(int itemNo, int firstChar, int charCount, std::int32_t width,
                                     std::int32_t height, std::int32_t ascent, bool lineAligned,
                                     std::unique_ptr<TRVDrawLineInfo> piece)
{
    if (ascent > Ascent_ && !lineAligned) {
        const std::int32_t down = ascent - Ascent_;
        for (int i = LineFirst_; i < Out.Count(); ++i)
            Out[i].Top += down;
        Baseline_ += down;
        Ascent_ = ascent;
    }
    std::unique_ptr<TRVDrawLineInfo> d = piece ? std::move(piece) : std::make_unique<TRVDrawLineInfo>();
    d->ItemNo = itemNo;
    d->FirstChar = firstChar;
    d->CharCount = charCount;
    d->Width = width;
    d->Height = height;
    d->Left = LineStart_ + X_;
    d->Top = Baseline_ - ascent;
    d->FirstInLine = Out.Count() == LineFirst_ ? 255 : 0;
    if (Out.Count() == 0 || Out[Out.Count() - 1].ItemNo != itemNo)
        D_.Placements_[std::size_t(itemNo)].FirstPiece = BaseIndex_ + Out.Count();
    X_ = ClampCoordinate(std::int64_t{X_} + width);
    Out.Add(std::move(d));
    Flags_.push_back(lineAligned ? fLineAligned : 0);
    SpaceConsumed_ = false;
    return Out[Out.Count() - 1];
}

void TRVFormatter::AddJump(int itemNo, const TRVDrawLineInfo& d)
{
    const TCustomRVItemInfo& item = D_.Doc_.ItemAt(itemNo);
    const int index = Out.Count() - 1;
    const bool firstPiece = index == 0 || Out[index - 1].ItemNo != itemNo;
    std::int32_t& jumpNo = D_.Placements_[std::size_t(itemNo)].JumpNo;
    if (firstPiece)
        jumpNo = JumpCounter_++;
    TRVJumpInfo jump;
    jump.Width = d.Width;
    jump.Height = d.Height;
    jump.JumpNo = jumpNo;
    jump.DrawItemNo = BaseIndex_ + index;
    jump.Cursor = item.IsText() ? Sheet_.TextStyles.StyleAt(D_.Doc_.ActualStyleOf(itemNo)).JumpCursor : Sheet_.JumpCursor;
    Jumps.push_back(jump);
}

// ---------------------------------------------------------------------------------------------
// Text

void TRVFormatter::PrepareText(int itemNo)
{
    TextItem_ = itemNo;
    TextStyle_ = D_.Doc_.ActualStyleOf(itemNo);
    TextUnicode_ = D_.Doc_.ItemAt(itemNo).IsUnicode();
    Text_ = D_.DisplayTextOf(itemNo);
    BreakText_.clear();
    if (TextUnicode_ && ShowSoftHyphenMarks_ && Text_.find(SoftHyphenMark) != std::u16string::npos) {
        BreakText_ = Text_;
        for (std::size_t k = 0; k < BreakText_.size(); ++k)
            if (BreakText_[k] == SoftHyphenMark && StoredUnit(D_.Doc_, itemNo, int(k)) == SoftHyphen)
                BreakText_[k] = ZeroWidthSpace;
    }
    Font_ = &Fonts_.Select(TextStyle_);
    TextAdvances(Canvas_, Fonts_, TextStyle_, Text_, Advances_);
    const std::size_t n = Text_.size();
    Prefix_.resize(n + 1);
    Prefix_[0] = 0;
    for (std::size_t k = 0; k < n; ++k)
        Prefix_[k + 1] = Prefix_[k] + Advances_[k];
}

bool TRVFormatter::IsSoftHyphenAt(int index) const
{
    return TextUnicode_ && !ShowSoftHyphenMarks_ && Text_[std::size_t(index)] == ZeroWidthSpace &&
           StoredUnit(D_.Doc_, TextItem_, index) == SoftHyphen;
}

std::int32_t TRVFormatter::TextWidth(int start, int count) const
{
    return ClampExtent(Prefix_[std::size_t(start + count)] - Prefix_[std::size_t(start)]);
}

int TRVFormatter::FitChars(int start, int count, std::int32_t available) const
{
    // A candidate ending at a soft hyphen would show the hyphen: it counts.
    auto measure = [&](int n) {
        std::int32_t w = TextWidth(start, n);
        if (n > 0 && IsSoftHyphenAt(start + n - 1))
            w += Font_->HyphenWidth;
        return w;
    };
    int fit = 0;
    if (S_.IsScreen()) {
        fit = InterpolationFit(count, available, measure);
    } else {
        while (fit < count && measure(fit + 1) <= available)
            ++fit;
    }
    // Never inside a surrogate pair.
    if (fit > 0 && fit < count && IsHighSurrogate(Text_[std::size_t(start + fit - 1)]))
        ++fit;
    return fit;
}

void TRVFormatter::FormatText(int itemNo, int start, int end)
{
    if (TextItem_ != itemNo)
        PrepareText(itemNo);
    else
        Font_ = &Fonts_.Select(TextStyle_);
    const TTextMetrics& tm = Font_->Metrics;
    const std::int32_t ascent = tm.Ascent + Font_->BaselineOffset;
    const bool jump = Sheet_.TextStyles.StyleAt(TextStyle_).Jump;
    const int length = static_cast<int>(Text_.size());

    if (length == 0) {
        const TRVDrawLineInfo& d = Place(itemNo, 1, 0, 0, Font_->EmptyHeight, ascent, false);
        if (jump)
            AddJump(itemNo, d);
        return;
    }

    const std::string& bytes = D_.Doc_.TextAt(itemNo);
    int pos = start;
    while (pos < end) {
        bool lineEmpty = LineEmpty();
        const bool afterMarker = DirectlyAfterMarker();
        if (lineEmpty && Trim_ && LineByWrap_ && !SpaceConsumed_ && end - pos > 1 && Text_[std::size_t(pos)] == Space)
            ++pos;
        const int remaining = end - pos;

        int candidate = remaining;
        if (D_.View_.MaxLength > 0 && Wraps_)
            candidate = std::min(candidate, D_.View_.MaxLength - CharsOnLine_);
        int fit = candidate > 0 ? FitChars(pos, candidate, std::max(Available_ - X_, 0)) : 0;
        if (fit > 0 && fit < remaining && IsSoftHyphenAt(pos + fit))
            --fit;
        if (fit == 0) {
            if (!lineEmpty && !afterMarker) {
                StartLine(itemNo, TRVLineStart::Wrap);
                continue;
            }
            // At least one character, with its marks (or both halves of a surrogate pair).
            fit = std::min(static_cast<int>(ClusterEnd(Text_, std::size_t(pos))) - pos, remaining);
        }

        int count = remaining;
        int next = end;
        bool consumed = false;
        if (fit < remaining) {
            int breakAt = TextUnicode_
                              ? FindUnicodeBreak(std::u16string_view(BreakText_.empty() ? Text_ : BreakText_).substr(std::size_t(pos), std::size_t(remaining)), fit)
                              : FindAnsiBreak(std::string_view(bytes).substr(std::size_t(pos), std::size_t(remaining)), fit);
            if (breakAt > 0) {
                count = breakAt;
                next = pos + breakAt;
                // The space at the break belongs to neither line, unless it begins the run.
                if (Trim_ && Text_[std::size_t(next - 1)] == Space && next - 1 > start) {
                    --count;
                    consumed = true;
                }
            } else if (Trim_ && Text_[std::size_t(pos + fit)] == Space &&
                       (pos + fit + 1 < length ||
                        (itemNo + 1 < D_.Doc_.Count() && D_.Doc_.ItemAt(itemNo + 1).ContinuesPara()))) {
                count = fit;
                next = pos + fit + 1;
                consumed = true;
            } else if (!lineEmpty && !afterMarker) {
                StartLine(itemNo, TRVLineStart::Wrap);
                continue;
            } else {
                count = fit;
                next = pos + fit;
            }
        }

        if (count > 0) {
            TRVDrawLineInfo& d = Place(itemNo, pos + 1, count, TextWidth(pos, count), tm.Height, ascent, false);
            if (Text_[std::size_t(pos)] == Space)
                Flags_.back() |= fStartsWithSpace;
            CharsOnLine_ += count;
            if (jump)
                AddJump(itemNo, d);
        }
        pos = next;
        if (consumed)
            SpaceConsumed_ = true;
        if (pos < end) {
            const bool keepConsumed = SpaceConsumed_;
            StartLine(itemNo, TRVLineStart::Wrap);
            SpaceConsumed_ = keepConsumed;
        }
    }
}

void TRVFormatter::FormatJustifiedText(int itemNo)
{
    PrepareText(itemNo);
    const int length = static_cast<int>(Text_.size());
    if (length == 0) {
        FormatText(itemNo, 0, 0);
        return;
    }
    // Word by word: each chunk starts with the space before its word.
    int start = 0;
    while (start < length) {
        int end = start + 1;
        while (end < length && Text_[std::size_t(end)] != Space)
            ++end;
        FormatText(itemNo, start, end);
        start = end;
    }
}

// ---------------------------------------------------------------------------------------------
// Objects

void TRVFormatter::FormatObject(int itemNo)
{
    const TCustomRVItemInfo& item = D_.Doc_.ItemAt(itemNo);
    const TRVItemLayout& layout = ItemLayoutOf(item);
    const bool isTab = item.StyleNo == rvsTab;
    const bool lineEmpty = LineEmpty();
    const bool afterMarker = DirectlyAfterMarker();

    if (isTab)
        ResolvePendingTab();
    TRVObjectExtent extent = layout.Format(item, itemNo, std::max(Available_ - X_, 0), Ctx_);

    // A right or centre tab whose stop lies within the line waits for the text after it.
    TRVTabStop stop;
    bool pendingTab = false;
    auto measureTab = [&] {
        const std::int32_t x = LineStart_ - LeftMarginDev_ + X_;
        const std::int32_t leftIndent = S_.X(Level_ ? Level_->LeftIndent : Para_->LeftIndent);
        stop = FindTabStop(*Para_, x, leftIndent, Sheet_.DefTabWidth, S_);
        pendingTab = stop.Align != rvtaLeft && LeftMarginDev_ + stop.Position <= LineStart_ + Available_;
        extent.Width = pendingTab ? 0 : std::max(stop.Position - x, 0);
    };
    if (isTab)
        measureTab();

    if (!lineEmpty) {
        const bool fits = X_ + extent.Width <= Available_;
        const bool lineFull = D_.View_.MaxLength > 0 && CharsOnLine_ == D_.View_.MaxLength;
        if (!((fits && !lineFull) || !Wraps_ || afterMarker)) {
            StartLine(itemNo, TRVLineStart::Wrap);
            if (isTab)
                measureTab();
        }
    }

    const TRVObjectAlign align = layout.VAlign(item);
    const std::int32_t shift = layout.VShift(item, extent, Ctx_);
    std::int32_t ascent = shift;
    if (align == VAlignBaseline)
        ascent += extent.Height - extent.Descent;
    else if (align == VAlignMiddle)
        ascent += extent.Height / 2;
    const bool lineAligned = IsLineAligned(align);
    TRVDrawLineInfo& d = Place(itemNo, 1, 0, extent.Width, extent.Height, ascent, lineAligned,
                               isTab ? std::make_unique<TRVTabDrawItem>() : nullptr);
    HasLineAligned_ = HasLineAligned_ || lineAligned;
    ++CharsOnLine_;
    if (isTab) {
        Flags_.back() |= fTab;
        static_cast<TRVTabDrawItem&>(d).Leader = stop.Leader;
        if (pendingTab) {
            TabIndex_ = Out.Count() - 1;
            TabAlign_ = stop.Align;
            TabPosition_ = LeftMarginDev_ + stop.Position;
        }
    }
    if (item.IsJumpKind())
        AddJump(itemNo, d);
}

void TRVFormatter::FormatFullLine(int itemNo)
{
    if (!LineEmpty()) {
        ResolvePendingTab();
        EndLine(false);
    }
    LineOpen_ = false;
    BeginParagraph(itemNo);
    const TCustomRVItemInfo& item = D_.Doc_.ItemAt(itemNo);
    PendingSpace_ += ParagraphSpacingBefore(itemNo);
    const std::int32_t top = ClampCoordinate(std::int64_t{Y_} + PendingSpace_);
    PendingSpace_ = 0;

    auto d = std::make_unique<TRVDrawLineInfo>();
    d->ItemNo = itemNo;
    d->Top = top;
    d->FirstInLine = 255;
    if (item.StyleNo == rvsBreak) {
        d->Left = LeftMarginDev_;
        d->Width = D_.TextAreaWidth_;
        d->Height = 2 * S_.Y(BreakSpacing) + 1;
        d->LineGapAfter = S_.Y(BreakSpacing);
    } else {
        const std::int32_t leftIndent = S_.X(Para_->LeftIndent);
        const std::int32_t available = D_.TextAreaWidth_ - leftIndent - S_.X(Para_->RightIndent);
        const TRVObjectExtent extent = ItemLayoutOf(item).Format(item, itemNo, available, Ctx_);
        d->Width = ClampExtent(extent.Width);
        d->Height = ClampExtent(extent.Height);
        d->Left = LeftMarginDev_ + leftIndent;
        if (Para_->Alignment == rvaRight)
            d->Left += available - d->Width;
        else if (Para_->Alignment == rvaCenter)
            d->Left += std::max((available - d->Width) / 2, 0);
    }
    Y_ = ClampCoordinate(std::int64_t{d->Top} + d->Height + d->LineGapAfter);
    D_.Placements_[std::size_t(itemNo)].FirstPiece = BaseIndex_ + Out.Count();
    Out.Add(std::move(d));
    Flags_.push_back(0);
    if (item.IsJumpKind())
        AddJump(itemNo, Out[Out.Count() - 1]);
}

// ---------------------------------------------------------------------------------------------
// The run

void TRVFormatter::FormatItems(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        const TCustomRVItemInfo& item = D_.Doc_.ItemAt(i);
        if (item.IsFullLine()) {
            FormatFullLine(i);
        } else {
            if (item.StartsParagraph() || i == 0)
                StartLine(i, TRVLineStart::Paragraph);
            else if (item.NewLine() || !LineOpen_)
                StartLine(i, TRVLineStart::NewLine);
            if (!item.IsText()) {
                FormatObject(i);
            } else if (Para_->Alignment == rvaJustify) {
                FormatJustifiedText(i);
            } else {
                PrepareText(i);
                FormatText(i, 0, static_cast<int>(Text_.size()));
            }
        }
    }
}

std::int32_t TRVFormatter::Finish()
{
    if (!LineEmpty()) {
        ResolvePendingTab();
        EndLine(false);
    }
    LineOpen_ = false;
    return Y_;
}

// ---------------------------------------------------------------------------------------------
// TCustomRVFormattedData: the formatting entry points

std::int32_t TRVContainerLayout::LineBottom(int index) const
{
    return LineBottom(index, 0);
}

std::int32_t TRVContainerLayout::LineBottom(int index, int itemShift) const
{
    int first = 0, last = 0;
    GetLineRange(index, first, last);
    std::int32_t bottom = INT_MIN, any = INT_MIN;
    for (int i = first; i <= last; ++i) {
        const TRVDrawLineInfo& d = Lines_[i];
        const std::int32_t y = d.Top + d.Height + d.LineGapAfter;
        any = std::max(any, y);
        const int itemNo = d.ItemNo + itemShift;
        const bool aligned = itemNo >= 0 && itemNo < Doc_.Count() && !Doc_.ItemAt(itemNo).IsText() &&
                             IsLineAligned(ItemLayoutOf(Doc_.ItemAt(itemNo)).VAlign(Doc_.ItemAt(itemNo)));
        if (!aligned)
            bottom = std::max(bottom, y);
    }
    return bottom == INT_MIN ? any : bottom;
}

std::int32_t TRVContainerLayout::WidestWord(int itemNo)
{
    const std::u16string text = DisplayTextOf(itemNo);
    std::vector<int> advances;
    TextAdvances(*Canvas_, *Fonts_, Doc_.ActualStyleOf(itemNo), text, advances);
    std::int64_t widest = 0, word = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == u' ') {
            word = 0;
            continue;
        }
        word += advances[k];
        widest = std::max(widest, word);
    }
    return ClampExtent(widest);
}

std::int32_t TRVContainerLayout::GetMinTextAreaWidth(int fromItemNo, bool words, int toItemNo)
{
    EnsureFontCache();
    const TRVStyle* sheet = Doc_.GetRVStyle();
    if (!Fonts_ || !sheet)
        return 0;
    TRVLayoutContext ctx{*sheet, *Fonts_, *Canvas_, Scale_, Doc_, true, this};
    std::int32_t widest = 0;
    int i = std::clamp(fromItemNo, 0, Doc_.Count());
    while (i > 0 && i < Doc_.Count() && !Doc_.StartsParagraph(i))
        --i;
    const int stop = toItemNo < 0 ? Doc_.Count() : std::min(toItemNo + 1, Doc_.Count());
    while (i < stop) {
        // One paragraph: items i .. end - 1.
        int end = i + 1;
        while (end < Doc_.Count() && !Doc_.StartsParagraph(end) && !Doc_.ItemAt(end).IsFullLine())
            ++end;
        const TParaInfo& para = sheet->ParaStyles.StyleAt(Doc_.ParaOf(i));
        const TCustomRVItemInfo& head = Doc_.ItemAt(i);
        std::int32_t leftPart = para.LeftIndent + (head.IsFullLine() ? 0 : std::max(para.FirstIndent, 0));
        if (head.IsListMarker())
            if (const TRVListLevel* level = MarkerLevel(sheet, static_cast<const TRVMarkerItemInfo&>(head)))
                leftPart = level->LeftIndent + std::max(level->FirstIndent, 0);
        const std::int32_t indents = Scale_.X(leftPart + para.RightIndent);
        const bool wraps = ParagraphWraps(i);
        std::int64_t content = 0; // items side by side add up without bound
        std::int32_t markerWidth = 0;
        for (int k = i; k < end; ++k) {
            const TCustomRVItemInfo& item = Doc_.ItemAt(k);
            std::int32_t w = 0;
            if (item.IsText()) {
                if (!wraps) {
                    w = ClampCoordinate(TextAdvanceWidth(*Canvas_, *Fonts_, Doc_.ActualStyleOf(k), DisplayTextOf(k)));
                } else if (words) {
                    w = WidestWord(k);
                }
            } else if (!wraps) {
                w = ItemLayoutOf(item).Format(item, k, 0, ctx).Width;
            } else {
                w = ItemLayoutOf(item).MinWidth(item, k, ctx);
            }
            if (item.IsListMarker()) {
                markerWidth = w;
                if (wraps)
                    continue;
            } else if (wraps && k > i && Doc_.ItemAt(k - 1).IsListMarker()) {
                w += markerWidth;
            }
            content = wraps ? std::max<std::int64_t>(content, w) : content + w;
        }
        widest = std::max(widest, ClampCoordinate(indents + content));
        i = end;
    }
    return widest;
}

bool TRVContainerLayout::TextAreaWidthHolds(std::int32_t oldRangeMin, std::int32_t newRangeMin)
{
    if (newRangeMin > ContentMinWidth_)
        ContentMinWidth_ = newRangeMin;
    else if (oldRangeMin >= ContentMinWidth_ && newRangeMin < oldRangeMin)
        ContentMinWidth_ = GetMinTextAreaWidth(0); // the widest paragraph may have become narrower
    else
        return true;
    const std::int32_t oldMin = MinTextAreaWidth_, oldWidth = TextAreaWidth_;
    SetTextAreaWidths();
    return MinTextAreaWidth_ == oldMin && TextAreaWidth_ == oldWidth;
}

void TRVContainerLayout::UpdateTextAreaWidth()
{
    ContentMinWidth_ = GetMinTextAreaWidth(0);
    SetTextAreaWidths();
}

void TRVContainerLayout::SetTextAreaWidths()
{
    if (View_.FixedTextAreaWidth > 0) {
        TextAreaWidth_ = View_.FixedTextAreaWidth;
        MinTextAreaWidth_ = std::max(View_.FixedTextAreaWidth, ContentMinWidth_);
        return;
    }
    const std::int32_t clientText = Scale_.X(View_.ClientWidth - View_.LeftMargin - View_.RightMargin);
    const std::int32_t minText = Scale_.X(View_.MinTextWidth);
    MinTextAreaWidth_ = std::max({clientText, ContentMinWidth_, minText});
    if (View_.Options.Contains(rvoClientTextWidth))
        TextAreaWidth_ = std::max(clientText, minText);
    else if (View_.MaxTextWidth < 1)
        TextAreaWidth_ = MinTextAreaWidth_;
    else
        TextAreaWidth_ = std::min(Scale_.X(View_.MaxTextWidth), MinTextAreaWidth_);
}

void TRVContainerLayout::RenumberJumps()
{
    int counter = 0;
    int lastItem = -1;
    for (TRVJumpInfo& jump : Jumps_) {
        const TRVDrawLineInfo& d = Lines_[jump.DrawItemNo];
        if (d.ItemNo != lastItem) {
            lastItem = d.ItemNo;
            Placements_[std::size_t(d.ItemNo)].JumpNo = counter++;
        }
        jump.JumpNo = Placements_[std::size_t(d.ItemNo)].JumpNo;
        jump.Left = d.Left;
        jump.Top = d.Top;
        jump.Width = d.Width;
        jump.Height = d.Height;
    }
}

void TRVContainerLayout::ReportDocumentSize(bool redraw)
{
    if (!View_.OnSetDocumentAreaSize)
        return;
    const bool clientChanged = View_.OnSetDocumentAreaSize(DocumentWidth(), TotalHeight_, redraw);
    if (clientChanged && FormatDepth_ < 3) {
        ++FormatDepth_;
        FormatAll(false, true);
        --FormatDepth_;
    }
}

std::int32_t TRVContainerLayout::HeightBelow(std::int32_t y) const
{
    const std::int32_t spaceAfter = Doc_.Empty() ? 0 : Doc_.GetRVStyle()->ParaStyles.StyleAt(Doc_.ParaOf(Doc_.Count() - 1)).SpaceAfter;
    return ClampCoordinate(std::int64_t{y} + Scale_.Y(spaceAfter) + Scale_.Y(View_.BottomMargin));
}

void TRVContainerLayout::FormatAll(bool keepScroll, bool rebuild)
{
    if (Formatting_ || !Canvas_ || !Doc_.GetRVStyle())
        return;
    EnsureFontCache();
    Formatting_ = true;
    ++Generation_;
    const std::int32_t oldWidth = TextAreaWidth_;
    UpdateTextAreaWidth();
    if (!rebuild && Formatted_ && oldWidth == TextAreaWidth_) {
        Formatting_ = false;
        return;
    }

    // The first item visible before, and how far below the view's top it stood.
    int anchorItem = -1;
    std::int32_t anchorOffset = 0;
    if (keepScroll && Formatted_)
        for (int i = 0; i < Lines_.Count(); ++i)
            if (Lines_[i].Bottom() > View_.ScrollY) {
                anchorItem = Lines_[i].ItemNo;
                anchorOffset = Lines_[i].Top - View_.ScrollY;
                break;
            }

    Lines_.Clear();
    Jumps_.clear();
    Placements_.assign(std::size_t(Doc_.Count()), TItemPlacement{});
    TRVFormatter run(*this, 0, Scale_.Y(View_.TopMargin), true);
    run.FormatItems(0, Doc_.Count() - 1);
    // What items that are gone kept here goes with them.
    std::erase_if(States_, [this](const auto& entry) { return entry.second->LastFormat != Generation_; });
    const std::int32_t y = run.Finish();
    for (int i = 0; i < run.Out.Count(); ++i)
        Lines_.Add(run.Out.Take(i));
    Jumps_ = std::move(run.Jumps);
    TotalHeight_ = HeightBelow(y);
    FormattedItems_ = Doc_.Count();
    Formatted_ = true;
    RenumberJumps();
    Formatting_ = false;

    ReportDocumentSize(true);
    if (anchorItem >= 0 && anchorItem < Doc_.Count() && FirstLinePiece(anchorItem) >= 0) {
        const std::int32_t scroll = std::max(Lines_[FirstLinePiece(anchorItem)].Top - anchorOffset, 0);
        if (scroll != View_.ScrollY) {
            View_.ScrollY = scroll;
            if (View_.OnScrollChanged)
                View_.OnScrollChanged();
        }
    }
}

void TRVContainerLayout::FormatAppended()
{
    if (Formatting_ || !Canvas_ || !Doc_.GetRVStyle())
        return;
    if (!Formatted_ || FormattedItems_ > Doc_.Count() || Lines_.Count() == 0) {
        FormatAll(false, true);
        return;
    }
    if (FormattedItems_ == Doc_.Count())
        return;
    EnsureFontCache();
    // Items wider than the text area change the layout of everything.
    const std::int32_t oldMin = MinTextAreaWidth_, oldWidth = TextAreaWidth_;
    UpdateTextAreaWidth();
    if (MinTextAreaWidth_ != oldMin || TextAreaWidth_ != oldWidth) {
        FormatAll(false, true);
        return;
    }
    Formatting_ = true;
    Placements_.resize(std::size_t(Doc_.Count()));
    const int base = Lines_.Count();
    TRVFormatter run(*this, base, LineBottom(base - 1), false);
    run.FormatItems(FormattedItems_, Doc_.Count() - 1);
    const std::int32_t y = run.Finish();
    for (int i = 0; i < run.Out.Count(); ++i)
        Lines_.Add(run.Out.Take(i));
    Jumps_.insert(Jumps_.end(), run.Jumps.begin(), run.Jumps.end());
    TotalHeight_ = HeightBelow(y);
    FormattedItems_ = Doc_.Count();
    RenumberJumps();
    Formatting_ = false;
    ReportDocumentSize(true);
    if (View_.Options.Contains(rvoScrollToEnd)) {
        const std::int32_t scroll = std::max(TotalHeight_ - Scale_.Y(View_.ClientHeight), 0);
        if (scroll != View_.ScrollY) {
            View_.ScrollY = scroll;
            if (View_.OnScrollChanged)
                View_.OnScrollChanged();
        }
    }
}

void TRVContainerLayout::ReformatRange(int first, int last, int itemDelta)
{
    if (Formatting_ || !Canvas_ || !Doc_.GetRVStyle())
        return;
    const int oldLines = Lines_.Count();
    if (!Formatted_ || first < 0 || last >= oldLines || first > last) {
        FormatAll(false, true);
        return;
    }
    const int firstItem = Lines_[first].ItemNo;
    const int lastItem = Lines_[last].ItemNo + itemDelta;
    const bool toEnd = last == oldLines - 1;
    if (Placements_.size() != std::size_t(Doc_.Count() - itemDelta) || lastItem < firstItem || lastItem >= Doc_.Count() || (toEnd && lastItem != Doc_.Count() - 1) ||
        (!toEnd && !Doc_.StartsParagraph(lastItem + 1) && !Doc_.ItemAt(lastItem + 1).IsFullLine())) {
        FormatAll(false, true);
        return;
    }
    EnsureFontCache();
    Formatting_ = true;

    const std::int32_t oldTop = Lines_[first].Top;
    // The y below the old range; the paragraph after it keeps its spacing, so the lines below
    // move by as much as this changes.
    const std::int32_t oldBottom = toEnd ? 0 : LineBottom(last, itemDelta);

    // The placements of the old items of the range make way for those of the new ones.
    const auto at = Placements_.begin() + (lastItem - itemDelta + 1);
    if (itemDelta > 0)
        Placements_.insert(at, std::size_t(itemDelta), TItemPlacement{});
    else if (itemDelta < 0)
        Placements_.erase(at + itemDelta, at);
    for (int i = firstItem; i <= lastItem; ++i)
        Placements_[std::size_t(i)] = TItemPlacement{};
    TRVFormatter run(*this, first, first > 0 ? LineBottom(first - 1) : Scale_.Y(View_.TopMargin), false);
    run.FormatItems(firstItem, lastItem);
    const std::int32_t newBottom = run.Finish();
    const int newCount = run.Out.Count();

    Lines_.MarkDeleted(first, last);
    for (int k = 0; k < newCount; ++k)
        Lines_.InsertDrawItem(first + k, run.Out.Take(k));
    Lines_.PurgeDeleted();
    const int drawDelta = newCount - (last - first + 1);

    // Jumps: those of the range are replaced, those below follow their draw items.
    auto from = std::lower_bound(Jumps_.begin(), Jumps_.end(), first,
                                 [](const TRVJumpInfo& j, int index) { return j.DrawItemNo < index; });
    auto to = std::lower_bound(from, Jumps_.end(), last + 1,
                               [](const TRVJumpInfo& j, int index) { return j.DrawItemNo < index; });
    for (auto it = to; it != Jumps_.end(); ++it)
        it->DrawItemNo += drawDelta;
    from = Jumps_.erase(from, to);
    Jumps_.insert(from, run.Jumps.begin(), run.Jumps.end());

    const int below = first + newCount;
    std::int32_t dy = 0;
    if (toEnd) {
        const std::int32_t total = HeightBelow(newBottom);
        dy = total - TotalHeight_;
        TotalHeight_ = total;
    } else {
        dy = newBottom - oldBottom;
        // One pass over the lines below: their place, their items' numbers, and where each
        // item's draw items now begin.
        if (itemDelta != 0 || drawDelta != 0)
            Lines_.ShiftFrom(below, dy, itemDelta,
                            [this](int itemNo, int drawNo) { Placements_[std::size_t(itemNo)].FirstPiece = drawNo; });
        else if (dy != 0)
            Lines_.ShiftFrom(below, dy, 0, [](int, int) {});
        TotalHeight_ = ClampCoordinate(std::int64_t{TotalHeight_} + dy);
    }
    FormattedItems_ = Doc_.Count();
    RenumberJumps();

    const std::int32_t invalidBottom = toEnd || dy != 0 || drawDelta != 0 ? TotalHeight_ : newBottom + 10;
    Invalid_ = TRect{0, oldTop - 10, DocumentWidth(), invalidBottom};
    Formatting_ = false;
    if (dy != 0)
        ReportDocumentSize(true);
}

} // namespace xq
