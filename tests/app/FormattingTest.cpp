// The formatting commands of the main window driven through its menus, toolbar buttons and combo boxes:
// what they do to the document's styles and lists, the families the font box offers, the font and colour
// dialogs they ask, and the controls that follow the caret without feeding back into the document.
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QIntValidator>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QtEndian>

#include <cstring>

#include "TestSupport.h"
#include "app/DocViewEditWidget.h"
#include "app/FontList.h"
#include "document/ItemInfo.h"
#include "lists/ListItems.h"

namespace xq::test {

namespace {

/// The paragraph starts of a document.
std::vector<int> ParagraphStarts(const TCustomRVData& data)
{
    std::vector<int> starts;
    for (int i = 0; i < data.Count(); ++i)
        if (data.StartsParagraph(i))
            starts.push_back(i);
    return starts;
}

const TRVMarkerItemInfo* MarkerOfParagraph(const TCustomRVData& data, int paragraph)
{
    return dynamic_cast<const TRVMarkerItemInfo*>(&data.ItemAt(ParagraphStarts(data).at(std::size_t(paragraph))));
}

/// A window with "eins zwei" typed and "eins" selected.
struct TWordWindow : TTestWindow {
    TWordWindow()
    {
        Type("eins zwei");
        Editor().SetSelection({0, 1}, {0, 5});
    }
    const TFontInfo& StyleOfItem(int itemNo) { return Window->Document().RStyle.TextStyles[Data().ActualStyleOf(itemNo)]; }
    const TParaInfo& ParaStyleOfItem(int itemNo) { return Window->Document().RStyle.ParaStyles[Data().ParaOf(itemNo)]; }
    TRVStyle& Sheet() { return Window->Document().RStyle; }
};

/// Chooses an entry in a combo box as the user does.
void Choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchFixedString);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class TFormattingTest : public QObject {
    Q_OBJECT

private slots:
    void CharacterCommandsThroughMenuAndButtons()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        const int plain = t.Data().ActualStyleOf(0);
        const int styles = t.Sheet().TextStyles.Count();

        w.mitBold->trigger();
        QCOMPARE(t.Data().TextAt(0), std::string("eins"));
        QVERIFY(t.StyleOfItem(0).Style.Contains(fsBold));
        QVERIFY(!t.StyleOfItem(1).Style.Contains(fsBold));
        QVERIFY(w.mitBold->isChecked());
        QVERIFY(w.btnBold->isChecked());
        // The button goes through the menu item: bold off again, and the first style is found again.
        w.btnBold->trigger();
        QCOMPARE(t.Data().Count(), 1);
        QCOMPARE(t.Data().ActualStyleOf(0), plain);
        QVERIFY(!w.mitBold->isChecked());
        QVERIFY(!w.btnBold->isChecked());
        QCOMPARE(t.Sheet().TextStyles.Count(), styles + 1);

        w.btnItalic->trigger();
        QVERIFY(t.StyleOfItem(0).Style.Contains(fsItalic));
        QVERIFY(w.mitItalic->isChecked());
        w.mitUnderline->trigger();
        QVERIFY(w.btnUnderline->isChecked());
        w.btnUnderline->trigger();
        QVERIFY(!t.StyleOfItem(0).Style.Contains(fsUnderline));
        w.mitStrikeOut->trigger();
        QCOMPARE(t.StyleOfItem(0).Style, (TFontStyles{fsItalic, fsStrikeOut}));

        // The two commands of one code: each changes only its own flag.
        w.mitAllCaps->trigger();
        QCOMPARE(w.CaseOrOverline, int(coAllCaps));
        QCOMPARE(t.StyleOfItem(0).StyleEx, TRVFontStylesEx{rvfsAllCaps});
        w.mitOverline->trigger();
        QCOMPARE(w.CaseOrOverline, int(coOverline));
        QCOMPARE(t.StyleOfItem(0).StyleEx, (TRVFontStylesEx{rvfsAllCaps, rvfsOverline}));
        w.mitAllCaps->trigger();
        QCOMPARE(t.StyleOfItem(0).StyleEx, TRVFontStylesEx{rvfsOverline});
        QCOMPARE(t.Data().TextAt(1), std::string(" zwei"));
        QCOMPARE(t.StyleOfItem(1).Style, TFontStyles{});
        QVERIFY(t.Editor().CanUndo());
    }

    void CharacterShortcutsFromTheEditor()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        QApplication::setActiveWindow(t.Window.get());
        w.rve->setFocus();
        QCoreApplication::processEvents();
        struct TShortcut {
            QAction* Item;
            QAction* Button;
            QKeySequence First, Second;
            const char* ShownInMenu;
            TFontStyle Flag;
        };
        const TShortcut shortcuts[] = {
            {w.mitBold, w.btnBold, QKeySequence(Qt::CTRL | Qt::Key_B), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
             "Strg+B", fsBold},
            {w.mitItalic, w.btnItalic, QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
             "Strg+I", fsItalic},
            {w.mitUnderline, w.btnUnderline, QKeySequence(Qt::CTRL | Qt::Key_U),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), "Strg+U", fsUnderline},
        };
        for (const TShortcut& s : shortcuts) {
            QCOMPARE(s.Item->shortcuts(), (QList<QKeySequence>{s.First, s.Second}));
            QCOMPARE(s.Item->shortcut().toString(QKeySequence::NativeText), QString::fromUtf8(s.ShownInMenu));
            // Each key formats the selection once: one undo step, and the mark shows the new state
            // (a second run would have taken the format back).
            for (const auto& [keys, on] : {std::pair{s.First, true}, std::pair{s.Second, false}, std::pair{s.Second, true},
                                           std::pair{s.First, false}}) {
                const int undoGroups = t.Data().UndoList.Count();
                QTest::keySequence(w.rve, keys);
                QVERIFY2(t.StyleOfItem(0).Style.Contains(s.Flag) == on, qPrintable(keys.toString()));
                QCOMPARE(t.Data().TextAt(0), std::string(on ? "eins" : "eins zwei"));
                QCOMPARE(s.Item->isChecked(), on);
                QCOMPARE(s.Button->isChecked(), on);
                QCOMPARE(t.Data().UndoList.Count(), undoGroups + 1);
            }
        }
        QCOMPARE(t.Data().Count(), 1);
        QVERIFY(w.rve->hasFocus());
    }

    void FontAndColourDialogs()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        auto& dialogs = t.FormatDialogs;
        const TFontInfo before = [&] {
            TFontInfo f;
            f.CopyStyle(t.StyleOfItem(0));
            return f;
        }();

        // Cancelled dialogs change nothing.
        const int undoGroups = t.Data().UndoList.Count();
        w.mitFont->trigger();
        w.btnTextColor->trigger();
        QCOMPARE(t.Data().UndoList.Count(), undoGroups);
        QCOMPARE(dialogs.FontPresets.size(), std::size_t(1));
        QCOMPARE(dialogs.FontPresets[0].Name, before.FontName);
        QCOMPARE(dialogs.FontPresets[0].Size, before.Size);
        QCOMPARE(dialogs.ColorPresets.at(0), ColorToRGB(before.Color));

        TFontDescription font;
        font.Name = "Courier New";
        font.Size = 14;
        font.Color = 0x0000FF;
        font.Style = {fsItalic, fsUnderline};
        dialogs.Fonts.push_back(font);
        w.mitFont->trigger();
        QCOMPARE(t.StyleOfItem(0).FontName, std::string("Courier New"));
        QCOMPARE(t.StyleOfItem(0).Size, 14);
        QCOMPARE(t.StyleOfItem(0).Color, TColor(0x0000FF));
        QCOMPARE(t.StyleOfItem(0).Style, (TFontStyles{fsItalic, fsUnderline}));
        QCOMPARE(t.StyleOfItem(1).FontName, before.FontName);
        // The controls show the new style at once.
        QCOMPARE(w.cmbFontSize->currentText(), QStringLiteral("14"));
        QVERIFY(w.mitItalic->isChecked() && w.btnUnderline->isChecked());

        dialogs.Colors = {0x00FF00, 0x00FFFF};
        w.btnTextColor->trigger();
        QCOMPARE(dialogs.ColorPresets.back(), TColor(0x0000FF));
        QCOMPARE(t.StyleOfItem(0).Color, TColor(0x00FF00));
        // No background: the dialog starts at white.
        w.mitBackColor->trigger();
        QCOMPARE(dialogs.ColorPresets.back(), TColor(0xFFFFFF));
        QCOMPARE(t.StyleOfItem(0).BackColor, TColor(0x00FFFF));
        QCOMPARE(t.StyleOfItem(0).FontName, std::string("Courier New"));
    }

    void FontAndSizeBoxes()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        const QString other = w.cmbFont->findText(QStringLiteral("Courier New")) >= 0 ? QStringLiteral("Courier New")
                                                                                      : w.cmbFont->itemText(0);
        Choose(w.cmbFont, other);
        QCOMPARE(QString::fromStdString(t.StyleOfItem(0).FontName), other);
        QCOMPARE(w.ConvFontName, other.toStdString());
        QCOMPARE(w.cmbFontSize->count(), 16);
        // The size box's own text is applied again, which keeps the size.
        QCOMPARE(t.StyleOfItem(0).Size, 10);

        // Enter in the box applies its text; a text that is no number counts as 10.
        w.cmbFontSize->setFocus();
        w.cmbFontSize->setEditText(QStringLiteral("16"));
        QTest::keyClick(w.cmbFontSize, Qt::Key_Return);
        QCOMPARE(t.StyleOfItem(0).Size, 16);
        QCOMPARE(w.ConvFontSize, 16);
        w.cmbFontSize->setEditText(QStringLiteral("gross"));
        QTest::keyClick(w.cmbFontSize->lineEdit(), Qt::Key_Enter);
        QCOMPARE(t.StyleOfItem(0).Size, 10);
        // A choice from the list.
        Choose(w.cmbFontSize, QStringLiteral("28"));
        QCOMPARE(t.StyleOfItem(0).Size, 28);
        QCOMPARE(t.StyleOfItem(1).Size, 10);

        // Leaving the box applies its text too.
        QApplication::setActiveWindow(t.Window.get());
        w.cmbFontSize->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(w.cmbFontSize->hasFocus());
        w.cmbFontSize->setEditText(QStringLiteral("22"));
        w.rve->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(t.StyleOfItem(0).Size, 22);
        QVERIFY(w.rve->hasFocus());
        // The window may go while the box has the focus.
        w.cmbFontSize->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(w.cmbFontSize->hasFocus());
    }

    void FontBoxListsEachFamilyOnce()
    {
        // Qt's names of a family that two foundries make, and a name with brackets of its own.
        QCOMPARE(PlainFamilyName(QStringLiteral("Nimbus Sans [UKWN]")), QStringLiteral("Nimbus Sans"));
        QCOMPARE(PlainFamilyName(QStringLiteral("Nimbus Sans [URW ]")), QStringLiteral("Nimbus Sans"));
        QCOMPARE(PlainFamilyName(QStringLiteral("Nimbus Sans")), QStringLiteral("Nimbus Sans"));
        QCOMPARE(PlainFamilyName(QStringLiteral("[Klammer]")), QStringLiteral("[Klammer]"));
        const QStringList listed = FontBoxFamilies({QStringLiteral("Nimbus Sans [UKWN]"), QStringLiteral("Arial"),
                                                    QStringLiteral("nimbus Mono"), QStringLiteral("Nimbus Sans [URW ]"),
                                                    QStringLiteral("Liberation Serif")});
        QCOMPARE(listed.count(QStringLiteral("Nimbus Sans")), 1);
        QCOMPARE(listed.count(QStringLiteral("Arial")), 1);
        // The stand-in of "Times New Roman" is installed with the program.
        QVERIFY(listed.contains(QStringLiteral("Times New Roman")));
        QStringList sorted = listed;
        sorted.sort(Qt::CaseInsensitive);
        QCOMPARE(listed, sorted);
        QVERIFY(listed.indexOf(QStringLiteral("nimbus Mono")) < listed.indexOf(QStringLiteral("Nimbus Sans")));

        // A second maker of an installed family: a copy of DejaVu Sans under another vendor.
        QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray font = file.readAll();
        const int tables = qFromBigEndian<quint16>(font.constData() + 4);
        bool patched = false;
        for (int i = 0; i < tables; ++i) {
            const char* record = font.constData() + 12 + 16 * i;
            if (QByteArray(record, 4) == "OS/2") {
                // The vendor, which names the foundry, at byte 58 of the table.
                std::memcpy(font.data() + qFromBigEndian<quint32>(record + 8) + 58, "XQTS", 4);
                patched = true;
            }
        }
        QVERIFY(patched);
        const int id = QFontDatabase::addApplicationFontFromData(font);
        QVERIFY(id >= 0);
        const auto removeFont = qScopeGuard([id] { QFontDatabase::removeApplicationFont(id); });
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans [XQTS]")));

        TTestWindow t;
        QComboBox* box = t.Window->cmbFont;
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
        QCOMPARE(entries.count(QStringLiteral("DejaVu Sans")), 1);
        QCOMPARE(entries.filter(QStringLiteral("[")), QStringList());
        QStringList unique = entries;
        unique.removeDuplicates();
        QCOMPARE(entries, unique);
        // The plain name is what the document gets.
        t.Type("eins");
        t.Editor().SelectAll();
        Choose(box, QStringLiteral("DejaVu Sans"));
        QCOMPARE(t.Window->Document().RStyle.TextStyles[t.Data().ActualStyleOf(0)].FontName, std::string("DejaVu Sans"));
    }

    void PassingThroughTheSizeBoxKeepsMixedSizes()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        Choose(w.cmbFontSize, QStringLiteral("16"));
        t.Editor().SelectAll();
        QCOMPARE(t.StyleOfItem(0).Size, 16);
        QCOMPARE(t.StyleOfItem(1).Size, 10);
        const int undoGroups = t.Data().UndoList.Count();
        QApplication::setActiveWindow(t.Window.get());
        const auto passThroughBox = [&](const QString& typed) {
            w.cmbFontSize->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(w.cmbFontSize->hasFocus());
            if (!typed.isEmpty())
                w.cmbFontSize->setEditText(typed);
            w.rve->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(w.rve->hasFocus());
        };

        // Into the box and out again without typing: the selection keeps both sizes.
        passThroughBox({});
        QCOMPARE(t.StyleOfItem(0).Size, 16);
        QCOMPARE(t.StyleOfItem(1).Size, 10);
        QCOMPARE(t.Data().UndoList.Count(), undoGroups);
        // What the user typed is applied on leaving, once.
        passThroughBox(QStringLiteral("12"));
        QCOMPARE(t.StyleOfItem(0).Size, 12);
        QCOMPARE(t.Data().Count(), 1);
        QCOMPARE(t.Data().UndoList.Count(), undoGroups + 1);
        passThroughBox({});
        QCOMPARE(t.Data().UndoList.Count(), undoGroups + 1);

        // The caret sets the box anew: leaving it unchanged keeps the caret's size, typing applies.
        t.Editor().SetSelection({0, 1}, {0, 5});
        Choose(w.cmbFontSize, QStringLiteral("20"));
        t.Editor().SetCaretDocPos({1, 3});
        QCOMPARE(w.cmbFontSize->currentText(), QStringLiteral("12"));
        t.Editor().SelectAll();
        QCOMPARE(w.cmbFontSize->currentText(), QStringLiteral("12"));
        passThroughBox({});
        QCOMPARE(t.StyleOfItem(0).Size, 20);
        QCOMPARE(t.StyleOfItem(1).Size, 12);
        // A size the list does not offer, typed, is applied too.
        passThroughBox(QStringLiteral("13"));
        QCOMPARE(t.Data().Count(), 1);
        QCOMPARE(t.StyleOfItem(0).Size, 13);
    }

    void ControlsFollowTheCaretWithoutFeedback()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        TFontDescription font;
        font.Name = "Arial";
        font.Size = 20;
        font.Style = {fsBold};
        t.FormatDialogs.Fonts.push_back(font);
        w.mitFont->trigger();
        t.Editor().SetSelection({1, 2}, {1, 6});
        w.btnAlign[1]->trigger();
        const int undoGroups = t.Data().UndoList.Count();
        const int textStyles = t.Sheet().TextStyles.Count();

        const auto caretTo = [&](TRVDocPos pos) { t.Editor().SetCaretDocPos(pos); };
        caretTo({1, 3});
        QVERIFY(!w.mitBold->isChecked());
        QVERIFY(!w.btnBold->isChecked());
        QCOMPARE(w.cmbFont->currentText(), QStringLiteral("Times New Roman"));
        QCOMPARE(w.cmbFontSize->currentText(), QStringLiteral("10"));
        QCOMPARE(t.Editor().CurrentTextStyle(), t.Data().ActualStyleOf(1));
        QVERIFY(w.btnAlign[1]->isChecked());
        QCOMPARE(w.cmbPara->currentIndex(), 1);

        caretTo({0, 3});
        QVERIFY(w.mitBold->isChecked());
        QVERIFY(w.btnBold->isChecked());
        QCOMPARE(w.cmbFont->currentText(), QStringLiteral("Arial"));
        QCOMPARE(w.cmbFontSize->currentText(), QStringLiteral("20"));
        QCOMPARE(t.Editor().CurrentTextStyle(), t.Data().ActualStyleOf(0));

        // Setting the controls from the caret changed nothing in the document.
        QCOMPARE(t.Data().UndoList.Count(), undoGroups);
        QCOMPARE(t.Sheet().TextStyles.Count(), textStyles);
        QVERIFY(!t.Run().SyncingControls);
    }

    void ParagraphCommands()
    {
        TWordWindow t;
        TFormED& w = *t.Window;
        w.btnAlign[2]->trigger();
        QCOMPARE(t.Data().ParaOf(0), 2);
        w.mitSingleFrame->trigger();
        QCOMPARE(t.Data().ParaOf(0), 4);
        QCOMPARE(t.ParaStyleOfItem(0).Border.Style, rvbSingle);
        // An alignment style replaces the frame as a whole.
        w.btnAlign[1]->trigger();
        QCOMPARE(t.Data().ParaOf(0), 1);
        QCOMPARE(t.ParaStyleOfItem(0).Border.Style, rvbNone);
        w.mitDoubleFrame->trigger();
        QCOMPARE(t.ParaStyleOfItem(0).Border.Style, rvbDouble);

        // The paragraph box applies its entry and presses the matching button.
        Choose(w.cmbPara, w.cmbPara->itemText(3));
        QCOMPARE(t.Data().ParaOf(0), 3);
        QVERIFY(w.btnAlign[3]->isChecked());

        // A derived justified style: the justify button, no entry in the box.
        w.btnIndentInc->trigger();
        w.mitIndentInc->trigger();
        QCOMPARE(t.ParaStyleOfItem(0).LeftIndent, 40);
        QCOMPARE(t.ParaStyleOfItem(0).Alignment, rvaJustify);
        QVERIFY(t.Data().ParaOf(0) > 5);
        QVERIFY(w.btnAlign[3]->isChecked());
        QCOMPARE(w.cmbPara->currentIndex(), -1);
        w.btnIndentDec->trigger();
        w.mitIndentDec->trigger();
        w.mitIndentDec->trigger();
        QCOMPARE(t.ParaStyleOfItem(0).LeftIndent, 0);
        QCOMPARE(t.Data().ParaOf(0), 3);

        w.mitSpacing150->trigger();
        QCOMPARE(t.ParaStyleOfItem(0).LineSpacing, 150);
        QVERIFY(w.mitSpacing150->isChecked() && !w.mitSpacing100->isChecked());
        w.mitSpacing200->trigger();
        QCOMPARE(t.ParaStyleOfItem(0).LineSpacing, 200);
        QVERIFY(!w.mitSpacing150->isChecked());

        t.FormatDialogs.Colors.push_back(0xFF0000);
        w.mitParaColor->trigger();
        QCOMPARE(t.FormatDialogs.ColorPresets.back(), TColor(0xFFFFFF));
        QCOMPARE(t.ParaStyleOfItem(0).Background.Color, TColor(0xFF0000));
        QCOMPARE(t.ParaStyleOfItem(0).LineSpacing, 200);
    }

    void BulletsAndNumbering()
    {
        TTestWindow t;
        t.Type("eins");
        t.Type("zwei");
        t.Type("drei");
        t.Type("vier");
        TFormED& w = *t.Window;
        const TRVStyle& sheet = w.Document().RStyle;
        t.Editor().SetCaretDocPos({1, 2});
        w.cmbFontSize->setEditText(QStringLiteral("48"));

        w.mitBullets->trigger();
        const TRVMarkerItemInfo* bullet = MarkerOfParagraph(t.Data(), 1);
        QVERIFY(bullet);
        const TRVListLevel& level = sheet.ListStyles[bullet->ListNo].Levels[0];
        QCOMPARE(level.Font()->Size, 20);
        QCOMPARE(level.Font()->Name, std::string("Wingdings"));
        QVERIFY(w.mitBullets->isChecked());
        QCOMPARE(w.ListState.ListKind, 1);
        QCOMPARE(w.ListState.BulletText, std::string("l"));
        // Checked: the command takes the paragraph out of its list.
        w.mitBullets->trigger();
        QVERIFY(!MarkerOfParagraph(t.Data(), 1));
        QVERIFY(!w.mitBullets->isChecked());
        QCOMPARE(w.ListState.ListKind, 0);

        // Numbering in a symbol font is written in Arial; the paragraph below continues the list, one
        // two paragraphs further down starts its own.
        const bool webdings = w.cmbFont->findText(QStringLiteral("Webdings")) >= 0;
        const auto numberParagraph = [&](int paragraph) {
            t.Editor().SetCaretDocPos({ParagraphStarts(t.Data()).at(std::size_t(paragraph)), 1});
            QVERIFY(!w.mitNumbering->isChecked());
            Choose(w.cmbFont, webdings ? QStringLiteral("Webdings") : QStringLiteral("Arial"));
            w.cmbFontSize->setEditText(QStringLiteral("48"));
            w.mitNumbering->trigger();
        };
        numberParagraph(0);
        const TRVMarkerItemInfo* first = MarkerOfParagraph(t.Data(), 0);
        QVERIFY(first);
        QCOMPARE(sheet.ListStyles[first->ListNo].Levels[0].Font()->Name, std::string("Arial"));
        QCOMPARE(sheet.ListStyles[first->ListNo].Levels[0].Font()->Size, 48);
        QVERIFY(w.mitNumbering->isChecked());
        QCOMPARE(w.ListState.NumberingKind, 14);

        numberParagraph(1);
        const TRVMarkerItemInfo* second = MarkerOfParagraph(t.Data(), 1);
        QVERIFY(second);
        QCOMPARE(second->ListNo, first->ListNo);
        QCOMPARE(second->DisplayText, std::string("2."));

        numberParagraph(3);
        const TRVMarkerItemInfo* distant = MarkerOfParagraph(t.Data(), 3);
        QVERIFY(distant);
        QVERIFY(distant->ListNo != first->ListNo);
        QCOMPARE(distant->DisplayText, std::string("1."));

        // Undo takes the lists away again, step by step.
        for (int i = 0; i < 20 && t.Editor().CanUndo(); ++i)
            w.mitUndo->trigger();
        QVERIFY(t.Data().Markers().empty());
    }

    /// A letter formatted through the commands, as a user would: bold words, coloured text,
    /// bullets, numbering, a framed paragraph, a picture and a line. The window is saved as a
    /// picture for a person to look at, and its pixels are checked for the colours it must show.
    void FormattedSampleAsTheUserSeesIt()
    {
        TTestWindow t;
        TFormED& w = *t.Window;
        w.resize(900, 700);
        const auto selectParagraphText = [&](int from, int to) {
            const int item = t.Data().Count() - 1;
            t.Editor().SetSelection({item, from}, {item, to});
        };
        t.Type("Sehr geehrte Damen und Herren,");
        selectParagraphText(14, 31);
        w.btnBold->trigger();
        // Bold off again at the end of the line, before the next paragraph is typed.
        t.Editor().SetCaretDocPos({t.Data().Count() - 1, t.Data().OffsetAfter(t.Data().Count() - 1)});
        w.btnBold->trigger();
        t.Type("wir bestätigen Ihnen gern den Eingang Ihrer Unterlagen.");
        selectParagraphText(27, 45);
        t.FormatDialogs.Colors.push_back(clRed);
        w.btnTextColor->trigger();
        for (const char* point : {"Antrag auf Verlängerung", "Bescheinigung des Arbeitgebers", "Kopie des Ausweises"}) {
            t.Type(point);
            w.mitBullets->trigger();
        }
        for (const char* step : {"Unterlagen prüfen", "Termin vereinbaren"}) {
            t.Type(step);
            w.cmbFontSize->setEditText(QStringLiteral("10"));
            w.mitNumbering->trigger();
        }
        t.Type("Bitte beachten Sie die Frist von vierzehn Tagen.");
        w.mitSingleFrame->trigger();
        t.Type("Mit freundlichen Grüßen ");
        w.btnAlign[0]->trigger(); // no frame for the greeting
        const TTempDir dir;
        QImage logo(QSize(60, 30), QImage::Format_RGB32);
        logo.fill(QColor(0, 0, 160));
        const std::filesystem::path logoFile = dir.Path() / "logo.png";
        QVERIFY(logo.save(QString::fromStdString(logoFile.string()), "PNG"));
        t.Pictures.Answers.push_back(logoFile);
        w.mitInsertPicture->trigger();
        w.mitInsertLine->trigger();
        QVERIFY(t.Boxes.Asked.empty());

        ShowAndSettle(w);
        const QImage shot = w.rve->Render();
        const auto count = [&shot](auto match) {
            int n = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    n += match(QColor(shot.pixel(x, y))) ? 1 : 0;
            return n;
        };
        QVERIFY2(count([](QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; }) > 50, "red text");
        QVERIFY2(count([](QColor c) { return c.blue() == 160 && c.red() == 0 && c.green() == 0; }) >= 60 * 30, "the picture");
        const QString shots = QStringLiteral(XQ_SCREENSHOT_DIR);
        QDir().mkpath(shots);
        QVERIFY(w.grab().save(shots + QStringLiteral("/formatted-sample.png"), "PNG"));
    }

    void QtDialogsLimitSizesAndConvertColours()
    {
        TQtFormatDialogs dialogs(nullptr);
        TFontDescription font;
        font.Name = "Arial";
        font.Size = 100;
        font.Color = 0x0000FF;
        int top = 0, bottom = 0;
        WhenModal<QFontDialog>([&](QFontDialog* dialog) {
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
                if (auto* sizes = qobject_cast<const QIntValidator*>(edit->validator())) {
                    top = sizes->top();
                    bottom = sizes->bottom();
                }
            dialog->accept();
        });
        QVERIFY(dialogs.ChooseFont(font));
        QCOMPARE(bottom, 1);
        QCOMPARE(top, 72);
        QCOMPARE(font.Size, 72);
        QCOMPARE(font.Name, std::string("Arial"));
        QCOMPARE(font.Color, TColor(0x0000FF));

        // Colours go in and out as 0x00BBGGRR.
        QColor preset;
        WhenModal<QColorDialog>([&](QColorDialog* dialog) {
            preset = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x10, 0x20, 0x30));
            dialog->accept();
        });
        TColor color = 0x0000FF;
        QVERIFY(dialogs.ChooseColor(color));
        QCOMPARE(preset, QColor(0xFF, 0, 0));
        QCOMPARE(color, TColor(0x302010));
        WhenModal<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
        QVERIFY(!dialogs.ChooseColor(color));
        QCOMPARE(color, TColor(0x302010));
    }
};

XQ_APP_TEST(TFormattingTest);

} // namespace xq::test

#include "FormattingTest.moc"
