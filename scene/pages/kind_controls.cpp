#include "scene/pages/kind_controls.h"

#include "platform/errors.h"

namespace pc {

const std::array<const char*, 6> kFaceCaptions = {"Front", "Back", "Top", "Bottom", "R", "L"};
const std::array<const char*, kTableRows> kSectionCaptions = {"Skin",  "Size",  "Position", "Rotation",
                                                              "Keep4", "Keep5", "Material"};

namespace {

constexpr std::array<const char*, 4> kColumnCaptions = {"X", "Y", "Z", "D"};

KindControls CommonControls()
{
    KindControls s;
    for (int r = 0; r < kTableRows; ++r)
        s.sections[r] = {kSectionCaptions[r], r != kRowMaterial};
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        for (int c = 0; c < 4; ++c)
            s.cells[r][c] = {kColumnCaptions[c], 0, 360, 180, !(c == kColD && r <= kRowRotation)};
    return s;
}

void BoxNet(KindControls& s)
{
    s.faces = BoxNetFaces(41, 25);
    s.boxNet = true;
}

void Hide(KindControls& s, int row) { s.sections[row].visible = false; }

CellControl Cell(std::string caption, int min, int max, int position, bool visible = true)
{
    return {std::move(caption), min, max, position, visible};
}

KindControls BoxLike(int kind)
{
    KindControls s = CommonControls();
    BoxNet(s);
    s.cells[kRowSize][kColZ].position = 36;
    Hide(s, kRowKeep4);
    Hide(s, kRowKeep5);
    if (kind == kKindNoteBook) {
        s.cells[kRowSize][kColZ].position = 20;
        s.cells[kRowSize][kColD] = Cell("D", 0, 360, 20);
    }
    return s;
}

KindControls CD()
{
    KindControls s = CommonControls();
    s.faces[0] = FaceRect{35, 20, 70, 70};
    s.faces[1] = FaceRect{35, 92, 70, 70};
    s.cells[kRowSize][kColX] = Cell("Outer Radius", 0, 360, 150);
    s.cells[kRowSize][kColY] = Cell("Inner Radius", 0, 360, 20);
    s.cells[kRowSize][kColZ].visible = false;
    s.cells[kRowPosition][kColY].position = 175;
    s.sections[kRowKeep4].caption = "Texture adjustment";
    s.cells[kRowKeep4] = {Cell("X", 0, 360, 180), Cell("Y", 0, 360, 180), Cell("In", 0, 360, 180),
                          Cell("Out", 0, 360, 180)};
    Hide(s, kRowKeep5);
    return s;
}

KindControls ThickBook()
{
    KindControls s = CommonControls();
    BoxNet(s);
    s.cells[kRowSize][kColZ].position = 36;
    s.sections[kRowKeep4].caption = "Setting";
    s.cells[kRowKeep4] = {Cell("Inside Depth", 0, 360, 180), Cell("Corner Details", 0, 360, 180),
                          Cell("Left Radius", 0, 360, 10), Cell("D", 0, 360, 180, false)};
    Hide(s, kRowKeep5);
    return s;
}

KindControls RoundBox()
{
    KindControls s = CommonControls();
    BoxNet(s);
    s.cells[kRowSize][kColY] = Cell("Y", 0, 360, 240);
    s.cells[kRowSize][kColZ] = Cell("Z", 0, 360, 36);
    s.cells[kRowPosition][kColY].position = 200;
    s.sections[kRowKeep4].caption = "Setting";
    s.cells[kRowKeep4] = {Cell("Outter Box", 0, 360, 0), Cell("Corner Details", 0, 360, 180),
                          Cell("Left Radius", 0, 360, 10), Cell("Top Radius", 0, 360, 120)};
    s.sections[kRowKeep5].caption = "Outter Transparent Box";
    s.cells[kRowKeep5] = {Cell("Color Red", 0, 360, 180), Cell("Color Green", 0, 360, 180),
                          Cell("Color Blue", 0, 360, 180), Cell("Alpha", 0, 360, 90)};
    return s;
}

KindControls Curved()
{
    KindControls s = CommonControls();
    s.faces[0] = FaceRect{35, 20, 70, 70};
    s.cells[kRowSize][kColZ] = Cell("DetailX", 1, 99, 20);
    s.cells[kRowSize][kColD] = Cell("DetailY", 1, 99, 20);
    s.cells[kRowPosition][kColY].position = 180;
    s.sections[kRowKeep4].caption = "Wav Settings";
    s.cells[kRowKeep4] = {Cell("Left X", 0, 720, 320), Cell("Left Z", 0, 360, 108), Cell("Right X", 0, 720, 400),
                          Cell("Right Z", 0, 360, 251)};
    s.sections[kRowKeep5].caption = "Corner Settings";
    s.cells[kRowKeep5] = {Cell("+X", 0, 360, 180), Cell("+Y", 0, 360, 180), Cell("+Z", 0, 360, 180),
                          Cell("Corners", 0, 255, 0)};
    return s;
}

KindControls Model()
{
    KindControls s = CommonControls();
    s.faces[0] = FaceRect{}; // the material swatch, placed by the page
    s.cells[kRowSize][kColD] = Cell("All", 0, 360, 180);
    Hide(s, kRowKeep4);
    Hide(s, kRowKeep5);
    return s;
}

KindControls Text()
{
    KindControls s = CommonControls();
    s.faces[0] = FaceRect{}; // the colour swatch, placed by the page
    s.cells[kRowSize][kColZ].max = 1080;
    s.cells[kRowSize][kColD] = Cell("All", 0, 360, 180);
    s.cells[kRowPosition][kColX].min = -180;
    // Kept hidden, but projects still store these values.
    s.sections[kRowKeep4] = {"Settings(Removed from new version)", false};
    s.cells[kRowKeep4] = {Cell("H Alignment", -1, 1, 0), Cell("V Alignment", -1, 1, 0),
                          Cell("Depth", -360, 360, 30), Cell("Spacing", -360, 360, 135)};
    s.sections[kRowKeep5] = {"Transparent", true};
    s.cells[kRowKeep5] = {Cell("Alpha", 0, 360, 360), Cell("Shadow", 0, 1, 1), Cell("Z", 0, 360, 180, false),
                          Cell("D", 0, 360, 180, false)};
    return s;
}

std::array<KindControls, kKindCount> BuildKindControls()
{
    return {BoxLike(kKindBox), BoxLike(kKindBook), CD(),    BoxLike(kKindNoteBook), ThickBook(),
            RoundBox(),        Curved(),           Model(), Text()};
}

int ColumnOrder3(int n)
{
    static constexpr int order[3] = {1, 0, 2};
    return order[n % 3];
}

} // namespace

const KindControls& KindControlsFor(int kind)
{
    static const std::array<KindControls, kKindCount> all = BuildKindControls();
    if (kind < 0 || kind >= kKindCount)
        throw BadInput("unknown object kind " + std::to_string(kind));
    return all[kind];
}

std::array<std::optional<FaceRect>, 6> BoxNetFaces(int wide, int narrow)
{
    const int l = 4, front = l + narrow - 1, r = front + wide - 1, back = r + narrow - 1;
    return {FaceRect{front, 39, wide, 65}, FaceRect{back, 39, wide, 65}, FaceRect{front, 15, wide, 25},
            FaceRect{back, 103, wide, 25},  FaceRect{r, 39, narrow, 65},  FaceRect{l, 39, narrow, 65}};
}

GridPlace GridPlaceForSlot(int slot)
{
    return {ColumnOrder3(slot) * 180, ColumnOrder3(slot / 3) * 180};
}

std::string TabCaption(int kind, int slot, const std::string& modelPath)
{
    static constexpr std::array<const char*, kKindCount> names = {
        "Box", "Book", "CD", "Note Book", "Thick Book", "Round Corner Box", "Curved Surface", "", "3D Text"};
    std::string n = "(#" + std::to_string(slot) + ")";
    if (kind == kKindModel) {
        std::string file = modelPath.substr(modelPath.find_last_of("/\\") + 1);
        return "3D " + file.substr(0, 5) + n;
    }
    KindControlsFor(kind);
    return std::string(names[kind]) + " " + n;
}

std::string KindActionCaption(int kind)
{
    static constexpr std::array<const char*, kKindCount> captions = {
        "Box", "Book", "CD", "Note Book", "Thick Book", "Round Corner Box", "Curved Surface ", "Load 3ds Model",
        "3D Text"};
    KindControlsFor(kind);
    return captions[kind];
}

} // namespace pc
