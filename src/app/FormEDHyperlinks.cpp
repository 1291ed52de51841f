// The main window and hyperlinks: "Hyperlink bearbeiten..." and "Hyperlink entfernen", Ctrl+click
// on a link, typing on after the end of a link in plain text, the editor's hint over links, and
// links dropped from a browser.
#include <filesystem>
#include <system_error>

#include <QAction>
#include <QLabel>
#include <QTextDocument>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "dialogs/HyperlinkDialog.h"
#include "editing/DocViewEdit.h"
#include "platform/qt/QtDesktopShell.h"
#include "platform/qt/QtText.h"
#include "tools/Hyperlinks.h"

namespace xq {

void TFormED::ConnectHyperlinkCommands()
{
    if (Services_.Shell) {
        Shell_ = Services_.Shell;
    } else {
        OwnShell_ = std::make_unique<TQtDesktopShell>();
        Shell_ = OwnShell_.get();
    }
    TxTHyper = new TTxTHyper(this);
    connect(mitHyperlinkEdit, &QAction::triggered, this, [this] { Guarded([this] { HYeditClick(); }); });
    connect(mitHyperlinkRemove, &QAction::triggered, this, [this] { Guarded([this] { HYDeleteClick(); }); });

    TDocViewEdit& edit = Doc_->Editor;
    edit.OnJump = [this](TCustomDocViewEdit& sender, int id) { rveJump(sender, id); };
    // A link dragged from a browser comes in as a link to its address.
    edit.OnReadHyperlink = [this](TCustomDocViewEdit&, const std::string& target, const std::string&, int,
                                  int& styleNo, std::string& tag) {
        tag = CutHyperlinkTarget(target);
        styleNo = HyperlinkTextStyle(Doc_->RStyle, styleNo, tcHyperlink);
    };
    connect(rve, &TDocViewEditWidget::KeyPressing, this, [this](int key, Qt::KeyboardModifiers) { rveKeyDown(key); });
    connect(rve, &TDocViewEditWidget::MouseMoved, this,
            [this](QPoint point, Qt::KeyboardModifiers) { rveMouseMove(point); });
}

void TFormED::HYeditClick()
{
    TDocViewEdit& edit = Doc_->Editor;
    if (Busy_ || edit.ReadOnly)
        return;
    rve->RunEdit([&edit] { edit.SelectWholeHyperlinks(); }, TAfterEdit::KeepView);
    TxTHyper->Fill(edit.SelectionHyperlinkTarget(), edit.SelectedTextUtf8());
    TxTHyper->PlaceOver(*this);
    if (TxTHyper->exec() != QDialog::Accepted) {
        rve->setFocus(Qt::OtherFocusReason);
        return;
    }
    // An empty target takes the link away, as "Hyperlink entfernen" does.
    const std::string target = TxTHyper->Target();
    EditCommand([&target](TDocViewEdit& e) { e.ApplyHyperlink(target.empty() ? tcNoHyperlink : tcHyperlink, target); });
}

void TFormED::HYDeleteClick()
{
    if (Busy_ || Doc_->Editor.ReadOnly)
        return;
    EditCommand([](TDocViewEdit& e) {
        e.SelectWholeHyperlinks();
        e.ApplyHyperlink(tcNoHyperlink, {});
    });
}

void TFormED::rveJump(TCustomDocViewEdit& sender, int id)
{
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    if (!sender.GetJumpPointItemNo(id, data, itemNo))
        return;
    // Relative file targets are read from the working directory, which is the current one.
    std::error_code error;
    const std::filesystem::path base = std::filesystem::current_path(error);
    // What cannot be opened (or may not be) is not told: the link simply does nothing.
    OpenHyperlinkTarget(data->ItemAt(itemNo).Tag.str(), *Shell_, error ? Run_.WorkDir : base);
}

void TFormED::rveKeyDown(int key)
{
    TDocViewEdit& edit = Doc_->Editor;
    if ((key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) || edit.ReadOnly || Busy_)
        return;
    // Space or Enter at the very end of a link: what follows is plain text.
    if (edit.CaretAtHyperlinkEnd())
        edit.SetCurrentTextStyle(EndOfLinkTextStyle(Doc_->RStyle, edit.CurrentTextStyle()));
}

void TFormED::rveMouseMove(QPoint clientPoint)
{
    const QPoint at = rve->HintDocumentPoint(clientPoint);
    const TCustomRVData* data = nullptr;
    int itemNo = -1;
    QString hint = FromUtf8(EditorHint);
    if (Doc_->Editor.GetItemAtPoint(at.x(), at.y(), data, itemNo) && IsHyperlinkItem(Doc_->RStyle, *data, itemNo))
        hint = FromUtf8(HyperlinkHint(data->ItemAt(itemNo).Tag.str()));
    if (hint == rve->statusTip())
        return;
    rve->setStatusTip(hint);
    // A target is the document's text, never markup.
    rve->viewport()->setToolTip(Qt::mightBeRichText(hint) ? Qt::convertFromPlainText(hint) : hint);
    // The mouse is over the editor already: the status bar shows the new hint at once.
    StatusPanel1->setTextFormat(Qt::PlainText);
    StatusPanel1->setText(hint);
}

} // namespace xq
