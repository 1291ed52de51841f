// The picture open dialog: the user chooses a picture file. The program shows a Qt file dialog;
// tests answer from a script.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <QStringList>

class QWidget;

namespace xq {

// Texts of the commands that insert pictures.
/// The title the insert-picture and background-picture commands give the dialog.
inline constexpr std::string_view PictureDialogTitle = "Bild einfügen";
/// An inserted picture that cannot be read: the text goes around the file name.
inline constexpr std::string_view PictureUnreadableBefore = "Kann Bild ";
inline constexpr std::string_view PictureUnreadableAfter = " nicht lesen.";
inline constexpr std::string_view PictureUnreadableCaption = "Error";
/// A background picture that cannot be read (the box has no caption).
inline constexpr std::string_view BackgroundUnreadableText = "Nicht unterstütztes Dateiformat!";

class TPictureDialog {
public:
    virtual ~TPictureDialog() = default;
    /// Shows the dialog titled title (UTF-8); the chosen file, which exists, or nothing when the
    /// user cancelled.
    virtual std::optional<std::filesystem::path> Execute(const std::string& title) = 0;
};

/// The dialog as a modal Qt file dialog (Qt's own, not the desktop's) over parent. Only existing files can be chosen; the filter
/// offers the picture kinds the program reads, and every file. It opens where the last choice was
/// made, at first in the current (working) directory.
class TQtPictureDialog : public TPictureDialog {
public:
    explicit TQtPictureDialog(QWidget* parent) noexcept : Parent_(parent) {}
    std::optional<std::filesystem::path> Execute(const std::string& title) override;

    /// The filter lines of the dialog.
    [[nodiscard]] static QStringList NameFilters();

private:
    QWidget* Parent_;
    std::filesystem::path Dir_;
};

} // namespace xq
