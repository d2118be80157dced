#include "scene/geometry/object_extent.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "scene/geometry/draw_object.h"
#include "scene/geometry/primitive_sink_recording.h"
#include "scene/text/text3d.h"

namespace pc::scene {

namespace {

// Glyphs are extruded by a hundredth of an em behind the pen.
constexpr float kGlyphDepth = 0.01f;

void Lower(double& lowest, const Matrix4& m, const Vec3& p)
{
    lowest = std::min(lowest, double(Transform(m, p).y));
}

// The inked box of every glyph, laid out as the text is drawn: from the pen
// at the origin, lines going down 1.2 line heights.
void LowerText(double& lowest, const RecordedText& text)
{
    const std::shared_ptr<OutlineFont> font = SelectGLFont(text.faceName);
    if (!font)
        return;
    float pen = 0, line = 0, lineHeight = 0;
    char32_t previous = 0;
    for (char32_t code : DecodeUtf8(text.text)) {
        if (code == 0)
            break;
        const bool loneLf = code == '\n' && previous != '\r';
        previous = code;
        if (code == '\r' || loneLf)
            pen = 0;
        if (code == '\n') {
            line -= 1.2f * lineHeight;
            lineHeight = 0;
        }
        if (code == '\r' || code == '\n')
            continue;
        const GlyphMetricsFloat g = font->Outline(code, 0).metrics;
        const float left = pen + g.gmfptGlyphOriginX, top = line + g.gmfptGlyphOriginY;
        for (float x : {left, left + g.gmfBlackBoxX})
            for (float y : {top, top - g.gmfBlackBoxY})
                for (float z : {0.0f, -kGlyphDepth})
                    Lower(lowest, text.matrix, {x, y, z});
        pen += g.gmfCellIncX;
        lineHeight = std::max(lineHeight, g.gmfBlackBoxY);
    }
}

} // namespace

double LowestPoint(const ObjectParams& object)
{
    RecordingSink sink;
    ApplyObjectTransform(sink, object);
    const Matrix4 placed = sink.matrix;
    DrawObject(sink, object, false, 453);
    double lowest = std::numeric_limits<double>::infinity();
    for (const RecordedPrimitive& p : sink.primitives)
        for (const RecordedVertex& v : p.vertices)
            lowest = std::min(lowest, double(v.position.y));
    for (const RecordedModel& m : sink.models)
        for (const C3DS::t3DObject& mesh : m.model->objects)
            for (const CVector3& v : mesh.verts) {
                const float k = mesh.visibleSize;
                if (k != 0)
                    Lower(lowest, placed, {v.x * m.sx * k, v.y * m.sy * k, v.z * m.sz * k});
            }
    for (const RecordedText& t : sink.texts)
        LowerText(lowest, t);
    return std::isfinite(lowest) ? lowest : 0;
}

FaceSizes FaceSizesOf(const ObjectParams& object)
{
    const auto size = [&](int column) { return 2.0 * (object.At(kRowSize, column) + 1); };
    switch (object.ObjectKind) {
    case kCD:
        return {{{size(kColX), size(kColX)}, {size(kColX), size(kColX)}}};
    case kBox:
    case kBook:
    case kNoteBook:
    case kThickBook:
    case kRoundBox: {
        const double w = size(kColX), h = size(kColY);
        double d = size(kColZ);
        if (object.ObjectKind == kThickBook || object.ObjectKind == kRoundBox) {
            // The spine is an arc of radius R through the two back corners.
            const double half = d / 2, r = half + object.At(kRowKeep4, kColZ);
            d = 2 * r * std::asin(half / r);
        }
        return {{{w, h}, {w, h}, {w, d}, {w, d}, {d, h}, {d, h}}};
    }
    default:
        return {};
    }
}

} // namespace pc::scene
