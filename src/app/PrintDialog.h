// The dialogs of the print commands: the print dialog (printer, range, copies) and the choice of
// a PDF file to export to. The program shows Qt's dialogs; tests answer from a script.
#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace xq {

class TQtPrinter;

enum class TPrintRange { All, Pages, Selection };

/// What the print dialog offers and what the user chose.
struct TPrintChoice {
    /// The pages the dialog lets the user choose from.
    int MinPage = 1;
    int MaxPage = 1;
    /// The chosen range; FromPage and ToPage count with TPrintRange::Pages.
    TPrintRange Range = TPrintRange::All;
    int FromPage = 1;
    int ToPage = 1;
    int Copies = 1;
    bool Collate = true;
};

class TPrintDialogs {
public:
    virtual ~TPrintDialogs() = default;
    /// Shows the print dialog for printer, preset with choice; the dialog may put another printer
    /// (or a PDF file) on it. After OK choice holds what the user chose and the answer is true.
    virtual bool ExecutePrint(TQtPrinter& printer, TPrintChoice& choice) = 0;
    /// Asks for the name of a PDF file to write; nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> ChoosePdfFile() = 0;
};

/// Qt's print dialog and file dialog, modal over parent, in the application's language.
class TQtPrintDialogs : public TPrintDialogs {
public:
    explicit TQtPrintDialogs(QWidget* parent) noexcept : Parent_(parent) {}
    bool ExecutePrint(TQtPrinter& printer, TPrintChoice& choice) override;
    std::optional<std::filesystem::path> ChoosePdfFile() override;

private:
    QWidget* Parent_;
    std::filesystem::path Dir_;
};

} // namespace xq
