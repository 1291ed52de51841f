// Fuzz target: bytes read as RTF with every event handled, once with and once without the
// Unicode text handler. The reader must end with some code, open no more table levels than it
// caps, close every level it opened, and report no more events than the input can account for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "document/Graphic.h"
#include "formats/rtf/RtfReader.h"

namespace {

using namespace xq;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void ReadOnce(std::string_view rtf, bool unicode, bool tabs)
{
    TRVRTFReader reader;
    reader.TabAsSeparateChar = tabs;
    reader.BasePath = "/nonexistent-xq-fuzz";
    std::size_t events = 0;
    int depth = 0;
    std::size_t textBytes = 0;
    auto touch = [&](TRVRTFReader& r) {
        // What an owner reads during events.
        (void)r.CharProps().Size;
        (void)r.ParaProps().Tabs.size();
        (void)r.RowProps().Cells.size();
        (void)r.FieldInstruction().size();
        if (const TRVRTFFont* f = r.CurrentFont())
            (void)f->Name.size();
        (void)r.ListTable().size();
        ++events;
    };
    reader.OnNewText = [&](TRVRTFReader& r, std::string_view text, TRVRTFPosition) {
        textBytes += text.size();
        touch(r);
        (void)r.AnsiToUnicode(text);
    };
    if (unicode)
        reader.OnNewUnicodeText = [&](TRVRTFReader& r, std::u16string_view text, TRVRTFPosition) {
            textBytes += text.size();
            touch(r);
        };
    reader.OnNewPicture = [&](TRVRTFReader& r, TRVRTFPicture& pic, std::unique_ptr<TGraphic>& g, TRVRTFPosition,
                              const std::string&, bool& inserted) {
        touch(r);
        if (pic.Data.size() > rtf.size())
            Fail("picture data larger than the input");
        inserted = g != nullptr;
    };
    reader.OnNewObject = [&](TRVRTFReader& r, TRVRTFObject& o, TRVRTFPosition, bool& inserted) {
        touch(r);
        if (o.Data.size() > rtf.size())
            Fail("object data larger than the input");
        inserted = (o.Data.size() & 1) != 0;
    };
    reader.OnUpdateMarker = [&](TRVRTFReader& r) { touch(r); };
    reader.OnTable = [&](TRVRTFReader& r, TRVRTFTableEventKind kind, bool& processed) {
        touch(r);
        if (kind == rvf_tbl_TableStart && ++depth > TRVRTFReader::MaxTableNesting)
            Fail("more table levels than the cap");
        if (kind == rvf_tbl_TableEnd || kind == rvf_tbl_TableForcedEnd) {
            if (--depth < 0)
                Fail("a table ended that never started");
            // Decline now and then, as the table import does before a first row.
            processed = kind == rvf_tbl_TableForcedEnd || (events & 3) != 0;
            if (!processed)
                ++depth;
        }
    };
    reader.OnRequiredPageBreak = [&](TRVRTFReader& r) { touch(r); };
    reader.OnHeaderFooter = [&](TRVRTFReader& r, TRVRTFHeaderFooterType, bool, bool& supported) {
        touch(r);
        supported = true;
    };
    reader.OnNote = [&](TRVRTFReader& r, TRVRTFNoteEventType, TRVRTFPosition) { touch(r); };
    reader.OnImportPicture = [&](TRVRTFReader& r, const std::string&, std::unique_ptr<TGraphic>&, bool& invalid) {
        touch(r);
        invalid = true;
    };
    reader.OnBookmarkStart = [&](TRVRTFReader& r, const std::string&) { touch(r); };
    reader.OnNewSeq = [&](TRVRTFReader& r, TRVRTFPosition, const std::string&, TRVSeqType, bool, int) { touch(r); };
    reader.OnEndParsing = [&](TRVRTFReader& r) { touch(r); };
    const int ec = reader.ReadRtfStream(rtf);
    if (ec < 0 || ec > rtf_ec_TextHandlerException)
        Fail("an unknown error code");
    if (depth != 0 && ec == rtf_ec_OK)
        Fail("table levels left open after a successful read");
    // Every event stands for some bytes of input: bounded by a small multiple of its size.
    if (events > 40 * rtf.size() + 1024)
        Fail("more events than the input accounts for");
    if (textBytes > 4 * rtf.size() + 64)
        Fail("more text than the input accounts for");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);
    ReadOnce(rtf, true, true);
    ReadOnce(rtf, false, false);
    return 0;
}
