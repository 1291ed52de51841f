// LoadDocumentFile and SaveDocumentFile: the document session's readers and writers by extension.
#include "formats/DocumentFiles.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include "document/DocumentInfo.h"
#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "document/StylePurge.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "formats/text/TextFormat.h"
#include "platform/FileIO.h"

namespace xq {

namespace fs = std::filesystem;

namespace {

/// Plain text is written with lines of this many characters, as the editor saves it.
constexpr int TextLineWidth = 80;

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

TLoadResult Failed(std::string error)
{
    TLoadResult result;
    result.Error = std::move(error);
    return result;
}

/// Text files: the detection decides between the 8-bit and the UTF-16 reader.
bool ReadText(const std::string& bytes, TCustomRVData& doc, std::string& error)
{
    doc.Clear();
    switch (DetectTextKindOfBytes(bytes)) {
    case TTextKind::Empty:
        return true;
    case TTextKind::Unicode:
        return ImportTextUtf16(doc, bytes, 0, 0, false, &error);
    case TTextKind::Text8:
    case TTextKind::Error:
        break;
    }
    return ImportText8(doc, bytes, 0, 0, false, &error);
}

/// What an RTF reader code says, for the message of a failed load.
std::string RtfErrorText(int code)
{
    switch (code) {
    case rtf_ec_StackUnderflow: return "the RTF has more closing than opening braces";
    case rtf_ec_StackOverflow: return "the RTF nests its groups too deeply";
    case rtf_ec_UnmatchedBrace: return "the RTF ends inside a group (the file is truncated)";
    case rtf_ec_InvalidHex: return "the RTF holds an invalid hexadecimal digit";
    case rtf_ec_EndOfFile: return "the RTF ends after a backslash (the file is truncated)";
    case rtf_ec_FileOpenError: return "the file cannot be opened";
    case rtf_ec_InvalidPicture: return "the RTF holds a damaged picture or object";
    default: return "the file is damaged or not in RTF format";
    }
}

/// RTF replaces the document: the styles the old one used and the new one does not go first.
bool ReadRtf(const fs::path& path, std::string_view bytes, TRVStyle& sheet, TCustomRVData& doc, TRVDocumentInfo& info,
             const TRVRTFReaderProperties* properties, std::string& error, bool& tooLarge)
{
    doc.Clear();
    PurgeStyles(sheet, doc, true, true, true);
    TRVRTFReaderProperties settings;
    if (properties)
        settings = *properties;
    else
        SetMainWindowRtfReadProperties(settings);
    std::error_code ec;
    const fs::path directory = fs::absolute(path, ec).parent_path();
    settings.BasePath = directory.string();
    const int code = settings.ReadRtfStreamIntoDocument(bytes, doc, &info.DocParameters);
    tooLarge = settings.LastReadTooLarge();
    if (tooLarge)
        error = "the document has more than " + std::to_string(MaxDocumentItems) + " items";
    else if (code != rtf_ec_OK)
        error = RtfErrorText(code);
    return code == rtf_ec_OK;
}

} // namespace

TFileFormat FormatOfPath(const fs::path& path)
{
    const std::string extension = LowerAscii(path.extension().string());
    if (extension == ".rtf")
        return TFileFormat::RTF;
    if (extension == ".txt")
        return TFileFormat::Text;
    return TFileFormat::RVF;
}

TLoadResult LoadDocumentFile(const fs::path& path, TRVStyle& sheet, TCustomRVData& doc, TRVDocumentInfo& info,
                             TRVFOptions options, const TRVRTFReaderProperties* rtfProperties)
{
    try {
        std::string bytes;
        std::string error;
        if (!ReadFileBytes(path, bytes, MaxDocumentFileSize, &error))
            return Failed(std::move(error));

        TLoadResult result;
        switch (FormatOfPath(path)) {
        case TFileFormat::RTF:
            result.Ok = ReadRtf(path, bytes, sheet, doc, info, rtfProperties, error, result.TooLarge);
            break;
        case TFileFormat::Text:
            result.Ok = ReadText(bytes, doc, error);
            result.TooLarge = !result.Ok && error == errTextTooLarge;
            break;
        case TFileFormat::RVF: {
            TRVFReader reader(sheet, options);
            result.Ok = reader.ReadDocument(doc, &info, bytes);
            result.Warnings = reader.Warnings();
            result.TooLarge = reader.TooLarge();
            if (result.TooLarge)
                error = "the document has more than " + std::to_string(MaxDocumentItems) + " items";
            else if (!result.Ok)
                error = doc.Empty() ? "the file is damaged or not in RVF format"
                                    : "the file is damaged; only a part of it could be read";
            break;
        }
        }
        if (result.TooLarge) {
            // Too large to hold, not damaged: nothing of it is kept.
            doc.Clear();
            result.Error = path.string() + ": " + error;
            return result;
        }
        result.Partial = !result.Ok && !doc.Empty();
        if (!result.Ok)
            result.Error = path.string() + ": " + (error.empty() ? std::string("cannot be read") : error);
        // What was read is prepared as after any load, so that the editor (or a writer) gets a
        // valid document even from a damaged file.
        NormalizeDocument(doc);
        return result;
    } catch (const std::bad_alloc&) {
        return Failed(path.string() + ": not enough memory to load the document");
    } catch (const std::exception& e) {
        return Failed(path.string() + ": " + e.what());
    }
}

bool SaveDocumentFile(const fs::path& path, const TRVStyle& sheet, const TCustomRVData& doc,
                      const TRVDocumentInfo& info, std::string* error, TRVFOptions options, TRVRTFOptions rtfOptions,
                      const TRVContainerLayout* layout, const TRVSaveRTFExtraEvent& rtfExtra)
{
    const auto fail = [&](const std::string& reason) {
        if (error)
            *error = path.string() + ": " + reason;
        return false;
    };
    try {
        std::string bytes;
        switch (FormatOfPath(path)) {
        case TFileFormat::RTF: {
            TRVRTFWriteSettings settings{rtfOptions};
            settings.Background = info.BackgroundColor;
            settings.DocParameters = &info.DocParameters;
            settings.Layout = layout;
            settings.OnSaveRTFExtra = rtfExtra;
            if (!WriteRtfDocument(doc, settings, bytes))
                return fail("the document cannot be written as RTF");
            break;
        }
        case TFileFormat::Text:
            if (!ExportText(doc, bytes, TextLineWidth, false))
                return fail("the document cannot be written as text");
            break;
        case TFileFormat::RVF:
            if (!TRVFWriter(sheet, options).WriteDocument(doc, &info, bytes))
                return fail("the document cannot be written as RVF");
            break;
        }
        errno = 0;
        if (!WriteFileAtomically(path, bytes)) {
            const int err = errno;
            if (err == EACCES && IsWriteProtected(path))
                return fail("the file is write-protected; it was not replaced");
            return fail(err != 0 ? std::string("cannot be written: ") + std::strerror(err)
                                 : std::string("cannot be written"));
        }
        return true;
    } catch (const std::bad_alloc&) {
        return fail("not enough memory to save the document");
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

std::string DescribeWarnings(TRVFWarnings warnings)
{
    static constexpr struct {
        TRVFWarning Warning;
        const char* Text;
    } Descriptions[] = {
        {WarnUnknownPicture, "pictures of an unknown format were left out"},
        {WarnUnknownControl, "embedded controls were left out"},
        {WarnStyleOutOfRange, "style numbers out of range"},
        {WarnImageIndexOutOfRange, "image numbers out of range"},
        {WarnConvertedToUnicode, "8-bit text converted to Unicode"},
        {WarnConvertedTo8Bit, "Unicode text converted to 8-bit"},
        {WarnInvalidPicture, "pictures that cannot be shown"},
        {WarnUnknownProperty, "unknown style properties were skipped"},
    };
    std::string text;
    for (const auto& d : Descriptions)
        if (warnings.Contains(d.Warning)) {
            if (!text.empty())
                text += ", ";
            text += d.Text;
        }
    return text;
}

} // namespace xq
