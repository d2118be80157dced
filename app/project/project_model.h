#pragma once
// One scene as a project file holds it: the values of every section and, for
// every picture, model and text, where its bytes lie (a blob). The writer turns
// a ProjectScene plus the work files into a file; the reader validates a whole
// file into a ProjectScene before anything of the running scene is touched.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/color.h"

namespace pc::project {

constexpr int kSlots = 32;
constexpr int kFaces = 6;
constexpr int kKindModel = 7;
constexpr int kKindText = 8;
constexpr int32_t kDefaultMaterialColor = -7829368; // bytes 136, 136, 136, 255: opaque grey

// Bytes [start, start + size) of the file. Absent or empty: size 0.
struct Blob {
    int64_t start = 0;
    int64_t size = 0;
    bool Present() const { return size > 0; }
};

// Bytes of a picture the program could not show, kept as they were read:
// the writer puts them back unchanged instead of a texture work file.
using KeptBytes = std::shared_ptr<const std::vector<uint8_t>>;

struct Face {
    int textureId = 0; // 0: a solid colour
    TColor colour = clWhite;
    Blob picture;
    KeptBytes kept;
};

struct Material {
    float uTile = 1, vTile = 1, uOffset = 0, vOffset = 0;
    int32_t color = kDefaultMaterialColor; // red in the lowest byte, alpha in the highest
    int textureId = 0;                     // writer: the material's picture work file, 0 for none
    Blob picture;
    KeptBytes kept;
};

// The bytes of an object's texts that a file held in an 8-bit code (empty
// for UTF-8 ones): written back as they were while the texts are unchanged.
struct ReadTexts {
    std::string name, fontName, text;
};

struct Object {
    int kind = 0;
    std::string name;
    bool visible = true;
    std::array<Face, kFaces> faces;
    // Rows 1 to 5 (index 0 unused), columns 0 to 3; absent keys stay empty and
    // the loader gives them half of the track bar's maximum.
    std::array<std::array<std::optional<int>, 4>, 6> trackbars;

    // Kind 7.
    std::string modelPath; // writer: the model file
    Blob model;
    std::vector<Material> materials;
    std::vector<float> objectVisibleSize; // per sub-object, default 1

    // Kind 8.
    std::string fontName = "Arial";
    std::vector<std::string> textLines;
    Blob text;

    ReadTexts read;
};

struct Scene {
    double version = 1.0;
    std::string date;
    std::string author;

    int exportW = 0, exportH = 0;
    int cameraX = 0, cameraY = 0, cameraZ = 0;
    int lookAtX = 0, lookAtY = 0, lookAtZ = 0, lookAtA = 37;
    int lightX = 0, lightY = 0, lightZ = 0;
    bool shadowVisible = false, drawLight = true;
    int shadowStrength = 50, shadowScale = 50, shadowDiffuse = 110, ambientStrength = 50;

    int floorTextureId = 0;
    TColor floorColour = clWhite;
    KeptBytes floorKept;
    bool drawAxis = true, transparentBackground = true;
    Blob floorPicture;
    int floorAlpha = 50, floorP = 30;
    bool floorDiffuse = true;
    int tbfsth = 30, tbfstv = 30, tbbth = 300, tbbtv = 300;
    int backgroundTextureId = 0;
    TColor backgroundColour = clWhite;
    Blob backgroundPicture;
    KeptBytes backgroundKept;

    std::array<std::optional<Object>, kSlots> objects;

    // Bytes of the blob area no key refers to (a damaged INI text lost their
    // keys): where the reader found them, and what the writer puts back,
    // after every other blob and without keys.
    std::vector<Blob> unreferenced;
    std::vector<KeptBytes> unreferencedKept;
};

} // namespace pc::project
