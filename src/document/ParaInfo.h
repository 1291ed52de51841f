// Paragraph styles: borders, backgrounds, tab stops, TParaInfo and the collection TParaInfos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CustomInfo.h"
#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

struct TRVRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

    void SetAll(std::int32_t v) noexcept { Left = Top = Right = Bottom = v; }
    [[nodiscard]] bool operator==(const TRVRect&) const = default;
};

struct TRVBooleanRect {
    bool Left = true, Top = true, Right = true, Bottom = true;

    [[nodiscard]] bool operator==(const TRVBooleanRect&) const = default;
};

/// The frame around a paragraph.
struct TRVBorder {
    TColor Color = clWindowText;
    TRVBorderStyle Style = rvbNone;
    std::int32_t Width = 1;
    std::int32_t InternalWidth = 1;
    TRVBooleanRect VisibleBorders;
    TRVRect BorderOffsets;

    /// Thickness of all lines of one side together.
    [[nodiscard]] std::int32_t GetTotalWidth() const noexcept;
    [[nodiscard]] bool operator==(const TRVBorder&) const = default;
};

/// The fill behind a paragraph.
struct TRVBackgroundRect {
    TColor Color = clNone;
    TRVRect BorderOffsets;

    [[nodiscard]] bool operator==(const TRVBackgroundRect&) const = default;
};

struct TRVTabInfo {
    std::int32_t Position = 0;
    TRVTabAlign Align = rvtaLeft;
    std::string Leader;

    [[nodiscard]] bool operator==(const TRVTabInfo&) const = default;
};

/// Tab stops of a paragraph style.
/// invariant: the stops are sorted by ascending Position.
class TRVTabInfos {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Tabs_.size()); }
    [[nodiscard]] const TRVTabInfo& operator[](int index) const;

    /// Adds a stop at its sorted place and returns its index.
    int Add(std::int32_t position, TRVTabAlign align = rvtaLeft, std::string leader = {});
    /// Moves a stop; it then stands at its sorted place. Returns its new index.
    int SetPosition(int index, std::int32_t position);
    void SetAlign(int index, TRVTabAlign align);
    void SetLeader(int index, std::string leader);
    void Delete(int index);
    void Clear() noexcept { Tabs_.clear(); }

    [[nodiscard]] bool operator==(const TRVTabInfos&) const = default;
    auto begin() const noexcept { return Tabs_.begin(); }
    auto end() const noexcept { return Tabs_.end(); }

private:
    std::vector<TRVTabInfo> Tabs_;
};

class TCustomRVParaInfo : public TCustomRVInfo {
public:
    TCustomRVParaInfo() : TCustomRVInfo("Paragraph Style") {}

    std::int32_t FirstIndent = 0;
    std::int32_t LeftIndent = 0;
    std::int32_t RightIndent = 0;
    std::int32_t SpaceBefore = 0;
    std::int32_t SpaceAfter = 0;
    std::int32_t LineSpacing = 100;
    TRVLineSpacingType LineSpacingType = rvlsPercent;
    TRVAlignment Alignment = rvaLeft;
    TRVBorder Border;
    TRVBackgroundRect Background;
    TRVParaOptions Options;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    TRVTabInfos Tabs;

    void CopyStyle(const TCustomRVParaInfo& source);

    /// Line spacing other than single: a percentage other than 100, or extra pixels.
    [[nodiscard]] bool HasExtraLineSpacing() const noexcept;

protected:
    void CopyParaFields(const TCustomRVParaInfo& source);
    [[nodiscard]] bool EqualParaFields(const TCustomRVParaInfo& other) const noexcept;
};

/// The paragraph part of a style template; this program never creates templates.
class TRVSTParaInfo : public TCustomRVParaInfo {};

class TParaInfo : public TCustomRVParaInfo {
public:
    std::int32_t NextParaNo = -1;
    std::int32_t DefStyleNo = -1;
    /// Members 0..31 and 32..35 of TRVParaInfoProperty, as stored.
    std::uint32_t ModifiedProperties1 = 0;
    std::uint32_t ModifiedProperties2 = 0;

    void CopyStyle(const TParaInfo& source);

    /// Exact equality; StyleName, Standard and BaseStyleNo are never compared, NextParaNo and
    /// DefStyleNo only when references count.
    [[nodiscard]] bool EqualsStyle(const TParaInfo& other, bool ignoreReferences) const noexcept;
    /// Compares the properties in mask (and always StyleTemplateId and the modified sets).
    [[nodiscard]] bool EqualsStyleExcept(const TParaInfo& other, TRVParaInfoProperties mask) const noexcept;
};

class TParaInfos : public TRVInfoCollection<TParaInfo> {
public:
    using TRVInfoCollection::TRVInfoCollection;

    /// The style at index, or the fallback (red frame) for an index outside the collection.
    [[nodiscard]] const TParaInfo& StyleAt(int index) const { return StyleAtOrFallback(index); }
    [[nodiscard]] TParaInfo& StyleAt(int index) { return StyleAtOrFallback(index); }

    /// The base first, then every other index in ascending order; -1 when none matches.
    [[nodiscard]] int FindMatchingStyle(int baseIndex, const TParaInfo& probe, TRVParaInfoProperties mask) const
    {
        return FindMatching(baseIndex, probe, mask);
    }

protected:
    void MakeFallback(TParaInfo& style) const override;
};

} // namespace xq
