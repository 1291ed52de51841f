// Font vocabulary shared by documents and canvases: styles, pitch, character sets, font names.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Set.h"

namespace xq {

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle, std::uint8_t>;

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

/// Character sets of fonts.
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SYMBOL_CHARSET = 2;
inline constexpr std::uint8_t EASTEUROPE_CHARSET = 238;
inline constexpr std::uint8_t RUSSIAN_CHARSET = 204;
inline constexpr std::uint8_t OEM_CHARSET = 255;

/// Case-insensitive comparison of font names (ASCII letters and Latin-1 letters in UTF-8).
[[nodiscard]] bool SameFontName(const std::string& a, const std::string& b) noexcept;

} // namespace xq
