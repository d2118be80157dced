#pragma once
// One part of the zoomed view: the picture's top-left pictureSize pixels
// stretched (nearest pixel) to viewSize, of which only the rectangle part
// is made. The cost follows the part, never the whole zoomed picture.
#include <QImage>
#include <QRect>
#include <QSize>

#include "platform/bitmap.h"

namespace pc::editor {

QImage ZoomedPart(const Bitmap& picture, QSize pictureSize, QSize viewSize, QRect part);

} // namespace pc::editor
