#include "editor/window/zoomed_part.h"

#include <algorithm>
#include <vector>

#include "editor/window/zoom.h"

namespace pc::editor {

namespace {

int SourceOf(int v, int sourceSide, int viewSide)
{
    return std::min(SourceOfViewPixel(v, sourceSide, viewSide), sourceSide - 1);
}

} // namespace

QImage ZoomedPart(const Bitmap& picture, QSize pictureSize, QSize viewSize, QRect part)
{
    part = part.intersected(QRect(QPoint(0, 0), viewSize));
    QImage out(part.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(Qt::white);
    const int srcW = std::min(pictureSize.width(), picture.Width());
    const int srcH = std::min(pictureSize.height(), picture.Height());
    if (part.isEmpty() || srcW < 1 || srcH < 1 || picture.Bits() != 24)
        return out;
    std::vector<int> columns(size_t(part.width()));
    for (int i = 0; i < part.width(); ++i)
        columns[size_t(i)] = 3 * SourceOf(part.left() + i, pictureSize.width(), viewSize.width());
    for (int j = 0; j < part.height(); ++j) {
        const int sy = SourceOf(part.top() + j, pictureSize.height(), viewSize.height());
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(j));
        if (sy >= srcH)
            continue;
        const uint8_t* src = picture.ScanLine(sy);
        for (int i = 0; i < part.width(); ++i) {
            const int sx = columns[size_t(i)];
            if (sx < 3 * srcW)
                row[i] = qRgb(src[sx + 2], src[sx + 1], src[sx]);
        }
    }
    return out;
}

} // namespace pc::editor
