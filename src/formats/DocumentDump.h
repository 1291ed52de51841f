// DumpDocumentJson: a stable JSON listing of a style sheet and a document, for looking into files.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Color.h"

namespace xq {

class TCustomRVData;
class TCustomRVItemInfo;
class TGraphic;
class TJsonWriter;
class TRVDocumentInfo;
class TRVStyle;

/// The sheet's text, paragraph and list styles, the document settings (info may be null) and
/// every item of doc, note texts included, as pretty-printed JSON (two-space indent, keys in a
/// fixed order, a line end at the end). Text is UTF-8: 8-bit item text is converted from its
/// style's code page, bytes that are no valid UTF-8 become U+FFFD. The only fractional numbers
/// are the page parameters, written as the RVF page lines write them.
[[nodiscard]] std::string DumpDocumentJson(const TRVStyle& sheet, const TCustomRVData& doc,
                                           const TRVDocumentInfo* info);

/// What the dump form of an item kind writes with: the JSON writer, placed inside the item's
/// "data" object, and the dump's own forms of colours, pictures and containers.
class TDumpWriter {
public:
    TDumpWriter(TJsonWriter& json, const TRVStyle& sheet) noexcept : Json(json), Sheet(sheet) {}

    TJsonWriter& Json;
    const TRVStyle& Sheet;

    /// clNone and system colours by name, RGB values as "#RRGGBB".
    void Color(std::string_view key, TColor color) const;
    /// The name of an enumeration value; a value without a name as its number.
    void Enum(std::string_view key, int value, std::span<const char* const> names) const;
    /// The members of a set as names; bits without a name as "#bit".
    void Set(std::string_view key, std::uint64_t bits, std::span<const char* const> names) const;
    /// The picture's class, size and byte size, or null.
    void Picture(std::string_view key, const TGraphic* picture) const;
    /// An object with the container's "items" and "endCheckpoint", as the document's own.
    void Container(const TCustomRVData& data) const;
};

/// Writes the members of an item's "data" object; the dump adds "deleteProtect" after them.
using TDumpForm = std::function<void(const TDumpWriter& writer, const TCustomRVItemInfo& item)>;

/// Gives the items with this kind code (StyleNo < 0) their dump in place of the generic one.
/// An empty form removes the registration. Item kinds that own containers (tables) register here.
void RegisterDumpForm(int kindCode, TDumpForm form);

} // namespace xq
