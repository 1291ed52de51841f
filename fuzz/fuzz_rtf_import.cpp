// Fuzz target: bytes imported as RTF into a document the way the main window opens a file
// (mixed text, styles added as needed, page parameters, tables, lists and notes). What the import
// builds must be a well-formed document, must be written as RTF and as RVF, and what the writers
// write must read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/DocParameters.h"
#include "document/DocumentInfo.h"
#include "document/ItemInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/rtf/RtfImport.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/rvf/RvfReader.h"
#include "formats/rvf/RvfWriter.h"
#include "lists/ListItems.h"
#include "tables/TableItem.h"

namespace {

using namespace xq;

[[noreturn]] void Fail(const char* what, std::size_t detail = 0)
{
    std::fprintf(stderr, "%s (%zu)\n", what, detail);
    std::abort();
}

/// The grammar of a document, checked in data and every container below it: each container
/// starts with a paragraph, every item of a paragraph carries the paragraph's style, styles
/// exist, a text item's Unicode bit is its style's. Returns the number of items.
std::size_t CheckContainer(const TRVStyle& sheet, const TCustomRVData& data, int depth)
{
    if (depth > 64)
        Fail("containers nested deeper than the import allows", std::size_t(depth));
    std::size_t items = 0;
    int paraNo = -1;
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        ++items;
        if (i == 0 && !item.StartsParagraph())
            Fail("a container whose first item continues a paragraph", std::size_t(i));
        if (item.StartsParagraph())
            paraNo = item.ParaNo;
        if (item.ParaNo != paraNo)
            Fail("an item with another paragraph style than its paragraph", std::size_t(i));
        if (item.ParaNo < 0 || item.ParaNo >= sheet.ParaStyles.Count())
            Fail("a paragraph style outside the sheet", std::size_t(item.ParaNo));
        if (item.StyleNo >= 0) {
            if (item.StyleNo >= sheet.TextStyles.Count())
                Fail("a text style outside the sheet", std::size_t(item.StyleNo));
            if (sheet.TextStyles.StyleAt(item.StyleNo).Unicode != item.IsUnicode())
                Fail("a text item whose Unicode bit is not its style's", std::size_t(i));
            if (item.IsUnicode() && data.TextAt(i).size() % 2 != 0)
                Fail("Unicode text of odd length", std::size_t(i));
        }
        for (int k = 0; k < item.SubDocumentCount(); ++k)
            if (const TCustomRVData* sub = item.SubDocument(k))
                items += CheckContainer(sheet, *sub, depth + 1);
    }
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = (RegisterListItemKinds(), RegisterTableItemKind(), true);
    (void)registered;
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);

    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TCustomRVData doc(&sheet);
    TRVDocumentInfo info;
    info.DocParameters = MainWindowDocParameters();
    TRVRTFReaderProperties settings;
    SetMainWindowRtfReadProperties(settings);
    settings.BasePath = "/nonexistent-xq-fuzz";
    const int code = settings.ReadRtfStreamIntoDocument(rtf, doc, &info.DocParameters);
    if (code < 0 || code > rtf_ec_TextHandlerException)
        Fail("an unknown error code", std::size_t(code));

    // Items stand for input: each takes a few bytes at least (an empty cell or paragraph), a
    // list marker comes with its paragraph's first item.
    const std::size_t items = CheckContainer(sheet, doc, 0);
    if (items > 2 * size + 64)
        Fail("more items than the input accounts for", items);

    std::string written;
    TRVRTFWriteSettings rtfSettings{RTFMainWindowOptions};
    rtfSettings.DocParameters = &info.DocParameters;
    if (!WriteRtfDocument(doc, rtfSettings, written))
        Fail("the RTF writer failed", written.size());
    {
        TRVStyle backSheet;
        SetupMainWindowStyleSheet(backSheet);
        TCustomRVData back(&backSheet);
        TRVRTFReaderProperties backSettings;
        SetMainWindowRtfReadProperties(backSettings);
        backSettings.BasePath = "/nonexistent-xq-fuzz";
        TRVDocParameters backParams = MainWindowDocParameters();
        const int backCode = backSettings.ReadRtfStreamIntoDocument(written, back, &backParams);
        if (backCode != rtf_ec_OK && !backSettings.LastReadTooLarge())
            Fail("the written RTF does not read back", std::size_t(backCode));
        (void)CheckContainer(backSheet, back, 0);
    }

    std::string rvf;
    if (!TRVFWriter(sheet, RVFMainWindowOptions).WriteDocument(doc, &info, rvf))
        Fail("the RVF writer failed", rvf.size());
    TRVStyle rvfSheet;
    SetupMainWindowStyleSheet(rvfSheet);
    TCustomRVData rvfBack(&rvfSheet);
    TRVDocumentInfo rvfInfo;
    if (!TRVFReader(rvfSheet, RVFMainWindowOptions).ReadDocument(rvfBack, &rvfInfo, rvf))
        Fail("the written RVF does not read back", rvf.size());
    return 0;
}
