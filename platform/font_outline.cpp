#include "platform/font_outline.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <deque>

#include "platform/errors.h"

namespace pc {

namespace {

// Curves never split into more pieces than this, whatever the deviation.
constexpr int kMaxCurveSteps = 256;

FT_Library Library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            throw Error("Cannot start FreeType");
        return l;
    }();
    return lib;
}

struct FlattenState {
    std::vector<std::vector<Point2>>* contours;
    double tolerance; // font units
    Point2 last{};
};

void AddPoint(FlattenState& s, double x, double y)
{
    auto& c = s.contours->back();
    if (c.empty() || c.back()[0] != x || c.back()[1] != y)
        c.push_back({x, y});
    s.last = {x, y};
}

int Steps(double secondDifference, double factor, double tolerance)
{
    // Chord error of n even steps is at most factor * |second difference| / n^2.
    double n = std::ceil(std::sqrt(factor * secondDifference / tolerance));
    if (!(n >= 1))
        return 1;
    return int(std::min<double>(n, kMaxCurveSteps));
}

int MoveTo(const FT_Vector* to, void* user)
{
    auto& s = *static_cast<FlattenState*>(user);
    s.contours->emplace_back();
    AddPoint(s, to->x, to->y);
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    AddPoint(*static_cast<FlattenState*>(user), to->x, to->y);
    return 0;
}

int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user)
{
    auto& s = *static_cast<FlattenState*>(user);
    Point2 p0 = s.last;
    double dx = p0[0] - 2.0 * c->x + to->x, dy = p0[1] - 2.0 * c->y + to->y;
    int n = Steps(std::hypot(dx, dy), 0.25, s.tolerance);
    for (int i = 1; i <= n; ++i) {
        double t = double(i) / n, u = 1 - t;
        AddPoint(s, u * u * p0[0] + 2 * u * t * c->x + t * t * to->x, u * u * p0[1] + 2 * u * t * c->y + t * t * to->y);
    }
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto& s = *static_cast<FlattenState*>(user);
    Point2 p0 = s.last;
    double d1 = std::hypot(p0[0] - 2.0 * c1->x + c2->x, p0[1] - 2.0 * c1->y + c2->y);
    double d2 = std::hypot(double(c1->x) - 2.0 * c2->x + to->x, double(c1->y) - 2.0 * c2->y + to->y);
    int n = Steps(std::max(d1, d2), 0.75, s.tolerance);
    for (int i = 1; i <= n; ++i) {
        double t = double(i) / n, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
        AddPoint(s, a * p0[0] + b * c1->x + cc * c2->x + d * to->x, a * p0[1] + b * c1->y + cc * c2->y + d * to->y);
    }
    return 0;
}

// ---- tessellation ----

struct TessState {
    std::deque<std::array<double, 3>> extra; // points the tessellator makes at crossings
    std::vector<const double*> corners;
    bool failed = false;
};

void TessVertex(void* data, void* user) { static_cast<TessState*>(user)->corners.push_back(static_cast<double*>(data)); }

void TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user)
{
    auto& s = *static_cast<TessState*>(user);
    s.extra.push_back({coords[0], coords[1], coords[2]});
    *out = s.extra.back().data();
}

void TessEdgeFlag(GLboolean, void*) {} // its presence makes the tessellator emit plain triangles
void TessBegin(GLenum, void*) {}
void TessError(GLenum, void* user) { static_cast<TessState*>(user)->failed = true; }

using TessCallback = void (*)();

Point3 Normalized(double x, double y, double z)
{
    double len = std::sqrt(x * x + y * y + z * z);
    if (!(len > 0))
        return {0, 0, 0};
    return {float(x / len), float(y / len), float(z / len)};
}

} // namespace

struct OutlineFont::Impl {
    FT_Face face = nullptr;
    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
    }
};

std::unique_ptr<OutlineFont> OutlineFont::Open(const std::string& faceName)
{
    if (!FcInit())
        throw FileError("Cannot start fontconfig");
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName.c_str()));
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        throw FileError("No font for \"" + faceName + "\"");
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    int index = 0;
    std::string path, familyName;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
        familyName = reinterpret_cast<const char*>(family);
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternDestroy(match);

    std::unique_ptr<OutlineFont> font(new OutlineFont);
    font->impl_ = std::make_unique<Impl>();
    if (path.empty() || FT_New_Face(Library(), path.c_str(), index, &font->impl_->face) != 0)
        throw FileError("Cannot open the font for \"" + faceName + "\"");
    if (!FT_IS_SCALABLE(font->impl_->face) || font->impl_->face->units_per_EM == 0)
        throw FileError("The font for \"" + faceName + "\" has no outlines");
    font->family_ = familyName;
    return font;
}

OutlineFont::~OutlineFont() = default;

bool OutlineFont::HasGlyph(char32_t code) const { return FT_Get_Char_Index(impl_->face, code) != 0; }

GlyphOutline OutlineFont::Outline(char32_t code, double deviation) const
{
    FT_Face face = impl_->face;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
            0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        throw BadInput("No outline for the character");
    double em = face->units_per_EM;
    GlyphOutline out;
    std::vector<std::vector<Point2>> raw;
    FlattenState state{&raw, deviation > 0 ? deviation * em : 1.0};
    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &state) != 0)
        throw BadInput("Damaged glyph outline");
    out.fillRight = FT_Outline_Get_Orientation(&face->glyph->outline) != FT_ORIENTATION_POSTSCRIPT;
    for (auto& c : raw) {
        if (c.size() > 1 && c.front() == c.back())
            c.pop_back();
        if (c.size() < 3)
            continue;
        for (auto& p : c)
            p = {p[0] / em, p[1] / em};
        out.contours.push_back(std::move(c));
    }
    const auto& m = face->glyph->metrics;
    out.metrics.gmfBlackBoxX = float(m.width / em);
    out.metrics.gmfBlackBoxY = float(m.height / em);
    out.metrics.gmfptGlyphOriginX = float(m.horiBearingX / em);
    out.metrics.gmfptGlyphOriginY = float(m.horiBearingY / em);
    out.metrics.gmfCellIncX = float(m.horiAdvance / em);
    return out;
}

GlyphMesh MakeGlyphMesh(const GlyphOutline& outline, float extrusion)
{
    GlyphMesh mesh;
    mesh.metrics = outline.metrics;

    std::deque<std::array<double, 3>> points;
    TessState state;
    GLUtesselator* tess = gluNewTess();
    if (!tess)
        throw Error("Out of memory");
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(TessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(TessVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(TessCombine));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<TessCallback>(TessEdgeFlag));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<TessCallback>(TessError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0, 0, 1);
    gluTessBeginPolygon(tess, &state);
    for (const auto& c : outline.contours) {
        gluTessBeginContour(tess);
        for (const auto& p : c) {
            points.push_back({p[0], p[1], 0});
            gluTessVertex(tess, points.back().data(), points.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
    if (state.failed)
        throw BadInput("Cannot tessellate the glyph");

    const float back = -extrusion;
    for (size_t i = 0; i + 2 < state.corners.size(); i += 3) {
        const double* a = state.corners[i];
        const double* b = state.corners[i + 1];
        const double* c = state.corners[i + 2];
        double area2 = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
        if (area2 < 0)
            std::swap(b, c);
        GlyphMesh::Triangle front{{{{float(a[0]), float(a[1]), 0}, {float(b[0]), float(b[1]), 0},
                                    {float(c[0]), float(c[1]), 0}}},
                                  {0, 0, 1}};
        GlyphMesh::Triangle rear{{{{float(a[0]), float(a[1]), back}, {float(c[0]), float(c[1]), back},
                                   {float(b[0]), float(b[1]), back}}},
                                 {0, 0, -1}};
        mesh.front.push_back(front);
        mesh.back.push_back(rear);
    }

    for (const auto& c : outline.contours)
        for (size_t i = 0; i < c.size(); ++i) {
            Point2 p = c[i], q = c[(i + 1) % c.size()];
            if (outline.fillRight)
                std::swap(p, q); // walk with the filled area on the left
            double dx = q[0] - p[0], dy = q[1] - p[1];
            Point3 p0{float(p[0]), float(p[1]), 0}, p1{float(p[0]), float(p[1]), back};
            Point3 q0{float(q[0]), float(q[1]), 0}, q1{float(q[0]), float(q[1]), back};
            mesh.sides.push_back({{p0, p1, q1, q0}, Normalized(dy, -dx, 0)});
        }
    return mesh;
}

void CompileGlyphList(const GlyphMesh& mesh, unsigned list)
{
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const auto* faces : {&mesh.front, &mesh.back})
        for (const auto& t : *faces) {
            glNormal3fv(t.normal.data());
            for (const auto& v : t.v)
                glVertex3fv(v.data());
        }
    glEnd();
    glBegin(GL_QUADS);
    for (const auto& q : mesh.sides) {
        glNormal3fv(q.normal.data());
        for (const auto& v : q.v)
            glVertex3fv(v.data());
    }
    glEnd();
    glTranslatef(mesh.metrics.gmfCellIncX, mesh.metrics.gmfCellIncY, 0);
    glEndList();
}

} // namespace pc
