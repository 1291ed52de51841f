// The table commands of the "&Extra" menu, driven through the main window: inserting tables of the
// fixed sizes, the row, column, merge and split commands on the table at the caret, the background
// pictures of tables and cells, the table menus following the caret, and a table built from the
// menus that is saved and read back.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "document/ItemInfo.h"
#include "document/ItemText.h"
#include "formats/DocumentFiles.h"
#include "pictures/Bitmap.h"
#include "platform/Color.h"
#include "tables/TableItem.h"
#include "tables/TableLayout.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// The items of a document: text, "TAB" for a table (with its name), other kinds by code; "|"
/// starts a paragraph.
std::string Kinds(const TCustomRVData& data)
{
    std::string kinds;
    for (int i = 0; i < data.Count(); ++i) {
        kinds += data.StartsParagraph(i) ? "|" : " ";
        if (data.ItemAt(i).IsText())
            kinds += data.TextAt(i);
        else if (dynamic_cast<const TRVTableItemInfo*>(&data.ItemAt(i)))
            kinds += "table " + data.TextAt(i);
        else
            kinds += std::to_string(data.ItemAt(i).StyleNo);
    }
    return kinds;
}

TRVTableItemInfo* TableAt(TCustomRVData& data, int itemNo)
{
    return itemNo < data.Count() ? dynamic_cast<TRVTableItemInfo*>(&data.ItemAt(itemNo)) : nullptr;
}

/// The first table of a document and its index; null when it has none.
TRVTableItemInfo* FirstTable(TCustomRVData& data, int* itemNo = nullptr)
{
    for (int i = 0; i < data.Count(); ++i)
        if (TRVTableItemInfo* table = TableAt(data, i)) {
            if (itemNo)
                *itemNo = i;
            return table;
        }
    return nullptr;
}

/// The text of a container, its paragraphs joined by "|".
QString ContentText(const TCustomRVData& data)
{
    QString text;
    for (int i = 0; i < data.Count(); ++i) {
        if (i > 0 && data.StartsParagraph(i))
            text += QLatin1Char('|');
        if (!data.ItemAt(i).IsText())
            continue;
        const std::string& bytes = data.TextAt(i);
        text += data.ItemAt(i).IsUnicode()
                    ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()), qsizetype(bytes.size() / 2))
                    : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    }
    return text;
}

/// A table's grid: rows separated by " / ", cells by " "; "_" is an empty cell, "-" a covered slot.
QString Grid(const TRVTableItemInfo& table)
{
    QStringList rows;
    for (int r = 0; r < table.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.ColCount(); ++c) {
            const TRVTableCellData* cell = table.Cells(r, c);
            const QString text = cell ? ContentText(*cell) : QStringLiteral("-");
            cells << (text.isEmpty() ? QStringLiteral("_") : text);
        }
        rows << cells.join(QLatin1Char(' '));
    }
    return rows.join(QStringLiteral(" / "));
}

QString GridOfFirstTable(TTestWindow& t)
{
    const TRVTableItemInfo* table = FirstTable(t.Data());
    return table ? Grid(*table) : QStringLiteral("no table");
}

/// A table of rows x columns after the text "Text", its cells filled with texts row by row through
/// the cell editor; the caret is left on the table. Returns its index.
int TableWith(TTestWindow& t, int rows, int cols, const QStringList& texts)
{
    t.Type("Text");
    t.Window->InsertTable(cols, rows, false, 0);
    int itemNo = -1;
    TRVTableItemInfo* table = FirstTable(t.Data(), &itemNo);
    if (!table)
        return -1;
    for (int i = 0; i < texts.size() && i < rows * cols; ++i) {
        if (!t.Editor().EditCell(itemNo, i / cols, i % cols))
            return -1;
        t.Editor().InsertTextAtCaret(texts[i].toStdString());
    }
    t.Editor().EndCellEdit();
    t.Editor().SetCaretDocPos({itemNo, 1});
    return itemNo;
}

/// A point inside the content of cell (row, col) of the table at itemNo, in the view.
QPoint CellPoint(TTestWindow& t, int itemNo, int row, int col)
{
    TRVEditRVData& data = t.Data();
    const TRVTableItemInfo& table = *TableAt(data, itemNo);
    const TRVTableLayoutState* state = TableLayoutIn(data, table);
    TPoint at;
    std::int32_t width = 0;
    if (!state || !CellContentPlace(table, *state, row, col, data.DeviceScale(), -1, at, width))
        return {-1, -1};
    const TRVDrawLineInfo& d = data.DrawItems()[data.FirstLinePiece(itemNo)];
    return {d.Left + at.X + 3, d.Top + at.Y + 3};
}

/// Types text into the editor's window key by key, umlauts included.
void Keys(TTestWindow& t, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetterOrNumber() ? int(c.toUpper().unicode()) : int(Qt::Key_unknown);
        QTest::sendKeyEvent(QTest::Click, t.Window->rve, Qt::Key(key), QString(c), Qt::NoModifier);
    }
}

void Click(TTestWindow& t, QPoint at)
{
    QTest::mouseClick(t.Window->rve->viewport(), Qt::LeftButton, {}, at);
}

/// Counts the editor's beeps from now on.
std::shared_ptr<int> CountBeeps(TTestWindow& t)
{
    auto beeps = std::make_shared<int>(0);
    t.Editor().OnBeep = [beeps](TCustomDocViewEdit&) { ++*beeps; };
    return beeps;
}

/// The four table menus that follow the caret, as "1" (enabled) or "0", with their commands.
QString TableMenuState(TFormED& window)
{
    QString state;
    for (QMenu* menu : {window.mnuTableInsert, window.mnuTableDelete, window.mnuTableOps, window.mnuTablePictures})
        state += menu->menuAction()->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    state += QLatin1Char(' ');
    for (QAction* item : {window.mitRowAbove, window.mitDeleteCol, window.mitMergeCells, window.mitSplitHorizontal,
                          window.mitTableBackground, window.mitCellBackground})
        state += item->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return state;
}

/// A style submenu as it opens: its checked item and the enabled ones, as digits.
QString StyleMenuState(TFormED& window, bool cell)
{
    QMenu* menu = cell ? window.mnuCellBackStyle : window.mnuTableBackStyle;
    emit menu->aboutToShow();
    const std::array<QAction*, 4>& items = cell ? window.mitCellBackStyle : window.mitTableBackStyle;
    QString state = QStringLiteral("checked");
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            state += QLatin1Char(' ') + QString::number(i);
    state += QStringLiteral(", enabled");
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i]->isEnabled())
            state += QLatin1Char(' ') + QString::number(i);
    return state;
}

} // namespace

class TTableCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void TheFixedSizesInsertTablesAsTheirCaptionsSay()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("ab");
        t.Editor().SetCaretDocPos({0, 2});
        const std::tuple<QAction*, int, int> sizes[] = {
            {window.mitTable1x1, 1, 1}, {window.mitTable1x2, 1, 2}, {window.mitTable2x2, 2, 2}};
        for (const auto& [item, rows, cols] : sizes) {
            QVERIFY(item->isEnabled());
            item->trigger();
            const int itemNo = t.Editor().CurrentItemNo();
            TRVTableItemInfo* table = TableAt(t.Data(), itemNo);
            QVERIFY2(table, qPrintable(item->text()));
            QCOMPARE(table->RowCount(), rows);
            QCOMPARE(table->ColCount(), cols);
            QCOMPARE(t.Data().TextAt(itemNo), std::string("TAB"));
        }
        // The text is split around the tables, each on a line of its own.
        QCOMPARE(Kinds(t.Data()), std::string("|a|table TAB|table TAB|table TAB|b"));
        // The look of a new table: transparent, single one-pixel lines, cells padded by 5.
        const TRVTableItemInfo& table = *TableAt(t.Data(), 3);
        QCOMPARE(table.Color, clNone);
        QCOMPARE(table.BorderStyle, rvtbColor);
        QCOMPARE(table.CellBorderStyle, rvtbColor);
        QCOMPARE(table.BorderWidth, 1);
        QCOMPARE(table.CellBorderWidth, 1);
        QCOMPARE(table.CellHSpacing, -1);
        QCOMPARE(table.BorderVSpacing, -1);
        QCOMPARE(table.CellHPadding, 5);
        QCOMPARE(table.CellVPadding, 5);
        QCOMPARE(table.BestWidth, 0);
        QVERIFY(t.Run().Modified);

        // Each is one step to undo.
        window.mitUndo->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a|table TAB|table TAB|b"));
        window.mitUndo->trigger();
        window.mitUndo->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|ab"));

        // A read-only editor takes none.
        t.Editor().ReadOnly = true;
        window.mitTable2x2->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|ab"));
    }

    void TheTableMenusFollowTheCaret()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Text");
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
        window.mitTable2x2->trigger();
        int itemNo = -1;
        QVERIFY(FirstTable(t.Data(), &itemNo));
        // The caret stands on the new table.
        QCOMPARE(t.Editor().CurrentItemNo(), itemNo);
        QCOMPARE(TableMenuState(window), QStringLiteral("1111 111111"));
        t.Editor().MoveCaret(TRVCaretMove::DocumentStart, TRVSelectionUpdate::Collapse);
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
        // In a cell being edited, the table around it counts.
        QVERIFY(t.Editor().EditCell(itemNo, 1, 0));
        QCOMPARE(TableMenuState(window), QStringLiteral("1111 111111"));
        t.Editor().EndCellEdit();
        t.Editor().SetCaretDocPos({0, 1});
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
        // Undoing the insertion takes the caret out of the table with it.
        t.Editor().SetCaretDocPos({itemNo, 1});
        QCOMPARE(TableMenuState(window), QStringLiteral("1111 111111"));
        window.mitUndo->trigger();
        QVERIFY(!FirstTable(t.Data()));
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
    }

    void RowsAndColumnsGoInBesideTheSelection()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const int itemNo = TableWith(t, 2, 2, {"a", "b", "c", "d"});
        QVERIFY(itemNo >= 0);
        TRVTableItemInfo& table = *TableAt(t.Data(), itemNo);
        QCOMPARE(Grid(table), QStringLiteral("a b / c d"));
        const struct {
            QAction* Item;
            int Row, Col;
            const char* Grid;
        } cases[] = {
            {window.mitRowAbove, 0, 1, "_ _ / a b / c d"},
            {window.mitRowBelow, 0, 0, "a b / _ _ / c d"},
            {window.mitColLeft, 1, 1, "a _ b / c _ d"},
            {window.mitColRight, 1, 1, "a b _ / c d _"},
        };
        for (const auto& c : cases) {
            const int steps = t.Data().UndoList.Count();
            table.Select(c.Row, c.Col, 0, 0);
            c.Item->trigger();
            QCOMPARE(Grid(*TableAt(t.Data(), itemNo)), QString::fromLatin1(c.Grid));
            QCOMPARE(t.Data().UndoList.Count(), steps + 1);
            QVERIFY(t.Run().Modified);
            window.mitUndo->trigger();
            QCOMPARE(Grid(*TableAt(t.Data(), itemNo)), QStringLiteral("a b / c d"));
        }
        // In the cell being edited, the commands work on that cell.
        QVERIFY(t.Editor().EditCell(itemNo, 1, 0));
        window.mitRowBelow->trigger();
        QCOMPARE(Grid(*TableAt(t.Data(), itemNo)), QStringLiteral("a b / c d / _ _"));
        // Without selected cells the table refuses, with a beep.
        const std::shared_ptr<int> beeps = CountBeeps(t);
        t.Editor().EndCellEdit();
        TableAt(t.Data(), itemNo)->Deselect();
        t.Editor().SetCaretDocPos({itemNo, 1});
        window.mitColLeft->trigger();
        QCOMPARE(*beeps, 1);
        QCOMPARE(Grid(*TableAt(t.Data(), itemNo)), QStringLiteral("a b / c d / _ _"));
        // A read-only editor changes nothing.
        t.Editor().ReadOnly = true;
        TableAt(t.Data(), itemNo)->Select(0, 0, 0, 0);
        window.mitRowAbove->trigger();
        QCOMPARE(Grid(*TableAt(t.Data(), itemNo)), QStringLiteral("a b / c d / _ _"));
    }

    void DeletingRowsColumnsAndTheWholeTable()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const int itemNo = TableWith(t, 3, 2, {"a", "b", "c", "d", "e", "f"});
        QVERIFY(itemNo >= 0);
        const std::string kinds = Kinds(t.Data());
        TableAt(t.Data(), itemNo)->Select(1, 0, 0, 0);
        window.mitDeleteRow->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b / e f"));
        TableAt(t.Data(), itemNo)->Select(0, 0, 1, 0);
        window.mitDeleteCol->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("b / f"));

        // All its rows: the table goes, in one step.
        const int steps = t.Data().UndoList.Count();
        TableAt(t.Data(), itemNo)->Select(1, 0, -1, 0);
        window.mitDeleteRow->trigger();
        QVERIFY(!FirstTable(t.Data()));
        QCOMPARE(t.Data().UndoList.Count(), steps + 1);
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
        window.mitUndo->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("b / f"));
        QCOMPARE(Kinds(t.Data()), kinds);

        // From the cell being edited: its row; then, in the last row, the table.
        QVERIFY(t.Editor().EditCell(itemNo, 0, 0));
        window.mitDeleteRow->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("f"));
        QVERIFY(t.Editor().EditCell(itemNo, 0, 0));
        window.mitDeleteCol->trigger();
        QVERIFY(!FirstTable(t.Data()));
        QCOMPARE(Kinds(t.Data()).substr(0, 5), std::string("|Text"));
    }

    void MergingCleansUpAndIsOneStep()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const std::shared_ptr<int> beeps = CountBeeps(t);
        const int itemNo = TableWith(t, 2, 3, {"a", "b", "c", "d", "e", "f"});
        QVERIFY(itemNo >= 0);
        // A single cell is nothing to merge.
        TableAt(t.Data(), itemNo)->Select(0, 1, 0, 0);
        const int steps = t.Data().UndoList.Count();
        window.mitMergeCells->trigger();
        QCOMPARE(*beeps, 1);
        QCOMPARE(t.Data().UndoList.Count(), steps);
        // Two whole columns: the cells' contents go together in row order, and the column in which
        // no cell starts any more goes.
        TableAt(t.Data(), itemNo)->Select(0, 1, 1, 1);
        window.mitMergeCells->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b|c|e|f / d -"));
        QCOMPARE(TableAt(t.Data(), itemNo)->ColCount(), 2);
        QCOMPARE(t.Data().UndoList.Count(), steps + 1);
        QVERIFY(TableAt(t.Data(), itemNo)->CheckGrid());
        window.mitUndo->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b c / d e f"));
        // The whole table becomes a single cell.
        TableAt(t.Data(), itemNo)->Select(1, 2, -1, -2);
        window.mitMergeCells->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a|b|c|d|e|f"));
        window.mitUndo->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b c / d e f"));
        QCOMPARE(*beeps, 1);
    }

    void SplittingAsksForTheCount()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const std::shared_ptr<int> beeps = CountBeeps(t);
        const int itemNo = TableWith(t, 1, 2, {"a", "b"});
        QVERIFY(itemNo >= 0);
        TableAt(t.Data(), itemNo)->Select(0, 0, 0, 0);
        t.Inputs.Answers.push_back("3");
        window.mitSplitVertical->trigger();
        QCOMPARE(t.Inputs.Asked, std::vector<std::string>{"Vertikal teilen | Spalten (in gewählten Zellen): | 2"});
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a _ _ b"));
        window.mitUndo->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b"));

        t.Inputs.Asked.clear();
        TableAt(t.Data(), itemNo)->Select(0, 1, 0, 0);
        t.Inputs.Answers.push_back(" 2 ");
        window.mitSplitHorizontal->trigger();
        QCOMPARE(t.Inputs.Asked, std::vector<std::string>{"Horizontal teilen | Zeilen (in gewählten Zellen): | 2"});
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("a b / - _"));
        QCOMPARE(*beeps, 0);
        window.mitUndo->trigger();

        // Cancelled: nothing, quietly. Not a number, or a count too large for any table: nothing,
        // with a beep.
        const int steps = t.Data().UndoList.Count();
        TableAt(t.Data(), itemNo)->Select(0, 0, 0, 1);
        window.mitSplitVertical->trigger();
        QCOMPARE(*beeps, 0);
        for (const char* answer : {"abc", "2x", "", "-4", "1", "99999999999", "2000000000"}) {
            t.Inputs.Answers.push_back(answer);
            (answer[0] == '2' ? window.mitSplitHorizontal : window.mitSplitVertical)->trigger();
            QVERIFY2(GridOfFirstTable(t) == QStringLiteral("a b"), answer);
        }
        QCOMPARE(*beeps, 7);
        QCOMPARE(t.Data().UndoList.Count(), steps);
    }

    void BackgroundPicturesOfTheTableAndOfTheClickedCell()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const TTempDir dir;
        const int itemNo = TableWith(t, 2, 2, {"a", "b", "c", "d"});
        QVERIFY(itemNo >= 0);
        const TRVTableItemInfo* table = TableAt(t.Data(), itemNo);
        QCOMPARE(StyleMenuState(window, false), QStringLiteral("checked 0, enabled"));

        t.Pictures.Answers.push_back(SaveImageFile(dir, "red.png", "PNG", {30, 20}, Qt::red));
        t.Run().Modified = false;
        window.mitTableBackground->trigger();
        QCOMPARE(t.Pictures.Titles, std::vector<std::string>{"Bild einfügen"});
        QVERIFY(t.Boxes.Asked.empty());
        QCOMPARE(table->BackgroundStyle, rvbsCentered);
        QVERIFY(table->BackgroundImage);
        QCOMPARE(table->BackgroundImage->ClassName(), std::string("TBitmap"));
        QCOMPARE(table->BackgroundImage->Width(), 30);
        QVERIFY(t.Run().Modified);
        QCOMPARE(StyleMenuState(window, false), QStringLiteral("checked 3, enabled 0 1 2 3"));
        window.mitTableBackStyle[2]->trigger();
        QCOMPARE(table->BackgroundStyle, rvbsTiled);
        // "Bild entfernen" keeps the picture, which a placement shows again.
        window.mitTableBackStyle[0]->trigger();
        QCOMPARE(table->BackgroundStyle, rvbsColor);
        QVERIFY(table->BackgroundImage);
        QCOMPARE(StyleMenuState(window, false), QStringLiteral("checked 0, enabled 0 1 2 3"));
        window.mitUndo->trigger();
        QCOMPARE(table->BackgroundStyle, rvbsTiled);
        // A placement chosen before stays with the next picture.
        t.Pictures.Answers.push_back(SaveImageFile(dir, "blue.png", "PNG", {8, 8}, Qt::blue));
        window.mitTableBackground->trigger();
        QCOMPARE(table->BackgroundStyle, rvbsTiled);
        QCOMPARE(table->BackgroundImage->Width(), 8);

        // The cell picture goes into the cell clicked last.
        QCOMPARE(StyleMenuState(window, true), QStringLiteral("checked 0, enabled"));
        Click(t, CellPoint(t, itemNo, 1, 0));
        QCOMPARE(window.EditedCell, (TFormED::TEditedCell{1, 0}));
        t.Pictures.Answers.push_back(SaveImageFile(dir, "green.png", "PNG", {5, 6}, Qt::green));
        window.mitCellBackground->trigger();
        QCOMPARE(table->Cells(1, 0)->BackgroundStyle, rvbsCentered);
        QVERIFY(table->Cells(1, 0)->BackgroundImage);
        QCOMPARE(table->Cells(1, 0)->BackgroundImage->Height(), 6);
        for (auto [r, c] : {std::pair{0, 0}, std::pair{0, 1}, std::pair{1, 1}})
            QVERIFY(!table->Cells(r, c)->BackgroundImage);
        QCOMPARE(StyleMenuState(window, true), QStringLiteral("checked 3, enabled 0 1 2 3"));
        window.mitCellBackStyle[1]->trigger();
        QCOMPARE(table->Cells(1, 0)->BackgroundStyle, rvbsStretched);
        // The cell the caret moved on to from there counts.
        QTest::keyClick(window.rve, Qt::Key_Tab);
        QCOMPARE(StyleMenuState(window, true), QStringLiteral("checked 0, enabled"));

        // A file that is no picture is told; the table stays as it was.
        const fs::path text = dir / "note.png";
        WriteBytes(text, "not a picture");
        t.Pictures.Answers.push_back(text);
        window.mitTableBackground->trigger();
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
        QCOMPARE(t.Boxes.Asked[0].Text, std::string("Nicht unterstütztes Dateiformat!"));
        QCOMPARE(t.Boxes.Asked[0].Caption, std::string());
        QCOMPARE(table->BackgroundImage->Width(), 8);

        // A click outside any table: EditedCell is the first cell again; the menus go off.
        Click(t, QPoint(8, 8));
        QCOMPARE(window.EditedCell, (TFormED::TEditedCell{0, 0}));
        QCOMPARE(TableMenuState(window), QStringLiteral("0000 000000"));
        QCOMPARE(StyleMenuState(window, false), QStringLiteral("checked, enabled"));
    }

    void ATableInACellIsNestedAndTheCommandsWorkOnTheInnermost()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const int itemNo = TableWith(t, 1, 2, {"a", "b"});
        QVERIFY(itemNo >= 0);
        QVERIFY(t.Editor().EditCell(itemNo, 0, 1));
        window.mitTable1x2->trigger();
        TCustomDocViewEdit* editor = nullptr;
        TRVTableItemInfo* inner = t.Editor().GetCurrentItemEx<TRVTableItemInfo>(&editor);
        QVERIFY(inner && inner != TableAt(t.Data(), itemNo));
        QCOMPARE(editor, t.Editor().CellEditor());
        QCOMPARE(Grid(*inner), QStringLiteral("_ _"));
        inner->Select(0, 1, 0, 0);
        window.mitColRight->trigger();
        inner = t.Editor().GetCurrentItemEx<TRVTableItemInfo>(&editor);
        QVERIFY(inner && editor == t.Editor().CellEditor());
        QCOMPARE(Grid(*inner), QStringLiteral("_ _ _"));
        QCOMPARE(TableAt(t.Data(), itemNo)->ColCount(), 2);
        // Deleting all the inner table's columns takes the inner table, the outer one stays.
        inner->Select(0, 0, 0, 2);
        window.mitDeleteCol->trigger();
        TRVTableItemInfo* outer = TableAt(t.Data(), itemNo);
        QVERIFY(outer);
        QCOMPARE(outer->ColCount(), 2);
        QVERIFY(!FirstTable(*outer->Cells(0, 1)));
    }

    void TheProgramsInputBoxAsksInGerman()
    {
        TTestWindow t;
        TQtInputBoxes boxes(t.Window.get());
        QStringList seen;
        const auto answer = [&seen](const QString& typed, bool ok) {
            WhenModal<QInputDialog>([&seen, typed, ok](QInputDialog* box) {
                seen << box->windowTitle() << box->labelText() << box->textValue();
                for (QPushButton* button : box->findChildren<QPushButton*>())
                    seen << button->text();
                if (const QByteArray dir = qgetenv("XQ_SCREENSHOTS"); !dir.isEmpty())
                    box->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/vertikal-teilen.png"));
                box->setTextValue(typed);
                ok ? box->accept() : box->reject();
            });
        };
        answer(QStringLiteral("4"), true);
        QCOMPARE(boxes.InputQuery("Vertikal teilen", "Spalten (in gewählten Zellen):", "2"),
                 std::optional<std::string>("4"));
        QCOMPARE(seen, (QStringList{"Vertikal teilen", "Spalten (in gewählten Zellen):", "2", "OK", "Abbrechen"}));
        answer(QStringLiteral("3"), false);
        QCOMPARE(boxes.InputQuery("Horizontal teilen", "Zeilen (in gewählten Zellen):", "2"),
                 std::optional<std::string>());
    }

    void ASelectedCellRectangleShowsInTheSelectionColour()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        window.mitTable2x2->trigger();
        int itemNo = -1;
        TRVTableItemInfo* table = FirstTable(t.Data(), &itemNo);
        QVERIFY(table);
        QApplication::setActiveWindow(&window);
        window.rve->setFocus();
        QWidget* view = window.rve->viewport();
        const QPoint from = CellPoint(t, itemNo, 0, 0), to = CellPoint(t, itemNo, 1, 1);
        const QPoint inside = CellPoint(t, itemNo, 1, 1) + QPoint(20, 0);
        const TColor rgb = ColorToRGB(clHighlight);
        const QColor highlight(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
        auto colourAt = [&](QPoint p) { return view->grab().toImage().pixelColor(p); };
        QVERIFY(colourAt(inside) != highlight);
        for (const auto& [row, col] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}}) {
            Click(t, CellPoint(t, itemNo, row, col));
            Keys(t, QStringLiteral("x"));
        }

        // A drag from one cell into another selects the cells between, painted as selected.
        QTest::mousePress(view, Qt::LeftButton, {}, from);
        QTest::mouseMove(view, to);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), view->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, {}, to);
        int top = 0, left = 0, rows = 0, cols = 0;
        QVERIFY(table->GetSelectionBounds(top, left, rows, cols));
        QCOMPARE(rows * 10 + cols, 22);
        if (const QByteArray shots = qgetenv("XQ_SCREENSHOTS"); !shots.isEmpty())
            window.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/zellen-markiert.png"));
        QCOMPARE(colourAt(inside), highlight);
        // "&Löschen" and "&Ausschneiden" act on the selected cells: they empty them, and the
        // table stays.
        QVERIFY(window.mitCopy->isEnabled() && window.mitCut->isEnabled() && window.mitDelete->isEnabled());
        window.mitDelete->trigger();
        QCOMPARE(FirstTable(t.Data()), table);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                QVERIFY(TRVItemText::Of(*table->Cells(r, c), 0).Empty());
        window.mitUndo->trigger();
        QVERIFY(!TRVItemText::Of(*table->Cells(1, 1), 0).Empty());
        // The menus act on the selected cells: merging them gives one cell.
        window.mitMergeCells->trigger();
        QCOMPARE(table->RowCount() * 10 + table->ColCount(), 11);
    }

    void TheListCommandsFollowTheCaretInACell()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        window.mitTable2x2->trigger();
        int itemNo = -1;
        TRVTableItemInfo* table = FirstTable(t.Data(), &itemNo);
        QVERIFY(table);
        Click(t, CellPoint(t, itemNo, 1, 0));
        QVERIFY(t.Editor().CellEditor());
        // Bullets go into the cell, and the check mark follows the cell's caret.
        window.mitBullets->trigger();
        QVERIFY(table->Cells(1, 0)->ItemAt(0).IsListMarker());
        QVERIFY(window.mitBullets->isChecked());
        QTest::keyClick(window.rve, Qt::Key_Tab);
        QVERIFY(!window.mitBullets->isChecked());
        QTest::keyClick(window.rve, Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(window.mitBullets->isChecked());
    }

    void ATableBuiltFromTheMenusIsSavedAndReadBack()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("Adressen");
        window.mitTable2x2->trigger();
        int itemNo = -1;
        QVERIFY(FirstTable(t.Data(), &itemNo));
        QApplication::setActiveWindow(&window);
        window.rve->setFocus();
        Click(t, CellPoint(t, itemNo, 0, 0));
        QCOMPARE(window.EditedCell, (TFormED::TEditedCell{0, 0}));
        Keys(t, QStringLiteral("Name"));
        QTest::keyClick(window.rve, Qt::Key_Tab);
        Keys(t, QStringLiteral("Ort"));
        QTest::keyClick(window.rve, Qt::Key_Tab);
        Keys(t, QStringLiteral("Müller"));
        QTest::keyClick(window.rve, Qt::Key_Tab);
        Keys(t, QStringLiteral("Köln"));
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("Name Ort / Müller Köln"));

        // A row below the caret's, then the first column goes.
        window.mitRowBelow->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("Name Ort / Müller Köln / _ _"));
        Click(t, CellPoint(t, itemNo, 2, 1));
        Keys(t, QStringLiteral("Bonn"));
        Click(t, CellPoint(t, itemNo, 1, 0));
        window.mitDeleteCol->trigger();
        QCOMPARE(GridOfFirstTable(t), QStringLiteral("Ort / Köln / Bonn"));
        if (const QByteArray shots = qgetenv("XQ_SCREENSHOTS"); !shots.isEmpty())
            window.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/tabelle-im-fenster.png"));

        const TTempDir dir;
        const fs::path saved = dir / "Tabelle.rvf";
        t.Session().WriteDocument(saved);
        TRVStyle sheet;
        TCustomRVData doc(&sheet);
        TRVDocumentInfo info;
        QVERIFY(LoadDocumentFile(saved, sheet, doc, info).Ok);
        int readNo = -1;
        const TRVTableItemInfo* read = FirstTable(doc, &readNo);
        QVERIFY(read);
        QCOMPARE(Grid(*read), QStringLiteral("Ort / Köln / Bonn"));
        QCOMPARE(doc.TextAt(readNo), std::string("TAB"));
        QCOMPARE(read->CellHPadding, 5);
        QCOMPARE(ContentText(doc).left(8), QStringLiteral("Adressen"));
    }
};

XQ_APP_TEST(TTableCommandsTest);

} // namespace xq::test

#include "TableCommandsTest.moc"
