// Tests of the document session without a window: the engine's editor on the test canvas, a window
// double that records what the session asks of it, scripted message boxes and real files. They check
// what the session decides: what the first dialog's answer opens, what a failed read or write leaves
// behind, what the save question does while closing, and what ends with a new entry's hand-over.
#include "session/DocumentSession.h"

#include "document/DocParameters.h"
#include "formats/DocumentFiles.h"
#include "platform/IniFile.h"
#include "platform/TestCanvas.h"
#include "support/RunProgram.h"
#include "support/ScriptedBoxes.h"
#include "support/TempDir.h"
#include "tools/MruList.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace xq {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TScriptedBoxes;
using test::TTempDir;
using test::WriteBytes;

/// The window as the session sees it: records captions, notices and requests; long steps run at
/// once; the AutoText dialog answers from Outcomes (a plain cancel once they are used up).
class TRecordingWindow : public TSessionWindow {
public:
    void SetCaption(std::string_view caption) override { Caption = caption; }
    void SetModifiedNotice(std::string_view text) override { Notice = text; }
    void DocumentFormatted(bool fromTop) override { ++Formatted; }
    void SyncControls() override {}
    void UpdateUndoControls() override {}
    void EnterHostDocumentMode() override { HostMode = true; }
    void CloseWindow() override { Closed = true; }
    void RunLong(std::string_view notice, const std::function<void()>& work) override { work(); }
    void AssignSoftPageBreaks() override { ++PageBreakRequests; }
    TAutoTextOutcome ShowAutoText(int dialogMode) override
    {
        DialogModes.push_back(dialogMode);
        if (Outcomes.empty())
            return TAutoTextOutcome{dialogMode, {}, false, false, {}};
        TAutoTextOutcome next = Outcomes.front();
        Outcomes.pop_front();
        return next;
    }

    std::string Caption;
    std::string Notice;
    int Formatted = 0;
    int PageBreakRequests = 0;
    bool HostMode = false;
    bool Closed = false;
    std::vector<int> DialogModes;
    std::deque<TAutoTextOutcome> Outcomes;
};

/// The number of items of a document file and the text of its last item (0 and empty when it
/// cannot be read).
std::pair<int, std::string> LoadedContent(const fs::path& path)
{
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    TRVDocumentInfo info;
    if (!LoadDocumentFile(path, sheet, doc, info).Ok || doc.Empty())
        return {0, {}};
    return {doc.Count(), doc.TextAt(doc.Count() - 1)};
}

/// A session on a working directory with a copy of the sample store, started as the main window
/// starts it: the run state from a command line, a new document, then showing.
class DocumentSessionTest : public ::testing::Test {
protected:
    DocumentSessionTest()
    {
        fs::copy(fs::path(test::SourceDir()) / "data" / "sample" / "AText", Work / "AText",
                 fs::copy_options::recursive);
        Doc.Editor.OnChange = [this](TCustomDocViewEdit&) { Session->rveChange(); };
        Mru.OnChange = [this](TMruList&) { ++MruChanges; };
    }
    ~DocumentSessionTest() override { Doc.Editor.OnChange = nullptr; }

    /// Creates the session for the arguments after the program name and shows it.
    void Start(const std::vector<std::string>& arguments = {"x.doc", "7"})
    {
        Run = StartRunState(ReadCommandLine(arguments), Exe.Path(), "PC1");
        Run.WorkDir = Work.Path();
        Session = std::make_unique<TDocumentSession>(Run, Doc, Canvas, Window, Boxes, Mru,
                                                     [] { return std::optional<TPrinterPageMetrics>(); }, PageSetup);
        Session->New(true);
        Session->FormShow();
        Session->WmAfterShow();
    }

    [[nodiscard]] fs::path Entry(std::string_view fileName) const { return Work / "AText" / fileName; }
    /// Opens an entry as the AutoText dialog's "Öffnen" does.
    fs::path OpenEntry(std::string_view fileName)
    {
        Window.Outcomes.push_back({AutoTextModeOpenFromDialog, Entry(fileName), false, false, {}});
        Session->open();
        return Entry(fileName);
    }
    /// Types a paragraph of 8-bit text at the end of the document through the editor.
    void Type(std::string_view text)
    {
        Doc.Editor.MoveCaret(TRVCaretMove::DocumentEnd, TRVSelectionUpdate::Collapse);
        if (!IsEmptyDocument(Data()))
            Doc.Editor.InsertEnter(false);
        Doc.Editor.InsertTextAtCaret(text);
    }
    [[nodiscard]] TRVEditRVData& Data() { return Doc.Data(); }

    TTempDir Exe;
    TTempDir Work;
    TRunState Run;
    TEditorDocument Doc;
    TTestCanvas Canvas;
    TRecordingWindow Window;
    TScriptedBoxes Boxes;
    TMruList Mru{TMruList::SessionOptions & ~TMruOptions(mrAutoSave)};
    int MruChanges = 0;
    TPageState PageState;
    TRVPrint Print;
    TPageSetup PageSetup{PageState, Print};
    std::unique_ptr<TDocumentSession> Session;
};

// --- The first dialog ----------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, OpenInTheFirstDialogOpensTheEntryWithoutAskingAgain)
{
    Window.Outcomes.push_back({AutoTextModeOpenFromDialog, Entry("MfG.xtb"), false, false, {}});
    Start({"x.doc", "0"});
    EXPECT_EQ(Window.DialogModes, std::vector<int>{AutoTextModeOpen});
    EXPECT_EQ(Run.DocName, "MfG.xtb");
    EXPECT_EQ(Run.DocPath, Entry("MfG.xtb"));
    EXPECT_EQ(Run.RecentPath, Entry("MfG.xtb").string());
    EXPECT_EQ(Window.Caption, CaptionEditEntry);
    EXPECT_EQ(Data().Count(), LoadedContent(Entry("MfG.xtb")).first);
    EXPECT_FALSE(Run.Modified);
    EXPECT_EQ(Session->AutoTextDialogMode(), AutoTextModeOpen);
    EXPECT_TRUE(Boxes.Asked.empty());
    // The loaded document's page starts are asked for once; a new document has none to ask for.
    EXPECT_EQ(Window.PageBreakRequests, 1);
}

TEST_F(DocumentSessionTest, InsertInTheFirstDialogFillsTheNewDocumentLeavingItUnnamed)
{
    Window.Outcomes.push_back({AutoTextModeInsert, Entry("Anlagen.xtb"), false, false, {}});
    Start({"x.doc", "1"});
    EXPECT_EQ(Window.DialogModes, std::vector<int>{AutoTextModeInsert});
    EXPECT_EQ(Window.Caption, CaptionInsertEntry);
    EXPECT_FALSE(IsEmptyDocument(Data()));
    EXPECT_EQ(Data().TextAt(Data().Count() - 1), LoadedContent(Entry("Anlagen.xtb")).second);
    EXPECT_TRUE(Run.DocName.empty());
    EXPECT_TRUE(Run.Modified);
    EXPECT_EQ(Window.Notice, ModifiedNotice);
}

TEST_F(DocumentSessionTest, CancelInTheFirstDialogLeavesTheEmptyDocument)
{
    Start({"x.doc", "1"});
    EXPECT_EQ(Window.DialogModes, std::vector<int>{AutoTextModeInsert});
    EXPECT_TRUE(IsEmptyDocument(Data()));
    EXPECT_FALSE(Run.Modified);
    EXPECT_EQ(Window.Caption, CaptionInsertEntry);

    // Cancel in the no-entries mode starts a new document, and the mode goes back to opening.
    Window.Outcomes.push_back({AutoTextModeNoEntries, {}, false, true, {}});
    Run.StartMode = StartModeEditEntryToo;
    Session->WmAfterShow();
    EXPECT_EQ(Window.Caption, CaptionNewEntry);
    EXPECT_EQ(Session->AutoTextDialogMode(), AutoTextModeOpen);
    EXPECT_EQ(Window.PageBreakRequests, 0);
}

TEST_F(DocumentSessionTest, AnEntryThatCannotBeInsertedIsToldAndChangesNothing)
{
    Start();
    OpenEntry("MfG.xtb");
    const int items = Data().Count();
    WriteBytes(Work / "kaputt.xtb", "kein Dokument");
    Session->InsertEntry(Work / "kaputt.xtb");
    Session->InsertEntry(Work / "fehlt.xtb");
    ASSERT_EQ(Boxes.Texts(), (std::vector<std::string>{std::string(ReadFailedText), std::string(ReadFailedText)}));
    EXPECT_EQ(Boxes.Asked[0].Caption, ReadFailedCaption);
    EXPECT_EQ(Data().Count(), items);
    EXPECT_FALSE(Run.Modified);
    EXPECT_TRUE(Data().CaretValid());
}

// --- Coming in -------------------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, AHostDocumentKeepsItsGivenNameAndIsRememberedByItsFullPath)
{
    fs::copy_file(Entry("Brief1.xtb"), Work / "Akte.Dpa");
    const fs::path full = fs::weakly_canonical(Work.Path()) / "Akte.Dpa";
    const std::string given = (fs::relative(full.parent_path(), fs::current_path()) / "AText" / ".." / "Akte.Dpa").string();
    Start({given, "7"});
    EXPECT_EQ(Run.DocName, given);
    EXPECT_EQ(Run.DocPath, full);
    EXPECT_EQ(Run.RecentPath, full.string());
    EXPECT_EQ(Run.FileFormat, TFileFormat::RVF);
    EXPECT_EQ(Data().Count(), LoadedContent(full).first);
    EXPECT_FALSE(Window.HostMode);
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(DocumentSessionTest, AHostDocumentThatCannotBeReadIsToldAndStillNamed)
{
    WriteBytes(Work / "kaputt.rvf", "kein Dokument");
    Start({(Work / "kaputt.rvf").string(), "7"});
    ASSERT_EQ(Boxes.Texts(), std::vector<std::string>{std::string(ReadFailedText)});
    EXPECT_EQ(Boxes.Asked[0].Icon, TMsgIcon::None);
    EXPECT_EQ(Run.DocName, (Work / "kaputt.rvf").string());
    EXPECT_FALSE(Run.Modified);
    // Whatever was read, the caret has a paragraph to stand in.
    EXPECT_GE(Data().Count(), 1);
    EXPECT_TRUE(Data().CaretValid());

    // A missing document is told the same way.
    Session->LMruMruClick((Work / "fehlt.xtb").string());
    EXPECT_EQ(Boxes.Texts().size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, ReadFailedText);
}

TEST_F(DocumentSessionTest, UnicodeTextIntoTheEightBitSheetIsWarnedAboutFirst)
{
    Start();
    ASSERT_FALSE(Doc.RStyle.TextStyles[0].Unicode);
    WriteBytes(Work / "Notiz.txt", std::string("\xFF\xFEH\0a\0l\0l\0o\0", 12));
    WriteBytes(Work / "Alt.txt", "Hallo");
    Session->LMruMruClick((Work / "Notiz.txt").string());
    ASSERT_EQ(Boxes.Texts(), std::vector<std::string>{std::string(UnicodeWarningText)});
    EXPECT_EQ(Boxes.Asked[0].Caption, UnicodeWarningCaption);
    EXPECT_EQ(Boxes.Asked[0].Icon, TMsgIcon::Warning);
    EXPECT_EQ(Run.FileFormat, TFileFormat::Text);
    EXPECT_FALSE(IsEmptyDocument(Data()));

    // 8-bit text is taken without a word.
    Session->LMruMruClick((Work / "Alt.txt").string());
    EXPECT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Data().TextAt(0), "Hallo");
}

TEST_F(DocumentSessionTest, ARecentPathIsOpenedWithOneDelimiterBeforeTheName)
{
    Start();
    WriteBytes(Work / "Alt.txt", "Hallo");
    Session->LMruMruClick(Work.Path().string() + "//Alt.txt");
    EXPECT_EQ(Run.DocPath, Work / "Alt.txt");
    EXPECT_EQ(Run.DocName, (Work / "Alt.txt").string());
    EXPECT_EQ(Run.StartDocument, Run.DocName);
    EXPECT_EQ(Window.Caption, CaptionNewEntry) << "a recent file keeps the caption";
}

TEST_F(DocumentSessionTest, OpeningDropsTheEditHistoryAndTheModifiedState)
{
    Start();
    Type("neu");
    ASSERT_TRUE(Doc.Editor.CanUndo());
    ASSERT_TRUE(Run.Modified);
    Boxes.Answers.push_back(TMsgAnswer::No);
    Window.Outcomes.push_back({AutoTextModeOpen, Entry("Hinweis.xtb"), false, false, {}});
    Session->open();
    EXPECT_EQ(Run.DocName, "Hinweis.xtb");
    EXPECT_FALSE(Doc.Editor.CanUndo());
    EXPECT_FALSE(Doc.Editor.Modified());
    EXPECT_FALSE(Run.Modified);
    EXPECT_TRUE(Window.Notice.empty());
}

TEST_F(DocumentSessionTest, AnEntryOpensWithTheCurrentPageWhileAHostDocumentBringsItsOwn)
{
    Start();
    // A document saved on a page narrower than A4.
    OpenEntry("MfG.xtb");
    Doc.Info.DocParameters.PageWidth = 150.0; // millimetres, as the main window keeps them
    Session->WriteDocument(Work / "Schmal.rvf");
    ASSERT_TRUE(Boxes.Asked.empty());
    Session->ClearUntitled();
    EXPECT_EQ(Doc.Info.DocParameters.PageWidth, MainWindowDocParameters().PageWidth);

    Window.Outcomes.push_back({AutoTextModeOpen, Work / "Schmal.rvf", false, false, {}});
    Session->open();
    EXPECT_EQ(Run.DocName, "Schmal.rvf");
    EXPECT_EQ(Doc.Info.DocParameters.PageWidth, MainWindowDocParameters().PageWidth);

    Session->LMruMruClick((Work / "Schmal.rvf").string());
    EXPECT_EQ(Doc.Info.DocParameters.PageWidth, 150.0);
    // The text width follows the page the document brought.
    const TSize page = Session->GetScreenPageSize();
    EXPECT_EQ(Data().MaxTextWidth, page.Width - Data().LeftMargin - Data().RightMargin);
    EXPECT_LT(Data().MaxTextWidth, 632) << "narrower than A4";

    // The new document at start keeps the page; a later one takes the main window's.
    Session->New(true);
    EXPECT_EQ(Doc.Info.DocParameters.PageWidth, 150.0);
    Session->New(false);
    EXPECT_EQ(Doc.Info.DocParameters.PageWidth, MainWindowDocParameters().PageWidth);
}

TEST_F(DocumentSessionTest, OnlyAnOrdinaryDocumentRefreshesTheRecentListWhenItIsLeft)
{
    Start();
    WriteBytes(Work / "Alt.txt", "Hallo");
    MruChanges = 0;
    Session->New(false); // nothing was named
    EXPECT_EQ(MruChanges, 0);
    OpenEntry("MfG.xtb");
    Session->New(false);
    EXPECT_EQ(MruChanges, 0) << "an AutoText entry is no recent file";
    Session->LMruMruClick((Work / "Alt.txt").string());
    Session->New(false);
    EXPECT_EQ(MruChanges, 1);
}

// --- Writing ---------------------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, AFailedWriteIsToldWithItsReasonAndKeepsTheChanges)
{
    Start();
    Type("Text");
    ASSERT_TRUE(Doc.Editor.Modified());

    const fs::path locked = Work / "Gesperrt.xtb";
    WriteBytes(locked, "alt");
    fs::permissions(locked, fs::perms::owner_read);
    Session->WriteDocument(locked);
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, WriteProtectedText);
    EXPECT_EQ(Boxes.Asked[0].Caption, WriteFailedCaption);
    EXPECT_EQ(Boxes.Asked[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(ReadBytes(locked), "alt");
    EXPECT_TRUE(Doc.Editor.Modified());

    // A folder that does not exist: the format is blamed, as the program always did.
    Session->WriteDocument(Work / "fehlt" / "Notiz.txt");
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, WriteFailedText);
    EXPECT_EQ(Boxes.Asked[1].Icon, TMsgIcon::None);
    EXPECT_EQ(Run.FileFormat, TFileFormat::Text) << "the format follows the target even when it fails";

    Session->WriteDocument(Work / "Notiz.txt");
    EXPECT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(ReadBytes(Work / "Notiz.txt"), "Text");
    EXPECT_FALSE(Doc.Editor.Modified());
}

TEST_F(DocumentSessionTest, ASaveThatFailsInsideTheQuestionDropsNothing)
{
    Start();
    const fs::path entry = OpenEntry("MfG.xtb");
    Type("Nachtrag");
    fs::permissions(entry, fs::perms::owner_read);
    const std::string before = ReadBytes(entry);
    WriteBytes(Work / "Alt.txt", "Hallo");

    Boxes.Answers = {TMsgAnswer::Yes, TMsgAnswer::Yes, TMsgAnswer::Yes};
    EXPECT_FALSE(Session->NewQuery());
    Session->open();
    Session->LMruMruClick((Work / "Alt.txt").string());

    EXPECT_EQ(Boxes.Texts(), (std::vector<std::string>{std::string(SaveQuestion), std::string(WriteProtectedText),
                                                       std::string(SaveQuestion), std::string(WriteProtectedText),
                                                       std::string(SaveQuestion), std::string(WriteProtectedText)}));
    EXPECT_EQ(Run.DocName, "MfG.xtb");
    EXPECT_EQ(Data().TextAt(Data().Count() - 1), "Nachtrag");
    EXPECT_TRUE(Run.Modified);
    EXPECT_EQ(Window.Notice, ModifiedNotice);
    EXPECT_EQ(Window.Caption, CaptionEditEntry);
    EXPECT_EQ(Window.DialogModes, std::vector<int>{AutoTextModeOpen}) << "only the dialog that opened the entry";
    EXPECT_EQ(ReadBytes(entry), before);
}

TEST_F(DocumentSessionTest, TheQuestionBeforeARecentFileSavesOrDropsTheChanges)
{
    Start();
    WriteBytes(Work / "Alt.txt", "Hallo");
    const fs::path entry = OpenEntry("MfG.xtb");
    Type("Gespeichert");
    Boxes.Answers.push_back(TMsgAnswer::Yes);
    Session->LMruMruClick((Work / "Alt.txt").string());
    EXPECT_EQ(LoadedContent(entry).second, "Gespeichert");
    EXPECT_EQ(Run.DocName, (Work / "Alt.txt").string());

    OpenEntry("MfG.xtb");
    Type("Verworfen");
    Boxes.Answers.push_back(TMsgAnswer::No);
    Session->LMruMruClick((Work / "Alt.txt").string());
    EXPECT_EQ(LoadedContent(entry).second, "Gespeichert");
    EXPECT_EQ(Data().TextAt(0), "Hallo");
    EXPECT_FALSE(Run.Modified);
    EXPECT_EQ(Boxes.Texts(), (std::vector<std::string>{std::string(SaveQuestion), std::string(SaveQuestion)}));
}

// --- Page settings -----------------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, AnRvfDocumentCarriesItsPageSettingsAndOpensWithThemUnmodified)
{
    Start();
    Type("Brief");
    const int wideWidth = Data().MaxTextWidth;
    // The page setup's OK: a wider left margin, a header, another first page number.
    PageSetup.RefreshFields();
    PageSetup.Fields.LeftText = "25";
    PageSetup.Fields.HeaderText = "Seite &p";
    PageSetup.Fields.FirstPageNumber = 3;
    Run.Modified = false;
    PageSetup.Apply(false);
    EXPECT_TRUE(Run.Modified);
    const int width = Data().MaxTextWidth;
    EXPECT_LT(width, wideWidth);
    EXPECT_EQ(PageState.TextWidth, width);

    const fs::path path = Work / "Brief.dpa";
    Session->WriteDocument(path);
    ASSERT_TRUE(Boxes.Asked.empty());
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    TRVDocumentInfo info;
    ASSERT_TRUE(LoadDocumentFile(path, sheet, doc, info).Ok);
    ASSERT_EQ(info.DocProperties.size(), 27u);
    EXPECT_EQ(info.DocProperties[1], "Seite &p");
    EXPECT_EQ(info.DocProperties[3], "3");
    EXPECT_EQ(info.DocProperties[8], "25");
    EXPECT_EQ(info.DocProperties[24], std::to_string(width));

    // New drops them: the defaults, and the wider line of their margins.
    Boxes.Answers.push_back(TMsgAnswer::No);
    Session->New(false);
    EXPECT_TRUE(PageState.Header.Text.empty());
    EXPECT_EQ(PageState.FirstPageNumber, 1);
    EXPECT_EQ(Print.LeftMarginMM, 10);
    EXPECT_EQ(Print.RightMarginMM, 10);
    EXPECT_EQ(Print.TopMarginMM, 10);
    EXPECT_EQ(Print.BottomMarginMM, 20);
    EXPECT_GT(Data().MaxTextWidth, wideWidth);

    // Opening the document brings them back; the document is not changed by that.
    Session->LMruMruClick(path.string());
    EXPECT_EQ(PageState.Header.Text, "Seite &p");
    EXPECT_EQ(PageState.FirstPageNumber, 3);
    EXPECT_EQ(Print.LeftMarginMM, 25);
    EXPECT_EQ(Data().MaxTextWidth, width);
    EXPECT_EQ(PageState.TextWidth, width);
    EXPECT_FALSE(Run.Modified);
    EXPECT_TRUE(Window.Notice.empty());
    EXPECT_EQ(Boxes.Asked.size(), 1u);
}

TEST_F(DocumentSessionTest, RtfGetsTheMarginsAndOtherFormatsOnlyResetTheFirstPageNumber)
{
    Start();
    Type("Brief");
    Print.LeftMarginMM = 30;
    PageState.Header.Text = "Kopf";
    PageState.FirstPageNumber = 5;
    const fs::path rtf = Work / "Brief.rtf";
    Session->WriteDocument(rtf);
    ASSERT_TRUE(Boxes.Asked.empty());
    EXPECT_NE(ReadBytes(rtf).find("\\margl1701\\margt1134\\margr1134\\margb1134"), std::string::npos);

    Run.Modified = false;
    Run.StartDocument = rtf.string();
    Session->OpenvonKom();
    EXPECT_EQ(PageState.FirstPageNumber, 1);
    EXPECT_EQ(PageState.Header.Text, "Kopf");
    EXPECT_EQ(Print.LeftMarginMM, 30);

    PageState.FirstPageNumber = 4;
    WriteBytes(Work / "Notiz.txt", "Hallo");
    Run.StartDocument = (Work / "Notiz.txt").string();
    Session->OpenvonKom();
    EXPECT_EQ(PageState.FirstPageNumber, 1);
    EXPECT_EQ(Print.LeftMarginMM, 30);
}

TEST_F(DocumentSessionTest, AnEntryOpensWithTheCurrentPageSettings)
{
    Start();
    Type("Eintrag");
    Print.LeftMarginMM = 25;
    Session->WriteDocument(Entry("Neu.xtb"));
    Print.LeftMarginMM = 33;
    PageState.Footer.Text = "- &p -";
    Run.Modified = false;
    OpenEntry("Neu.xtb");
    EXPECT_EQ(Run.DocName, "Neu.xtb");
    EXPECT_EQ(Print.LeftMarginMM, 33);
    EXPECT_EQ(PageState.Footer.Text, "- &p -");
}

// --- Closing -----------------------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, WhileClosingTheQuestionLetsGoWithoutTouchingTheDocument)
{
    Start();
    EXPECT_TRUE(Session->FormCloseQuery()) << "nothing changed: nothing to ask";
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_TRUE(Run.Closing);

    OpenEntry("MfG.xtb");
    Type("offen");
    const int items = Data().Count();
    Boxes.Answers.push_back(TMsgAnswer::No);
    EXPECT_TRUE(Session->NewQuery());
    // Neither emptied nor given a new caption: the window is going.
    EXPECT_EQ(Data().Count(), items);
    EXPECT_EQ(Window.Caption, CaptionEditEntry);
    EXPECT_FALSE(Run.Modified);

    Type("wieder");
    Boxes.Answers.push_back(TMsgAnswer::Yes);
    EXPECT_TRUE(Session->FormCloseQuery());
    EXPECT_EQ(LoadedContent(Entry("MfG.xtb")).second, "wieder");
    EXPECT_EQ(Window.DialogModes.size(), 1u) << "closing opens no dialog";
}

TEST_F(DocumentSessionTest, AnEntryNamedOnClosingIsWrittenHandedOverAndCloses)
{
    Start({"x.doc", "2"});
    Type("Neuer Text");
    Boxes.Answers.push_back(TMsgAnswer::Yes);
    Window.Outcomes.push_back({AutoTextModeNewEntry, Entry("Neu.xtb"), false, false, "Neu"});
    EXPECT_TRUE(Session->FormCloseQuery());
    EXPECT_EQ(Window.DialogModes, std::vector<int>{AutoTextModeNewEntry});
    EXPECT_EQ(LoadedContent(Entry("Neu.xtb")).second, "Neuer Text");
    EXPECT_EQ(TIniFile(Exe / "XQSpell.dic").ReadString("NEW", "F"), "Neu");
    EXPECT_TRUE(Window.Closed);
    EXPECT_TRUE(Session->Finished());
}

// --- A new entry -------------------------------------------------------------------------------------------

TEST_F(DocumentSessionTest, ARefusedOrCancelledNamingWritesNothing)
{
    Start({"x.doc", "2"});
    Type("Entwurf");
    Window.Outcomes.push_back({AutoTextModeNewEntry, Entry("Doppelt.xtb"), true, false, {}});
    Window.Outcomes.push_back({AutoTextModeNewEntry, {}, false, false, {}});
    Session->Save();
    Session->Save();
    EXPECT_EQ(Window.DialogModes, (std::vector<int>{AutoTextModeNewEntry, AutoTextModeNewEntry}));
    EXPECT_EQ(Session->AutoTextDialogMode(), AutoTextModeNewEntry);
    EXPECT_FALSE(fs::exists(Entry("Doppelt.xtb")));
    EXPECT_FALSE(fs::exists(Exe / "XQSpell.dic"));
    EXPECT_TRUE(Run.DocName.empty());
    EXPECT_TRUE(Run.Modified);
    EXPECT_FALSE(Window.Closed);
    EXPECT_FALSE(Session->Finished());
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(DocumentSessionTest, AfterTheHandOverTheSessionDoesNothingMore)
{
    Start({"x.doc", "2"});
    Type("Neuer Text");
    // The hand-over file cannot be written: told, and the session ends all the same.
    fs::create_directory(Exe / "XQSpell.dic");
    Window.Outcomes.push_back({AutoTextModeNewEntry, Entry("Neu.xtb"), false, false, "Neu"});
    Session->Save();
    ASSERT_EQ(Boxes.Texts(), std::vector<std::string>{std::string(HandOverFailedText)});
    EXPECT_EQ(Boxes.Asked[0].Icon, TMsgIcon::Warning);
    EXPECT_EQ(LoadedContent(Entry("Neu.xtb")).second, "Neuer Text");
    ASSERT_TRUE(Session->Finished());
    EXPECT_TRUE(Window.Closed);
    EXPECT_FALSE(Run.Modified);

    // Whatever still reaches the session (queued events of the closing window) is ignored.
    WriteBytes(Work / "Alt.txt", "Hallo");
    const int items = Data().Count();
    Window.Outcomes.push_back({AutoTextModeOpen, Entry("MfG.xtb"), false, false, {}});
    Session->New(false);
    Session->open();
    Session->Save();
    Session->LMruMruClick((Work / "Alt.txt").string());
    Session->OpenvonKom();
    EXPECT_EQ(Window.DialogModes.size(), 1u);
    EXPECT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Data().Count(), items);
    EXPECT_EQ(Data().TextAt(0), "Neuer Text");
    EXPECT_TRUE(Run.DocName.empty());
    Run.Modified = true;
    EXPECT_TRUE(Session->FormCloseQuery()) << "closing after the hand-over asks nothing";
    EXPECT_EQ(Boxes.Asked.size(), 1u);
}

} // namespace
} // namespace xq
