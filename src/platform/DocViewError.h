// EDocViewError: the one exception type of the engine, raised for its own inconsistencies.
#pragma once

#include <stdexcept>
#include <string>

namespace xq {

class EDocViewError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The engine's messages, word for word.
inline constexpr const char* errItemIndexOutOfBounds = "Item index is out of bounds";
inline constexpr const char* errCantGetSetInfo = "Can't get or set this kind of information for this item";
inline constexpr const char* errTagsTypesMismatch = "Can't assign DocView to DocView - tags types mismatch";
inline constexpr const char* errUnicodeOperation = "Can't perform Unicode operation";
inline constexpr const char* errItemKindRegistered =
    "Can't register DocView item type - this StyleNo is already registered";

} // namespace xq
