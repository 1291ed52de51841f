// Text styles: TCustomRVFontInfo with its fields, TFontInfo in the sheet, and the collection TFontInfos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "document/CustomInfo.h"
#include "document/StyleTypes.h"
#include "platform/Color.h"

namespace xq {

/// A font as the font dialog and marker fonts know it.
struct TFontDescription {
    std::string Name = "Arial";
    std::int32_t Size = 8;
    TColor Color = clWindowText;
    std::uint8_t Charset = DEFAULT_CHARSET;
    TFontStyles Style;
    TFontPitch Pitch = fpDefault;

    /// The font height in pixels at 96 pixels per inch, negative as stored (character height).
    [[nodiscard]] std::int32_t Height() const noexcept;
    /// Sets the size from a height in pixels (either sign), within the font sizes a document holds.
    void SetHeight(std::int32_t height) noexcept;

    [[nodiscard]] bool operator==(const TFontDescription&) const = default;
};


class TCustomRVFontInfo : public TCustomRVInfo {
public:
    TCustomRVFontInfo() : TCustomRVInfo("Font Style") {}

    TRVBiDiMode BiDiMode = rvbdUnspecified;
    bool Jump = false;
    TCursor JumpCursor = crJump;
    std::string FontName = "Arial";
    std::int32_t Size = 10;
    TColor Color = clWindowText;
    TColor BackColor = clNone;
    TColor HoverColor = clNone;
    TColor HoverBackColor = clNone;
    TColor UnderlineColor = clNone;
    TColor HoverUnderlineColor = clNone;
    TRVUnderlineType UnderlineType = rvutNormal;
    TRVHoverEffects HoverEffects;
    TFontStyles Style;
    TRVFontStylesEx StyleEx;
    std::int32_t VShift = 0;
    std::uint8_t Charset = DEFAULT_CHARSET;
    TRVProtectOptions Protection;
    TRVTextOptions Options;
    std::int32_t CharScale = 100;
    std::int32_t CharSpacing = 0;
    TRVSubSuperScriptType SubSuperScriptType = rvsssNormal;

    /// Copies every field (the collection membership is not a field).
    void CopyStyle(const TCustomRVFontInfo& source);

    /// Takes name, size, colour, styles and charset of a font.
    void AssignFont(const TFontDescription& font);
    [[nodiscard]] TFontDescription ToFont() const;

protected:
    void CopyFontFields(const TCustomRVFontInfo& source);
    [[nodiscard]] bool EqualFontFields(const TCustomRVFontInfo& other) const noexcept;
};

/// The text part of a style template; this program never creates templates.
class TRVSTFontInfo : public TCustomRVFontInfo {};

class TFontInfo : public TCustomRVFontInfo {
public:
    bool Unicode = false;
    std::int32_t NextStyleNo = -1;
    TRVFontInfoProperties ModifiedProperties;

    void CopyStyle(const TFontInfo& source);

    /// Exact equality; StyleName, Standard and BaseStyleNo are never compared, NextStyleNo
    /// only when references count.
    [[nodiscard]] bool EqualsStyle(const TFontInfo& other, bool ignoreReferences) const noexcept;
    /// Compares the properties in mask (and always StyleTemplateId and ModifiedProperties).
    /// Hover properties count only when this style is a jump.
    [[nodiscard]] bool EqualsStyleExcept(const TFontInfo& other, TRVFontInfoProperties mask) const noexcept;
};

class TFontInfos : public TRVInfoCollection<TFontInfo> {
public:
    using TRVInfoCollection::TRVInfoCollection;

    /// The style at index, or the fallback (white on red) for an index outside the collection.
    [[nodiscard]] const TFontInfo& StyleAt(int index) const { return StyleAtOrFallback(index); }
    [[nodiscard]] TFontInfo& StyleAt(int index) { return StyleAtOrFallback(index); }

    /// The base first, then every other index in ascending order; -1 when none matches.
    [[nodiscard]] int FindMatchingStyle(int baseIndex, const TFontInfo& probe, TRVFontInfoProperties mask) const
    {
        return FindMatching(baseIndex, probe, mask);
    }
    /// A non-Unicode variant of the base style in the given charset; -1 when none exists.
    [[nodiscard]] int FindCharsetVariant(int baseIndex, std::uint8_t charset) const;

protected:
    void MakeFallback(TFontInfo& style) const override;
};

} // namespace xq
