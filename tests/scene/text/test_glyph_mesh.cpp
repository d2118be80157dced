// Extruded glyph meshes against FreeType's own view of the same glyphs.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <fontconfig/fontconfig.h>

#include "platform/font_outline.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

constexpr float kExtrusion = 0.01f;

double TriangleArea(const GlyphMesh::Triangle& t)
{
    const auto &a = t.v[0], &b = t.v[1], &c = t.v[2];
    return ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
}

// Non-zero winding number of a point against the flattened contours.
int Winding(const GlyphOutline& o, double x, double y)
{
    int w = 0;
    for (const auto& c : o.contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const auto& p = c[i];
            const auto& q = c[(i + 1) % c.size()];
            double side = (q[0] - p[0]) * (y - p[1]) - (x - p[0]) * (q[1] - p[1]);
            if (p[1] <= y && q[1] > y && side > 0)
                ++w;
            else if (p[1] > y && q[1] <= y && side < 0)
                --w;
        }
    return w;
}

double OutlineArea(const GlyphOutline& o)
{
    double sum = 0;
    for (const auto& c : o.contours)
        for (size_t i = 0; i < c.size(); ++i) {
            const auto& p = c[i];
            const auto& q = c[(i + 1) % c.size()];
            sum += p[0] * q[1] - q[0] * p[1];
        }
    return std::abs(sum) / 2;
}

std::string FontFile(const char* family)
{
    FcPattern* p = FcPatternCreate();
    FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, p, &r);
    FcChar8* file = nullptr;
    FcPatternGetString(m, FC_FILE, 0, &file);
    std::string out = reinterpret_cast<const char*>(file);
    FcPatternDestroy(m);
    FcPatternDestroy(p);
    return out;
}

// FreeType rasterising the glyph itself at a large size, anti-aliased: its
// inked area and advance in em units.
struct FreeTypeView {
    double area = 0;
    double advance = 0;
};

FreeTypeView RasterView(char32_t code)
{
    constexpr int kPpem = 1000;
    FT_Library lib;
    EXPECT_EQ(FT_Init_FreeType(&lib), 0);
    FT_Face face;
    EXPECT_EQ(FT_New_Face(lib, FontFile("Arial").c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, kPpem, kPpem);
    EXPECT_EQ(FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING), 0);
    FreeTypeView v;
    const FT_Bitmap& bm = face->glyph->bitmap;
    double ink = 0;
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x)
            ink += bm.buffer[y * bm.pitch + x] / 255.0;
    v.area = ink / (double(kPpem) * kPpem);
    v.advance = face->glyph->linearHoriAdvance / 65536.0 / kPpem;
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return v;
}

class GlyphMeshes : public testing::TestWithParam<char32_t> {
protected:
    static void SetUpTestSuite() { font_ = OutlineFont::Open("Arial"); }
    static void TearDownTestSuite() { font_.reset(); }
    static std::unique_ptr<OutlineFont> font_;
};
std::unique_ptr<OutlineFont> GlyphMeshes::font_;

TEST(OutlineFontOpen, ArialIsMetricCompatible)
{
    auto f = OutlineFont::Open("Arial");
    EXPECT_EQ(f->FamilyName(), "Liberation Sans");
    EXPECT_TRUE(f->HasGlyph(U'A'));
}

TEST_P(GlyphMeshes, FrontAreaMatchesOutlineAndFreeType)
{
    GlyphOutline outline = font_->Outline(GetParam(), 0);
    GlyphMesh mesh = MakeGlyphMesh(outline, kExtrusion);
    ASSERT_FALSE(mesh.front.empty());
    double front = 0;
    for (const auto& t : mesh.front) {
        double a = TriangleArea(t);
        EXPECT_GE(a, 0) << "front triangle turned away from +z";
        front += a;
    }
    EXPECT_NEAR(front, OutlineArea(outline), 1e-4);
    FreeTypeView ft = RasterView(GetParam());
    EXPECT_NEAR(front, ft.area, 0.01 * ft.area + 2e-4);
    EXPECT_FLOAT_EQ(mesh.metrics.gmfCellIncX, float(ft.advance));
}

TEST_P(GlyphMeshes, BackFaceMirrorsFrontAtExtrusion)
{
    GlyphMesh mesh = MakeGlyphMesh(font_->Outline(GetParam(), 0), kExtrusion);
    ASSERT_EQ(mesh.back.size(), mesh.front.size());
    for (size_t i = 0; i < mesh.front.size(); ++i) {
        const auto& f = mesh.front[i];
        const auto& b = mesh.back[i];
        EXPECT_EQ(f.normal, (Point3{0, 0, 1}));
        EXPECT_EQ(b.normal, (Point3{0, 0, -1}));
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(f.v[k][2], 0);
            EXPECT_EQ(b.v[k][2], -kExtrusion);
        }
        EXPECT_NEAR(TriangleArea(b), -TriangleArea(f), 1e-9); // clockwise seen from +z
    }
}

TEST_P(GlyphMeshes, SideWallsFaceOutward)
{
    GlyphOutline outline = font_->Outline(GetParam(), 0);
    GlyphMesh mesh = MakeGlyphMesh(outline, kExtrusion);
    size_t edges = 0;
    for (const auto& c : outline.contours)
        edges += c.size();
    ASSERT_EQ(mesh.sides.size(), edges);
    for (const auto& q : mesh.sides) {
        const auto& n = q.normal;
        EXPECT_NEAR(std::hypot(n[0], n[1], n[2]), 1, 1e-5);
        EXPECT_EQ(n[2], 0);
        EXPECT_EQ(q.v[0][2], 0);
        EXPECT_EQ(q.v[1][2], -kExtrusion);
        // Just outside the wall is empty, just inside is ink.
        double mx = (q.v[0][0] + q.v[3][0]) / 2, my = (q.v[0][1] + q.v[3][1]) / 2;
        constexpr double e = 1e-5;
        EXPECT_EQ(Winding(outline, mx + e * n[0], my + e * n[1]), 0);
        EXPECT_NE(Winding(outline, mx - e * n[0], my - e * n[1]), 0);
        // Counter-clockwise seen from outside.
        double ax = q.v[1][0] - q.v[0][0], ay = q.v[1][1] - q.v[0][1], az = q.v[1][2] - q.v[0][2];
        double bx = q.v[2][0] - q.v[1][0], by = q.v[2][1] - q.v[1][1], bz = q.v[2][2] - q.v[1][2];
        double cx = ay * bz - az * by, cy = az * bx - ax * bz;
        EXPECT_GE(cx * n[0] + cy * n[1], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(LiberationSans, GlyphMeshes, testing::Values(U'O', U'A', U'g', U'8', U'%', U'@', U'\u00E9', U'\u20AC'),
                         [](const auto& info) { return "U" + std::to_string(unsigned(info.param)); });

TEST(GlyphOutlines, DeviationBoundsTheFlattening)
{
    auto font = OutlineFont::Open("Arial");
    auto fine = font->Outline(U'O', 0);
    auto coarse = font->Outline(U'O', 0.01);
    size_t finePoints = 0, coarsePoints = 0;
    for (const auto& c : fine.contours)
        finePoints += c.size();
    for (const auto& c : coarse.contours)
        coarsePoints += c.size();
    EXPECT_LT(coarsePoints, finePoints);
    // Chords lie inside a convex curve: the coarse "O" loses at most a strip
    // of the deviation's width along both its edges.
    double perimeter = 0;
    for (const auto& c : fine.contours)
        for (size_t i = 0; i < c.size(); ++i)
            perimeter += std::hypot(c[(i + 1) % c.size()][0] - c[i][0], c[(i + 1) % c.size()][1] - c[i][1]);
    EXPECT_NEAR(OutlineArea(coarse), OutlineArea(fine), perimeter * 0.01);
}

TEST(GlyphOutlines, SpaceHasAdvanceButNoInk)
{
    auto font = OutlineFont::Open("Arial");
    auto outline = font->Outline(U' ', 0);
    EXPECT_TRUE(outline.contours.empty());
    EXPECT_GT(outline.metrics.gmfCellIncX, 0.2f);
    auto mesh = MakeGlyphMesh(outline, kExtrusion);
    EXPECT_TRUE(mesh.front.empty());
    EXPECT_TRUE(mesh.sides.empty());
}

} // namespace
} // namespace pc
