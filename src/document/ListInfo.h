// List styles: TRVListLevel, TRVListInfo with its identity, and the collection TRVListInfos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CustomInfo.h"
#include "document/FontInfo.h"
#include "document/Graphic.h"
#include "document/ImageList.h"
#include "document/StyleTypes.h"

namespace xq {

/// The font of a list marker; a font equal to the defaults counts as the default font.
class TRVMarkerFont : public TFontDescription {
public:
    [[nodiscard]] bool IsDefault() const noexcept { return *this == TFontDescription{}; }
};

/// One level of a list style: the marker kind, its text or picture, font and indents.
class TRVListLevel {
public:
    TRVListLevel() = default;
    TRVListLevel(const TRVListLevel& other) { CopyFrom(other); }
    TRVListLevel& operator=(const TRVListLevel& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    TRVListType ListType = rvlstBullet;
    const TRVImageList* ImageList = nullptr; ///< not owned
    std::int32_t ImageIndex = 0;
    std::string FormatString = "\xB7"; ///< 8-bit marker text or numbering template
    std::u16string FormatStringW;
    std::int32_t LeftIndent = 0;
    std::int32_t FirstIndent = 10;
    std::int32_t MarkerIndent = 0;
    TRVMarkerAlignment MarkerAlignment = rvmaLeft;
    TRVListLevelOptions Options{rvloContinuous, rvloLevelReset};
    std::int32_t StartFrom = 1;

    [[nodiscard]] const TGraphic* Picture() const noexcept { return Picture_.get(); }
    /// Takes a copy, made transparent; an empty or absent picture removes it.
    void SetPicture(const TGraphic* picture);

    [[nodiscard]] const TRVMarkerFont* Font() const noexcept { return Font_.get(); }
    /// The marker font, created with the defaults on first use.
    TRVMarkerFont& EditFont();
    void RemoveFont() noexcept { Font_.reset(); }
    /// The font markers are drawn with: the level's own or the default marker font.
    [[nodiscard]] const TFontDescription& EffectiveFont() const noexcept;
    [[nodiscard]] bool HasDefaultFont() const noexcept { return !Font_ || Font_->IsDefault(); }

    [[nodiscard]] bool HasNumbering() const noexcept { return IsNumberedListType(ListType); }
    /// Kinds whose marker is text drawn in the marker font.
    [[nodiscard]] bool UsesFont() const noexcept;

    [[nodiscard]] bool EqualsLevel(const TRVListLevel& other) const noexcept;

private:
    void CopyFrom(const TRVListLevel& other);

    std::unique_ptr<TGraphic> Picture_;
    std::unique_ptr<TRVMarkerFont> Font_;
};

/// Fonts equal when both are default (or absent), else both present with equal height, styles,
/// colour, charset and (case-insensitive) name.
[[nodiscard]] bool MarkerFontsEqual(const TRVListLevel& a, const TRVListLevel& b) noexcept;

class TRVListLevelCollection {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(Levels_.size()); }
    [[nodiscard]] TRVListLevel& operator[](int index);
    [[nodiscard]] const TRVListLevel& operator[](int index) const;
    TRVListLevel& Add();
    void Delete(int index);
    void Clear() noexcept { Levels_.clear(); }

    auto begin() const noexcept { return Levels_.begin(); }
    auto end() const noexcept { return Levels_.end(); }

private:
    std::vector<TRVListLevel> Levels_;
};

/// Whether a list identity travels with a copy.
enum class TListIdCopy { Fresh, Keep };

class TRVListInfo : public TCustomRVInfo {
public:
    TRVListInfo() : TCustomRVInfo("List Style") {}

    TRVListLevelCollection Levels;
    bool OneLevelPreview = false;

    /// The list's identity, drawn at random (1..2147483646) on first use.
    [[nodiscard]] std::int32_t ListId() const;
    void SetListId(std::int32_t id) noexcept { ListId_ = id; }

    /// Copies every field; the identity only with TListIdCopy::Keep.
    void CopyStyle(const TRVListInfo& source, TListIdCopy id = TListIdCopy::Fresh);

    [[nodiscard]] bool EqualsStyle(const TRVListInfo& other, bool ignoreListId) const;
    [[nodiscard]] bool HasNumbering() const noexcept;

private:
    mutable std::int32_t ListId_ = 0;
};

/// The list part of a style template; this program never creates templates.
class TRVSTListInfo : public TRVListInfo {};

class TRVListInfos : public TRVInfoCollection<TRVListInfo> {
public:
    using TRVInfoCollection::TRVInfoCollection;

    /// The first list equal to the probe (identities ignored); with addIfMissing a copy with a
    /// fresh identity is appended as a non-standard style. -1 when none is found or added.
    int FindOrAddList(const TRVListInfo& probe, bool addIfMissing);

protected:
    /// A collection replaced as a whole keeps the identities of its lists.
    void CopyItem(TRVListInfo& target, const TRVListInfo& source) const override
    {
        target.CopyStyle(source, TListIdCopy::Keep);
    }
};

/// A random list identity in 1..2147483646.
[[nodiscard]] std::int32_t NewListId();

} // namespace xq
