// The main window's find and replace: the modeless dialogs, finding the next occurrence, and
// replacing one or all of them through the editor, so that each run is an ordinary undo step.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "dialogs/FindReplaceDialog.h"
#include "platform/MessageBoxes.h"

namespace xq {

void TFormED::ConnectSearchCommands()
{
    mitFind->setEnabled(true);
    mitReplace->setEnabled(true);
    connect(mitFind, &QAction::triggered, this, [this] { Suchen1Click(); });
    connect(mitReplace, &QAction::triggered, this, [this] { Suchenundersetzen1Click(); });
}

void TFormED::Suchen1Click()
{
    ShowSearchDialog(false);
}

void TFormED::Suchenundersetzen1Click()
{
    ShowSearchDialog(true);
}

void TFormED::ShowSearchDialog(bool replace)
{
    rve->setFocus();
    std::unique_ptr<TFindReplaceDialog>& dialog = replace ? rd_ : fdd_;
    if (TFindReplaceDialog* other = (replace ? fdd_ : rd_).get())
        other->close();
    if (!dialog) {
        dialog = std::make_unique<TFindReplaceDialog>(replace, this);
        if (replace) {
            connect(dialog.get(), &TFindReplaceDialog::FindNext, this, [this] { rdFind(); });
            connect(dialog.get(), &TFindReplaceDialog::ReplaceOne, this, [this] { rdReplace(false); });
            connect(dialog.get(), &TFindReplaceDialog::ReplaceAll, this, [this] { rdReplace(true); });
        } else {
            connect(dialog.get(), &TFindReplaceDialog::FindNext, this, [this] { fddFind(); });
        }
    }
    // The selection's first line is what to look for.
    const std::u16string selected = Doc_->Editor.SelectedText();
    if (!selected.empty()) {
        const std::size_t end = selected.find_first_of(u"\r\n");
        dialog->SetFindText(QString::fromStdU16String(selected.substr(0, end)));
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

bool TFormED::FindNextOf(TFindReplaceDialog& dialog, const std::string& caption, bool tell)
{
    const std::u16string text = dialog.FindText().toStdU16String();
    bool found = false;
    rve->RunEdit([&] { found = Doc_->Editor.SearchText(text, dialog.Options()); }, TAfterEdit::KeepView);
    if (!found && tell)
        Boxes_->Show(std::string(NotFoundText), caption, TMsgButtons::Ok, TMsgIcon::Information);
    return found;
}

void TFormED::fddFind()
{
    if (fdd_)
        FindNextOf(*fdd_, std::string(FindCaption));
}

void TFormED::rdFind()
{
    if (rd_)
        FindNextOf(*rd_, std::string(ReplaceCaption));
}

void TFormED::rdReplace(bool all)
{
    if (!rd_)
        return;
    const std::u16string search = rd_->FindText().toStdU16String();
    const std::u16string replacement = rd_->ReplaceText().toStdU16String();
    TDocViewEdit& edit = Doc_->Editor;
    if (!all) {
        // The selection is replaced when it is the text exactly; then on to the next one, quietly.
        rve->RunEdit([&] { edit.ReplaceSelection(search, replacement); });
        FindNextOf(*rd_, std::string(ReplaceCaption), false);
        UpdateUndoControls();
        return;
    }
    int count = 0;
    rve->RunEdit([&] { count = edit.ReplaceAll(search, replacement, rd_->Options()); });
    UpdateUndoControls();
    std::string text(ReplacedText);
    text.replace(text.find("%d"), 2, std::to_string(count));
    Boxes_->Show(text, std::string(ReplacedCaption), TMsgButtons::Ok, TMsgIcon::Information);
}

} // namespace xq
