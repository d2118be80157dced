#include "platform/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>

#include "platform/errors.h"

namespace pc::clipboard {

namespace {

QString MimeFor(const std::string& format)
{
    return QStringLiteral("application/x-prismcase-") + QString::fromStdString(format).toLower().replace(' ', '-');
}

QClipboard* Board()
{
    QClipboard* c = QGuiApplication::clipboard();
    if (!c)
        throw Error("Cannot open the clipboard");
    return c;
}

} // namespace

void SetBitmap(const Bitmap& src)
{
    Bitmap bmp = src;
    bmp.SetPixelFormat(PixelFormat::pf24bit);
    QImage img(bmp.Width(), bmp.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bmp.Height(); ++y) {
        const uint8_t* s = bmp.ScanLine(y);
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < bmp.Width(); ++x)
            d[x] = qRgb(s[x * 3 + 2], s[x * 3 + 1], s[x * 3]);
    }
    Board()->setImage(img);
}

std::optional<Bitmap> GetBitmap()
{
    QImage img = Board()->image();
    if (img.isNull())
        return std::nullopt;
    img = img.convertToFormat(QImage::Format_RGB32);
    CheckPictureSize(img.width(), img.height());
    Bitmap bmp(img.width(), img.height(), PixelFormat::pf24bit);
    for (int y = 0; y < img.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uint8_t* d = bmp.ScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            d[x * 3] = uint8_t(qBlue(s[x]));
            d[x * 3 + 1] = uint8_t(qGreen(s[x]));
            d[x * 3 + 2] = uint8_t(qRed(s[x]));
        }
    }
    return bmp;
}

bool HasBitmap()
{
    const QMimeData* m = Board()->mimeData();
    return m && m->hasImage();
}

void SetData(const std::string& format, const std::vector<uint8_t>& bytes)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setData(MimeFor(format), QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    Board()->setMimeData(mime.release());
}

std::optional<std::vector<uint8_t>> GetData(const std::string& format)
{
    const QMimeData* m = Board()->mimeData();
    if (!m || !m->hasFormat(MimeFor(format)))
        return std::nullopt;
    QByteArray a = m->data(MimeFor(format));
    return std::vector<uint8_t>(a.begin(), a.end());
}

bool HasFormat(const std::string& format)
{
    const QMimeData* m = Board()->mimeData();
    return m && m->hasFormat(MimeFor(format));
}

} // namespace pc::clipboard
