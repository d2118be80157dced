#pragma once
// Laying a picture into any quadrilateral of another one: each covered
// pixel takes the bilinearly interpolated picture colour found by inverse
// mapping, mixed with the pixel under it by a global alpha weight, unless
// the colour is close to a transparent colour.
#include <array>

#include "platform/canvas.h"

namespace pc::editor {

struct LayerOptions {
    int alphaWeight = 0;          // 0..100: the weight of the pixel under the layer
    bool transparent = false;     // skip colours near transparentColor
    TColor transparentColor = 0;
    int diffuse = 1;              // 1..100: channels within diffuse - 1 count as near
};

// corners: where the picture's top-left, top-right, bottom-right and
// bottom-left pixels go. Only the rows and columns of region that lie
// inside target are worked on, so a huge quad costs no more than the
// picture under it. target and picture are 24-bit.
void CompositeLayer(Bitmap& target, Rect region, const Bitmap& picture, const std::array<Point, 4>& corners,
                    const LayerOptions& options);

} // namespace pc::editor
