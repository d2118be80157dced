#include "tests/codecs/gif_color/photos.h"

#include <QImage>
#include <filesystem>

#include "tests/support/test_data.h"

namespace pc::test {

std::vector<std::string> PhotoPaths()
{
    const std::vector<std::string> candidates = {
        k3dsModels + "IMAGE1.jpg",
        k3dsModels + "IMAGE2.jpg",
        k3dsModels + "CWALL02.jpg",
        "/usr/share/doc/libsixel-examples/examples/images/snake.jpg",
        "/usr/share/doc/libsixel-examples/examples/images/egret.jpg",
    };
    std::vector<std::string> found;
    for (const std::string& path : candidates)
        if (std::filesystem::exists(path))
            found.push_back(path);
    return found;
}

Bitmap LoadPhoto(const std::string& path)
{
    QImage image(QString::fromStdString(path));
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_RGB888);
    Bitmap bitmap(image.width(), image.height(), PixelFormat::pf24bit);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* src = image.constScanLine(y);
        uint8_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    return bitmap;
}

double MeanSquaredError(const Bitmap& a, const Bitmap& b)
{
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            TColor ca = a.Pixel(x, y), cb = b.Pixel(x, y);
            int dr = GetRValue(ca) - GetRValue(cb), dg = GetGValue(ca) - GetGValue(cb), db = GetBValue(ca) - GetBValue(cb);
            sum += dr * dr + dg * dg + db * db;
        }
    return sum / (3.0 * a.Width() * a.Height());
}

} // namespace pc::test
