// The font box's list of families.
#include "app/FontList.h"

#include <QFontDatabase>

#include "platform/qt/QtCanvas.h"

namespace xq {

namespace {

/// Document fonts that the metric-compatible fonts of this platform stand in for; they are offered
/// under their own names when the stand-in is installed.
constexpr const char* StandInFonts[] = {"Arial", "Arial Narrow", "Courier New", "Times New Roman",
                                        "Symbol", "Webdings", "Wingdings"};

} // namespace

QString PlainFamilyName(const QString& qtFamily)
{
    if (!qtFamily.endsWith(QLatin1Char(']')))
        return qtFamily;
    const qsizetype open = qtFamily.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? qtFamily.left(open) : qtFamily;
}

QStringList FontBoxFamilies(const QStringList& qtFamilies)
{
    QStringList families;
    families.reserve(qtFamilies.size());
    for (const QString& family : qtFamilies)
        families.append(PlainFamilyName(family));
    for (const char* name : StandInFonts) {
        const QString document = QString::fromLatin1(name);
        if (!families.contains(document, Qt::CaseInsensitive) && QFontDatabase::hasFamily(QtFamilyFor(name)))
            families.append(document);
    }
    families.sort(Qt::CaseInsensitive);
    // Sorted, the names of one family stand side by side; the first of them stays.
    families.removeDuplicates();
    return families;
}

} // namespace xq
