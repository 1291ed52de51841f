// Qt's German translation and the German locale for the whole application.
#include "app/GermanUi.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace xq {

namespace {

/// The translator's name among the application's children, by which a second call finds it.
constexpr const char* TranslatorName = "QtGermanTranslator";

} // namespace

QString QtTranslationsDir()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool InstallGermanUi(QCoreApplication& app)
{
    // Numbers, dates and the names of days in Qt's controls are German too.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (app.findChild<QTranslator*>(QString::fromLatin1(TranslatorName), Qt::FindDirectChildrenOnly))
        return true;
    auto* translator = new QTranslator(&app);
    translator->setObjectName(QString::fromLatin1(TranslatorName));
    if (!translator->load(QString::fromLatin1(QtGermanTranslation), QtTranslationsDir()) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace xq
