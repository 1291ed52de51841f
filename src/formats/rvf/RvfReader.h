// The RVF reader: whole documents and fragments from RVF byte streams.
#pragma once

#include <string_view>

#include "document/RVData.h"
#include "formats/rvf/RvfTypes.h"

namespace xq {

class TCustomRVData;
class TRVDocumentInfo;
class TRVStyle;

class TRVFReader {
public:
    TRVFReader(TRVStyle& sheet, TRVFOptions options, TRVFReaderStyleMode textStylesMode = rvf_sInsertMerge,
               TRVFReaderStyleMode paraStylesMode = rvf_sInsertMerge) noexcept
        : Sheet_(sheet), Options_(options), TextMode_(textStylesMode), ParaMode_(paraStylesMode)
    {
    }

    /// Clears doc and reads a whole document. Style records replace the sheet's collections;
    /// info (may be null) receives background, property lines, page parameters and layout.
    /// On failure doc keeps what was read before the error.
    bool ReadDocument(TCustomRVData& doc, TRVDocumentInfo* info, std::string_view stream);
    /// Inserts a fragment before item index; style records are merged into the sheet and the
    /// items renumbered.
    bool ReadFragment(TCustomRVData& doc, int index, std::string_view stream);

    /// The warnings of the last read.
    [[nodiscard]] TRVFWarnings Warnings() const noexcept { return Warnings_; }
    /// The last read failed because the stream holds more than ItemLimit items.
    [[nodiscard]] bool TooLarge() const noexcept { return TooLarge_; }

    /// The most items a read may create, in all containers together.
    int ItemLimit = MaxDocumentItems;

private:
    struct TSession;

    TRVStyle& Sheet_;
    TRVFOptions Options_;
    TRVFReaderStyleMode TextMode_;
    TRVFReaderStyleMode ParaMode_;
    TRVFWarnings Warnings_;
    bool TooLarge_ = false;
};

} // namespace xq
