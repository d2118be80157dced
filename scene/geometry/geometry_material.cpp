#include "scene/geometry/geometry_material.h"

namespace pc::scene {

void SetObjectMaterial(PrimitiveSink& sink)
{
    sink.Material(GL_AMBIENT, {0.5f, 0.5f, 0.5f, 1});
    sink.Material(GL_DIFFUSE, {1, 1, 1, 1});
    sink.Material(GL_SPECULAR, {1, 1, 1, 1});
    sink.Shininess(70);
}

void BindFaceMaterial(PrimitiveSink& sink, const ObjectParams& obj, int face, bool shadow)
{
    if (shadow)
        return;
    float alpha = 1;
    if (face < 0)
        alpha = obj.ObjectKind == kModel3DS ? float(obj.KindTrackbars[4]) / 360.0f : 0.0f;
    const Surface& picture = obj.Faces[face >= 0 && face < kFaceCount ? face : 0];
    if (picture.Tag == 0) {
        if (obj.ObjectKind == kText3D)
            alpha = float(obj.At(kRowKeep5, kColX)) / 360.0f;
        sink.Color(ColorFraction(GetRValue(picture.BrushColor)), ColorFraction(GetGValue(picture.BrushColor)),
                   ColorFraction(GetBValue(picture.BrushColor)), alpha);
        sink.BindTexture(0);
    } else {
        sink.Color(1, 1, 1, alpha);
        sink.BindTexture(picture.Tag);
    }
}

} // namespace pc::scene
