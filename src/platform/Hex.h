// Hexadecimal digits, as the file formats and addresses write them.
#pragma once

namespace xq {

/// The value of a hexadecimal digit of either case; -1 for any other character.
[[nodiscard]] constexpr int HexDigitValue(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace xq
