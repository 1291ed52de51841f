// The main window's commands: the main menu, the two toolbars with their hints, the editor's context
// menu and the status bar. Commands whose features are not part of the program yet are present
// with their captions and shortcuts, and disabled. The find commands
// are connected in FormEDSearch.cpp, the hyperlink commands in FormEDHyperlinks.cpp, the
// formatting commands in FormEDFormatting.cpp, the commands that insert lines and pictures in
// FormEDInsert.cpp, the table commands in FormEDTables.cpp, the print commands in FormEDPrint.cpp,
// the element dialogs and the context menu in FormEDElements.cpp.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/DocViewEditWidget.h"
#include "app/FormED.h"
#include "app/ToolIcons.h"
#include "platform/qt/QtText.h"

namespace xq {

namespace {

/// A hint as the program writes it: the short part before "|" is the tooltip (a "\r" breaks its
/// line), the long part after it goes to the status bar.
void SetHint(QAction* action, const char* hint)
{
    const QString text = FromUtf8(hint);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    QString shortHint = bar < 0 ? text : text.left(bar);
    shortHint.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    action->setToolTip(shortHint);
    action->setStatusTip(bar < 0 ? text : text.mid(bar + 1));
}

} // namespace

QAction* TFormED::MenuItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(FromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setEnabled(false);
    return action;
}

QMenu* TFormED::SubMenu(QMenu* menu, const char* name, const char* caption)
{
    QMenu* sub = menu->addMenu(FromUtf8(caption));
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
    return sub;
}

QAction* TFormED::ToolButton(QToolBar* bar, const char* name, int icon, const char* hint)
{
    QAction* action = bar->addAction(ToolIcon(static_cast<TToolIcon>(icon)), QString());
    action->setObjectName(QString::fromLatin1(name));
    SetHint(action, hint);
    action->setText(action->toolTip());
    action->setEnabled(false);
    return action;
}

void TFormED::CreateMenus()
{
    QMenuBar* bar = menuBar();

    // &Datei
    mnuFile = bar->addMenu(FromUtf8("&Datei"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mitNew = MenuItem(mnuFile, "mitNew", "&Neu", QKeySequence(Qt::CTRL | Qt::Key_N));
    sepAfterNew = mnuFile->addSeparator();
    mitOpen = MenuItem(mnuFile, "mitOpen", "&Öffnen...", QKeySequence(Qt::CTRL | Qt::Key_O));
    QMenu* reopen = SubMenu(mnuFile, "mnuReopen", "Wieder öffnen");
    mitReopen = reopen->menuAction();
    for (std::size_t i = 0; i < mitRecent.size(); ++i) {
        QAction* item = reopen->addAction(QString());
        item->setObjectName(QStringLiteral("mitRecent%1").arg(i + 1));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, item] {
            const std::string path = item->data().toString().toStdString();
            Guarded([this, path] { Session_->LMruMruClick(path); });
        });
        mitRecent[i] = item;
    }
    sepAfterReopen = mnuFile->addSeparator();
    mitSave = MenuItem(mnuFile, "mitSave", "&Speichern...", QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator();
    mitPageSetup = MenuItem(mnuFile, "mitPageSetup", "Seite einrichten...");
    mitPreview = MenuItem(mnuFile, "mitPreview", "Druckvorschau...");
    mitPrint = MenuItem(mnuFile, "mitPrint", "Drucken...");
    mitExportPdf = MenuItem(mnuFile, "mitExportPdf", "Als PDF exportieren...");
    mnuFile->addSeparator();
    mitClose = MenuItem(mnuFile, "mitClose", "Schließen");
    for (QAction* a : {mitNew, mitOpen, mitSave, mitClose})
        a->setEnabled(true);
    connect(mitNew, &QAction::triggered, this, [this] { Guarded([this] { Session_->New(false); }); });
    connect(mitOpen, &QAction::triggered, this, [this] { Guarded([this] { Session_->open(); }); });
    connect(mitSave, &QAction::triggered, this, [this] { Guarded([this] { Session_->Save(); }); });
    connect(mitClose, &QAction::triggered, this, &QWidget::close);
    // The recent files are looked at again whenever the menu opens: files may have gone meanwhile.
    connect(mnuFile, &QMenu::aboutToShow, this, [this] { LMru.Refresh(); });

    // &Bearbeiten
    QMenu* edit = bar->addMenu(FromUtf8("&Bearbeiten"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    mitUndo = MenuItem(edit, "mitUndo", "&Rückgängig", QKeySequence(Qt::CTRL | Qt::Key_Z));
    mitRedo = MenuItem(edit, "mitRedo", "&Wiederholen", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
    edit->addSeparator();
    mitCut = MenuItem(edit, "mitCut", "&Ausschneiden", QKeySequence(Qt::CTRL | Qt::Key_X));
    mitCopy = MenuItem(edit, "mitCopy", "&Kopieren", QKeySequence(Qt::CTRL | Qt::Key_C));
    mitPaste = MenuItem(edit, "mitPaste", "&Einfügen", QKeySequence(Qt::CTRL | Qt::Key_V));
    mitDelete = MenuItem(edit, "mitDelete", "&Löschen", QKeySequence(Qt::CTRL | Qt::Key_D));
    edit->addSeparator();
    mitSelectAll = MenuItem(edit, "mitSelectAll", "Alles auswählen", QKeySequence(Qt::CTRL | Qt::Key_A));
    mitSelectAll->setEnabled(true);
    // Undo and redo follow the editor's lists (UpdateUndoControls).
    connect(mitUndo, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.Undo(); }); });
    connect(mitRedo, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.Redo(); }); });
    connect(mitSelectAll, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.SelectAll(); }); });
    // "&Löschen" follows the selection (UpdateSelectionControls).
    connect(mitDelete, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.DeleteSelected(); }); });
    // Cut and copy follow the selection, paste follows the clipboard (UpdateSelectionControls,
    // UpdatePasteControls).
    connect(mitCut, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.CutSelection(); }); });
    connect(mitCopy, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.CopySelection(); }); });
    connect(mitPaste, &QAction::triggered, this, [this] { EditCommand([](TDocViewEdit& e) { e.PasteAtCaret(); }); });

    // Einfügen
    QMenu* insert = bar->addMenu(FromUtf8("Einfügen"));
    insert->setObjectName(QStringLiteral("mnuInsert"));
    QMenu* hyperlink = SubMenu(insert, "mnuHyperlink", "Hyperlink");
    mitHyperlinkEdit = MenuItem(hyperlink, "mitHyperlinkEdit", "Hyperlink bearbeiten...");
    mitHyperlinkRemove = MenuItem(hyperlink, "mitHyperlinkRemove", "Hyperlink entfernen");

    // &Format
    QMenu* format = bar->addMenu(FromUtf8("&Format"));
    format->setObjectName(QStringLiteral("mnuFormat"));
    mitBold = MenuItem(format, "mitBold", "Fett");
    mitItalic = MenuItem(format, "mitItalic", "Kursiv");
    mitUnderline = MenuItem(format, "mitUnderline", "Unterstrichen");
    mitStrikeOut = MenuItem(format, "mitStrikeOut", "Durchgestrichen");
    mitOverline = MenuItem(format, "mitOverline", "Überstrich");
    format->addSeparator();
    MenuItem(format, "mitBackColor", "Farbe Text Hintergrund");
    MenuItem(format, "mitParaColor", "Farbe Paragraph");
    format->addSeparator();
    MenuItem(format, "mitIndentInc", "Einzug vergrößern");
    MenuItem(format, "mitIndentDec", "Einzug verkleinern");
    format->addSeparator();
    MenuItem(format, "mitFont", "Schriftart...");
    mitAllCaps = MenuItem(format, "mitAllCaps", "Gross- / Kleinbuchstaben");
    format->addSeparator();
    mitInsertPageBreak = MenuItem(format, "mitInsertPageBreak", "Seitenumbruch einfügen");
    mitRemovePageBreak = MenuItem(format, "mitRemovePageBreak", "Seitenumbruch entfernen");
    mitInsertPageBreak->setEnabled(true);
    mitRemovePageBreak->setEnabled(true);
    connect(mitInsertPageBreak, &QAction::triggered, this,
            [this] { EditCommand([](TDocViewEdit& e) { e.InsertPageBreakAtCaret(); }); });
    connect(mitRemovePageBreak, &QAction::triggered, this,
            [this] { EditCommand([](TDocViewEdit& e) { e.RemovePageBreakAtCaret(); }); });
    format->addSeparator();
    QMenu* spacing = SubMenu(format, "mnuLineSpacing", "Zeilenabstand");
    mitSpacing100 = MenuItem(spacing, "mitSpacing100", "Normal");
    mitSpacing150 = MenuItem(spacing, "mitSpacing150", "1,5 fach");
    mitSpacing200 = MenuItem(spacing, "mitSpacing200", "2 fach");
    for (QAction* a : {mitBold, mitItalic, mitUnderline, mitStrikeOut, mitOverline, mitAllCaps, mitSpacing100,
                       mitSpacing150, mitSpacing200})
        a->setCheckable(true);
    // The character formats take the keys users know from other programs, the English letters and the
    // German ones (F fett, K kursiv, U unterstrichen); the menu shows the first. The editor has no use
    // of its own for these keys, so the window's shortcut takes them and the command runs once.
    mitBold->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_B), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)});
    mitItalic->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_I), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});
    mitUnderline->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_U), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U)});

    // &Suchen
    QMenu* search = bar->addMenu(FromUtf8("&Suchen"));
    search->setObjectName(QStringLiteral("mnuSearch"));
    mitSelectWord = MenuItem(search, "mitSelectWord", "Wort markieren");
    mitSelectWord->setEnabled(true);
    connect(mitSelectWord, &QAction::triggered, this,
            [this] { EditCommand([](TDocViewEdit& e) { e.SelectCurrentWord(); }); });
    search->addSeparator();
    mitFind = MenuItem(search, "mitFind", "Suchen...");
    mitReplace = MenuItem(search, "mitReplace", "Suchen und ersetzen...");
    ConnectSearchCommands();

    // &Extra
    QMenu* extra = bar->addMenu(FromUtf8("&Extra"));
    extra->setObjectName(QStringLiteral("mnuExtra"));
    mnuInsertTable = SubMenu(extra, "mnuInsertTable", "Tabelle einfügen");
    mitTable1x1 = MenuItem(mnuInsertTable, "mitTable1x1", "1 Zeile x 1 Spalte");
    mitTable1x2 = MenuItem(mnuInsertTable, "mitTable1x2", "1 Zeile x 2 Spalten");
    mitTable2x2 = MenuItem(mnuInsertTable, "mitTable2x2", "2 Zeilen x 2 Spalten");
    mnuInsertTable->addSeparator();
    mitTableCustom = MenuItem(mnuInsertTable, "mitTableCustom", "Benutzerdefiniert ...");
    mnuTableInsert = SubMenu(extra, "mnuTableInsert", "Tabellenelemente einfügen");
    mitRowAbove = MenuItem(mnuTableInsert, "mitRowAbove", "Zeile über");
    mitRowBelow = MenuItem(mnuTableInsert, "mitRowBelow", "Zeile drunter");
    mitColLeft = MenuItem(mnuTableInsert, "mitColLeft", "Spalte links");
    mitColRight = MenuItem(mnuTableInsert, "mitColRight", "Spalte rechts");
    mnuTableDelete = SubMenu(extra, "mnuTableDelete", "Tabellenelement löschen");
    mitDeleteRow = MenuItem(mnuTableDelete, "mitDeleteRow", "Zeile");
    mitDeleteCol = MenuItem(mnuTableDelete, "mitDeleteCol", "Spalte");
    mnuTableOps = SubMenu(extra, "mnuTableOps", "Tabellenoperationen");
    mitMergeCells = MenuItem(mnuTableOps, "mitMergeCells", "Zellen zusammenführen");
    QMenu* split = SubMenu(mnuTableOps, "mnuSplitCells", "Zellen teilen");
    mitSplitVertical = MenuItem(split, "mitSplitVertical", "Vertikal");
    mitSplitHorizontal = MenuItem(split, "mitSplitHorizontal", "Horizontal");
    mnuTablePictures = SubMenu(extra, "mnuTablePictures", "Tabellen Bilder");
    mitTableBackground = MenuItem(mnuTablePictures, "mitTableBackground", "Tabellen Hintergrundbild einfügen...");
    mnuTableBackStyle = SubMenu(mnuTablePictures, "mnuTableBackStyle", "Tabellen Hintergrundbild formatieren ");
    mitCellBackground = MenuItem(mnuTablePictures, "mitCellBackground", "Talelle - Bild in Zelle einfügen...");
    mnuCellBackStyle = SubMenu(mnuTablePictures, "mnuCellBackStyle", "Tabelle - Bild in Zelle formatieren");
    for (auto [styles, items] : {std::pair{mnuTableBackStyle, &mitTableBackStyle}, std::pair{mnuCellBackStyle, &mitCellBackStyle}}) {
        const QString prefix = styles->objectName();
        const char* captions[] = {"Bild entfernen", "Bild strecken", "Bild kacheln", "Bild zentrieren"};
        for (std::size_t i = 0; i < items->size(); ++i)
            (*items)[i] = MenuItem(styles, (prefix + QString::number(i)).toLatin1().constData(), captions[i]);
    }
    ConnectTableCommands();
    extra->addSeparator();
    MenuItem(extra, "mitSingleFrame", "Einfacher Rahmen");
    MenuItem(extra, "mitDoubleFrame", "Doppelter Rahmen");
    extra->addSeparator();
    mitInsertLine = MenuItem(extra, "mitInsertLine", "Linie einfügen");
    mitInsertPicture = MenuItem(extra, "mitInsertPicture", "Bild einfügen ...");
    QMenu* docBack = SubMenu(extra, "mnuDocBackground", "Dokument Hintergrundbild");
    mitDocBackground = MenuItem(docBack, "mitDocBackground", "Bild als Seitenhintergrund einfügen...");
    mnuDocBackStyle = SubMenu(docBack, "mnuDocBackStyle", "Hintergrundbild formatieren");
    mitDocBackStyle[0] = MenuItem(mnuDocBackStyle, "mitDocBackStyle0", "Bild entfernen");
    mitDocBackStyle[1] = MenuItem(mnuDocBackStyle, "mitDocBackStyle1", "Bild strecken");
    mitDocBackStyle[2] = MenuItem(mnuDocBackStyle, "mitDocBackStyle2", "Bild kacheln");
    mitDocBackStyle[3] = MenuItem(mnuDocBackStyle, "mitDocBackStyle3", "Bild kacheln und rollen");
    mitDocBackStyle[4] = MenuItem(mnuDocBackStyle, "mitDocBackStyle4", "Bild zentrieren");
    ConnectInsertCommands();
    extra->addSeparator();
    MenuItem(extra, "mitBullets", "Aufzählung")->setCheckable(true);
    MenuItem(extra, "mitNumbering", "Nummerierung")->setCheckable(true);
    mitBulletsDialog = MenuItem(extra, "mitBulletsDialog", "Aufzählung/Nummerierung...");
    extra->addSeparator();
    mitSymbol = MenuItem(extra, "mitSymbol", "Sonderzeichen...");

    // Rechtschreibprüfung
    QMenu* spelling = bar->addMenu(FromUtf8("Rechtschreibprüfung"));
    spelling->setObjectName(QStringLiteral("mnuSpelling"));
    mitSpellCheck = MenuItem(spelling, "mitSpellCheck", "Prüfung durchführen");
    mitLiveSpelling = MenuItem(spelling, "mitLiveSpelling", "Prüfen während der Eingabe");
    mitLiveSpelling->setCheckable(true);
    mnuLanguage = SubMenu(spelling, "mnuLanguage", "Sprache auswählen");

    // &Hilfe, &Über
    QMenu* help = bar->addMenu(FromUtf8("&Hilfe"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* helpItem = MenuItem(help, "mitHelp", "Hilfe zum Editor...");
    helpItem->setEnabled(true);
    connect(helpItem, &QAction::triggered, this, [this] { Guarded([this] { ShowHelp(); }); });
    QAction* about = bar->addAction(FromUtf8("&Über"));
    about->setObjectName(QStringLiteral("mitAbout"));
    connect(about, &QAction::triggered, this, [this] { ShowAbout(); });

    // The editor's context menu, filled each time it opens (PopulateContextMenu); its items belong
    // to the window, so that refilling the menu keeps them.
    mnuContext = new QMenu(this);
    mnuContext->setObjectName(QStringLiteral("mnuContext"));
    mitElementEdit = new QAction(FromUtf8("Element bearbeiten"), this);
    mitElementEdit->setObjectName(QStringLiteral("mitElementEdit"));
    mitElementEdit->setEnabled(false);
    mnuContext->addAction(mitElementEdit);
    ConnectElementCommands();
}

void TFormED::CreateToolBars()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    btnBold = ToolButton(ToolBar1, "btnBold", int(TToolIcon::Bold),
                         "Schriftart fett| Markiertes Element in Schriftart fett formatieren");
    btnItalic = ToolButton(ToolBar1, "btnItalic", int(TToolIcon::Italic),
                           "Schriftart kursiv| Markiertes Element in Schriftart kursiv formatieren");
    btnUnderline = ToolButton(ToolBar1, "btnUnderline", int(TToolIcon::Underline),
                              "Schriftart unterstrichen| Markiertes Element in Schriftart unterstrichen formatieren");
    for (QAction* a : {btnBold, btnItalic, btnUnderline})
        a->setCheckable(true);
    ToolBar1->addSeparator();
    ToolButton(ToolBar1, "btnTextColor", int(TToolIcon::TextColor), "Text Farbe|Farbe des markiertenTextes ändern");
    ToolBar1->addSeparator();
    auto* alignment = new QActionGroup(this);
    alignment->setExclusive(true);
    btnAlign[0] = ToolButton(ToolBar1, "btnAlignLeft", int(TToolIcon::AlignLeft), "Linksbündig| Schrift linksbündig formatieren");
    btnAlign[1] = ToolButton(ToolBar1, "btnAlignCenter", int(TToolIcon::AlignCenter), "Zentriert| Schrift zentriert formatieren");
    btnAlign[2] = ToolButton(ToolBar1, "btnAlignRight", int(TToolIcon::AlignRight), "Rechtsbündig| Schrift rechtsbündig formatieren");
    btnAlign[3] = ToolButton(ToolBar1, "btnAlignJustify", int(TToolIcon::AlignJustify), "Blocksatz| Schrift im Blocksatz formatieren");
    for (QAction* a : btnAlign) {
        a->setCheckable(true);
        alignment->addAction(a);
    }
    btnAlign[0]->setChecked(true);
    ToolBar1->addSeparator();
    btnOpen = ToolButton(ToolBar1, "btnOpen", int(TToolIcon::Open), "Dokument öffnen| Gespeichertes Dokument öffnen");
    btnSave = ToolButton(ToolBar1, "btnSave", int(TToolIcon::Save), "Dokument speichern| Aktuelles Dokument speichern");
    btnNew = ToolButton(ToolBar1, "btnNew", int(TToolIcon::New), "Neues Dokument| Neues Dokument anlegen");
    for (QAction* a : {btnOpen, btnSave, btnNew})
        a->setEnabled(true);
    connect(btnOpen, &QAction::triggered, mitOpen, &QAction::trigger);
    connect(btnSave, &QAction::triggered, mitSave, &QAction::trigger);
    connect(btnNew, &QAction::triggered, mitNew, &QAction::trigger);
    ToolBar1->addSeparator();
    btnUndo = ToolButton(ToolBar1, "btnUndo", int(TToolIcon::Undo),
                         "Änderung zurück| Letzte Änderungen im Dokoment zurücknehmen");
    btnRedo = ToolButton(ToolBar1, "btnRedo", int(TToolIcon::Redo),
                         "Formatierungen\rwiederherstellen| Letzte Änderungen im Dokoment wieder herstellen");
    connect(btnUndo, &QAction::triggered, mitUndo, &QAction::trigger);
    connect(btnRedo, &QAction::triggered, mitRedo, &QAction::trigger);
    ToolBar1->addSeparator();
    btnCut = ToolButton(ToolBar1, "btnCut", int(TToolIcon::Cut), "Ausschneiden| Markiertes Element ausschneiden");
    btnCopy = ToolButton(ToolBar1, "btnCopy", int(TToolIcon::Copy), "Kopieren| Markiertes Element kopieren");
    btnPaste = ToolButton(ToolBar1, "btnPaste", int(TToolIcon::Paste), "Einfügen| Aus Zwischenablage einfügen");
    connect(btnCut, &QAction::triggered, mitCut, &QAction::trigger);
    connect(btnCopy, &QAction::triggered, mitCopy, &QAction::trigger);
    connect(btnPaste, &QAction::triggered, mitPaste, &QAction::trigger);
    ToolBar1->addSeparator();
    btnPreview = ToolButton(ToolBar1, "btnPreview", int(TToolIcon::Preview),
                            "Seitenansicht| Seitenvorschau des aktuellen Dokuments");
    btnPrint = ToolButton(ToolBar1, "btnPrint", int(TToolIcon::Print), "Dokument drucken| Aktuelles Dokument drucken");
    ToolBar1->addSeparator();
    ToolButton(ToolBar1, "btnIndentDec", int(TToolIcon::IndentDecrease), "Einzug verkleinern|Einzug des Paragraphen verkleinern");
    ToolButton(ToolBar1, "btnIndentInc", int(TToolIcon::IndentIncrease), "Einzug vergrößern|Einzug des Paragraphen vergrößern");
    ToolBar1->addSeparator();
    btnSpelling = ToolButton(ToolBar1, "btnSpelling", int(TToolIcon::Spelling), "Rechtschreibprüfung| Rechtschreibprüfung durchführen");
    btnControlChars = ToolButton(ToolBar1, "btnControlChars", int(TToolIcon::ControlCharsOff),
                                 "Steuerzeichen| Steuerzeichen anzeigen oder ausblenden");
    btnControlChars->setEnabled(true);
    connect(btnControlChars, &QAction::triggered, this, [this] { Guarded([this] { ToggleControlChars(); }); });
    btnPageBreaks = ToolButton(ToolBar1, "btnPageBreaks", int(TToolIcon::PageBreaks), "Seitenumbruch|Seitenumbruch anzeigen");

    addToolBarBreak();
    ToolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    auto label = [this](const char* text) {
        auto* l = new QLabel(FromUtf8(text), ToolBar2);
        l->setContentsMargins(6, 0, 4, 0);
        ToolBar2->addWidget(l);
    };
    label("Schriftart");
    cmbFont = new QComboBox(ToolBar2);
    cmbFont->setObjectName(QStringLiteral("cmbFont"));
    cmbFont->setMaxVisibleItems(20);
    cmbFont->setMinimumContentsLength(20);
    cmbFont->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ToolBar2->addWidget(cmbFont);
    label("Schriftgrösse");
    cmbFontSize = new QComboBox(ToolBar2);
    cmbFontSize->setObjectName(QStringLiteral("cmbFontSize"));
    cmbFontSize->setEditable(true);
    cmbFontSize->setMaxVisibleItems(20);
    cmbFontSize->setMinimumContentsLength(3);
    cmbFontSize->setInsertPolicy(QComboBox::NoInsert);
    ToolBar2->addWidget(cmbFontSize);
    label("Ausrichtung");
    cmbPara = new QComboBox(ToolBar2);
    cmbPara->setObjectName(QStringLiteral("cmbPara"));
    cmbPara->setMinimumContentsLength(12);
    cmbPara->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ToolBar2->addWidget(cmbPara);
    // They format text, which comes with the formatting commands.
    for (QComboBox* box : {cmbFont, cmbFontSize, cmbPara})
        box->setEnabled(false);
}

void TFormED::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    StatusPanel0 = new QLabel(bar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(StatusPanelWidth);
    StatusPanel0->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    StatusPanel1 = new QLabel(FromUtf8(NoHintNotice.data()), bar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setMinimumWidth(StatusPanelWidth);
    StatusPanel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    bar->addWidget(StatusPanel0);
    bar->addWidget(StatusPanel1, 1);
    BusyBar = new QProgressBar(bar);
    BusyBar->setObjectName(QStringLiteral("BusyBar"));
    BusyBar->setRange(0, 0);
    BusyBar->setMaximumWidth(160);
    BusyBar->setMaximumHeight(14);
    BusyBar->setTextVisible(false);
    BusyBar->hide();
    bar->addPermanentWidget(BusyBar);
}

} // namespace xq
