// The desktop's "open" operation through QDesktopServices.
#include "platform/qt/QtDesktopShell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace xq {

bool TQtDesktopShell::OpenUrl(const std::string& url)
{
    const QUrl target(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::TolerantMode);
    // Once more at the boundary: nothing but these schemes is handed to the desktop.
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.isRelative() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp") &&
         scheme != QLatin1String("mailto") && scheme != QLatin1String("file")))
        return false;
    return QDesktopServices::openUrl(target);
}

} // namespace xq
