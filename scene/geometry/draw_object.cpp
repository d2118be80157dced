#include "scene/geometry/draw_object.h"

#include "scene/geometry/geometry_book.h"
#include "scene/geometry/geometry_box.h"
#include "scene/geometry/geometry_cd.h"
#include "scene/geometry/geometry_curved_surface.h"
#include "scene/geometry/geometry_material.h"
#include "scene/geometry/geometry_model.h"
#include "scene/geometry/geometry_round_box.h"
#include "scene/geometry/geometry_thick_book.h"

namespace pc::scene {

void ApplyObjectTransform(PrimitiveSink& sink, const ObjectParams& obj)
{
    sink.Translate(PositionToScene(obj.At(kRowPosition, kColX)), HeightToScene(obj.At(kRowPosition, kColY)),
                   PositionToScene(obj.At(kRowPosition, kColZ)));
    sink.Rotate(float(obj.At(kRowRotation, kColX)), 1, 0, 0);
    sink.Rotate(float(obj.At(kRowRotation, kColY)), 0, 1, 0);
    sink.Rotate(float(obj.At(kRowRotation, kColZ)), 0, 0, 1);
}

void DrawObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow, float wireWidth)
{
    SetObjectMaterial(sink);
    switch (obj.ObjectKind) {
    case kBox: DrawBox(sink, obj, shadow); break;
    case kBook: DrawBook(sink, obj, false, shadow, wireWidth); break;
    case kCD: DrawCD(sink, obj, shadow); break;
    case kNoteBook: DrawBook(sink, obj, true, shadow, wireWidth); break;
    case kThickBook: DrawThickBook(sink, obj, shadow); break;
    case kRoundBox: DrawRoundBox(sink, obj, shadow); break;
    case kCurvedSurface: DrawCurvedSurface(sink, obj, shadow); break;
    case kModel3DS: DrawModelObject(sink, obj, shadow); break;
    case kText3D: DrawTextObject(sink, obj, shadow); break;
    default: break;
    }
}

} // namespace pc::scene
