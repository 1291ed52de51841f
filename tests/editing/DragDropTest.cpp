// Drag and drop in the engine: a press in the selection that becomes a drag or stays a click,
// moves and copies within the editor as one undo step, drops of other programs' data and files,
// and moves out of a table cell.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "editing/DragDrop.h"
#include "editing/EditTestSupport.h"
#include "editing/TableInplaceEdit.h"
#include "formats/rvf/RvfWriter.h"
#include "support/TempDir.h"
#include "tables/TableItem.h"
#include "tables/TableTestSupport.h"

namespace xq::test {
namespace {

const TRVDropEffects CopyOrMove{rvdeCopy, rvdeMove};

/// A point on the caret bar of pos in edit's own layout.
std::pair<int, int> PointOf(TCustomDocViewEdit& edit, TRVDocPos pos)
{
    TRVEditRVData& data = edit.RVData();
    const TRVCaretRect bar = data.StopRect(data.DrawPosOf(pos, TRVLineBoundary::LineStart));
    return {bar.X, bar.Top + bar.Height / 2};
}

/// The whole document's text, paragraphs joined by "/".
std::string AllText(const TCustomRVData& data)
{
    std::string text;
    for (int i = 0; i < data.Count(); ++i) {
        if (i > 0 && data.StartsParagraph(i))
            text += '/';
        if (data.ItemAt(i).IsText())
            text += data.TextAt(i);
    }
    return text;
}

/// Drags the selection of f's editor (pressed at from) and drops it at to, with shift held.
TRVDropEffects DragAndDrop(EditFixture& f, TRVDocPos from, TRVDocPos to, TShiftState shift = {})
{
    const auto [px, py] = PointOf(f.Edit, from);
    f.Edit.MouseDown(mbLeft, {}, px, py);
    EXPECT_TRUE(f.Edit.DragPending());
    TMemoryClipboard data;
    if (!f.Edit.BeginDrag(data.Content()))
        return {};
    const auto [x, y] = PointOf(f.Edit, to);
    EXPECT_FALSE(f.Edit.DragOver(data, CopyOrMove, shift, x, y).Empty());
    const TRVDropEffects done = f.Edit.Drop(data, CopyOrMove, shift, x, y);
    f.Edit.EndDrag(done);
    return done;
}

} // namespace

TEST(DragDrop, AMoveWithinTheEditorIsOneUndoStepAndSelectsWhatMoved)
{
    // Forwards: "two " to the end of the paragraph.
    EditFixture f;
    f.Text("one two three");
    f.Format();
    f.Edit.SetSelection({0, 5}, {0, 9});
    std::string before = f.Rvf();
    EXPECT_EQ(DragAndDrop(f, {0, 6}, {0, 14}), TRVDropEffects{rvdeMove});
    EXPECT_EQ(AllText(f.Data), "one threetwo ");
    EXPECT_EQ(f.SelectedText(), "two ");
    f.ExpectLayoutFresh();
    f.ExpectOneStep(before, rvutInsert);

    // Backwards, across paragraphs: "three" and the next paragraph's start to the front.
    EditFixture g;
    g.Text("one two three");
    g.Text("four five");
    g.Format();
    g.Edit.SetSelection({0, 9}, {1, 5});
    before = g.Rvf();
    EXPECT_EQ(DragAndDrop(g, {0, 10}, {0, 1}), TRVDropEffects{rvdeMove});
    EXPECT_EQ(AllText(g.Data), "three/fourone two  five");
    EXPECT_EQ(g.SelectedText(), "three/four");
    g.ExpectLayoutFresh();
    g.ExpectOneStep(before, rvutInsert);
}

TEST(DragDrop, APressThatDoesNotMoveIsAClickAndADropOnTheSelectionDoesNothing)
{
    EditFixture f;
    f.Text("one two three");
    f.Format();
    f.Edit.SetSelection({0, 5}, {0, 9});
    // Pressed and released inside the selection: the caret goes there.
    auto [x, y] = PointOf(f.Edit, {0, 7});
    f.Edit.MouseDown(mbLeft, {}, x, y);
    EXPECT_TRUE(f.Edit.DragPending());
    EXPECT_EQ(f.SelectedText(), "two ") << "the selection waits for the pointer";
    f.Edit.MouseUp(mbLeft, {}, x, y);
    EXPECT_FALSE(f.Edit.DragPending());
    EXPECT_FALSE(f.Edit.SelectionExists());
    EXPECT_EQ(f.Caret(), "0:7");

    // Dropped inside itself (its ends included): nothing changes, nothing is deleted.
    const std::string before = f.Rvf();
    for (const TRVDocPos at : {TRVDocPos{0, 5}, TRVDocPos{0, 7}, TRVDocPos{0, 9}}) {
        f.Edit.SetSelection({0, 5}, {0, 9});
        EXPECT_TRUE(DragAndDrop(f, {0, 6}, at).Empty());
        EXPECT_EQ(f.Rvf(), before);
    }
    EXPECT_FALSE(f.Edit.CanUndo());

    // Ctrl copies: the selection stays, and the copy goes in once.
    f.Edit.SetSelection({0, 5}, {0, 9});
    EXPECT_EQ(DragAndDrop(f, {0, 6}, {0, 1}, {ssCtrl}), TRVDropEffects{rvdeCopy});
    EXPECT_EQ(AllText(f.Data), "two one two three");
    EXPECT_EQ(f.SelectedText(), "two ");
    f.ExpectOneStep(before, rvutInsert);

    // With rvoDisallowDrag a press in the selection places the caret at once.
    f.Data.Options.Include(rvoDisallowDrag);
    f.Edit.SetSelection({0, 5}, {0, 9});
    std::tie(x, y) = PointOf(f.Edit, {0, 7});
    f.Edit.MouseDown(mbLeft, {}, x, y);
    EXPECT_FALSE(f.Edit.DragPending());
    EXPECT_FALSE(f.Edit.SelectionExists());
}

TEST(DragDrop, DataFromOtherProgramsAndFilesDropByKind)
{
    TTempDir dir;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.Path() / name, std::ios::binary) << bytes;
        return dir.Path() / name;
    };
    EditFixture source;
    source.Text("aus der Datei");
    source.Format();
    std::string rvf;
    ASSERT_TRUE(TRVFWriter(source.Sheet, source.Edit.RVFOptions).WriteDocument(source.Data, nullptr, rvf));

    EditFixture f;
    f.Text("Anfang");
    f.Format();
    int beeps = 0;
    f.Edit.OnBeep = [&](TCustomDocViewEdit&) { ++beeps; };
    const auto [x, y] = PointOf(f.Edit, {0, 7});

    // A .doc file is no kind the editor reads: offered, dropped, nothing happens.
    TMemoryClipboard doc;
    doc.Content().Files = {write("brief.doc", "\xD0\xCF\x11\xE0")};
    std::string before = f.Rvf();
    EXPECT_EQ(f.Edit.DragOver(doc, CopyOrMove, {}, x, y), TRVDropEffects{rvdeCopy}) << "files are accepted";
    EXPECT_TRUE(f.Edit.Drop(doc, CopyOrMove, {}, x, y).Empty());
    EXPECT_EQ(f.Rvf(), before);
    EXPECT_EQ(beeps, 1);

    // An .rvf file inserts its document at the drop place, even though its name comes as text
    // too (file managers offer both), and what came in is selected.
    TMemoryClipboard files;
    files.Content().Files = {write("teil.rvf", rvf)};
    files.Content().Text = (dir.Path() / "teil.rvf").string();
    EXPECT_EQ(f.Edit.Drop(files, CopyOrMove, {}, x, y), TRVDropEffects{rvdeCopy});
    EXPECT_EQ(AllText(f.Data), "Anfangaus der Datei");
    EXPECT_EQ(f.SelectedText(), "aus der Datei");
    f.ExpectOneStep(before, rvutInsert);

    // A link dragged from a browser comes in as the text with it, unless links are accepted,
    // which gives the address.
    TMemoryClipboard link;
    link.Content().Url = "https://example.org/preise";
    EXPECT_TRUE(f.Edit.DragOver(link, CopyOrMove, {}, x, y).Empty()) << "links alone are not accepted by default";
    f.Edit.AcceptDragDropFormats.Include(rvddURL);
    link.Content().Text = "Preisliste";
    f.Edit.SetSelection({0, 1}, {0, 1});
    EXPECT_FALSE(f.Edit.Drop(link, CopyOrMove, {}, x, y).Empty());
    EXPECT_EQ(AllText(f.Data), "Anfanghttps://example.org/preiseaus der Datei");

    // A move another program took deletes the dragged selection here, as one step.
    f.Edit.SetSelection({0, 1}, {0, 7});
    before = f.Rvf();
    const auto [px, py] = PointOf(f.Edit, {0, 3});
    f.Edit.MouseDown(mbLeft, {}, px, py);
    TClipboardContent content;
    ASSERT_TRUE(f.Edit.BeginDrag(content));
    ASSERT_TRUE(content.DocView && content.Rtf && content.Text);
    EXPECT_EQ(*content.Text, "Anfang");
    f.Edit.EndDrag({rvdeMove});
    EXPECT_EQ(AllText(f.Data), "https://example.org/preiseaus der Datei");
    f.ExpectOneStep(before, rvutDelete);
    // The editor offers every format for a drag whatever its copy options (here none).
    EXPECT_FALSE(f.Data.Options.Contains(rvoAutoCopyRTF));
}

TEST(DragDrop, TableCellsTakeDropsAndAMoveOutOfACellIsOneStep)
{
    EditFixture f(300, 300);
    f.Text("vor");
    TRVTableItemInfo* t = AppendNamedTable(f.Data, 2, 2);
    f.Text("nach");
    f.Format();
    // Where cell (1, 1) shows its text.
    ASSERT_TRUE(f.Edit.EditCell(1, 1, 1));
    std::int32_t cx = 0, cy = 0;
    ASSERT_TRUE(f.Edit.CellEditorOrigin(cx, cy));
    f.Edit.EndCellEdit();

    // Text from another program dropped on the cell goes into it.
    TMemoryClipboard text;
    text.Content().Text = "X";
    EXPECT_FALSE(f.Edit.DragOver(text, CopyOrMove, {}, cx + 1, cy + 5).Empty());
    ASSERT_TRUE(f.Edit.CellEditor()) << "dragging over a cell edits it";
    TRVCaretRect caret;
    EXPECT_TRUE(f.Edit.DropCaret(caret));
    EXPECT_GE(caret.Top, cy - 2);
    EXPECT_EQ(f.Edit.Drop(text, CopyOrMove, {}, cx + 1, cy + 5), TRVDropEffects{rvdeCopy});
    EXPECT_EQ(ContentText(*t->Cells(1, 1)), "X11");
    f.Edit.DragLeave();
    EXPECT_FALSE(f.Edit.DropCaret(caret));

    // "11" moved from the cell to the end of the document: typing in the cell before stays a
    // step of its own, and the move is one step.
    TCustomDocViewEdit& cell = *f.Edit.CellEditor();
    cell.SetSelection({0, 2}, {0, 4});
    const std::string before = f.Rvf();
    const auto [px, py] = PointOf(cell, {0, 3});
    f.Edit.MouseDown(mbLeft, {}, cx + px, cy + py);
    ASSERT_TRUE(f.Edit.DragPending());
    TMemoryClipboard data;
    ASSERT_TRUE(f.Edit.BeginDrag(data.Content()));
    const auto [x, y] = PointOf(f.Edit, {2, 5});
    const TRVDropEffects done = f.Edit.Drop(data, CopyOrMove, {}, x, y);
    f.Edit.EndDrag(done);
    EXPECT_EQ(done, TRVDropEffects{rvdeMove});
    EXPECT_EQ(ContentText(*t->Cells(1, 1)), "X");
    EXPECT_EQ(f.Data.TextAt(2), "nach11");
    EXPECT_EQ(f.Edit.CellEditor(), nullptr);
    f.ExpectOneStep(before, rvutInsert);
}

TEST(DragDrop, LinearPositionsNameEveryPlaceOnce)
{
    // Round trip over every place of random documents: text, empty paragraphs, line breaks
    // inside paragraphs and pictures.
    std::mt19937 random(7);
    for (unsigned seed = 0; seed < SeedCount(40); ++seed) {
        EditFixture f;
        const int paragraphs = 1 + int(random() % 6);
        for (int p = 0; p < paragraphs; ++p) {
            f.Text(std::string(random() % 5, 'a'));
            if (random() % 2)
                f.Text(std::string(1 + random() % 3, 'b'), 0, -1);
            if (random() % 3 == 0)
                f.Data.AppendItem("", std::make_unique<TRVBreakItemInfo>());
        }
        int previous = -1;
        for (int i = 0; i < f.Data.Count(); ++i)
            for (int offset = f.Data.OffsetBefore(i); offset <= f.Data.OffsetAfter(i); ++offset) {
                const int linear = LinearPosition(f.Data, {i, offset});
                EXPECT_GE(linear, previous) << "seed " << seed;
                EXPECT_LE(linear, previous + 1) << "seed " << seed;
                previous = linear;
                EXPECT_EQ(LinearPosition(f.Data, DocPosOfLinear(f.Data, linear)), linear) << "seed " << seed;
            }
    }
}

} // namespace xq::test
