// The formatted container: target canvas, layout queries and selection. The formatting runs
// themselves are in Formatter.cpp.
#include "layout/ContainerLayout.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

#include "document/ItemText.h"
#include "document/RVStyle.h"
#include "layout/DisplayText.h"
#include "platform/CodePage.h"
#include "platform/ScreenUnits.h"

namespace xq {

TRVSpecialCharacters& VisibleSpecialCharacters() noexcept
{
    static TRVSpecialCharacters shown{rvscSpace, rvscNBSP, rvscParagraph, rvscSoftHyphen};
    return shown;
}

namespace {

/// The UTF-16 unit of each byte of a single-byte code page; bytes without one (lead bytes of
/// multi-byte pages) show as '?', so that display text keeps one unit per stored character.
const std::array<char16_t, 256>& ByteTable(int codePage)
{
    static std::mutex lock;
    static std::map<int, std::array<char16_t, 256>> tables;
    const std::scoped_lock guard(lock);
    auto [it, added] = tables.try_emplace(codePage);
    if (added)
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const std::u16string u = b < 0x80 ? std::u16string(1, char16_t(b))
                                              : AnsiToUnicode(std::string_view(&byte, 1), codePage);
            it->second[std::size_t(b)] = u.size() == 1 ? u[0] : u'?';
        }
    return it->second;
}

} // namespace

TRVContainerLayout::TRVContainerLayout(const TCustomRVData& document, TRVViewSettings& view) noexcept
    : Doc_(document), View_(view)
{
}

TRVContainerLayout::~TRVContainerLayout() = default;

int TRVContainerLayout::FirstLinePiece(int itemNo) const noexcept
{
    return itemNo >= 0 && std::size_t(itemNo) < Placements_.size() ? Placements_[std::size_t(itemNo)].FirstPiece : -1;
}

int TRVContainerLayout::JumpNoOf(int itemNo) const noexcept
{
    return itemNo >= 0 && std::size_t(itemNo) < Placements_.size() ? Placements_[std::size_t(itemNo)].JumpNo : -1;
}

TRVItemLayoutState* TRVContainerLayout::ItemState(const TCustomRVItemInfo& item) const noexcept
{
    const auto it = States_.find(&item);
    return it == States_.end() ? nullptr : it->second.get();
}

TRVItemLayoutState& TRVContainerLayout::SetItemState(const TCustomRVItemInfo& item,
                                                     std::unique_ptr<TRVItemLayoutState> state)
{
    auto& slot = States_[&item];
    slot = std::move(state);
    return *slot;
}

void TRVContainerLayout::SetFormatCanvas(TCanvas* canvas, TRVFontInfoCache* sharedFonts)
{
    if (canvas == Canvas_ && (!sharedFonts || sharedFonts == Fonts_))
        return;
    Canvas_ = canvas;
    OwnFonts_.reset();
    Fonts_ = canvas ? sharedFonts : nullptr;
    if (canvas) {
        Scale_.ScreenPpiX = Scale_.ScreenPpiY = PixelsPerInchOverride;
        Scale_.DevicePpiX = canvas->DpiX();
        Scale_.DevicePpiY = canvas->DpiY();
    }
    ClearLayout();
}

void TRVContainerLayout::StyleSheetChanged() noexcept
{
    if (Fonts_)
        Fonts_->Clear();
    ClearLayout();
}

void TRVContainerLayout::EnsureFontCache()
{
    if (!Fonts_ && Canvas_ && Doc_.GetRVStyle()) {
        OwnFonts_ = std::make_unique<TRVFontInfoCache>(*Doc_.GetRVStyle(), *Canvas_);
        Fonts_ = OwnFonts_.get();
    }
}

void TRVContainerLayout::ClearLayout() noexcept
{
    Lines_.Clear();
    Jumps_.clear();
    SoftPageBreaks_.clear();
    TotalHeight_ = 0;
    FormattedItems_ = 0;
    Formatted_ = false;
    Placements_.clear();
    States_.clear();
}

std::int32_t TRVContainerLayout::DocumentWidth() const noexcept
{
    return Scale_.X(View_.LeftMargin) + TextAreaWidth_ + Scale_.X(View_.RightMargin);
}

bool TRVContainerLayout::GetOrderedSelection(int& firstNo, int& firstOffs, int& lastNo, int& lastOffs) const noexcept
{
    if (SelStartNo < 0 || SelEndNo < 0)
        return false;
    firstNo = SelStartNo;
    firstOffs = SelStartOffs;
    lastNo = SelEndNo;
    lastOffs = SelEndOffs;
    if (lastNo < firstNo || (lastNo == firstNo && lastOffs < firstOffs)) {
        std::swap(firstNo, lastNo);
        std::swap(firstOffs, lastOffs);
    }
    return true;
}

void TRVContainerLayout::GetLineRange(int index, int& first, int& last) const
{
    const int count = Lines_.Count();
    first = std::clamp(index, 0, std::max(count - 1, 0));
    last = first;
    if (count == 0)
        return;
    while (first > 0 && !Lines_[first].StartsLine())
        --first;
    while (last + 1 < count && !Lines_[last + 1].StartsLine())
        ++last;
}

std::u16string TRVContainerLayout::DisplayTextOf(int itemNo) const
{
    const TCustomRVItemInfo& item = Doc_.ItemAt(itemNo);
    if (!item.IsText())
        return {};
    const TRVStyle* sheet = Doc_.GetRVStyle();
    const int styleNo = Doc_.ActualStyleOf(itemNo);
    const bool allCaps = sheet && sheet->TextStyles.StyleAt(styleNo).StyleEx.Contains(rvfsAllCaps);
    const TRVItemText stored = TRVItemText::Of(Doc_, itemNo);
    const int codePage = sheet ? sheet->CodePageOfStyle(styleNo) : SystemAnsiCodePage;
    if (stored.Unicode()) {
        const bool marks = View_.Options.Contains(rvoShowSpecialCharacters) &&
                           VisibleSpecialCharacters().Contains(rvscSoftHyphen);
        return DisplayText(stored.Utf16(codePage), allCaps, marks ? TSoftHyphenDisplay::Mark : TSoftHyphenDisplay::Hidden);
    }
    // One unit per stored byte, so that display indexes are caret offsets.
    const auto& table = ByteTable(codePage);
    std::u16string text(std::size_t(stored.Length()), u'\0');
    for (int i = 0; i < stored.Length(); ++i) {
        const char16_t c = table[stored.UnitAt(i)];
        text[std::size_t(i)] = allCaps ? UpperCaseOf(c) : c;
    }
    return text;
}

bool TRVContainerLayout::ParagraphWraps(int itemNo) const
{
    if (!View_.WordWrap)
        return false;
    const TRVStyle* sheet = Doc_.GetRVStyle();
    return !sheet || !sheet->ParaStyles.StyleAt(Doc_.ParaOf(itemNo)).Options.Contains(rvpaoNoWrap);
}

} // namespace xq
