// xqeditor [document [startmode [workdir]]]: the editor of formatted text blocks and AutoText entries.
//
// One instance runs per user: a second start asks the first to come forward and ends, whatever its
// arguments. For demonstrations without a display, XQEDITOR_SCREENSHOT=FILE.png saves a picture of
// the window (with the dialog it shows at start) shortly after it appeared and ends the program;
// XQEDITOR_SCREENSHOT_DELAY_MS sets how long after (1500 by default, 0: as soon as it is shown).
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "app/FormED.h"
#include "app/GermanUi.h"
#include "app/SingleInstance.h"
#include "session/StartUp.h"

namespace {

/// Saves the main window with the modal dialog over it, as the user sees them, into path.
void SaveScreenshot(xq::TFormED& window, const QString& path)
{
    QPixmap picture = window.grab();
    if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog != &window) {
        QPainter painter(&picture);
        const QPoint at = dialog->frameGeometry().topLeft() - window.frameGeometry().topLeft();
        // A frame, as a window manager would draw one around the dialog.
        painter.setPen(QColor(0x70, 0x70, 0x70));
        painter.drawRect(QRect(at - QPoint(1, 1), dialog->size() + QSize(1, 1)));
        painter.drawPixmap(at, dialog->grab());
    }
    const bool saved = picture.save(path, "PNG");
    std::fprintf(saved ? stdout : stderr, saved ? "xqeditor: screenshot saved to %s\n" : "xqeditor: cannot write %s\n",
                 path.toLocal8Bit().constData());
    std::fflush(saved ? stdout : stderr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    xq::TSingleInstance instance;
    if (instance.HandOverToRunningInstance())
        return EXIT_SUCCESS;

    // Without Qt's translation its dialogs and key names stay English; the program runs all the same.
    if (!xq::InstallGermanUi(app))
        std::fprintf(stderr, "xqeditor: Qt's German translation (%s) is missing in %s\n", xq::QtGermanTranslation,
                     xq::QtTranslationsDir().toLocal8Bit().constData());
    QApplication::setApplicationName(QString::fromUtf8(xq::ApplicationTitle.data(), qsizetype(xq::ApplicationTitle.size())));
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    const std::filesystem::path exeDir = QCoreApplication::applicationDirPath().toStdString();

    xq::TFormED window(arguments, exeDir, {});
    instance.OnRaise = [&window] { window.RestoreAndRaise(); };

    // Set before the window is shown: showing it opens a document handed over, and a message
    // about that document runs an event loop of its own, in which the picture is taken too.
    const QString screenshot = qEnvironmentVariable("XQEDITOR_SCREENSHOT");
    bool delayGiven = false;
    const int delay = qEnvironmentVariableIntValue("XQEDITOR_SCREENSHOT_DELAY_MS", &delayGiven);
    // The picture waits for a long step (reading or laying out the document) to end.
    std::function<void()> takePicture = [&window, &takePicture, screenshot] {
        if (window.Busy()) {
            QTimer::singleShot(10, &window, takePicture);
            return;
        }
        SaveScreenshot(window, screenshot);
        // At once, whatever dialog or message is open: leaving event loops one by one could
        // open the next dialog of the start. Nothing is saved in this mode; the next start
        // removes the single-instance socket left behind.
        std::fflush(nullptr);
        std::_Exit(EXIT_SUCCESS);
    };
    if (!screenshot.isEmpty())
        QTimer::singleShot(delayGiven && delay >= 0 ? delay : 1500, &window, takePicture);
    window.show();
    return app.exec();
}
