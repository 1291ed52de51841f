// Loading and saving whole documents by file name: the format follows the extension.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "formats/rtf/RtfWriter.h"
#include "formats/rvf/RvfTypes.h"

namespace xq {

class TCustomRVData;
class TRVDocumentInfo;
class TRVRTFReaderProperties;
class TRVStyle;

enum class TFileFormat { RVF, RTF, Text };

/// The format of a path by its extension, in any letter case: ".rtf" RTF, ".txt" plain text,
/// everything else (".rvf", ".xtb", ".dvl", ".dpa", ".abr", none, any other) RVF.
[[nodiscard]] TFileFormat FormatOfPath(const std::filesystem::path& path);

/// Larger files are refused before anything is read into memory.
inline constexpr std::size_t MaxDocumentFileSize = std::size_t(512) << 20;

struct TLoadResult {
    /// The reader reported success.
    bool Ok = false;
    /// The reader failed after items were read; they stay in the document.
    bool Partial = false;
    /// The document would have more than MaxDocumentItems items: nothing of it is kept.
    bool TooLarge = false;
    TRVFWarnings Warnings;
    /// Why the load failed (empty when Ok).
    std::string Error;
};

/// Loads the file into doc as the editor does: RVF with the given options (the style
/// records replace the sheet's styles; info receives background, properties, page parameters and
/// layout); RTF with rtfProperties (the main window's when null) after clearing doc and purging
/// the styles it no longer uses (info receives the page parameters; pictures and links relative to
/// the file's directory); plain text, 8-bit or UTF-16 as detected, into text style 0 and paragraph
/// style 0 after clearing doc (info stays as it is). The document is normalised after every load
/// that read something, also after a partial one. A file that cannot be read or is too large
/// leaves doc empty (RTF, text) or untouched (RVF).
[[nodiscard]] TLoadResult LoadDocumentFile(const std::filesystem::path& path, TRVStyle& sheet, TCustomRVData& doc,
                                           TRVDocumentInfo& info, TRVFOptions options = RVFMainWindowOptions,
                                           const TRVRTFReaderProperties* rtfProperties = nullptr);

/// Saves doc in the format of the extension: RVF with the given options (the layout record
/// from info.Layout), RTF with rtfOptions (the background and page parameters from info; tables
/// take their column positions from layout, the editor's, when given), or
/// plain text with lines of 80 characters in the 8-bit code page. RTF takes the host's RTF from
/// rtfExtra (none when empty). The file is replaced atomically: on failure an existing file stays
/// as it was and error (when given) receives the reason.
[[nodiscard]] bool SaveDocumentFile(const std::filesystem::path& path, const TRVStyle& sheet,
                                    const TCustomRVData& doc, const TRVDocumentInfo& info,
                                    std::string* error = nullptr, TRVFOptions options = RVFMainWindowOptions,
                                    TRVRTFOptions rtfOptions = RTFMainWindowOptions,
                                    const TRVContainerLayout* layout = nullptr,
                                    const TRVSaveRTFExtraEvent& rtfExtra = {});

/// The warnings as a comma-separated list of short English descriptions.
[[nodiscard]] std::string DescribeWarnings(TRVFWarnings warnings);

} // namespace xq
