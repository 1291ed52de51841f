// The main window's table commands: inserting a table (the fixed sizes and the insert table
// dialog), the row, column, merge and split commands on the table at the caret, the background
// pictures of tables and cells, and the table menus following the caret.
#include <charconv>
#include <string_view>

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "dialogs/InsertTableDialog.h"
#include "editing/TableEditing.h"
#include "pictures/Bitmap.h"
#include "pictures/PictureFile.h"
#include "tables/TableItem.h"

namespace xq {

namespace {

// The questions of the split commands.
constexpr const char* SplitVerticalCaption = "Vertikal teilen";
constexpr const char* SplitVerticalPrompt = "Spalten (in gewählten Zellen):";
constexpr const char* SplitHorizontalCaption = "Horizontal teilen";
constexpr const char* SplitHorizontalPrompt = "Zeilen (in gewählten Zellen):";
constexpr const char* SplitDefault = "2";

/// The answer of a split question as a count: a whole number, spaces around it allowed; anything
/// else (no number, or one too large for a count) is 0.
int CountOf(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? count : 0;
}

} // namespace

void TFormED::ConnectTableCommands()
{
    if (Services_.InputBoxes) {
        InputBoxes_ = Services_.InputBoxes;
    } else {
        OwnInputBoxes_ = std::make_unique<TQtInputBoxes>(this);
        InputBoxes_ = OwnInputBoxes_.get();
    }
    // A table goes in wherever the editor lets an item go in; it refuses (with a beep) elsewhere.
    for (QAction* a : {mitTable1x1, mitTable1x2, mitTable2x2, mitTableCustom})
        a->setEnabled(true);
    // The captions count rows first: "1 Zeile x 2 Spalten" is one row of two cells.
    connect(mitTable1x1, &QAction::triggered, this, [this] { Guarded([this] { InsertTable(1, 1, false, 0); }); });
    connect(mitTable1x2, &QAction::triggered, this, [this] { Guarded([this] { InsertTable(2, 1, false, 0); }); });
    connect(mitTable2x2, &QAction::triggered, this, [this] { Guarded([this] { InsertTable(2, 2, false, 0); }); });
    connect(mitTableCustom, &QAction::triggered, this, [this] { Guarded([this] { mitInsertTableCustomClick(); }); });

    // The commands on the table at the caret, by number.
    const std::pair<QAction*, int> commands[] = {{mitRowAbove, 1},   {mitRowBelow, 2},    {mitColLeft, 3},
                                                 {mitColRight, 4},   {mitDeleteRow, 5},   {mitDeleteCol, 6},
                                                 {mitMergeCells, 7}, {mitSplitVertical, 11}, {mitSplitHorizontal, 12}};
    for (const auto& [item, number] : commands) {
        item->setData(number);
        connect(item, &QAction::triggered, this, [this, number] { Guarded([this, number] { TableCommand(number); }); });
    }
    connect(mitTableBackground, &QAction::triggered, this, [this] { Guarded([this] { mitTableBackgroundClick(); }); });
    connect(mitCellBackground, &QAction::triggered, this, [this] { Guarded([this] { mitCellBackgroundClick(); }); });
    for (bool cell : {false, true}) {
        QMenu* menu = cell ? mnuCellBackStyle : mnuTableBackStyle;
        connect(menu, &QMenu::aboutToShow, this, [this, cell] { mnuTableBackStylePopup(cell); });
        std::array<QAction*, 4>& items = cell ? mitCellBackStyle : mitTableBackStyle;
        for (std::size_t style = 0; style < items.size(); ++style) {
            items[style]->setCheckable(true);
            connect(items[style], &QAction::triggered, this,
                    [this, cell, style] { Guarded([this, cell, style] { TableBackStyleClick(cell, int(style)); }); });
        }
    }
    connect(rve, &TDocViewEditWidget::MouseReleased, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            rveLeftMouseUp();
    });
    UpdateTableMenus();
}

void TFormED::InsertTable(int columns, int rows, bool usePreferredWidth, std::int32_t preferredWidth)
{
    EditCommand([&](TDocViewEdit& edit) {
        edit.InsertItemAtCaret("TAB", NewInsertedTable(columns, rows, usePreferredWidth, preferredWidth, &edit.RVData()));
    });
    UpdateTableMenus();
}

void TFormED::mitInsertTableCustomClick()
{
    if (Busy_)
        return;
    TfrmInsTable dialog(Doc_->Data().MaxTextWidth, this);
    // Its top-left corner at the bottom-right corner of the copy button.
    if (QWidget* button = ToolBar1->widgetForAction(btnCopy); button && button->isVisible())
        dialog.PlaceAt(button->mapToGlobal(QPoint(button->width(), button->height())));
    if (dialog.exec() != QDialog::Accepted || !dialog.Request())
        return;
    const TInsertTableRequest& r = *dialog.Request();
    InsertTable(r.Columns, r.Rows, r.UsePreferredWidth, r.PreferredWidth);
}

// --- The table at the caret ---------------------------------------------------------------------

bool TFormED::CaretTable(bool forChange, TCustomDocViewEdit*& editor, TRVTableItemInfo*& table, int& itemNo)
{
    TDocViewEdit& main = Doc_->Editor;
    if (forChange && (Busy_ || !main.CanChange()))
        return false;
    editor = nullptr;
    table = main.GetCurrentItemEx<TRVTableItemInfo>(&editor);
    if (!table || !editor)
        return false;
    itemNo = editor->RVData().IndexOf(table);
    return itemNo >= 0;
}

void TFormED::ChangeTable(TCustomDocViewEdit& editor, int itemNo, const std::function<bool(TRVTableChanges&)>& change)
{
    rve->RunEdit([&] { editor.ModifyTable(itemNo, change); });
    UpdateUndoControls();
    rve->setFocus(Qt::OtherFocusReason);
}

void TFormED::UpdateTableMenus()
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1;
    const bool inTable = CaretTable(false, editor, table, itemNo);
    for (QMenu* menu : {mnuTableInsert, mnuTableDelete, mnuTableOps, mnuTablePictures}) {
        menu->menuAction()->setEnabled(inTable);
        for (QAction* item : menu->actions())
            if (!item->menu() && !item->isSeparator())
                item->setEnabled(inTable);
    }
    for (QAction* item : {mitSplitVertical, mitSplitHorizontal})
        item->setEnabled(inTable);
}

void TFormED::rveLeftMouseUp()
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1;
    if (CaretTable(false, editor, table, itemNo))
        table->GetEditedCell(EditedCell.Row, EditedCell.Col);
    else
        EditedCell = {};
}

// --- Rows, columns, merging and splitting ----------------------------------------------------------

void TFormED::TableCommand(int number)
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1;
    if (!CaretTable(true, editor, table, itemNo))
        return;
    // Without selected cells the table's operations refuse, and the editor beeps.
    switch (number) {
    case 1: ChangeTable(*editor, itemNo, [](TRVTableChanges& t) { return t.InsertRowsAbove(1); }); break;
    case 2: ChangeTable(*editor, itemNo, [](TRVTableChanges& t) { return t.InsertRowsBelow(1); }); break;
    case 3: ChangeTable(*editor, itemNo, [](TRVTableChanges& t) { return t.InsertColsLeft(1); }); break;
    case 4: ChangeTable(*editor, itemNo, [](TRVTableChanges& t) { return t.InsertColsRight(1); }); break;
    case 5: DeleteTableRowsOrCols(*editor, *table, itemNo, true); break;
    case 6: DeleteTableRowsOrCols(*editor, *table, itemNo, false); break;
    case 7:
        // Merging may leave rows or columns in which no cell starts any more: they go in the same step.
        ChangeTable(*editor, itemNo, [](TRVTableChanges& t) {
            if (!t.MergeSelectedCells(true))
                return false;
            t.DeleteEmptyRows();
            t.DeleteEmptyCols();
            return true;
        });
        break;
    case 11: SplitTableCells(*editor, itemNo, true); break;
    case 12: SplitTableCells(*editor, itemNo, false); break;
    default: break;
    }
    UpdateTableMenus();
}

void TFormED::DeleteTableRowsOrCols(TCustomDocViewEdit& editor, TRVTableItemInfo& table, int itemNo, bool rows)
{
    int top = 0, left = 0, rowCount = 0, colCount = 0;
    const bool selected = table.GetSelectionBounds(top, left, rowCount, colCount);
    if (selected && (rows ? rowCount >= table.RowCount() : colCount >= table.ColCount())) {
        // Nothing of the table would be left: the table goes as a whole, as one deletion.
        rve->RunEdit([&] {
            editor.EndCellEdit();
            table.Deselect();
            editor.SetSelection({itemNo, 0}, {itemNo, 1});
            editor.DeleteSelected();
        });
        UpdateUndoControls();
        rve->setFocus(Qt::OtherFocusReason);
        return;
    }
    ChangeTable(editor, itemNo, [rows](TRVTableChanges& t) {
        if (!(rows ? t.DeleteSelectedRows() : t.DeleteSelectedCols()))
            return false;
        t.DeleteEmptyRows();
        t.DeleteEmptyCols();
        return true;
    });
}

void TFormED::SplitTableCells(TCustomDocViewEdit& editor, int itemNo, bool vertically)
{
    const std::optional<std::string> answer =
        InputBoxes_->InputQuery(vertically ? SplitVerticalCaption : SplitHorizontalCaption,
                                vertically ? SplitVerticalPrompt : SplitHorizontalPrompt, SplitDefault);
    if (!answer)
        return;
    const int count = CountOf(*answer);
    // A count below 2, no selection or a count the table cannot take split nothing; the table
    // tells by its grid whether anything happened (a merged cell may be divided without a new column).
    ChangeTable(editor, itemNo, [count, vertically](TRVTableChanges& t) {
        const std::uint64_t before = t.Table().GridStamp();
        if (vertically)
            t.SplitSelectedCellsVertically(count);
        else
            t.SplitSelectedCellsHorizontally(count);
        return t.Table().GridStamp() != before;
    });
}

// --- Background pictures -------------------------------------------------------------------------

std::unique_ptr<TBitmap> TFormED::ChooseBackgroundBitmap()
{
    const std::optional<std::filesystem::path> file = ChoosePictureFile();
    if (!file)
        return nullptr;
    // Backgrounds are bitmaps: other kinds are drawn onto one.
    const std::unique_ptr<TGraphic> picture = LoadPictureFile(*file);
    std::unique_ptr<TBitmap> bitmap = picture ? PictureToBitmap(*picture) : nullptr;
    if (!bitmap)
        Boxes_->Show(std::string(BackgroundUnreadableText), {}, TMsgButtons::Ok, TMsgIcon::None);
    return bitmap;
}

bool TFormED::PictureCell(const TRVTableItemInfo& table, int& row, int& col) const
{
    const auto cellAt = [&table, &row, &col](int r, int c) {
        if (r < 0 || c < 0 || r >= table.RowCount() || c >= table.ColCount())
            return false;
        int top = 0, left = 0;
        if (!table.GetCellAt(r, c, top, left))
            return false;
        row = top;
        col = left;
        return true;
    };
    // The cell the caret is in now, which is the last clicked one unless the keyboard moved on.
    int r = -1, c = -1;
    table.GetEditedCell(r, c);
    if (cellAt(r, c) || cellAt(EditedCell.Row, EditedCell.Col))
        return true;
    int top = 0, left = 0, rows = 0, cols = 0;
    return table.GetSelectionBounds(top, left, rows, cols) && cellAt(top, left);
}

void TFormED::mitTableBackgroundClick()
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1;
    if (!CaretTable(true, editor, table, itemNo))
        return;
    std::unique_ptr<TBitmap> bitmap = ChooseBackgroundBitmap();
    // The dialog ran the event loop: the table is looked for again.
    if (!bitmap || !CaretTable(true, editor, table, itemNo))
        return;
    ChangeTable(*editor, itemNo, [&bitmap](TRVTableChanges& t) {
        // A placement chosen before stays; without one the picture is centred.
        const TRVItemBackgroundStyle style = t.Table().BackgroundStyle == rvbsColor ? rvbsCentered : t.Table().BackgroundStyle;
        t.SetTableBackground(std::move(bitmap), style);
        return true;
    });
}

void TFormED::mitCellBackgroundClick()
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1, row = 0, col = 0;
    if (!CaretTable(true, editor, table, itemNo) || !PictureCell(*table, row, col))
        return;
    std::unique_ptr<TBitmap> bitmap = ChooseBackgroundBitmap();
    if (!bitmap || !CaretTable(true, editor, table, itemNo) || !PictureCell(*table, row, col))
        return;
    ChangeTable(*editor, itemNo, [&bitmap, row, col](TRVTableChanges& t) {
        const TRVTableCellData& cell = *t.Table().Cells(row, col);
        const TRVItemBackgroundStyle style = cell.BackgroundStyle == rvbsColor ? rvbsCentered : cell.BackgroundStyle;
        t.SetCellBackground(row, col, std::move(bitmap), style);
        return true;
    });
}

void TFormED::mnuTableBackStylePopup(bool cell)
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1, row = 0, col = 0;
    int style = -1;
    bool picture = false;
    if (CaretTable(false, editor, table, itemNo)) {
        if (!cell) {
            style = table->BackgroundStyle;
            picture = table->BackgroundImage != nullptr;
        } else if (PictureCell(*table, row, col)) {
            const TRVTableCellData& data = *table->Cells(row, col);
            style = data.BackgroundStyle;
            picture = data.BackgroundImage != nullptr;
        }
    }
    // A picture taken off with "Bild entfernen" stays, and a placement shows it again.
    const bool offered = picture || style > rvbsColor;
    for (std::size_t i = 0; i < 4; ++i) {
        QAction* item = (cell ? mitCellBackStyle : mitTableBackStyle)[i];
        item->setChecked(int(i) == style);
        item->setEnabled(offered);
    }
}

void TFormED::TableBackStyleClick(bool cell, int style)
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1, row = 0, col = 0;
    if (style < rvbsColor || style > rvbsCentered || !CaretTable(true, editor, table, itemNo) ||
        (cell && !PictureCell(*table, row, col)))
        return;
    const int current = cell ? table->Cells(row, col)->BackgroundStyle : table->BackgroundStyle;
    if (current == style)
        return;
    const auto newStyle = static_cast<TRVItemBackgroundStyle>(style);
    ChangeTable(*editor, itemNo, [cell, row, col, newStyle](TRVTableChanges& t) {
        if (cell)
            t.SetCellBackground(row, col, nullptr, newStyle);
        else
            t.SetTableBackground(nullptr, newStyle);
        return true;
    });
}

} // namespace xq
