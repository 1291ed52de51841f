// What the application's tests share: a scripted answerer for message boxes, working directories with
// the sample store, a main window with test services, waiting for the event loop and for dialogs.
#pragma once

#include <deque>
#include <utility>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QObject>
#include <QSize>
#include <QStringList>

#include "app/FormED.h"
#include "app/FormatDialogs.h"
#include "platform/MessageBoxes.h"
#include "support/ScriptedBoxes.h"
#include "support/TempDir.h"

class QWidget;

namespace xq::test {

/// Answers the picture open dialog from a script (nothing chosen once the script is used up) and
/// records the titles it was shown with.
class TScriptedPictureDialog : public TPictureDialog {
public:
    std::optional<std::filesystem::path> Execute(const std::string& title) override;

    std::deque<std::optional<std::filesystem::path>> Answers;
    std::vector<std::string> Titles;
};

/// Answers input boxes from a script (cancelled once the script is used up) and records what they
/// asked: caption, prompt and preset answer, one line each.
class TScriptedInputBoxes : public TInputBoxes {
public:
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& value) override;

    std::deque<std::optional<std::string>> Answers;
    std::vector<std::string> Asked;
};

/// Answers the font and colour dialogs from a script and records the presets. A dialog beyond the
/// script is cancelled.
class TScriptedFormatDialogs : public TFormatDialogs {
public:
    bool ChooseFont(TFontDescription& font) override;
    bool ChooseColor(TColor& color) override;

    std::deque<TFontDescription> Fonts;
    std::deque<TColor> Colors;
    std::vector<TFontDescription> FontPresets;
    std::vector<TColor> ColorPresets;
};

/// Answers the print dialog and the PDF file dialog from scripts and records what the print dialog
/// was offered. With a printer name in a choice's answer the dialog puts that system printer on
/// the printer, as the user choosing a queue does. A dialog beyond its script is cancelled.
class TScriptedPrintDialogs : public TPrintDialogs {
public:
    struct TAnswer {
        TPrintRange Range = TPrintRange::All;
        int FromPage = 1;
        int ToPage = 1;
        int Copies = 1;
        bool Collate = true;
        std::string PrinterName;
    };
    bool ExecutePrint(TQtPrinter& printer, TPrintChoice& choice) override;
    std::optional<std::filesystem::path> ChoosePdfFile() override;

    std::deque<TAnswer> Answers;
    std::vector<TPrintChoice> Offered;
    std::deque<std::filesystem::path> PdfFiles;
    int PdfFileRequests = 0;
};

/// The program's source tree.
[[nodiscard]] std::filesystem::path SourceDir();
/// A working directory with a copy of the bundled AutoText store (folder "AText").
void CopySampleStore(const std::filesystem::path& workDir);
/// Puts an executable speller program into dir, which makes dir the working directory when it is
/// the third argument.
void AddSpellerProgram(const std::filesystem::path& dir);

/// The services a test window runs with: the scripted boxes, no printer installed, and either the real
/// AutoText dialog or autoText.
[[nodiscard]] TFormED::TServices TestServices(TScriptedBoxes& boxes,
                                              std::function<TAutoTextOutcome(int)> autoText = {});

/// Shows the window and lets the event loop run the step queued after showing.
void ShowAndSettle(TFormED& window);

/// A shown main window working in a directory of its own (the third argument, with the sample store
/// and the speller in it), its message boxes answered from a script, and its AutoText dialog either
/// answered from Outcomes or, with realDialog, the real one.
struct TTestWindow {
    /// prepare runs on the fresh directories before the window is created.
    explicit TTestWindow(std::vector<std::string> arguments = {"x.doc", "7"},
                         const std::function<void(TTestWindow&)>& prepare = {}, bool realDialog = false);

    TTempDir Exe;
    TTempDir Work;
    TScriptedBoxes Boxes;
    TScriptedPictureDialog Pictures;
    TScriptedFormatDialogs FormatDialogs;
    TScriptedPrintDialogs PrintDialogs;
    TScriptedInputBoxes Inputs;
    /// Set by prepare: the window's printer (its page is then the editor's page too); unset, the
    /// window has none.
    std::function<std::unique_ptr<TQtPrinter>()> Printer;
    std::vector<int> DialogModes;
    std::deque<TAutoTextOutcome> Outcomes;
    std::unique_ptr<TFormED> Window;

    [[nodiscard]] TDocumentSession& Session() { return Window->Session(); }
    [[nodiscard]] TRVEditRVData& Data() { return Window->Document().Data(); }
    [[nodiscard]] TDocViewEdit& Editor() { return Window->Document().Editor; }
    [[nodiscard]] TRunState& Run() { return Window->RunState(); }
    /// Opens an entry of the store as the dialog's "Öffnen" does; returns its path.
    std::filesystem::path OpenEntry(const std::string& fileName);
    /// Types a paragraph of text (UTF-8) at the end of the document through the editor: a new paragraph
    /// unless the document is empty, then the characters. What the test changed in the items directly
    /// is laid out first.
    void Type(std::string_view text);
    /// Appends a paragraph of 8-bit text to the items, bypassing the editor, and reports the change.
    void AppendRaw(std::string_view text);
    /// The document as RVF with the editor's options (what saving writes, without the file).
    [[nodiscard]] std::string Rvf();
};

/// The document as paragraphs of item texts (8-bit text as stored); "/" stands for a line break
/// inside a paragraph.
[[nodiscard]] QStringList Paragraphs(const TCustomRVData& data);

/// The number of items of a document file and the text of its last item (0 and empty when it
/// cannot be read).
[[nodiscard]] std::pair<int, std::string> LoadedContent(const std::filesystem::path& path);

/// Runs the event loop until done() or timeoutMs passed; returns done().
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

/// Calls action once with the next modal dialog of type T that opens (for dialogs run with exec()).
template <class T>
void WhenModal(std::function<void(T*)> action);

/// Polls for the next modal widget accepted by match and hands it to action.
void WhenModalWidget(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& action);

template <class T>
void WhenModal(std::function<void(T*)> action)
{
    WhenModalWidget([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                    [action](QWidget* w) { action(qobject_cast<T*>(w)); });
}

/// Runs trigger, which shows a dialog modally, and runs fill on the first visible modal widget
/// accepted by match while it is open; fill accepts or rejects it (left open, it is rejected).
/// Returns whether such a dialog showed.
bool WithModalWidget(const std::function<void()>& trigger, const std::function<bool(QWidget*)>& match,
                     const std::function<void(QWidget*)>& fill);

/// The same for a dialog of type T.
template <class T>
bool WithModal(const std::function<void()>& trigger, const std::function<void(T&)>& fill)
{
    return WithModalWidget(
        trigger, [](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
        [&fill](QWidget* w) { fill(*qobject_cast<T*>(w)); });
}

/// A picture file of one colour written by Qt's codec for format ("PNG", "JPG", "BMP").
std::filesystem::path SaveImageFile(const TTempDir& dir, const std::string& name, const char* format, QSize size,
                                    QColor color);

/// Registers a test class with the test program; the program runs the classes named on its command
/// line, or all.
struct TTestRegistration {
    TTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> create);
};
#define XQ_APP_TEST(Class) \
    static const ::xq::test::TTestRegistration Class##Registration(#Class, [] { return std::make_unique<Class>(); })

} // namespace xq::test
