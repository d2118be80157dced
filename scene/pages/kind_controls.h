#pragma once
// What each object kind makes of the common page: section captions and
// visibility, the captions, ranges, defaults and visibility of the parameter
// cells of rows 1 to 5, the face-picture layout and the tab caption.
#include <array>
#include <optional>
#include <string>

#include "scene/pages/trackbar_values.h"

namespace pc {

enum ObjectKindId {
    kKindBox = 0,
    kKindBook = 1,
    kKindCD = 2,
    kKindNoteBook = 3,
    kKindThickBook = 4,
    kKindRoundBox = 5,
    kKindCurved = 6,
    kKindModel = 7,
    kKindText = 8,
};
constexpr int kKindCount = 9;

struct CellControl {
    std::string caption;
    int min = 0, max = 360, position = 180;
    bool visible = true;
};

struct SectionControls {
    std::string caption;
    bool visible = true;
};

struct FaceRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct KindControls {
    std::array<SectionControls, kTableRows> sections;
    // Rows 1 to 5 of the parameter table; row 0 stays unused.
    std::array<std::array<CellControl, 4>, 6> cells;
    // Face pictures in the "Skin" section; nullopt = hidden. Kinds 7 and 8
    // place their single swatch themselves.
    std::array<std::optional<FaceRect>, 6> faces;
    // The faces form the unfolded box of BoxNetFaces; the page may widen it
    // to fit the captions.
    bool boxNet = false;
};

// The unfolded box: L, Front, R, Back side by side (neighbours share their
// frame column), Top above Front, Bottom below Back. wide is the width of
// Front, Back, Top and Bottom, narrow that of R and L.
std::array<std::optional<FaceRect>, 6> BoxNetFaces(int wide, int narrow);

// Throws pc::BadInput for a kind outside 0..8.
const KindControls& KindControlsFor(int kind);

extern const std::array<const char*, 6> kFaceCaptions;    // "Front" .. "L"
extern const std::array<const char*, kTableRows> kSectionCaptions; // "Skin" .. "Material"

// Grid position of a new object: X and Z positions for its slot on the 3x3
// grid, slot 0 in the centre, slots 9 and up repeating the pattern.
struct GridPlace {
    int x = 180, z = 180;
};
GridPlace GridPlaceForSlot(int slot);

// "Box (#3)", or "3D " + first five letters of the model's file name + "(#2)".
std::string TabCaption(int kind, int slot, const std::string& modelPath = "");

// Caption of the "Add" command of a kind.
std::string KindActionCaption(int kind);

} // namespace pc
