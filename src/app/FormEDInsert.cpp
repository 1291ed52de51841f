// The main window's commands that put something new into the document: a horizontal line and a
// picture at the caret, and the document's background picture with its placement.
#include <QAction>
#include <QMenu>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "document/ItemInfo.h"
#include "pictures/PictureFile.h"

namespace xq {

void TFormED::ConnectInsertCommands()
{
    // Inserting goes through the editor, which refuses it (with a beep) where no edit is allowed.
    for (QAction* a : {mitInsertLine, mitInsertPicture, mitDocBackground, mitDocBackStyle[0]})
        a->setEnabled(true);
    connect(mitInsertLine, &QAction::triggered, this, [this] { Guarded([this] { mitInsertLineClick(); }); });
    connect(mitInsertPicture, &QAction::triggered, this, [this] { Guarded([this] { mitInsertPictureClick(); }); });
    connect(mitDocBackground, &QAction::triggered, this, [this] { Guarded([this] { mitDocBackgroundClick(); }); });
    connect(mnuDocBackStyle, &QMenu::aboutToShow, this, [this] { mnuDocBackStylePopup(); });
    for (std::size_t style = 0; style < mitDocBackStyle.size(); ++style) {
        QAction* item = mitDocBackStyle[style];
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, style] { mitDocBackStyleClick(int(style)); });
    }
}

void TFormED::mitInsertLineClick()
{
    auto line = std::make_unique<TRVBreakItemInfo>();
    line->Width = 1;
    line->Style = rvbsLine;
    line->Color = 0;
    EditCommand([&line](TDocViewEdit& edit) { edit.InsertItemAtCaret({}, std::move(line)); });
}

std::optional<std::filesystem::path> TFormED::ChoosePictureFile()
{
    if (Busy_)
        return std::nullopt;
    return PictureDialog_->Execute(std::string(PictureDialogTitle));
}

void TFormED::mitInsertPictureClick()
{
    const std::optional<std::filesystem::path> file = ChoosePictureFile();
    if (!file)
        return;
    std::unique_ptr<TGraphic> picture = LoadPictureFile(*file);
    if (!picture) {
        Boxes_->Show(std::string(PictureUnreadableBefore) + file->string() + std::string(PictureUnreadableAfter),
                     std::string(PictureUnreadableCaption), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    // At its natural size, on the baseline of the text.
    auto item = std::make_unique<TRVGraphicItemInfo>();
    item->Image = std::move(picture);
    item->VAlign = rvvaBaseline;
    EditCommand([&item](TDocViewEdit& edit) { edit.InsertItemAtCaret({}, std::move(item)); });
}

void TFormED::mitDocBackgroundClick()
{
    std::unique_ptr<TBitmap> bitmap = ChooseBackgroundBitmap();
    if (!bitmap)
        return;
    TRVDocumentInfo& info = Doc_->Info;
    info.BackgroundPicture = std::move(bitmap);
    // A placement chosen before stays; without one the picture is centred.
    if (info.BackgroundStyle == bsNoBitmap)
        info.BackgroundStyle = bsCentered;
    Session_->SetModified();
    rve->Invalidate();
}

void TFormED::mnuDocBackStylePopup()
{
    const int current = Doc_->Info.BackgroundStyle;
    // The placements need a picture: one shown, or one taken off the page with "Bild entfernen",
    // which a placement shows again. "Bild entfernen" stays available.
    const bool picture = current != bsNoBitmap || Doc_->Info.BackgroundPicture;
    for (std::size_t style = 0; style < mitDocBackStyle.size(); ++style) {
        mitDocBackStyle[style]->setChecked(int(style) == current);
        if (style != bsNoBitmap)
            mitDocBackStyle[style]->setEnabled(picture);
    }
}

void TFormED::mitDocBackStyleClick(int style)
{
    // The picture stays in the document when it is taken off the page (style 0), so that a
    // placement chosen later shows it again.
    // The placement is saved with the document: changing it is a change to save.
    if (Doc_->Info.BackgroundStyle == style)
        return;
    Doc_->Info.BackgroundStyle = static_cast<TBackgroundStyle>(style);
    Session_->SetModified();
    rve->Invalidate();
}

} // namespace xq
