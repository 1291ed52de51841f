// Qt's own texts in German: the translation is there and installed, the key names in the menus, the
// buttons and labels of Qt's file and colour dialogs as the commands show them, and a picture of the
// picture dialog for a look at it.
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "TestSupport.h"
#include "app/GermanUi.h"

namespace xq::test {

namespace {

/// The texts of a dialog's visible labels and buttons, without the "&" of their shortcut letters.
QStringList VisibleTexts(QWidget* dialog)
{
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->isVisible())
            texts << label->text().remove(QLatin1Char('&'));
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->isVisible())
            texts << button->text().remove(QLatin1Char('&'));
    return texts;
}

} // namespace

class TGermanUiTest : public QObject {
    Q_OBJECT

private slots:
    void QtTranslationIsInstalled()
    {
        // Loaded on its own first, so that a missing file is told as such.
        QTranslator translation;
        QVERIFY2(translation.load(QString::fromLatin1(QtGermanTranslation), QtTranslationsDir()),
                 qPrintable(QStringLiteral("%1 is missing in %2 (package qt6-translations-l10n)")
                                .arg(QString::fromLatin1(QtGermanTranslation), QtTranslationsDir())));
        QVERIFY(!translation.isEmpty());
        // The test program installed it as the editor does; doing it again adds nothing.
        QVERIFY(InstallGermanUi(*qApp));
        QVERIFY(InstallGermanUi(*qApp));
        QCOMPARE(qApp->findChildren<QTranslator*>().size(), 1);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        QCOMPARE(QLocale().language(), QLocale::German);
        QCOMPARE(QLocale().toString(1.5), QStringLiteral("1,5"));
    }

    void MenusShowGermanKeyNames()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        // What a menu writes beside its command.
        const std::pair<QAction*, const char*> items[] = {
            {window.mitNew, "Strg+N"},          {window.mitSave, "Strg+S"},
            {window.mitRedo, "Strg+Umschalt+Z"}, {window.mitSelectAll, "Strg+A"},
        };
        for (const auto& [item, keys] : items)
            QCOMPARE(item->shortcut().toString(QKeySequence::NativeText), QString::fromUtf8(keys));
    }

    void QtDialogsOfTheCommandsSpeakGerman()
    {
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        ShowAndSettle(window);

        // "Bild einfügen ...": Qt's own file dialog, not the desktop's, so that it speaks German
        // whatever the desktop does.
        QStringList pictureTexts;
        QString title;
        bool qtDialog = false;
        bool saved = false;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            qtDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
            pictureTexts = VisibleTexts(dialog);
            const QString dir = QStringLiteral(XQ_SCREENSHOT_DIR);
            QDir().mkpath(dir);
            saved = dialog->grab().save(dir + QStringLiteral("/picture-dialog-de.png"), "PNG");
            dialog->reject();
        });
        window.mitInsertPicture->trigger();
        QCOMPARE(title, QStringLiteral("Bild einfügen"));
        QVERIFY(qtDialog);
        QVERIFY(saved);
        for (const char* text : {"Suchen in:", "Dateiname:", "Dateien des Typs:", "Öffnen", "Abbrechen"})
            QVERIFY2(pictureTexts.contains(QString::fromUtf8(text)), text);
        for (const char* english : {"Look in:", "File name:", "Open", "Cancel"})
            QVERIFY2(!pictureTexts.contains(QString::fromUtf8(english)), english);
        QCOMPARE(window.Document().Data().Count(), 1);

        // The text colour button's colour dialog.
        QStringList colourTexts;
        WhenModal<QColorDialog>([&](QColorDialog* dialog) {
            colourTexts = VisibleTexts(dialog);
            dialog->reject();
        });
        window.btnTextColor->trigger();
        for (const char* text : {"Grundfarben", "Benutzerdefinierte Farben", "Abbrechen", "OK"})
            QVERIFY2(colourTexts.contains(QString::fromUtf8(text)), text);
        QVERIFY(!colourTexts.contains(QStringLiteral("Basic colors")));
        QVERIFY(!colourTexts.contains(QStringLiteral("Cancel")));
    }
};

XQ_APP_TEST(TGermanUiTest);

} // namespace xq::test

#include "GermanUiTest.moc"
