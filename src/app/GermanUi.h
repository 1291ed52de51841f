// The program speaks German, Qt's own texts included: the buttons and labels of Qt's dialogs, the
// context menus of its text fields, and the key names that menus show beside their commands
// ("Strg+N"). Qt brings those texts in English and keeps its German translation apart.
#pragma once

#include <QString>

class QCoreApplication;

namespace xq {

/// Qt's German translation of its own texts, a file in Qt's translations directory
/// (Debian package qt6-translations-l10n).
inline constexpr const char* QtGermanTranslation = "qtbase_de";

/// Where Qt's German translation is looked for.
[[nodiscard]] QString QtTranslationsDir();

/// Makes German the language of app: the default locale becomes German (Germany), and Qt's German
/// translation is installed into app, once however often this is called. False when the translation
/// cannot be loaded; the program then goes on with Qt's English texts.
bool InstallGermanUi(QCoreApplication& app);

} // namespace xq
