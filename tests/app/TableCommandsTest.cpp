// The table commands of the "&Extra" menu, driven through the main window: inserting tables of the
// fixed sizes, the row, column, merge and split commands on the table at the caret, the background
// pictures of tables and cells, the table menus following the caret, and a table built from the
// menus that is saved and read back.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "document/ItemInfo.h"
#include "tables/TableItem.h"

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
};

XQ_APP_TEST(TTableCommandsTest);

} // namespace xq::test

#include "TableCommandsTest.moc"
