#pragma once
// The blobs a scene carries, in file order: the floor and background
// pictures, then for each object its face pictures (not of a model), its
// model, its material pictures and its text. The reader, the judge of a load
// and the writer all walk them here, so they count the same blobs.
#include <string>

#include "app/project/project_file.h"

namespace pc::project {

enum class BlobKind { Picture, Model, Text };

// Where a blob belongs: slot -1 for the floor (index 0) and the background
// (index 1); in an object, face j as index j and material m as -1 - m.
struct BlobPlace {
    BlobKind kind;
    int slot;
    int index;
};

// visit(place, textureId, blob, kept) for every blob of the scene (S is Scene
// or const Scene); a picture is carried when it has a texture, kept bytes or a
// blob read for it. Throws ProjectError when the scene holds more materials
// than a project may.
template <class S, class Visit>
void ForEachBlob(S& s, Visit&& visit)
{
    const KeptBytes none;
    int noTexture = 0;
    auto picture = [&](int slot, int index, auto& textureId, auto& blob, const KeptBytes& kept) {
        if (textureId != 0 || kept || blob.Present())
            visit(BlobPlace{BlobKind::Picture, slot, index}, textureId, blob, kept);
    };
    picture(-1, 0, s.floorTextureId, s.floorPicture, s.floorKept);
    picture(-1, 1, s.backgroundTextureId, s.backgroundPicture, s.backgroundKept);
    int64_t materials = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        auto& o = s.objects[size_t(slot)];
        if (!o)
            continue;
        if (o->kind == kKindModel) {
            materials += int64_t(o->materials.size());
            if (materials > kMaxSceneMaterials)
                throw ProjectError("The models of this project hold more than " +
                                   std::to_string(kMaxSceneMaterials) + " materials.");
            visit(BlobPlace{BlobKind::Model, slot, 0}, noTexture, o->model, none);
            for (size_t m = 0; m < o->materials.size(); ++m) {
                auto& mat = o->materials[m];
                picture(slot, -1 - int(m), mat.textureId, mat.picture, mat.kept);
            }
            continue;
        }
        for (int j = 0; j < kFaces; ++j) {
            auto& face = o->faces[size_t(j)];
            picture(slot, j, face.textureId, face.picture, face.kept);
        }
        if (o->kind == kKindText)
            visit(BlobPlace{BlobKind::Text, slot, 0}, noTexture, o->text, none);
    }
}

} // namespace pc::project
