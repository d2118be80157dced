#include "scene/geometry/geometry_model.h"

#include "scene/geometry/geometry_material.h"

namespace pc::scene {
namespace {

// Size X, Y, Z scaled by "All" (Size D), each / 180; z of text / 18.
float AllScale(const ObjectParams& obj, int col, float divisor)
{
    return float(obj.At(kRowSize, col)) / divisor * float(obj.At(kRowSize, kColD)) / 180.0f;
}

} // namespace

void DrawModelObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    if (!obj.Model)
        return;
    sink.Model3DS(obj.Model->Model(), AllScale(obj, kColX, 180), AllScale(obj, kColY, 180),
                  AllScale(obj, kColZ, 180), shadow, [&] { BindFaceMaterial(sink, obj, -1, false); });
}

void DrawTextObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    if (shadow && obj.At(kRowKeep5, kColY) == 0) // "Shadow" off
        return;
    sink.PushMatrix();
    sink.Scale(AllScale(obj, kColX, 180), AllScale(obj, kColY, 180), AllScale(obj, kColZ, 18));
    if (!shadow) {
        sink.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        sink.Enable(GL_BLEND);
    }
    BindFaceMaterial(sink, obj, kFront, shadow);
    sink.Material(GL_SPECULAR, {0.1f, 0.1f, 0.1f, 0.1f});
    sink.Text3D(obj.Text, obj.FontName);
    if (!shadow)
        sink.Disable(GL_BLEND);
    sink.PopMatrix();
}

} // namespace pc::scene
