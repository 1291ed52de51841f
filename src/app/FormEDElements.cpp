// The element dialogs of the main window: "Element bearbeiten" for the picture, line or table at
// the caret with the context menu that offers it, "Aufzählung/Nummerierung..." and
// "Sonderzeichen...".
#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QMenu>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "dialogs/BulletsDialog.h"
#include "dialogs/ElementPropertiesDialog.h"
#include "dialogs/InsertSymbolDialog.h"
#include "editing/TableEditing.h"
#include "lists/ListBuilders.h"
#include "pictures/PictureFile.h"
#include "tables/TableItem.h"
#include "tools/SymbolInsertion.h"

namespace xq {

namespace {

/// The title of the picture dialog of "Ändern ...".
constexpr std::string_view ChangePictureTitle = "Bild auswechseln";

/// The element at the caret: the item at the caret of the innermost editor when it is not text,
/// else that of the editor around it (the table whose cell holds the caret), and so on outwards.
/// Null when the caret stands in text outside any table.
const TCustomRVItemInfo* ElementAtCaret(TCustomDocViewEdit& main)
{
    for (TCustomDocViewEdit* e = &main.InnermostEditor(); e; e = e->OuterEditor()) {
        const int itemNo = e->CurrentItemNo();
        if (itemNo >= 0 && !e->RVData().ItemAt(itemNo).IsText())
            return &e->RVData().ItemAt(itemNo);
    }
    return nullptr;
}

} // namespace

void TFormED::ConnectElementCommands()
{
    for (QAction* a : {mitBulletsDialog, mitSymbol})
        a->setEnabled(true);
    connect(mitElementEdit, &QAction::triggered, this, [this] { Guarded([this] { Elementbearbeiten1Click(); }); });
    connect(mitBulletsDialog, &QAction::triggered, this, [this] { Guarded([this] { AufzhlungNummerierung1Click(); }); });
    connect(mitSymbol, &QAction::triggered, this, [this] { Guarded([this] { mitSymbolClick(); }); });
    connect(rve, &TDocViewEditWidget::MouseReleased, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton)
            rveRightMouseUp();
    });
    PopupContextMenu = [](QMenu& menu, const QPoint& at) { menu.popup(at); };
}

QStringList TFormED::FontBoxEntries() const
{
    QStringList fonts;
    for (int i = 0; i < cmbFont->count(); ++i)
        fonts << cmbFont->itemText(i);
    return fonts;
}

// --- The context menu ------------------------------------------------------------------------------

void TFormED::PopulateContextMenu()
{
    for (QAction* a : mnuContext->actions())
        mnuContext->removeAction(a);
    mnuContext->addAction(mitElementEdit);
    mitElementEdit->setEnabled(!Busy_ && !Doc_->Editor.SelectionExists());
    AddSpellingEntries();
}

void TFormED::rveRightMouseUp()
{
    if (Busy_)
        return;
    // The right click put the caret where it was made (unless it was made into the selection).
    if (!ElementAtCaret(Doc_->Editor) && !MarkedWordAtCaret())
        return;
    PopulateContextMenu();
    PopupContextMenu(*mnuContext, QCursor::pos());
}

// --- Element bearbeiten ----------------------------------------------------------------------------

void TFormED::Elementbearbeiten1Click()
{
    if (Busy_ || Doc_->Editor.SelectionExists())
        return;
    const TCustomRVItemInfo* element = ElementAtCaret(Doc_->Editor);
    if (!element)
        return;
    if (!frmProp)
        frmProp = new TfrmProp(
            [this]() -> std::unique_ptr<TGraphic> {
                const std::optional<std::filesystem::path> file = PictureDialog_->Execute(std::string(ChangePictureTitle));
                if (!file)
                    return nullptr;
                std::unique_ptr<TGraphic> picture = LoadPictureFile(*file);
                if (!picture)
                    Boxes_->Show(std::string(PictureUnreadableBefore) + file->string() + std::string(PictureUnreadableAfter),
                                 std::string(PictureUnreadableCaption), TMsgButtons::Ok, TMsgIcon::Error);
                return picture;
            },
            this);
    switch (element->StyleNo) {
    case rvsPicture:
    case rvsHotPicture: EditPictureProperties(); break;
    case rvsBreak: EditLineProperties(); break;
    case rvsTable: EditTableProperties(); break;
    default: break; // list markers and the other items have no properties to edit here
    }
}

void TFormED::EditPictureProperties()
{
    TDocViewEdit& main = Doc_->Editor;
    std::string name;
    const auto* item = main.GetCurrentItemEx<TRVGraphicItemInfo>(nullptr, &name);
    if (!item)
        return;
    TElementPicture read;
    read.Identity = {name, item->Tag};
    if (item->Image)
        read.Graphic = std::shared_ptr<const TGraphic>(item->Image->Clone());
    read.VAlign = int(item->VAlign);
    item->GetExtraIntProperty(rvepImageWidth, read.Width);
    item->GetExtraIntProperty(rvepImageHeight, read.Height);
    frmProp->ReadPicture(read);
    if (frmProp->exec() != QDialog::Accepted)
        return;
    const TElementPicture values = frmProp->PictureValues();
    if (values.Graphic == read.Graphic && values.VAlign == read.VAlign && values.Width == read.Width &&
        values.Height == read.Height)
        return;
    EditCommand([&](TDocViewEdit& e) {
        e.SetCurrentPictureInfoAndSize(values.Identity.Name, values.Graphic ? values.Graphic->Clone() : nullptr,
                                       TRVVAlign(std::clamp(values.VAlign, 0, 4)), values.Identity.Tag, values.Width,
                                       values.Height);
    });
}

void TFormED::EditLineProperties()
{
    TDocViewEdit& main = Doc_->Editor;
    const auto* item = main.GetCurrentItemEx<TRVBreakItemInfo>();
    if (!item)
        return;
    TElementLine read;
    read.Identity.Tag = item->Tag;
    read.Width = item->Width;
    read.Color = item->Color;
    const TRVBreakStyle style = item->Style;
    frmProp->ReadLine(read);
    if (frmProp->exec() != QDialog::Accepted)
        return;
    const TElementLine values = frmProp->LineValues();
    const auto width = std::uint8_t(std::clamp(values.Width, 1, 255));
    if (width == read.Width && values.Color == read.Color)
        return;
    EditCommand([&](TDocViewEdit& e) { e.SetCurrentBreakInfo(width, style, values.Color, values.Identity.Tag); });
}

void TFormED::EditTableProperties()
{
    TCustomDocViewEdit* editor = nullptr;
    TRVTableItemInfo* table = nullptr;
    int itemNo = -1;
    if (!CaretTable(true, editor, table, itemNo))
        return;
    // The cell whose colour the dialog shows: the one the caret is in, else the one last edited
    // when the table has it, else the first.
    int row = -1, col = -1;
    table->GetEditedCell(row, col);
    if (row < 0 || col < 0) {
        row = std::max(0, EditedCell.Row);
        col = std::max(0, EditedCell.Col);
    }
    if (row >= table->RowCount() || col >= table->ColCount() || !table->Cells(row, col))
        row = col = 0;
    const TRVTableCellData* cell = table->Cells(row, col);
    TElementTable read;
    read.Identity = {editor->RVData().TextAt(itemNo), table->Tag};
    read.Color = table->Color;
    read.CellColor = cell ? cell->Color : clNone;
    read.BorderColor = table->BorderColor;
    read.BorderWidth = table->BorderWidth;
    read.CellBorderWidth = table->CellBorderWidth;
    read.CellPadding = table->CellHPadding;
    read.CellVSpacing = table->CellVSpacing;
    read.CellHSpacing = table->CellHSpacing;
    read.BorderVSpacing = table->BorderVSpacing;
    read.BorderHSpacing = table->BorderHSpacing;
    frmProp->ReadTable(read);
    if (frmProp->exec() != QDialog::Accepted)
        return;
    const TElementTable v = frmProp->TableValues();
    // The light colours follow the border colours; a cell padding stands for both directions.
    const bool same = v.Color == read.Color && (v.CellColor == read.CellColor || !cell) &&
                      v.BorderColor == table->BorderColor && v.BorderColor == table->BorderLightColor &&
                      v.BorderColor == table->CellBorderColor && v.BorderColor == table->CellBorderLightColor &&
                      v.BorderWidth == read.BorderWidth && v.CellBorderWidth == read.CellBorderWidth &&
                      v.CellPadding == table->CellHPadding && v.CellPadding == table->CellVPadding &&
                      v.CellVSpacing == read.CellVSpacing && v.CellHSpacing == read.CellHSpacing &&
                      v.BorderVSpacing == read.BorderVSpacing && v.BorderHSpacing == read.BorderHSpacing;
    if (same)
        return;
    ChangeTable(*editor, itemNo, [&](TRVTableChanges& t) {
        t.SetTableIntProperty(rvtipColor, std::int32_t(v.Color));
        if (cell)
            t.SetCellIntProperty(row, col, rvcipColor, std::int32_t(v.CellColor));
        for (TRVTableIntProperty p : {rvtipBorderColor, rvtipBorderLightColor, rvtipCellBorderColor, rvtipCellBorderLightColor})
            t.SetTableIntProperty(p, std::int32_t(v.BorderColor));
        t.SetTableIntProperty(rvtipCellVSpacing, v.CellVSpacing);
        t.SetTableIntProperty(rvtipCellHSpacing, v.CellHSpacing);
        t.SetTableIntProperty(rvtipCellHPadding, v.CellPadding);
        t.SetTableIntProperty(rvtipCellVPadding, v.CellPadding);
        t.SetTableIntProperty(rvtipBorderVSpacing, v.BorderVSpacing);
        t.SetTableIntProperty(rvtipBorderHSpacing, v.BorderHSpacing);
        t.SetTableIntProperty(rvtipCellBorderWidth, v.CellBorderWidth);
        t.SetTableIntProperty(rvtipBorderWidth, v.BorderWidth);
        return true;
    });
}

// --- Aufzählung/Nummerierung... ------------------------------------------------------------------------

void TFormED::AufzhlungNummerierung1Click()
{
    if (Busy_)
        return;
    SyncCaretListState();
    TAufNum dialog(FontBoxEntries(), ListState, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Request())
        return;
    const TListRequest& r = *dialog.Request();
    TCustomDocViewEdit& edit = Doc_->Editor.InnermostEditor();
    int listNo = -1;
    switch (r.Kind) {
    case TListRequest::Remove: EditCommand([](TDocViewEdit& e) { e.RemoveLists(); }); break;
    case TListRequest::Bullets:
        listNo = CreateBullets(Doc_->RStyle, r.Size, r.FirstIndent, r.Color, r.BulletText, r.MarkerIndent, r.LeftIndent);
        break;
    case TListRequest::Numbering: {
        TRVDocPos first, last;
        if (!edit.GetOrderedSelectionDoc(first, last))
            first = last = edit.CaretDocPos();
        listNo = CreateNumbering(Doc_->RStyle, edit.RVData(), first.ItemNo, last.ItemNo, r.Size, r.FirstIndent, r.Color,
                                 ListRequestFontStyles(r), r.FontName, "%0:s.", r.NumberingType, r.MarkerIndent,
                                 r.LeftIndent);
        break;
    }
    }
    if (listNo >= 0)
        EditCommand([listNo](TDocViewEdit& e) { e.ApplyList(listNo, 0, 0, false); });
    SyncCaretListState();
}

// --- Sonderzeichen... ------------------------------------------------------------------------------------

void TFormED::mitSymbolClick()
{
    if (Busy_)
        return;
    TfrmRVInsertSymbol dialog(FontBoxEntries(), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Choice())
        return;
    const TSymbolChoice& choice = *dialog.Choice();
    const char16_t unit = SymbolDocumentChar(choice.FontName, choice.Charset, choice.Code);
    TDocViewEdit& main = Doc_->Editor;
    if (unit == 0 || !main.CanChange())
        return;
    const int previous = main.CurrentTextStyle();
    const int style = SymbolTextStyle(Doc_->RStyle, previous, choice.FontName, choice.Charset);
    EditCommand([&](TDocViewEdit& e) {
        e.SetCurrentTextStyle(style);
        e.InsertWideTextAtCaret(std::u16string(1, unit));
        e.SetCurrentTextStyle(previous);
    });
}

} // namespace xq
