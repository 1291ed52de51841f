// Fuzz target: bytes read as an RVF document and fragment; whatever was read must survive write
// and reread, and must lay out and paint.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/DocumentInfo.h"
#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentDump.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "layout/FormattedData.h"
#include "layout/Painter.h"
#include "lists/ListItems.h"
#include "platform/TestCanvas.h"
#include "tables/TableItem.h"

namespace {

using namespace xq;

void Fail(const char* what, const std::string& stream)
{
    std::fprintf(stderr, "%s (written stream of %zu bytes)\n", what, stream.size());
    std::abort();
}

/// Writes doc with the options and reads the stream into a fresh sheet; the writer's output
/// must always be readable, whatever the document came from.
void RoundTrip(const TRVStyle& sheet, const TCustomRVData& doc, const TRVDocumentInfo* info, TRVFOptions options)
{
    std::string written;
    if (!TRVFWriter(sheet, options).WriteDocument(doc, info, written))
        Fail("the writer failed", written);
    TRVStyle backSheet;
    SetupMainWindowStyleSheet(backSheet);
    TCustomRVData back(&backSheet);
    TRVDocumentInfo backInfo;
    if (!TRVFReader(backSheet, options).ReadDocument(back, &backInfo, written))
        Fail("the reader refused what the writer wrote", written);
}

/// How deeply containers nest inside data (0: no sub-documents).
int NestingDepth(const TCustomRVData& data)
{
    int depth = 0;
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (const TCustomRVData* sub = item.SubDocument(k))
                depth = std::max(depth, 1 + NestingDepth(*sub));
    }
    return depth;
}

/// In text mode every nesting level hex-encodes the level inside it once more, so the written
/// size doubles per level; deeply nested documents are round-tripped in binary mode only.
constexpr int MaxTextModeNesting = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = (RegisterListItemKinds(), RegisterTableItemKind(), true);
    (void)registered;
    const std::string_view stream(reinterpret_cast<const char*>(data), size);

    // As a whole document, the way the editor loads a file.
    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVFormattedData doc(&sheet);
    TRVDocumentInfo info;
    (void)TRVFReader(sheet, RVFMainWindowOptions).ReadDocument(doc, &info, stream);
    NormalizeDocument(doc);
    (void)DumpDocumentJson(sheet, doc, &info);
    RoundTrip(sheet, doc, &info, RVFMainWindowOptions);
    if (NestingDepth(doc) <= MaxTextModeNesting)
        RoundTrip(sheet, doc, &info, RVFMainWindowOptions - TRVFOptions{rvfoSaveBinary});

    // Laid out and painted as the editor shows it, special characters included.
    TTestCanvas measure;
    doc.MinTextWidth = doc.MaxTextWidth = 300;
    doc.Options.Include(rvoShowSpecialCharacters);
    doc.SetFormatCanvas(&measure);
    doc.FormatAll(false, true);
    TTestCanvas canvas;
    TRVPaintRequest request;
    request.Rect = {0, 0, 400, 1000};
    request.Editable = true;
    PaintDocument(doc, canvas, request);

    // As a fragment pasted into the middle of a document with content.
    TRVStyle pasteSheet;
    SetupMainWindowStyleSheet(pasteSheet);
    TCustomRVData target(&pasteSheet);
    target.AppendText("Sehr geehrte ", 0, 0);
    target.AppendText("Damen und Herren", 5, -1);
    target.AppendText("Mit freundlichen Gr\xFC\xDF" "en", 0, 1);
    (void)TRVFReader(pasteSheet, RVFMainWindowOptions).ReadFragment(target, 1, stream);
    NormalizeDocument(target);
    RoundTrip(pasteSheet, target, nullptr, RVFMainWindowOptions);
    return 0;
}
