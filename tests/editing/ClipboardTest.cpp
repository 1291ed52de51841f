// Copy, cut and paste through an in-memory clipboard: what a copy writes, what each format pastes,
// and that damaged clipboard data leaves the document as it was.
#include <gtest/gtest.h>

#include <fstream>

#include "document/Graphic.h"
#include "document/RVStyle.h"
#include "editing/DocViewEdit.h"
#include "editing/TableInplaceEdit.h"
#include "formats/DocumentFiles.h"
#include "formats/rvf/RvfWriter.h"
#include "pictures/PictureSamples.h"
#include "support/DocumentBuilders.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"
#include "tables/TableTestSupport.h"
#include "editing/EditTestSupport.h"

namespace xq::test {
namespace {

void AllCopyOptions(TCustomDocViewEdit& edit)
{
    for (const TRVOption option :
         {rvoAutoCopyText, rvoAutoCopyUnicodeText, rvoAutoCopyRVF, rvoAutoCopyImage, rvoAutoCopyRTF})
        edit.RVData().Options.Include(option);
}

/// An editor with all copy options on the shared in-memory clipboard.
struct ClipFixture {
    explicit ClipFixture(TMemoryClipboard& clipboard)
    {
        AllCopyOptions(F.Edit);
        F.Edit.SetClipboard(&clipboard);
    }
    EditFixture F{300, 400};
};

std::string DocViewOf(const std::string& rvf)
{
    const auto n = static_cast<std::uint32_t>(rvf.size());
    std::string out{char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char((n >> 24) & 0xFF)};
    return out + rvf;
}

int UnicodeStyle(EditFixture& f)
{
    const int style = f.AddTextStyle();
    f.Sheet.TextStyles[style].Unicode = true;
    return style;
}

} // namespace

TEST(Clipboard, CopyOfACommittedDocumentPastesBackToTheSameRvf)
{
    // Styles, lists, tables and pictures of real documents: pasting the copy into an empty editor
    // of the same style sheet and copying that again gives the same bytes.
    const std::vector<std::filesystem::path> files = CommittedDocuments();
    ASSERT_GT(files.size(), 10u);
    int compared = 0;
    for (const std::filesystem::path& file : files) {
        TMemoryClipboard clipboard;
        ClipFixture a(clipboard);
        TRVDocumentInfo info;
        if (!LoadDocumentFile(file, a.F.Sheet, a.F.Data, info).Ok || a.F.Data.Empty())
            continue;
        a.F.Format();
        a.F.Edit.SelectAll();
        ASSERT_TRUE(a.F.Edit.CopySelection()) << file;
        ASSERT_TRUE(clipboard.Content().DocView) << file;
        ASSERT_TRUE(clipboard.Content().Rtf) << file;
        ASSERT_TRUE(clipboard.Content().Text) << file;
        const std::string copied = *clipboard.Content().DocView;

        TCustomDocViewEdit b(&a.F.Sheet);
        AllCopyOptions(b);
        b.SetClipboard(&clipboard);
        b.RVData().SetFormatCanvas(&a.F.Canvas);
        b.RVData().MinTextWidth = b.RVData().MaxTextWidth = 300;
        b.Format();
        b.PasteAtCaret();
        b.SelectAll();
        clipboard.SetContent({});
        ASSERT_TRUE(b.CopySelection());
        ASSERT_TRUE(clipboard.Content().DocView) << file;
        EXPECT_EQ(*clipboard.Content().DocView, copied) << file;
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

TEST(Clipboard, CopyWritesTheSelectionInEveryFormatAndNothingWithoutASelection)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    c.F.Text("Gr\xFC\xDF" "e aus K\xF6ln");
    c.F.Text("zweite Zeile");
    c.F.Format();
    EXPECT_TRUE(c.F.Edit.CopySelection());
    EXPECT_TRUE(clipboard.Content().Empty()) << "nothing selected, nothing copied";

    c.F.Edit.SetSelection({0, 7}, {1, 7});
    ASSERT_TRUE(c.F.Edit.CopySelection());
    const TClipboardContent& got = clipboard.Content();
    ASSERT_TRUE(got.Text && got.Rtf && got.DocView);
    EXPECT_EQ(*got.Text, "aus Köln\r\nzweite");
    EXPECT_EQ(got.Rtf->rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(got.Rtf->find("aus K\\'f6ln"), std::string::npos) << *got.Rtf;
    EXPECT_EQ(got.Rtf->find("Gr"), std::string::npos) << "only the selection";
    // The byte count and exactly the RVF the writer makes of the selection.
    std::string rvf;
    ASSERT_TRUE(TRVFWriter(c.F.Sheet, c.F.Edit.RVFOptions).WriteSelection(c.F.Data, {0, 7, 1, 7}, rvf));
    EXPECT_EQ(*got.DocView, DocViewOf(rvf));
    EXPECT_FALSE(got.Png || got.Pixels) << "no picture for text";

    // Without copy options nothing is copied and the answer says so.
    TMemoryClipboard other;
    EditFixture plain;
    plain.Text("abc");
    plain.Format();
    plain.Edit.SetClipboard(&other);
    plain.Edit.SelectAll();
    EXPECT_FALSE(plain.Edit.CopySelection());
    EXPECT_TRUE(other.Content().Empty());
}

TEST(Clipboard, TextPastesIntoTheCurrentStyleAs8BitOrUtf16)
{
    TMemoryClipboard clipboard;
    clipboard.Content().Text = "Maß\r\nnächste";
    {
        ClipFixture c(clipboard);
        c.F.Text("");
        c.F.Format();
        const std::string before = c.F.Rvf();
        c.F.Edit.PasteAtCaret();
        ASSERT_EQ(c.F.Data.Count(), 2);
        EXPECT_FALSE(c.F.Data.ItemAt(0).IsUnicode());
        EXPECT_EQ(c.F.Data.TextAt(0), "Ma\xDF");
        EXPECT_EQ(c.F.Data.TextAt(1), "n\xE4" "chste");
        EXPECT_TRUE(c.F.Data.StartsParagraph(1));
        c.F.ExpectOneStep(before, rvutInsert);
    }
    {
        ClipFixture c(clipboard);
        const int unicode = UnicodeStyle(c.F);
        c.F.Text("", unicode);
        c.F.Format();
        clipboard.Content().Text = "\xE2\x82\xAC \xCE\xA9";  // "€ Ω": no 8-bit page has both
        c.F.Edit.PasteAtCaret();
        ASSERT_EQ(c.F.Data.Count(), 1);
        EXPECT_TRUE(c.F.Data.ItemAt(0).IsUnicode());
        EXPECT_EQ(c.F.Data.TextAt(0), std::string("\xAC\x20\x20\x00\xA9\x03", 6));
    }
}

TEST(Clipboard, PasteTakesTheRichestFormatAndFallsBackPastDamagedOnes)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    c.F.Text("");
    c.F.Format();
    // RVF first, though RTF and text are there too.
    ClipFixture source(clipboard);
    const int bold = source.F.AddTextStyle();
    source.F.Sheet.TextStyles[bold].Style.Include(fsBold);
    source.F.Text("fett", bold);
    source.F.Format();
    source.F.Edit.SelectAll();
    source.F.Edit.CopySelection();
    clipboard.Content().Text = "Text";
    c.F.Edit.PasteAtCaret();
    ASSERT_EQ(c.F.Data.Count(), 1);
    EXPECT_EQ(c.F.Data.TextAt(0), "fett");
    EXPECT_TRUE(c.F.Sheet.TextStyles[c.F.Data.ItemAt(0).StyleNo].Style.Contains(fsBold));

    // A byte count beyond the data: the RVF is not read, the RTF is.
    c.F.Edit.SelectAll();
    c.F.Edit.DeleteSelected();
    clipboard.Content().DocView = std::string("\xFF\xFF\xFF\x7F", 4) + "-8 1 0";
    clipboard.Content().Rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\i schr\\'e4g\\i0\\par}";
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(c.F.Data.TextAt(0), "schr\xE4g");
    EXPECT_TRUE(c.F.Sheet.TextStyles[c.F.Data.ItemAt(0).StyleNo].Style.Contains(fsItalic));

    // RVF and RTF both damaged: the text.
    c.F.Edit.SelectAll();
    c.F.Edit.DeleteSelected();
    clipboard.Content().DocView = std::string("\x03\x00\x00\x00xyz", 7);
    clipboard.Content().Rtf = "{\\rtf1 {{{";
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(c.F.Data.TextAt(0), "Text");

    // Nothing usable at all: a beep and the document as it was.
    int beeps = 0;
    c.F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    clipboard.SetContent({});
    clipboard.Content().DocView = std::string("\x01", 1);
    const std::string before = c.F.Rvf();
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(c.F.Rvf(), before);
    EXPECT_TRUE(c.F.Edit.CanPasteNow()) << "a DocView format is there, damaged or not";
    clipboard.SetContent({});
    EXPECT_FALSE(c.F.Edit.CanPasteNow());

    // A read-only editor does not paste.
    clipboard.Content().Text = "x";
    c.F.Edit.ReadOnly = true;
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(c.F.Rvf(), before);
    EXPECT_EQ(beeps, 2);
}

namespace {
/// A clipboard that fails while it is read.
class ThrowingClipboard : public TMemoryClipboard {
public:
    std::optional<std::string> Read(TClipboardFormat, std::size_t) const override { throw std::runtime_error("lost"); }
};
} // namespace

TEST(Clipboard, AFailureWhilePastingBeepsAndChangesNothing)
{
    ThrowingClipboard clipboard;
    clipboard.Content().Text = "abc";
    ClipFixture c(clipboard);
    c.F.Text("bleibt");
    c.F.Format();
    int beeps = 0;
    c.F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    const std::string before = c.F.Rvf();
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(c.F.Rvf(), before);
    EXPECT_FALSE(c.F.Edit.CanUndo());
}

TEST(Clipboard, ASinglePictureIsCopiedAsAPictureAndPastesAsOne)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    const std::string png = EncodeRgbaPng(2, 1, std::string("\xFF\x00\x00\xFF\x00\x00\xFF\xFF", 8));
    c.F.Text("a");
    AppendPicture(c.F.Data, png, 0, 0, -1);
    c.F.Format();
    c.F.Edit.SetSelection({1, 0}, {1, 1});
    ASSERT_TRUE(c.F.Edit.CopySelection());
    ASSERT_TRUE(clipboard.Content().Png);
    EXPECT_EQ(*clipboard.Content().Png, png);
    EXPECT_TRUE(clipboard.Content().DocView && clipboard.Content().Rtf);
    // With the text before it, no picture.
    c.F.Edit.SetSelection({0, 0}, {1, 1});
    ASSERT_TRUE(c.F.Edit.CopySelection());
    EXPECT_FALSE(clipboard.Content().Png);

    TMemoryClipboard pictureOnly;
    pictureOnly.Content().Png = png;
    ClipFixture d(pictureOnly);
    d.F.Text("");
    d.F.Format();
    const std::string before = d.F.Rvf();
    d.F.Edit.PasteAtCaret();
    const auto* item = dynamic_cast<const TRVGraphicItemInfo*>(&d.F.Data.ItemAt(0));
    ASSERT_TRUE(item && item->Image);
    EXPECT_EQ(item->Image->Width(), 2);
    d.F.ExpectOneStep(before, rvutInsert);
}

TEST(Clipboard, CutAndUndoGiveTheDocumentBackByteForByte)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    const int bold = c.F.AddTextStyle();
    c.F.Sheet.TextStyles[bold].Style.Include(fsBold);
    c.F.Text("eins ");
    c.F.Text("fett", bold, -1);
    c.F.Text("zwei");
    c.F.Format();
    const std::string before = c.F.Rvf();
    c.F.Edit.SetSelection({0, 3}, {2, 3});
    c.F.Edit.CutSelection();
    EXPECT_EQ(*clipboard.Content().Text, "ns fett\r\nzw");
    ASSERT_EQ(c.F.Edit.UndoAction(), rvutDelete);
    EXPECT_NE(c.F.Rvf(), before);
    c.F.Edit.Undo();
    EXPECT_EQ(c.F.Rvf(), before);
    c.F.ExpectLayoutFresh();

    // Read-only: the selection is neither copied nor deleted.
    clipboard.SetContent({});
    c.F.Edit.ReadOnly = true;
    c.F.Edit.SelectAll();
    c.F.Edit.CutSelection();
    EXPECT_TRUE(clipboard.Content().Empty());
    EXPECT_EQ(c.F.Rvf(), before);
}

TEST(Clipboard, ARectangleOfCellsIsCopiedAsATableOfThoseCellsAndCutEmptiesThem)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    c.F.Text("vor");
    TRVTableItemInfo* t = AppendNamedTable(c.F.Data, 3, 3);
    c.F.Text("nach");
    c.F.Format();
    // Cells (1,1)..(2,2) selected from the keyboard.
    ASSERT_TRUE(c.F.Edit.EditCell(1, 1, 1));
    c.F.Key(rvkEnd);
    c.F.Key(rvkRight, {ssShift});
    c.F.Key(rvkDown, {ssShift});
    ASSERT_TRUE(t->HasCellRectangle());
    EXPECT_FALSE(c.F.Edit.SelectionExists());
    EXPECT_TRUE(c.F.Edit.CanCopy());
    ASSERT_TRUE(c.F.Edit.CopySelection());
    ASSERT_TRUE(clipboard.Content().DocView && clipboard.Content().Rtf && clipboard.Content().Text);
    EXPECT_NE(clipboard.Content().Text->find("11"), std::string::npos);
    EXPECT_EQ(clipboard.Content().Text->find("00"), std::string::npos) << *clipboard.Content().Text;
    EXPECT_NE(clipboard.Content().Rtf->find("\\trowd"), std::string::npos);

    ClipFixture d(clipboard);
    d.F.Text("");
    d.F.Format();
    d.F.Edit.PasteAtCaret();
    const TRVTableItemInfo* pasted = nullptr;
    for (int i = 0; i < d.F.Data.Count() && !pasted; ++i)
        pasted = dynamic_cast<const TRVTableItemInfo*>(&d.F.Data.ItemAt(i));
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->RowCount(), 2);
    ASSERT_EQ(pasted->ColCount(), 2);
    EXPECT_TRUE(pasted->CheckGrid());
    EXPECT_EQ(ContentText(*pasted->Cells(0, 0)) + ContentText(*pasted->Cells(1, 1)), "1122");
    EXPECT_FALSE(pasted->HasCellRectangle());

    // Cutting empties the cells, which stay, as one step.
    const std::string before = c.F.Rvf();
    c.F.Edit.CutSelection();
    EXPECT_EQ(ContentText(*t->Cells(1, 1)) + ContentText(*t->Cells(2, 2)), "");
    EXPECT_EQ(ContentText(*t->Cells(0, 0)), "00");
    c.F.ExpectOneStep(before, rvutModifyItem);
}

TEST(Clipboard, FilesPasteByKindAndOthersAreIgnored)
{
    TTempDir dir;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary) << bytes;
        return dir.Path() / name;
    };
    // An RVF document written by a first editor.
    TMemoryClipboard scratch;
    ClipFixture source(scratch);
    source.F.Text("aus der Datei");
    source.F.Format();
    std::string rvf;
    ASSERT_TRUE(TRVFWriter(source.F.Sheet, source.F.Edit.RVFOptions).WriteDocument(source.F.Data, nullptr, rvf));

    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    c.F.Text("");
    c.F.Format();
    int beeps = 0;
    c.F.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    clipboard.Content().Files = {write("brief.doc", "\xD0\xCF\x11\xE0 kein Text")};
    const std::string before = c.F.Rvf();
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(c.F.Rvf(), before) << "a .doc file is not inserted";
    EXPECT_EQ(beeps, 1);

    clipboard.Content().Files = {write("teil.rvf", rvf), write("brief.doc", "x"), write("notiz.TXT", "Zeile"),
                                 write("bild.png", EncodeRgbaPng(1, 1, std::string("\0\0\0\xFF", 4)))};
    c.F.Edit.PasteAtCaret();
    ASSERT_EQ(c.F.Data.Count(), 3);
    EXPECT_EQ(c.F.Data.TextAt(0), "aus der Datei");
    EXPECT_EQ(c.F.Data.TextAt(1), "Zeile");
    EXPECT_TRUE(c.F.Data.StartsParagraph(1));
    EXPECT_NE(dynamic_cast<const TRVGraphicItemInfo*>(&c.F.Data.ItemAt(2)), nullptr);
    c.F.ExpectOneStep(before, rvutInsert);
}

TEST(Clipboard, InsideACellEditorCopyAndPasteWorkOnTheCell)
{
    TMemoryClipboard clipboard;
    ClipFixture c(clipboard);
    c.F.Text("vor");
    TRVTableItemInfo* t = AppendNamedTable(c.F.Data, 2, 2);
    c.F.Format();
    ASSERT_TRUE(c.F.Edit.EditCell(1, 0, 1));
    c.F.Edit.CellEditor()->SelectAll();
    ASSERT_TRUE(c.F.Edit.CopySelection());
    EXPECT_EQ(*clipboard.Content().Text, "01");
    c.F.Edit.EditCell(1, 1, 0, true);
    c.F.Edit.PasteAtCaret();
    EXPECT_EQ(ContentText(*t->Cells(1, 0)), "1001");
}

} // namespace xq::test
