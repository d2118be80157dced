#pragma once
// What the geometry and the scene passes read, as the widgets hold it: raw
// integer track-bar positions, check-box states and picture tags. Pages and
// the main window fill these every frame; the conversions below turn
// positions into scene values where they are used.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/color.h"

namespace pc {
class C3DS;
}

namespace pc::scene {

enum ObjectKind : int {
    kBox = 0,
    kBook = 1,
    kCD = 2,
    kNoteBook = 3,
    kThickBook = 4,
    kRoundBox = 5,
    kCurvedSurface = 6,
    kModel3DS = 7,
    kText3D = 8,
};

inline constexpr int kMaxObjects = 32;
inline constexpr int kFaceCount = 6;

// Rows of TrackbarTable that hold track bars (row 0 holds the face pictures).
enum TrackRow : int { kRowSize = 1, kRowPosition = 2, kRowRotation = 3, kRowKeep4 = 4, kRowKeep5 = 5 };
enum TrackCol : int { kColX = 0, kColY = 1, kColZ = 2, kColD = 3 };
inline constexpr int kTrackRows = 6;
inline constexpr int kTrackCols = 4;
inline constexpr int kNeutralPosition = 180;

enum Face : int { kFront = 0, kBack = 1, kTop = 2, kBottom = 3, kRight = 4, kLeft = 5 };

// A face, floor or background picture: Tag is its texture number, 0 for a
// solid colour, which is then the picture's brush colour.
struct Surface {
    unsigned Tag = 0;
    TColor BrushColor = clWhite;
};

// One scene object page.
struct ObjectParams {
    int ObjectKind = kBox;
    bool Visible = true;
    // Positions of rows 1..5, columns X, Y, Z, D; row 0 is unused.
    std::array<std::array<int, kTrackCols>, kTrackRows> TrackbarTable = NeutralTable();
    std::array<Surface, kFaceCount> Faces{};
    // Kind 7: "Texture H", "Texture V", "Texture X", "Texture Y", "Alpha", "Visible Size".
    std::array<int, 6> KindTrackbars{270, 270, 270, 270, 270, 270};
    // Kind 7: the loaded model, owned by the page.
    const C3DS* Model = nullptr;
    // Kind 8: the memo's text and font name.
    std::string Text = "Text";
    std::string FontName = "Arial";

    int At(int row, int col) const { return TrackbarTable[row][col]; }
    int& At(int row, int col) { return TrackbarTable[row][col]; }

    static std::array<std::array<int, kTrackCols>, kTrackRows> NeutralTable()
    {
        std::array<std::array<int, kTrackCols>, kTrackRows> t{};
        for (auto& row : t)
            row.fill(kNeutralPosition);
        return t;
    }
};

// The main window's scene controls, named after them.
struct SceneParams {
    int TBCameraX = -200, TBCameraY = 10, TBCameraZ = 400;
    int TBCameraLookAtX = 0, TBCameraLookAtY = 0, TBCameraLookAtZ = 0;
    int TBCameraLookAtA = 37; // field of view, degrees
    int TBLightX = 300, TBLightY = 300, TBLightZ = 300;
    int AmbientStrength = 50;
    int TBShadowStrength = 50, TBShadowScale = 50, TBShadowDiffuse = 110;
    int TBFloor_alpha = 50;
    int TBFloor_P = 30;
    int TBFloor_PMax = 100;
    int TBfsth = 30, TBfstv = 30; // floor texture repeat
    int TBbth = 300, TBbtv = 300; // background texture repeat
    bool CBShadowVisible = false;
    bool QuickView = false;
    bool DrawLight = true;
    bool DrawAxis = true;
    bool CBDiffuse = true;
    bool CBSmooth = false;
    bool ACCUM1 = false;
    bool Publishing = false;      // APublish.Tag is 1
    bool LightPageActive = false; // TSLight is PC's active page
    Surface ImageFloor;
    Surface ImageBackground;
    // The picture being made, which sizes the note book's wire: its height in
    // its own pixels (the preview panel's or the published picture's) and the
    // rendered pixels per picture pixel (a publish may supersample).
    int PictureHeight = 453;
    float PixelScale = 1;
    std::array<std::optional<ObjectParams>, kMaxObjects> Objects{};
};

// Position-to-value conversions shared by every kind.
inline float PositionToScene(int p) { return float(p - 180) / 90.0f; } // Position X and Z
inline float HeightToScene(int p) { return float(p - 135) / 90.0f; }   // Position Y: 135 is the floor
inline float HalfExtent(int p) { return float(p + 1) / 360.0f; }       // box-like sizes
inline float SceneValue(int p) { return float(p) * 0.01f; }            // main window's track bars
inline float ColorFraction(uint8_t c) { return float(c) / 255.0f; }
inline float VisibleSize(int p) { return float(p) / 180.0f; }
inline float TextureRepeat(int p) { return float(p - 180) / 90.0f; }
inline float TextureOffset(int p) { return float(p - 180) / 180.0f; }
inline int MaterialAlpha(int p) { return p * 255 / 360; }
// Floats back to positions truncate toward zero.
inline int SceneToPosition(float v) { return int(v * 90.0f + 180.0f); }
inline int SceneToHeight(float v) { return int(v * 90.0f + 135.0f); }

} // namespace pc::scene
