// The registry of item kinds: which item class a kind code creates.
#pragma once

#include <functional>
#include <memory>
#include <typeindex>

#include "document/ItemInfo.h"

namespace xq {

using TItemFactory = std::function<std::unique_ptr<TCustomRVItemInfo>()>;

/// Registers the class created for a kind code. The built-in codes -1 .. -12 are known from
/// the start; further kinds (tables, labels, notes) register at start-up. Registering a code
/// below -9 that already belongs to another class throws EDocViewError; registering the same
/// pair again does nothing.
void RegisterItemKind(int styleNo, std::type_index itemClass, TItemFactory factory);

template <class T>
void RegisterItemKind(int styleNo)
{
    RegisterItemKind(styleNo, typeid(T), [] { return std::make_unique<T>(); });
}

/// A new item for a StyleNo read from a file or copied: a text item for text styles
/// (>= 0 and rvsDefStyle), the registered class for a kind code, nullptr for an unknown code.
[[nodiscard]] std::unique_ptr<TCustomRVItemInfo> CreateItemByStyleNo(int styleNo);

[[nodiscard]] bool IsItemKindRegistered(int styleNo);

} // namespace xq
