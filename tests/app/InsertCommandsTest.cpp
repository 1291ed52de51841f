// The commands that insert lines and pictures at the caret, the document's background picture with its
// placement submenu, and the control-character button, driven through the main window's menus with
// real picture files.
#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "app/ToolIcons.h"
#include "document/ItemInfo.h"
#include "formats/DocumentFiles.h"
#include "layout/ViewOptions.h"
#include "pictures/PictureSamples.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

std::string Kinds(const TCustomRVData& data)
{
    std::string kinds;
    for (int i = 0; i < data.Count(); ++i) {
        const TCustomRVItemInfo& item = data.ItemAt(i);
        kinds += data.StartsParagraph(i) ? "|" : " ";
        if (item.IsText())
            kinds += data.TextAt(i);
        else if (item.StyleNo == rvsBreak)
            kinds += "line";
        else if (item.StyleNo == rvsPicture)
            kinds += static_cast<const TRVGraphicItemInfo&>(item).Image->ClassName();
        else
            kinds += std::to_string(item.StyleNo);
    }
    return kinds;
}

/// The view's picture, without the caret.
QImage View(TTestWindow& t)
{
    return t.Window->rve->Render();
}

QRgb CentrePixel(TTestWindow& t)
{
    const QImage view = View(t);
    return view.pixel(view.width() / 2, view.height() / 2);
}

void OpenStyleMenu(TFormED& window)
{
    emit window.mnuDocBackStyle->aboutToShow();
}

/// The checked item of the placement submenu and which of its items are enabled, as digits.
QString StyleMenuState(TFormED& window)
{
    OpenStyleMenu(window);
    std::string state;
    for (std::size_t i = 0; i < window.mitDocBackStyle.size(); ++i) {
        if (window.mitDocBackStyle[i]->isChecked())
            state += "checked " + std::to_string(i) + ", ";
    }
    state += "enabled";
    for (std::size_t i = 0; i < window.mitDocBackStyle.size(); ++i)
        if (window.mitDocBackStyle[i]->isEnabled())
            state += " " + std::to_string(i);
    return QString::fromStdString(state);
}

QImage IconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

} // namespace

class TInsertCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void PicturesOfEveryKindGoInAtTheCaret()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        QVERIFY(window.mitInsertPicture->isEnabled());
        const TTempDir dir;
        const fs::path files[] = {
            SaveImageFile(dir, "red.png", "PNG", {12, 8}, Qt::red),
            SaveImageFile(dir, "green.jpg", "JPG", {16, 10}, Qt::green),
            SaveImageFile(dir, "blue.bmp", "BMP", {7, 5}, Qt::blue),
        };
        const fs::path gif = dir / "palette.gif";
        WriteBytes(gif, EncodeGif({4, 3, {0x000000, 0xFF0000}, {{0, 0, 4, 3, false, std::string(12, '\1'), {}, -1}}}));
        // The kind is read from the bytes, not from the name.
        const fs::path wmf = dir / "drawing.pic";
        WriteBytes(wmf, MakeWmf({WmfRecord(0x020C, {720, 1440})}, true, {0, 0, 1440, 720}, 1440));

        t.Type("ab");
        t.Editor().SetCaretDocPos({0, 2});
        for (const fs::path& file : {files[0], files[1], files[2], gif, wmf}) {
            t.Pictures.Answers.push_back(file);
            window.mitInsertPicture->trigger();
        }
        QCOMPARE(t.Pictures.Titles, std::vector<std::string>(5, "Bild einfügen"));
        QVERIFY(t.Boxes.Asked.empty());
        QCOMPARE(Kinds(t.Data()), std::string("|a TPNGObject TJPEGImage TBitmap TGIFImage TMetafile b"));
        const std::pair<int, int> sizes[] = {{12, 8}, {16, 10}, {7, 5}, {4, 3}, {96, 48}};
        for (int i = 1; i <= 5; ++i) {
            const auto& picture = static_cast<const TRVGraphicItemInfo&>(t.Data().ItemAt(i));
            QCOMPARE(std::make_pair(picture.Image->Width(), picture.Image->Height()), sizes[i - 1]);
            QCOMPARE(picture.VAlign, rvvaBaseline);
            QCOMPARE(t.Data().TextAt(i), std::string());
        }
        // The caret follows the last picture; each insertion is a step of its own.
        QCOMPARE(t.Editor().CaretDocPos(), (TRVDocPos{5, 1}));
        QVERIFY(t.Run().Modified);
        QCOMPARE(window.ModifiedNoticeText(), QStringLiteral("  Autotext wurde geändert"));
        window.mitUndo->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a TPNGObject TJPEGImage TBitmap TGIFImage b"));

        // A cancelled dialog changes nothing.
        window.mitInsertPicture->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a TPNGObject TJPEGImage TBitmap TGIFImage b"));
        QVERIFY(t.Boxes.Asked.empty());
    }

    void APictureThatCannotBeReadIsToldAndNothingIsInserted()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const TTempDir dir;
        const fs::path png = SaveImageFile(dir, "good.png", "PNG", {20, 20}, Qt::red);
        std::string bytes;
        {
            std::ifstream in(png, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        const fs::path damaged = dir / "damaged.png";
        WriteBytes(damaged, bytes.substr(0, bytes.find("IDAT") + 10));
        const fs::path huge = dir / "huge.png";
        WriteBytes(huge, WithPngSize(bytes, 50000, 50000));
        // A sound picture of 8 KB whose pixels are more than any picture may have (8193 x 8192).
        TPngLayout blank;
        blank.Width = 8193;
        blank.Height = 8192;
        blank.ColorType = 0;
        blank.BitDepth = 1;
        blank.Rows.assign(std::size_t(1025) * 8192, '\0');
        const fs::path beyond = dir / "beyond.png";
        WriteBytes(beyond, EncodePng(blank));
        const fs::path text = dir / "notes.gif";
        WriteBytes(text, "GIF? no, a note");
        const fs::path missing = dir / "gone.jpg";

        t.Type("Text");
        const int undoSteps = t.Data().UndoList.Count();
        for (const fs::path& file : {damaged, huge, beyond, text, missing}) {
            t.Pictures.Answers.push_back(file);
            window.mitInsertPicture->trigger();
            QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
            const TAsked asked = t.Boxes.Asked.front();
            QCOMPARE(asked.Text, "Kann Bild " + file.string() + " nicht lesen.");
            QCOMPARE(asked.Caption, std::string("Error"));
            QCOMPARE(asked.Icon, TMsgIcon::Error);
            QCOMPARE(asked.Buttons, TMsgButtons::Ok);
            t.Boxes.Asked.clear();
            QCOMPARE(Kinds(t.Data()), std::string("|Text"));
        }
        // Typing was the only change.
        QCOMPARE(t.Data().UndoList.Count(), undoSteps);
    }

    void ALineGoesInOnALineOfItsOwnAndUndoTakesItOut()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        QVERIFY(window.mitInsertLine->isEnabled());
        t.Type("ab");
        t.Editor().SetCaretDocPos({0, 2});
        window.mitInsertLine->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a|line|b"));
        const auto& line = static_cast<const TRVBreakItemInfo&>(t.Data().ItemAt(1));
        QCOMPARE(int(line.Width), 1);
        QCOMPARE(line.Style, rvbsLine);
        QCOMPARE(line.Color, TColor(0));
        QCOMPARE(t.Data().TextAt(1), std::string());
        QVERIFY(t.Run().Modified);
        QVERIFY(window.mitUndo->isEnabled());

        window.mitUndo->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|ab"));
        window.mitRedo->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a|line|b"));

        // A read-only editor refuses it.
        t.Editor().ReadOnly = true;
        window.mitInsertLine->trigger();
        QCOMPARE(Kinds(t.Data()), std::string("|a|line|b"));
    }

    void TheBackgroundPictureAndItsPlacement()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        const TRVDocumentInfo& info = window.Document().Info;
        const TTempDir dir;
        QCOMPARE(info.BackgroundStyle, bsNoBitmap);
        QCOMPARE(StyleMenuState(window), QStringLiteral("checked 0, enabled 0"));

        // A PNG becomes a bitmap of its size, centred on the page; the document counts as changed.
        t.Pictures.Answers.push_back(SaveImageFile(dir, "red.png", "PNG", {40, 30}, Qt::red));
        window.mitDocBackground->trigger();
        QCOMPARE(t.Pictures.Titles, std::vector<std::string>{"Bild einfügen"});
        QVERIFY(t.Boxes.Asked.empty());
        QCOMPARE(info.BackgroundStyle, bsCentered);
        QVERIFY(info.BackgroundPicture);
        QCOMPARE(info.BackgroundPicture->ClassName(), std::string("TBitmap"));
        QCOMPARE(info.BackgroundPicture->Width(), 40);
        QCOMPARE(info.BackgroundPicture->Height(), 30);
        QVERIFY(t.Run().Modified);
        QCOMPARE(CentrePixel(t), qRgb(255, 0, 0));
        QCOMPARE(StyleMenuState(window), QStringLiteral("checked 4, enabled 0 1 2 3 4"));

        // "Bild entfernen" takes it off the page but keeps it; "Bild zentrieren" shows it again.
        window.mitDocBackStyle[0]->trigger();
        QCOMPARE(info.BackgroundStyle, bsNoBitmap);
        QVERIFY(info.BackgroundPicture);
        QCOMPARE(CentrePixel(t), qRgb(255, 255, 255));
        // The kept picture can be placed again.
        QCOMPARE(StyleMenuState(window), QStringLiteral("checked 0, enabled 0 1 2 3 4"));
        t.Run().Modified = false;
        window.mitDocBackStyle[4]->trigger();
        QCOMPARE(info.BackgroundStyle, bsCentered);
        QCOMPARE(CentrePixel(t), qRgb(255, 0, 0));
        QVERIFY2(t.Run().Modified, "a new placement is a change to save");

        // A placement chosen before stays with the next picture; tiles start at the top left.
        OpenStyleMenu(window);
        window.mitDocBackStyle[2]->trigger();
        QCOMPARE(StyleMenuState(window), QStringLiteral("checked 2, enabled 0 1 2 3 4"));
        t.Pictures.Answers.push_back(SaveImageFile(dir, "blue.jpg", "JPG", {8, 8}, Qt::blue));
        window.mitDocBackground->trigger();
        QCOMPARE(info.BackgroundStyle, bsTiled);
        QCOMPARE(info.BackgroundPicture->Width(), 8);
        const QImage tiled = View(t);
        QVERIFY(qBlue(tiled.pixel(2, 2)) > 200 && qRed(tiled.pixel(2, 2)) < 50);
        QVERIFY(qBlue(tiled.pixel(tiled.width() - 3, tiled.height() - 3)) > 200);

        // The document written on saving carries it.
        const fs::path saved = dir / "with background.rvf";
        t.Session().WriteDocument(saved);
        TRVStyle sheet;
        TCustomRVData doc(&sheet);
        TRVDocumentInfo read;
        QVERIFY(LoadDocumentFile(saved, sheet, doc, read).Ok);
        QCOMPARE(read.BackgroundStyle, bsTiled);
        QVERIFY(GraphicsEqual(read.BackgroundPicture.get(), info.BackgroundPicture.get()));

        // A file that is no picture is told; the background stays as it was.
        const TGraphic* before = info.BackgroundPicture.get();
        const fs::path text = dir / "note.png";
        WriteBytes(text, "not a picture");
        t.Pictures.Answers.push_back(text);
        window.mitDocBackground->trigger();
        QCOMPARE(t.Boxes.Asked.size(), std::size_t(1));
        QCOMPARE(t.Boxes.Asked[0].Text, std::string("Nicht unterstütztes Dateiformat!"));
        QCOMPARE(t.Boxes.Asked[0].Caption, std::string());
        QCOMPARE(info.BackgroundPicture.get(), before);
        QCOMPARE(info.BackgroundStyle, bsTiled);
        // Nothing of it went through the editor's undo list.
        QVERIFY(!t.Editor().CanUndo());

        // A new document starts without any background picture, not even a kept one.
        t.Run().Modified = false;
        t.Session().ClearUntitled();
        QCOMPARE(info.BackgroundStyle, bsNoBitmap);
        QVERIFY(!info.BackgroundPicture);
        QCOMPARE(StyleMenuState(window), QStringLiteral("checked 0, enabled 0"));
    }

    void TheProgramsPictureDialogTakesOnlyExistingFiles()
    {
        const TTempDir dir;
        const fs::path file = SaveImageFile(dir, "chosen.png", "PNG", {2, 2}, Qt::black);
        TQtPictureDialog dialog(nullptr);
        QString title;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        WhenModal<QFileDialog>([&](QFileDialog* shown) {
            title = shown->windowTitle();
            mode = shown->fileMode();
            // Typed into the name field, as selectFile waits for the directory to be read.
            auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name)
                name->setText(QString::fromStdString(file.string()));
            static_cast<QDialog*>(shown)->accept(); // QFileDialog::accept, which checks the file
            if (shown->isVisible())
                shown->reject();
        });
        QCOMPARE(dialog.Execute("Bild einfügen"), std::optional<fs::path>(file));
        QCOMPARE(title, QStringLiteral("Bild einfügen"));
        QCOMPARE(mode, QFileDialog::ExistingFile);

        WhenModal<QFileDialog>([](QFileDialog* shown) { shown->reject(); });
        QCOMPARE(dialog.Execute("Bild einfügen"), std::optional<fs::path>());
    }

    void TheControlCharacterButtonSwitchesTheMarksAndItsPicture()
    {
        TTestWindow t;
        TFormED& window = *t.Window;
        t.Type("a b");
        const QImage plain = View(t);
        QVERIFY(window.btnControlChars->isEnabled());
        QVERIFY(!t.Run().ShowControlChars);
        QCOMPARE(IconImage(window.btnControlChars->icon()), IconImage(ToolIcon(TToolIcon::ControlCharsOff)));

        window.btnControlChars->trigger();
        QVERIFY(t.Run().ShowControlChars);
        QVERIFY(t.Data().Options.Contains(rvoShowSpecialCharacters));
        QCOMPARE(IconImage(window.btnControlChars->icon()), IconImage(ToolIcon(TToolIcon::ControlCharsOn)));
        QVERIFY(View(t) != plain);

        window.btnControlChars->trigger();
        QVERIFY(!t.Run().ShowControlChars);
        QVERIFY(!t.Data().Options.Contains(rvoShowSpecialCharacters));
        QCOMPARE(IconImage(window.btnControlChars->icon()), IconImage(ToolIcon(TToolIcon::ControlCharsOff)));
        QCOMPARE(View(t), plain);
        // Showing the marks changes the view, not the document.
        QCOMPARE(Kinds(t.Data()), std::string("|a b"));
    }
};

XQ_APP_TEST(TInsertCommandsTest);

} // namespace xq::test

#include "InsertCommandsTest.moc"
