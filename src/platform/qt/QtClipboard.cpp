#include "platform/qt/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

namespace xq {

namespace {

const QStringList RtfMimeTypes{QStringLiteral("text/rtf"), QStringLiteral("text/richtext"),
                               QStringLiteral("application/rtf")};
const QStringList PictureMimeTypes{QStringLiteral("image/png"), QStringLiteral("image/jpeg"),
                                   QStringLiteral("image/gif"), QStringLiteral("image/bmp")};

QByteArray Bytes(const std::string& s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

std::optional<std::string> Limited(const QByteArray& bytes, std::size_t maxBytes)
{
    if (std::size_t(bytes.size()) > maxBytes)
        return std::nullopt;
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

/// The first of the types the data offers.
QString Offered(const QMimeData* data, const QStringList& types)
{
    const QStringList formats = data->formats();
    for (const QString& type : types)
        if (formats.contains(type))
            return type;
    return {};
}

/// The address of the first link that is no local file: from the URL list, or from the
/// "address, newline, title" that Mozilla's browsers offer in UTF-16.
QString LinkAddress(const QMimeData* data)
{
    if (data->hasUrls())
        for (const QUrl& url : data->urls())
            if (!url.isLocalFile() && url.isValid() && !url.isEmpty())
                return url.toString();
    const QString moz = QStringLiteral("text/x-moz-url");
    if (data->hasFormat(moz)) {
        const QByteArray bytes = data->data(moz);
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        const QString address = text.section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!address.isEmpty() && !QUrl(address).isLocalFile())
            return address;
    }
    return {};
}

} // namespace

QMimeData* NewMimeData(const TClipboardContent& content)
{
    auto* data = new QMimeData;
    if (content.DocView)
        data->setData(QString::fromLatin1(DocViewMimeType), Bytes(*content.DocView));
    if (content.Text) {
        data->setText(QString::fromUtf8(Bytes(*content.Text)));
        data->setData(QStringLiteral("text/plain;charset=utf-8"), Bytes(*content.Text));
    }
    if (content.Png) {
        data->setData(QStringLiteral("image/png"), Bytes(*content.Png));
    } else if (content.Pixels) {
        const TRGBAImage& px = *content.Pixels;
        QImage image(px.Pixels.data(), px.Width, px.Height, px.Width * 4, QImage::Format_RGBA8888);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (image.copy().save(&buffer, "PNG"))
            data->setData(QStringLiteral("image/png"), png);
    }
    if (content.Rtf)
        data->setData(QStringLiteral("text/rtf"), Bytes(*content.Rtf));
    if (!content.Files.empty() || content.Url) {
        QList<QUrl> urls;
        for (const auto& file : content.Files)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        if (content.Url)
            urls.push_back(QUrl(QString::fromUtf8(Bytes(*content.Url))));
        data->setUrls(urls);
    }
    return data;
}

bool MimeHasFormat(const QMimeData* data, TClipboardFormat format)
{
    if (!data)
        return false;
    switch (format) {
    case TClipboardFormat::DocView:
        return data->hasFormat(QString::fromLatin1(DocViewMimeType));
    case TClipboardFormat::Rtf:
        return !Offered(data, RtfMimeTypes).isEmpty();
    case TClipboardFormat::Text:
        // Also the plain text that comes along with HTML from a browser; a file list is no text
        // here (QMimeData would count it as such).
        for (const QString& f : data->formats())
            if (f == QLatin1String("text/plain") || f.startsWith(QLatin1String("text/plain;")))
                return true;
        return false;
    case TClipboardFormat::Picture:
        return !Offered(data, PictureMimeTypes).isEmpty() || data->hasImage();
    case TClipboardFormat::Files:
        return !MimeFiles(data).empty();
    case TClipboardFormat::Url:
        return !LinkAddress(data).isEmpty();
    }
    return false;
}

std::optional<std::string> MimeRead(const QMimeData* data, TClipboardFormat format, std::size_t maxBytes)
{
    if (!MimeHasFormat(data, format))
        return std::nullopt;
    switch (format) {
    case TClipboardFormat::DocView:
        return Limited(data->data(QString::fromLatin1(DocViewMimeType)), maxBytes);
    case TClipboardFormat::Rtf:
        return Limited(data->data(Offered(data, RtfMimeTypes)), maxBytes);
    case TClipboardFormat::Text:
        if (data->hasFormat(QStringLiteral("text/plain")))
            return Limited(data->text().toUtf8(), maxBytes);
        for (const QString& f : data->formats())
            if (f.startsWith(QLatin1String("text/plain;")))
                return Limited(data->data(f), maxBytes);
        return std::nullopt;
    case TClipboardFormat::Picture: {
        const QString type = Offered(data, PictureMimeTypes);
        if (!type.isEmpty())
            return Limited(data->data(type), maxBytes);
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull())
            return std::nullopt;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return std::nullopt;
        return Limited(png, maxBytes);
    }
    case TClipboardFormat::Files:
        return std::nullopt;
    case TClipboardFormat::Url:
        return Limited(LinkAddress(data).toUtf8(), maxBytes);
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> MimeFiles(const QMimeData* data)
{
    std::vector<std::filesystem::path> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.emplace_back(url.toLocalFile().toStdString());
    return files;
}

void TQtClipboard::SetContent(TClipboardContent content)
{
    QGuiApplication::clipboard()->setMimeData(NewMimeData(content));
}

bool TQtClipboard::HasFormat(TClipboardFormat format) const
{
    return MimeHasFormat(QGuiApplication::clipboard()->mimeData(), format);
}

std::optional<std::string> TQtClipboard::Read(TClipboardFormat format, std::size_t maxBytes) const
{
    return MimeRead(QGuiApplication::clipboard()->mimeData(), format, maxBytes);
}

std::vector<std::filesystem::path> TQtClipboard::ReadFiles() const
{
    return MimeFiles(QGuiApplication::clipboard()->mimeData());
}

bool TQtMimeSource::HasFormat(TClipboardFormat format) const
{
    return MimeHasFormat(Data_, format);
}

std::optional<std::string> TQtMimeSource::Read(TClipboardFormat format, std::size_t maxBytes) const
{
    return MimeRead(Data_, format, maxBytes);
}

std::vector<std::filesystem::path> TQtMimeSource::ReadFiles() const
{
    return MimeFiles(Data_);
}

} // namespace xq
