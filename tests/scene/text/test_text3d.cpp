// 3D text on OSMesa: the pen across lines, the glyph cache, and a rendered "O".
#include <gtest/gtest.h>

#include <GL/osmesa.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/gl_context.h"
#include "scene/text/glyph_cache.h"
#include "scene/text/text3d.h"

namespace pc {
namespace {

// ---- UTF-8 ----

struct Utf8Case {
    const char* name;
    std::string text;
    std::u32string want;
};

class Utf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8, Decodes)
{
    EXPECT_EQ(DecodeUtf8(GetParam().text), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8,
    testing::Values(Utf8Case{"Ascii", "AB\r\n", U"AB\r\n"}, Utf8Case{"TwoBytes", "caf\xC3\xA9", U"caf\u00E9"},
                    Utf8Case{"ThreeBytes", "\xE2\x82\xAC", U"\u20AC"},
                    Utf8Case{"FourBytes", "\xF0\x9F\x98\x80", U"\U0001F600"},
                    Utf8Case{"StrayContinuation", "A\x80" "B", U"AB"}, Utf8Case{"BadLead", "A\xFF" "B", U"AB"},
                    Utf8Case{"CutAtEnd", "A\xC3", U"A"}, Utf8Case{"CutInside", "\xE2\x82" "A", U"A"},
                    Utf8Case{"Overlong", "\xC0\xAF" "A", U"A"}, Utf8Case{"Surrogate", "\xED\xA0\x80" "A", U"A"},
                    Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80" "A", U"A"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- drawing ----

class Text3dOnGL : public testing::Test {
protected:
    void SetUp() override
    {
        ctx_ = GLContext::Create();
        ctx_->Bind(kSize, kSize, false);
        ResetGlyphCache();
        font_ = SelectGLFont("Arial");
        ASSERT_TRUE(font_);
    }
    void TearDown() override
    {
        FreeGlyphCache();
        ctx_.reset();
    }

    // Where the pen stands after drawing the text from the origin.
    std::array<float, 2> PenAfter(std::string_view text, const std::string& face = "Arial")
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        Draw3DText(text, face);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        return {m[12], m[13]};
    }
    // Draws the text in red on blue with the pen starting at x = shift, seen
    // through the orthographic box left..right by bottom..top.
    void DrawRed(std::string_view text, double left, double right, double bottom, double top, float shift = 0)
    {
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(left, right, bottom, top, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(shift, 0, 0);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glColor3f(1, 0, 0);
        Draw3DText(text, "Arial");
        ctx_->Finish();
    }
    float Advance(char32_t c) { return font_->Outline(c, 0).metrics.gmfCellIncX; }
    float Height(char32_t c) { return font_->Outline(c, 0).metrics.gmfBlackBoxY; }

    static constexpr int kSize = 96;
    std::unique_ptr<GLContext> ctx_;
    std::shared_ptr<OutlineFont> font_;
};

TEST_F(Text3dOnGL, PenFollowsLineBreaks)
{
    const float down = -1.2f * std::max(Height(U'A'), Height(U'B'));
    struct Case {
        std::string_view text;
        float x, y;
    } cases[] = {
        {"AB", Advance(U'A') + Advance(U'B'), 0},
        {"AB\r\nC", Advance(U'C'), down},
        {"AB\nC", Advance(U'C'), down}, // a lone LF also returns to the margin
        {"AB\n", 0, down},
        {"AB\r", 0, 0},
        {"AB\n\nC", Advance(U'C'), down}, // an empty line has no height
        {std::string_view("A\0B", 3), Advance(U'A'), 0}, // the text ends at a NUL
    };
    for (const auto& c : cases) {
        auto pen = PenAfter(c.text);
        EXPECT_NEAR(pen[0], c.x, 1e-5) << c.text;
        EXPECT_NEAR(pen[1], c.y, 1e-5) << c.text;
    }
}

TEST_F(Text3dOnGL, MissingCharactersComeFromArial)
{
    auto mono = SelectGLFont("DejaVu Sans Mono");
    ASSERT_TRUE(mono);
    ASSERT_FALSE(mono->HasGlyph(U'\u01C4'));
    EXPECT_NEAR(PenAfter("\xC7\x84", "DejaVu Sans Mono")[0], Advance(U'\u01C4'), 1e-6);
    EXPECT_NEAR(PenAfter("M", "DejaVu Sans Mono")[0], mono->Outline(U'M', 0).metrics.gmfCellIncX, 1e-6);
    EXPECT_NE(Advance(U'M'), mono->Outline(U'M', 0).metrics.gmfCellIncX);
}

TEST_F(Text3dOnGL, RenderedOHasBackgroundAtItsCentre)
{
    auto m = font_->Outline(U'O', 0).metrics;
    DrawRed("O", -0.1, 1.0, -0.2, 0.9);

    double model[16], proj[16];
    int view[4];
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    auto red = [&](double x, double y) {
        double wx, wy, wz;
        gluProject(x, y, 0, model, proj, view, &wx, &wy, &wz);
        const uint8_t* p = ctx_->Pixels() + (int(wy) * kSize + int(wx)) * 4; // bottom-up rows
        return p[2] > 200 && p[0] < 50;
    };
    double cx = m.gmfptGlyphOriginX + m.gmfBlackBoxX / 2;
    double cy = m.gmfptGlyphOriginY - m.gmfBlackBoxY / 2;
    EXPECT_FALSE(red(cx, cy));
    EXPECT_TRUE(red(m.gmfptGlyphOriginX + 0.04, cy)); // the left stroke
    EXPECT_TRUE(red(cx, m.gmfptGlyphOriginY - 0.04)); // the top stroke
    EXPECT_FALSE(red(m.gmfptGlyphOriginX + m.gmfBlackBoxX + 0.05, cy));
}

// A long line costs what shows of it: the glyphs beyond the view send no
// primitives, and the pen still ends where all of them put it.
TEST_F(Text3dOnGL, GlyphsOutOfViewAreNotDrawn)
{
    auto* genQueries = reinterpret_cast<void (*)(GLsizei, GLuint*)>(OSMesaGetProcAddress("glGenQueries"));
    auto* beginQuery = reinterpret_cast<void (*)(GLenum, GLuint)>(OSMesaGetProcAddress("glBeginQuery"));
    auto* endQuery = reinterpret_cast<void (*)(GLenum)>(OSMesaGetProcAddress("glEndQuery"));
    auto* result = reinterpret_cast<void (*)(GLuint, GLenum, GLuint*)>(OSMesaGetProcAddress("glGetQueryObjectuiv"));
    ASSERT_TRUE(genQueries && beginQuery && endQuery && result);
    GLuint query = 0;
    genQueries(1, &query);
    auto primitives = [&](std::string_view text) {
        beginQuery(GL_PRIMITIVES_GENERATED, query);
        PenAfter(text);
        endQuery(GL_PRIMITIVES_GENERATED);
        GLuint n = 0;
        result(query, GL_QUERY_RESULT, &n);
        return n;
    };
    const GLuint shown = primitives("OW"); // the W reaches past x = 1, the edge of the view
    ASSERT_GT(shown, primitives("O"));
    EXPECT_EQ(primitives("OW" + std::string(300, 'W')), shown);
    const float down = -1.2f * std::max(Height(U'W'), Height(U'O'));
    auto pen = PenAfter("OW" + std::string(300, 'W') + "\nW");
    EXPECT_NEAR(pen[0], Advance(U'W'), 1e-4);
    EXPECT_NEAR(pen[1], down, 1e-5);
}

// A glyph in view is drawn where the pen stands, after glyphs left out
// before it and under a projection that shrinks what a move of the
// modelview shifts; one cut by the edge of the view still shows its part.
TEST_F(Text3dOnGL, GlyphsInViewAreDrawnWhereThePenStands)
{
    struct Case {
        const char* text;
        double viewHalf, viewCentre; // the orthographic box
        float shift;                 // where the modelview starts the pen
        double oAt;                  // where the pen reaches the O
        bool cutGlyph;               // whether the glyph before the O is cut by the view's left edge
    } cases[] = {
        {"WWWO", 0.55, 0.45, -3 * Advance(U'W'), 0, true},
        {"O", 2, 0, 1.1f, 1.1, false},
    };
    const auto m = font_->Outline(U'O', 0).metrics;
    for (const Case& c : cases) {
        const double left = c.viewCentre - c.viewHalf, right = c.viewCentre + c.viewHalf;
        DrawRed(c.text, left, right, left, right, c.shift);
        const double pixels = kSize / (right - left);
        // The red pixels right of the pen ring the O: their mean is its centre.
        const double oLeft = (c.oAt + m.gmfptGlyphOriginX / 2 - left) * pixels;
        double sumX = 0, sumY = 0;
        int ring = 0, before = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (const uint8_t* p = ctx_->Pixels() + (y * kSize + x) * 4; p[2] > 200 && p[0] < 50) {
                    if (x + 0.5 < oLeft) {
                        ++before;
                        continue;
                    }
                    sumX += x + 0.5;
                    sumY += y + 0.5;
                    ++ring;
                }
        EXPECT_EQ(before > 0, c.cutGlyph) << c.text;
        ASSERT_GT(ring, 20) << c.text;
        EXPECT_NEAR(sumX / ring, (c.oAt + m.gmfptGlyphOriginX + m.gmfBlackBoxX / 2 - left) * pixels, 1.5) << c.text;
        EXPECT_NEAR(sumY / ring, (m.gmfptGlyphOriginY - m.gmfBlackBoxY / 2 - left) * pixels, 1.5) << c.text;
    }
}

TEST_F(Text3dOnGL, GlyphsAreBuiltOncePerContextAndFace)
{
    PenAfter("ABA");
    const auto& entries = TheGlyphCache().Entries();
    EXPECT_EQ(entries[0].faceName, "Arial");
    EXPECT_EQ(entries[0].context, ctx_->Serial());
    EXPECT_EQ(entries[0].glyphs[0].code, U'A');
    EXPECT_EQ(entries[0].glyphs[1].code, U'B');
    EXPECT_EQ(entries[0].glyphs[2].code, 0u);
    unsigned listA = entries[0].glyphs[0].list;
    EXPECT_TRUE(glIsList(listA));

    // Another context of the same face gets its own entry; when it goes, so does the entry.
    auto other = GLContext::Create();
    other->Bind(8, 8, false);
    PenAfter("A");
    EXPECT_EQ(entries[1].context, other->Serial());
    other.reset();
    EXPECT_EQ(entries[1].context, 0u);
    EXPECT_EQ(entries[1].glyphs[0].code, 0u);

    ctx_->MakeCurrent();
    PenAfter("A");
    EXPECT_EQ(entries[0].glyphs[0].list, listA);
    FreeGlyphCache();
    EXPECT_FALSE(glIsList(listA));
    EXPECT_EQ(entries[0].faceName, "");
}

TEST_F(Text3dOnGL, FullTablesAreTakenOverAtTheirFirstPlace)
{
    // 257 distinct characters: the last replaces slot 0's glyph.
    std::u32string many;
    for (char32_t c = 0x100; c < 0x100 + 257; ++c)
        many.push_back(c);
    std::string utf8;
    for (char32_t c : many) {
        utf8.push_back(char(0xC0 | c >> 6));
        utf8.push_back(char(0x80 | (c & 0x3F)));
    }
    PenAfter(utf8);
    const auto& entries = TheGlyphCache().Entries();
    EXPECT_EQ(entries[0].glyphs[0].code, many.back());
    EXPECT_EQ(entries[0].glyphs[1].code, many[1]);

    // A 17th face takes over entry 0 with an empty glyph table.
    for (int i = 1; i < 16; ++i)
        Draw3DText("x", "Face" + std::to_string(i));
    Draw3DText("Q", "Face16");
    EXPECT_EQ(entries[0].faceName, "Face16");
    EXPECT_EQ(entries[0].glyphs[0].code, U'Q');
    EXPECT_EQ(entries[0].glyphs[1].code, 0u);
    EXPECT_NE(entries[0].glyphs[0].list, 0u);
}

TEST_F(Text3dOnGL, NothingHappensWithoutAContext)
{
    GLContext::ReleaseCurrent();
    Draw3DText("A", "Arial");
    EXPECT_EQ(TheGlyphCache().Entries()[0].context, 0u);
    ctx_->MakeCurrent();
}

} // namespace
} // namespace pc
