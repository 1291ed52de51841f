// The main window's table commands: inserting a table (the fixed sizes and the insert table
// dialog), the row, column, merge and split commands on the table at the caret, the background
// pictures of tables and cells, and the table menus following the caret.
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "dialogs/InsertTableDialog.h"
#include "tables/TableItem.h"

namespace xq {

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
    // The commands on the table at the caret come with the table editing of the editor.
    for (QMenu* m : {mnuTableInsert, mnuTableDelete, mnuTableOps, mnuTablePictures})
        m->menuAction()->setEnabled(false);
}

void TFormED::InsertTable(int columns, int rows, bool usePreferredWidth, std::int32_t preferredWidth)
{
    EditCommand([&](TDocViewEdit& edit) {
        edit.InsertItemAtCaret("TAB", NewInsertedTable(columns, rows, usePreferredWidth, preferredWidth, &edit.RVData()));
    });
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

} // namespace xq
