// Shared pieces of the application's tests.
#include "TestSupport.h"

#include "platform/qt/QtPrinter.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "TestRegistry.h"
#include "document/DocumentInfo.h"
#include "document/RVData.h"
#include "document/RVStyle.h"
#include "formats/DocumentFiles.h"
#include "formats/rvf/RvfWriter.h"
#include "tools/AutoTextStore.h"

namespace xq::test {

namespace fs = std::filesystem;

std::optional<fs::path> TScriptedPictureDialog::Execute(const std::string& title)
{
    Titles.push_back(title);
    if (Answers.empty())
        return std::nullopt;
    std::optional<fs::path> answer = Answers.front();
    Answers.pop_front();
    return answer;
}

fs::path SourceDir()
{
    return fs::path(XQ_SOURCE_DIR);
}

void CopySampleStore(const fs::path& workDir)
{
    fs::copy(SourceDir() / "data" / "sample" / "AText", workDir / "AText", fs::copy_options::recursive);
}

void AddSpellerProgram(const fs::path& dir)
{
    const fs::path program = dir / "ispell";
    WriteBytes(program, "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
}

TFormED::TServices TestServices(TScriptedBoxes& boxes, std::function<TAutoTextOutcome(int)> autoText)
{
    TFormED::TServices services;
    services.Boxes = &boxes;
    services.PrinterPage = [] { return std::optional<TPrinterPageMetrics>(); };
    services.Printer = [] { return std::unique_ptr<TQtPrinter>(); };
    services.AutoTextDialog = std::move(autoText);
    return services;
}

void ShowAndSettle(TFormED& window)
{
    window.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

bool WithModalWidget(const std::function<void()>& trigger, const std::function<bool(QWidget*)>& match,
                     const std::function<void(QWidget*)>& fill)
{
    bool ran = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (ran || !modal || !modal->isVisible() || !match(modal))
            return;
        ran = true;
        fill(modal);
        if (modal->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
    });
    poll.start();
    trigger();
    return ran;
}

std::filesystem::path SaveImageFile(const TTempDir& dir, const std::string& name, const char* format, QSize size,
                                    QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const std::filesystem::path path = dir / name;
    if (!image.save(QString::fromStdString(path.string()), format))
        qFatal("cannot write %s", path.c_str());
    return path;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void WhenModalWidget(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& action)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, match, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !match(modal))
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

TTestWindow::TTestWindow(std::vector<std::string> arguments, const std::function<void(TTestWindow&)>& prepare,
                         bool realDialog)
{
    CopySampleStore(Work.Path());
    AddSpellerProgram(Work.Path());
    if (prepare)
        prepare(*this);
    arguments.resize(2);
    arguments.push_back(Work.Path().string());
    std::function<TAutoTextOutcome(int)> autoText;
    if (!realDialog)
        autoText = [this](int mode) {
            DialogModes.push_back(mode);
            if (Outcomes.empty())
                return TAutoTextOutcome{mode, {}, false, false, {}};
            TAutoTextOutcome next = Outcomes.front();
            Outcomes.pop_front();
            return next;
        };
    TFormED::TServices services = TestServices(Boxes, std::move(autoText));
    services.PictureDialog = &Pictures;
    services.FormatDialogs = &FormatDialogs;
    services.PrintDialogs = &PrintDialogs;
    services.InputBoxes = &Inputs;
    if (Printer) {
        services.Printer = Printer;
        services.PrinterPage = {};
    }
    Window = std::make_unique<TFormED>(arguments, Exe.Path(), std::move(services));
    ShowAndSettle(*Window);
}

std::optional<std::string> TScriptedInputBoxes::InputQuery(const std::string& caption, const std::string& prompt,
                                                           const std::string& value)
{
    Asked.push_back(caption + " | " + prompt + " | " + value);
    if (Answers.empty())
        return std::nullopt;
    std::optional<std::string> answer = Answers.front();
    Answers.pop_front();
    return answer;
}

bool TScriptedPrintDialogs::ExecutePrint(TQtPrinter& printer, TPrintChoice& choice)
{
    Offered.push_back(choice);
    if (Answers.empty())
        return false;
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    if (!answer.PrinterName.empty())
        printer.SelectSystemPrinter(answer.PrinterName);
    choice.Range = answer.Range;
    choice.FromPage = answer.FromPage;
    choice.ToPage = answer.ToPage;
    choice.Copies = answer.Copies;
    choice.Collate = answer.Collate;
    return true;
}

std::optional<std::filesystem::path> TScriptedPrintDialogs::ChoosePdfFile()
{
    ++PdfFileRequests;
    if (PdfFiles.empty())
        return std::nullopt;
    std::filesystem::path file = PdfFiles.front();
    PdfFiles.pop_front();
    return file;
}

bool TScriptedFormatDialogs::ChooseFont(TFontDescription& font)
{
    FontPresets.push_back(font);
    if (Fonts.empty())
        return false;
    font = Fonts.front();
    Fonts.pop_front();
    return true;
}

bool TScriptedFormatDialogs::ChooseColor(TColor& color)
{
    ColorPresets.push_back(color);
    if (Colors.empty())
        return false;
    color = Colors.front();
    Colors.pop_front();
    return true;
}

fs::path TTestWindow::OpenEntry(const std::string& fileName)
{
    const fs::path path = Work.Path() / "AText" / fileName;
    Outcomes.push_back({AutoTextModeOpenFromDialog, path, false, false, {}});
    Session().open();
    return path;
}

void TTestWindow::Type(std::string_view text)
{
    TDocViewEdit& edit = Editor();
    edit.Format();
    edit.MoveCaret(TRVCaretMove::DocumentEnd, TRVSelectionUpdate::Collapse);
    // After a full-line item (a line, a table) typing starts a paragraph by itself.
    if (!IsEmptyDocument(Data()) && !Data().ItemAt(Data().Count() - 1).IsFullLine())
        edit.InsertEnter(false);
    for (const char16_t ch : QString::fromUtf8(text.data(), qsizetype(text.size())).toStdU16String())
        edit.KeyPress(ch);
}

QStringList Paragraphs(const TCustomRVData& data)
{
    QStringList paragraphs;
    for (int i = 0; i < data.Count(); ++i) {
        const QString text = QString::fromLatin1(data.TextAt(i));
        if (data.StartsParagraph(i))
            paragraphs << text;
        else
            paragraphs.last() += (data.ItemAt(i).NewLine() ? QStringLiteral("/") : QString()) + text;
    }
    return paragraphs;
}

std::string TTestWindow::Rvf()
{
    std::string rvf;
    TRVFWriter(Window->Document().RStyle, Editor().RVFOptions).WriteDocument(Data(), nullptr, rvf);
    return rvf;
}

void TTestWindow::AppendRaw(std::string_view text)
{
    Data().AppendText(text, 0, 0);
    Session().rveChange();
}

std::pair<int, std::string> LoadedContent(const fs::path& path)
{
    TRVStyle sheet;
    TCustomRVData doc(&sheet);
    TRVDocumentInfo info;
    if (!LoadDocumentFile(path, sheet, doc, info).Ok || doc.Empty())
        return {0, {}};
    return {doc.Count(), doc.TextAt(doc.Count() - 1)};
}

TTestRegistration::TTestRegistration(const char* name, std::function<std::unique_ptr<QObject>()> create)
{
    TestRegistry().push_back({name, std::move(create)});
}

} // namespace xq::test
