// The engine's UTF-8 text as Qt strings.
#pragma once

#include <string_view>

#include <QString>

namespace xq {

/// UTF-8 text (a caption, a name, a word) as a QString.
inline QString FromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace xq
