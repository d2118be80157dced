#pragma once
// Extruded glyph outlines for 3D text, in place of the platform's outline-font
// display lists: FreeType outlines of a face found with fontconfig, flattened,
// tessellated with the GLU tessellator and extruded along -z. Every length is
// in em units (the face's em square is 1.0).
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace pc {

// Extent and advance of one glyph, in em units.
struct GlyphMetricsFloat {
    float gmfBlackBoxX = 0, gmfBlackBoxY = 0; // size of the inked box
    float gmfptGlyphOriginX = 0, gmfptGlyphOriginY = 0; // its upper-left corner from the pen
    float gmfCellIncX = 0, gmfCellIncY = 0; // pen advance
};

using Point2 = std::array<double, 2>;
using Point3 = std::array<float, 3>;

// A glyph's outline as closed polygons (the last point is not repeated).
struct GlyphOutline {
    std::vector<std::vector<Point2>> contours;
    bool fillRight = true; // the filled area lies right of each contour's direction
    GlyphMetricsFloat metrics;
};

// The solid a glyph list draws: front face at z = 0 facing +z, back face at
// z = -extrusion facing -z, side walls with outward normals.
struct GlyphMesh {
    struct Triangle {
        std::array<Point3, 3> v; // counter-clockwise seen from where the normal points
        Point3 normal;
    };
    struct Quad {
        std::array<Point3, 4> v;
        Point3 normal;
    };
    std::vector<Triangle> front, back;
    std::vector<Quad> sides;
    GlyphMetricsFloat metrics;
};

class OutlineFont {
public:
    // The scalable face fontconfig picks for the family name ("Arial" gives a
    // metric-compatible face); throws FileError when there is none.
    static std::unique_ptr<OutlineFont> Open(const std::string& faceName);
    ~OutlineFont();
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;

    const std::string& FamilyName() const { return family_; }
    bool HasGlyph(char32_t code) const;
    // Flattened so no chord strays more than deviation from the curve
    // (0: one design unit). A character the face lacks gives its missing-glyph box.
    GlyphOutline Outline(char32_t code, double deviation) const;

private:
    OutlineFont() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string family_;
};

// Tessellates (non-zero winding) and extrudes an outline.
GlyphMesh MakeGlyphMesh(const GlyphOutline& outline, float extrusion);

// Compiles the mesh into display list `list`, followed by the pen advance.
void CompileGlyphList(const GlyphMesh& mesh, unsigned list);

} // namespace pc
