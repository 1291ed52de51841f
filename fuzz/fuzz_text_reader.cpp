// Fuzz target: bytes through text detection, both text readers and both text writer encodings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/Normalize.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/text/TextFormat.h"
#include "lists/ListItems.h"

namespace {

using namespace xq;

void Export(const TCustomRVData& doc)
{
    std::string out;
    (void)ExportText(doc, out, 80, false);
    out.clear();
    (void)ExportText(doc, out, 80, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool registered = (RegisterListItemKinds(), true);
    (void)registered;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)DetectTextKindOfBytes(bytes);

    TRVStyle sheet;
    SetupMainWindowStyleSheet(sheet);
    TFontInfo& unicode = sheet.TextStyles.Add();
    unicode.CopyStyle(sheet.TextStyles[0]);
    unicode.Unicode = true;
    const int unicodeStyle = sheet.TextStyles.Count() - 1;

    for (const int style : {0, unicodeStyle}) {
        for (const bool single : {false, true}) {
            // A fresh document, and one whose last paragraph the text continues.
            TCustomRVData fresh(&sheet);
            (void)ImportText8(fresh, bytes, style, 0, single);
            NormalizeDocument(fresh);
            Export(fresh);

            TCustomRVData wide(&sheet);
            wide.AppendText("Anfang", 0, 0);
            (void)ImportTextUtf16(wide, bytes, style, -1, single);
            NormalizeDocument(wide);
            Export(wide);
        }
    }
    return 0;
}
