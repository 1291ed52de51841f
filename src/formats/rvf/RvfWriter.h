// The RVF writer: whole documents, selections and sub-documents as RVF byte streams.
#pragma once

#include <string>

#include "formats/rvf/RvfTypes.h"

namespace xq {

class TCustomRVData;
class TRVDocumentInfo;
class TRVStyle;

/// A part of a container: from an offset in one item to an offset in another (caret offsets:
/// characters from 1 in text items, 0 and 1 around other items).
struct TRVFSelection {
    int FirstItem = 0;
    int FirstOffset = 0;
    int LastItem = 0;
    int LastOffset = 0;
};

class TRVFWriter {
public:
    TRVFWriter(const TRVStyle& sheet, TRVFOptions options) noexcept : Sheet_(sheet), Options_(options) {}

    /// The whole top document with its styles; info (may be null) gives background, property
    /// lines, page parameters and the layout. An empty document is an empty stream.
    bool WriteDocument(const TCustomRVData& doc, const TRVDocumentInfo* info, std::string& out) const;
    /// A part of the top document, as the clipboard takes it.
    bool WriteSelection(const TCustomRVData& doc, const TRVFSelection& selection, std::string& out) const;
    /// A sub-document (note text, table cell) without styles.
    bool WriteSubDocument(const TCustomRVData& data, std::string& out) const;

private:
    enum class TRole { Document, Selection, SubDocument };
    bool WriteStream(const TCustomRVData& data, TRole role, const TRVDocumentInfo* info,
                     const TRVFSelection* selection, std::string& out) const;

    const TRVStyle& Sheet_;
    TRVFOptions Options_;
};

} // namespace xq
