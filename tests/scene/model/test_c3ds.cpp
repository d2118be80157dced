// The 3DS reader on real models, on hand-built chunks for the corner cases,
// and on damaged copies of real models.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/file_io.h"
#include "scene/model/c3ds.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& b, unsigned v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void PutU32(Bytes& b, uint32_t v)
{
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}
void PutF32(Bytes& b, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(b, v);
}
void PutStr(Bytes& b, const std::string& s)
{
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

Bytes Chunk(unsigned id, const Bytes& body)
{
    Bytes b;
    PutU16(b, id);
    PutU32(b, uint32_t(body.size() + 6));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Str(const std::string& s)
{
    Bytes b;
    PutStr(b, s);
    return b;
}
Bytes Verts(std::initializer_list<CVector3> vs)
{
    Bytes b;
    PutU16(b, unsigned(vs.size()));
    for (auto v : vs) {
        PutF32(b, v.x);
        PutF32(b, v.y);
        PutF32(b, v.z);
    }
    return Chunk(0x4110, b);
}
Bytes Faces(std::initializer_list<std::array<unsigned, 3>> fs, const Bytes& sub = {})
{
    Bytes b;
    PutU16(b, unsigned(fs.size()));
    for (auto f : fs) {
        for (unsigned i : f)
            PutU16(b, i);
        PutU16(b, 7);
    }
    b.insert(b.end(), sub.begin(), sub.end());
    return Chunk(0x4120, b);
}
Bytes FaceMaterial(const std::string& name, std::initializer_list<unsigned> faces)
{
    Bytes b = Str(name);
    PutU16(b, unsigned(faces.size()));
    for (unsigned f : faces)
        PutU16(b, f);
    return Chunk(0x4130, b);
}
Bytes TexCoords(size_t n)
{
    Bytes b;
    PutU16(b, unsigned(n));
    for (size_t i = 0; i < n; ++i) {
        PutF32(b, 0.5f);
        PutF32(b, 0.25f);
    }
    return Chunk(0x4140, b);
}
Bytes Object(const std::string& name, const Bytes& mesh) { return Chunk(0x4000, Cat({Str(name), Chunk(0x4100, mesh)})); }
Bytes Material(const std::string& name, const Bytes& rest = {}) { return Chunk(0xAFFF, Cat({Chunk(0xA000, Str(name)), rest})); }
Bytes Percent(unsigned p)
{
    Bytes b;
    PutU16(b, p);
    return Chunk(0xA050, Chunk(0x0030, b));
}
Bytes Model(const Bytes& editor) { return Chunk(0x4D4D, Chunk(0x3D3D, editor)); }

C3DS Read(const Bytes& data)
{
    C3DS m;
    m.LoadFromBytes(data);
    return m;
}

// Every face index names a vertex and every material index a material.
void ExpectDrawable(const C3DS& m)
{
    int materials = int(m.Model().materials.size());
    ASSERT_GE(materials, 1);
    for (const auto& o : m.Model().objects) {
        ASSERT_TRUE(o.texcoords.empty() || o.texcoords.size() >= o.verts.size());
        for (const auto& f : o.faces) {
            ASSERT_LT(f.a, o.verts.size());
            ASSERT_LT(f.b, o.verts.size());
            ASSERT_LT(f.c, o.verts.size());
            ASSERT_LT(f.material, materials);
            if (!o.texcoords.empty()) {
                ASSERT_GE(f.material, 0);
            }
        }
    }
}

// ---- real models ----

struct RealModel {
    const char* file;
    size_t objects, verts, faces;
    std::vector<std::string> materials; // name|r g b|alpha|map
    float bottom;
};

std::string Describe(const C3DS::tMaterialInfo& m)
{
    return m.name + "|" + std::to_string(m.color[0]) + " " + std::to_string(m.color[1]) + " " +
           std::to_string(m.color[2]) + "|" + std::to_string(m.alpha) + "|" + m.mapFile;
}

class RealModels : public testing::TestWithParam<RealModel> {};

TEST_P(RealModels, CountsMaterialsAndBottom)
{
    const auto& want = GetParam();
    C3DS m;
    ASSERT_TRUE(m.Load(test::k3dsModels + want.file));
    EXPECT_EQ(m.Problem(), "");
    size_t verts = 0, faces = 0;
    for (const auto& o : m.Model().objects) {
        verts += o.verts.size();
        faces += o.faces.size();
    }
    EXPECT_EQ(m.Model().objects.size(), want.objects);
    EXPECT_EQ(verts, want.verts);
    EXPECT_EQ(faces, want.faces);
    std::vector<std::string> got;
    for (const auto& mat : m.Model().materials)
        got.push_back(Describe(mat));
    EXPECT_EQ(got, want.materials);
    ExpectDrawable(m);

    EXPECT_NEAR(m.Unitize(), want.bottom, 1e-5);
    float lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
    for (const auto& o : m.Model().objects) {
        EXPECT_EQ(o.visibleSize, 1.0f);
        for (const auto& v : o.verts) {
            const float c[3] = {v.x, v.y, v.z};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], c[k]);
                hi[k] = std::max(hi[k], c[k]);
            }
        }
        for (const auto& f : o.faces) {
            float len = std::hypot(f.normal.x, f.normal.y, f.normal.z);
            EXPECT_NEAR(len, 1.0f, 1e-4);
        }
    }
    // Centred, largest extent 2, bottom where Unitize says.
    float largest = 0;
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(lo[k] + hi[k], 0, 1e-4);
        largest = std::max(largest, hi[k] - lo[k]);
    }
    EXPECT_NEAR(largest, 2, 1e-4);
    EXPECT_NEAR(lo[1], want.bottom, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(
    Assimp, RealModels,
    testing::Values(
        RealModel{"cube_with_diffuse_texture.3DS", 1, 32, 12, {"01 - Default|150 150 150|255|TEST.PNG"}, -1},
        // Its map sits under a specular map chunk, which is not the texture.
        RealModel{"cube_with_specular_texture.3DS", 1, 32, 12, {"01 - Default|0 0 0|255|"}, -1},
        RealModel{"cubes_with_alpha.3DS", 5, 130, 60,
                  {"04 - Default|192 0 220|255|", "01 - Default|109 0 5|255|BERETTA_.JPG", "05 - Default|47 62 0|255|",
                   "03 - Default|201 123 0|255|", "Transparent|178 8 0|211|"},
                  -0.402886f},
        RealModel{"test1.3ds", 9, 288, 108,
                  {"2 - Default|150 150 150|255|IMAGE1.JPG", "1 - Default|150 150 150|255|CWALL02.JPG",
                   "3 - Default|150 150 150|255|IMAGE2.JPG"},
                  -1},
        RealModel{"fels.3ds", 1, 386, 768, {"Default|200 200 200|255|"}, -1},
        RealModel{"CameraRollAnimWithChildObject.3ds", 3, 52, 24, {"Default|192 192 192|255|"}, -0.321563f}),
    [](const auto& info) { return test::CaseName(info.param.file); });

TEST(C3dsRealModel, FaceMaterialsFollowTheirGroups)
{
    C3DS m;
    ASSERT_TRUE(m.Load(test::k3dsModels + "cubes_with_alpha.3DS"));
    const auto& objects = m.Model().objects;
    ASSERT_EQ(objects.size(), 5u);
    for (size_t i = 0; i < objects.size(); ++i)
        for (const auto& f : objects[i].faces)
            EXPECT_EQ(f.material, int(i)) << objects[i].name;
}

// ---- hand-built chunks ----

TEST(C3dsChunks, VertexAxesSwapped)
{
    auto m = Read(Model(Object("P", Verts({{1, 2, 3}}))));
    ASSERT_EQ(m.Model().objects.size(), 1u);
    ASSERT_EQ(m.Model().objects[0].verts.size(), 1u);
    auto v = m.Model().objects[0].verts[0];
    EXPECT_EQ(v.x, 1);
    EXPECT_EQ(v.y, 3);
    EXPECT_EQ(v.z, -2);
    EXPECT_EQ(m.Problem(), "");
}

TEST(C3dsChunks, NoMaterialChunkGivesGreyDefault)
{
    auto m = Read(Model(Object("P", Cat({Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}})}))));
    ASSERT_EQ(m.Model().materials.size(), 1u);
    EXPECT_EQ(Describe(m.Model().materials[0]), "Default|192 192 192|255|");
    EXPECT_EQ(m.Model().objects[0].faces[0].material, -1); // no texture coordinates: stays -1
}

struct AlphaCase {
    const char* name;
    Bytes chunk;
    int alpha;
};

class C3dsTransparency : public testing::TestWithParam<AlphaCase> {};

TEST_P(C3dsTransparency, GivesAlpha)
{
    auto m = Read(Model(Material("M", GetParam().chunk)));
    ASSERT_EQ(m.Model().materials.size(), 1u);
    EXPECT_EQ(m.Model().materials[0].alpha, GetParam().alpha);
}

Bytes FloatPercent(float p)
{
    Bytes b;
    PutF32(b, p);
    return Chunk(0xA050, Chunk(0x0031, b));
}

INSTANTIATE_TEST_SUITE_P(
    Percentages, C3dsTransparency,
    testing::Values(AlphaCase{"Opaque", Percent(0), 255}, AlphaCase{"Half", Percent(50), 127},
                    AlphaCase{"Clear", Percent(100), 0}, AlphaCase{"AboveHundredClamps", Percent(150), 0},
                    AlphaCase{"FloatForm", FloatPercent(50), 127}, AlphaCase{"FloatNaN", FloatPercent(NAN), 255},
                    AlphaCase{"ShortChunkSkipped", Chunk(0xA050, Bytes{1}), 255},
                    AlphaCase{"ShortSubChunkSkipped", Chunk(0xA050, Chunk(0x0030, Bytes{40})), 255}),
    [](const auto& info) { return std::string(info.param.name); });

struct ColorCase {
    const char* name;
    Bytes chunk;
    std::array<uint8_t, 3> rgb;
};

class C3dsDiffuse : public testing::TestWithParam<ColorCase> {};

TEST_P(C3dsDiffuse, GivesColour)
{
    auto m = Read(Model(Material("M", Cat({GetParam().chunk, Percent(50)}))));
    ASSERT_EQ(m.Model().materials.size(), 1u);
    EXPECT_EQ(m.Model().materials[0].color, GetParam().rgb);
    EXPECT_EQ(m.Model().materials[0].alpha, 127);
    EXPECT_EQ(m.Problem(), "");
}

Bytes FloatColor(float r, float g, float b)
{
    Bytes x;
    PutF32(x, r);
    PutF32(x, g);
    PutF32(x, b);
    return Chunk(0xA020, Chunk(0x0010, x));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, C3dsDiffuse,
    testing::Values(ColorCase{"Bytes", Chunk(0xA020, Chunk(0x0011, {10, 20, 30})), {10, 20, 30}},
                    ColorCase{"GammaFormWins",
                              Chunk(0xA020, Cat({Chunk(0x0011, {10, 20, 30}), Chunk(0x0012, {11, 21, 31})})),
                              {11, 21, 31}},
                    ColorCase{"Floats", FloatColor(1, 0.5f, 0), {255, 128, 0}},
                    ColorCase{"FloatsOutOfRange", FloatColor(-3, 7, NAN), {0, 255, 0}},
                    ColorCase{"ShortChunkSkipped", Chunk(0xA020, {1, 2}), {192, 192, 192}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(C3dsChunks, MissingMaterialNameLeavesFacesAndReadsOn)
{
    Bytes mesh = Cat({Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), TexCoords(3),
                      Faces({{0, 1, 2}, {2, 1, 0}}, Cat({FaceMaterial("Nope", {0, 1}), FaceMaterial("B", {1, 9})}))});
    auto m = Read(Model(Cat({Material("A"), Material("B"), Object("P", mesh)})));
    ASSERT_EQ(m.Model().objects.size(), 1u);
    const auto& faces = m.Model().objects[0].faces;
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].material, 0); // -1, then 0 as the mesh has texture coordinates
    EXPECT_EQ(faces[1].material, 1);
    EXPECT_EQ(m.Problem(), "");
}

// Of two materials named alike, the first is the match.
TEST(C3dsChunks, RenamedMaterialMatchesByItsLastName)
{
    Bytes renamed = Chunk(0xAFFF, Cat({Chunk(0xA000, Str("X")), Chunk(0xA000, Str("Y"))}));
    Bytes mesh = Cat({Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                      Faces({{0, 1, 2}, {0, 1, 2}}, Cat({FaceMaterial("X", {0}), FaceMaterial("Y", {1})}))});
    auto m = Read(Model(Cat({renamed, Material("X"), Material("X"), Object("P", mesh)})));
    EXPECT_EQ(m.Model().objects[0].faces[0].material, 1);
    EXPECT_EQ(m.Model().objects[0].faces[1].material, 0);
}

TEST(C3dsChunks, NameLengths)
{
    std::string exact(254, 'a'), longer(300, 'b');
    auto m = Read(Model(Cat({Object(exact, Verts({{1, 1, 1}})), Object(longer, Verts({{2, 2, 2}}))})));
    ASSERT_EQ(m.Model().objects.size(), 2u);
    EXPECT_EQ(m.Model().objects[0].name, exact);
    EXPECT_EQ(m.Model().objects[1].name, std::string(254, 'b'));
    ASSERT_EQ(m.Model().objects[1].verts.size(), 1u); // the rest of the long name was dropped, not taken as data
    EXPECT_EQ(m.Model().objects[1].verts[0].x, 2);
}

TEST(C3dsChunks, NameWithoutNulStopsAtChunkEnd)
{
    Bytes unterminated = {'a', 'b', 'c'};
    auto m = Read(Model(Cat({Chunk(0xAFFF, Chunk(0xA000, unterminated)), Object("P", Verts({{1, 2, 3}}))})));
    ASSERT_EQ(m.Model().materials.size(), 1u);
    EXPECT_EQ(m.Model().materials[0].name, "abc");
    ASSERT_EQ(m.Model().objects.size(), 1u);
    EXPECT_EQ(m.Model().objects[0].verts.size(), 1u);
}

TEST(C3dsChunks, TexCoordsCheckedAfterReading)
{
    // Coordinates before the vertices, fewer than the vertices: absent.
    Bytes mesh = Cat({TexCoords(2), Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}})});
    auto m = Read(Model(Object("P", mesh)));
    EXPECT_TRUE(m.Model().objects[0].texcoords.empty());
    EXPECT_EQ(m.Model().objects[0].faces[0].material, -1);
}

TEST(C3dsChunks, FacesBeyondVerticesDropped)
{
    Bytes mesh = Cat({Faces({{0, 1, 2}, {0, 1, 3}, {3, 0, 1}}), Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})});
    auto m = Read(Model(Object("P", mesh)));
    ASSERT_EQ(m.Model().objects[0].faces.size(), 1u);
    ExpectDrawable(m);
}

// Indices at the edge of their lists, each mesh in an allocation of exactly
// its size: the last valid index is used, the count itself (one past the
// end) is left out and never written.
TEST(C3dsChunks, IndicesAtTheEdgeOfTheirLists)
{
    struct Case {
        const char* name;
        std::initializer_list<std::array<unsigned, 3>> faces;
        std::initializer_list<unsigned> grouped; // faces named by the material group
        size_t keptFaces;
        std::vector<int16_t> materials;
    };
    const Case cases[] = {
        {"last vertex", {{0, 1, 3}, {3, 2, 1}}, {}, 2, {-1, -1}},
        {"vertex count", {{0, 1, 4}, {4, 2, 1}, {0, 1, 2}}, {}, 1, {-1}},
        {"last face", {{0, 1, 2}, {1, 2, 3}}, {1}, 2, {-1, 0}},
        {"face count", {{0, 1, 2}, {1, 2, 3}}, {2}, 2, {-1, -1}},
        {"face count and last face", {{0, 1, 2}, {1, 2, 3}, {2, 3, 0}}, {3, 2, 65535}, 3, {-1, -1, 0}},
    };
    for (const Case& c : cases) {
        Bytes mesh = Cat({Verts({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}), Faces(c.faces, FaceMaterial("M", c.grouped))});
        const Bytes file = Model(Cat({Material("M"), Object("P", mesh)}));
        auto m = Read(Bytes(file.begin(), file.end()));
        ASSERT_NO_FATAL_FAILURE(ExpectDrawable(m)) << c.name;
        const auto& faces = m.Model().objects[0].faces;
        ASSERT_EQ(faces.size(), c.keptFaces) << c.name;
        for (size_t i = 0; i < faces.size(); ++i)
            EXPECT_EQ(faces[i].material, c.materials[i]) << c.name << " face " << i;
        EXPECT_EQ(m.Problem(), "") << c.name;
    }
}

TEST(C3dsChunks, DataBeforeAnyMeshOrMaterialSkipped)
{
    auto m = Read(Model(Cat({Verts({{5, 5, 5}}), Chunk(0xA000, Str("lost")), Object("P", Verts({{1, 2, 3}}))})));
    ASSERT_EQ(m.Model().objects.size(), 1u);
    EXPECT_EQ(m.Model().objects[0].verts[0].x, 1);
    EXPECT_EQ(m.Model().materials.size(), 1u);
    EXPECT_EQ(m.Model().materials[0].name, "Default");
}

TEST(C3dsChunks, OversizedRecordCountEndsReadingKeepsEarlier)
{
    Bytes bad;
    PutU16(bad, 1000); // 1000 vertices promised, one given
    PutF32(bad, 1);
    PutF32(bad, 2);
    PutF32(bad, 3);
    auto m = Read(Model(Cat({Object("A", Verts({{1, 2, 3}})), Object("B", Chunk(0x4110, bad)), Object("C", {})})));
    ASSERT_EQ(m.Model().objects.size(), 2u);
    EXPECT_EQ(m.Model().objects[0].verts.size(), 1u);
    EXPECT_TRUE(m.Model().objects[1].verts.empty());
    EXPECT_NE(m.Problem(), "");
}

TEST(C3dsChunks, SlackAtTheEndOfAContainerIsSkipped)
{
    Bytes object = Cat({Str("P"), Verts({{1, 2, 3}}), Bytes{0, 0, 0}});
    auto m = Read(Model(Cat({Chunk(0x4000, object), Object("Q", Verts({{4, 5, 6}}))})));
    EXPECT_EQ(m.Problem(), "");
    ASSERT_EQ(m.Model().objects.size(), 2u);
    EXPECT_EQ(m.Model().objects[1].verts[0].x, 4);
}

TEST(C3dsChunks, DeepNestingEndsReading)
{
    Bytes nested = Object("P", Verts({{1, 2, 3}}));
    for (int i = 0; i < 100; ++i)
        nested = Chunk(0x3D3D, nested);
    auto m = Read(Chunk(0x4D4D, nested));
    EXPECT_NE(m.Problem(), "");
    EXPECT_TRUE(m.Model().objects.empty());
    EXPECT_EQ(Read(Model(Object("P", Verts({{1, 2, 3}})))).Problem(), "");
}

TEST(C3dsChunks, NotA3dsFileIsAProblem)
{
    Bytes text(100, 'x');
    EXPECT_NE(Read(text).Problem(), "");
    EXPECT_NE(Read({}).Problem(), "");
}

TEST(C3dsLoad, UnreadableFileKeepsTheModel)
{
    C3DS m;
    ASSERT_TRUE(m.Load(test::k3dsModels + "fels.3ds"));
    EXPECT_FALSE(m.Load("/nonexistent/model.3ds"));
    EXPECT_NE(m.Problem(), "");
    EXPECT_EQ(m.Model().objects.size(), 1u);
}

// ---- Unitize ----

TEST(C3dsUnitize, EmptyModel)
{
    C3DS m;
    EXPECT_EQ(m.Unitize(), 0);
}

TEST(C3dsUnitize, SinglePointStaysUnscaled)
{
    auto m = Read(Model(Object("P", Verts({{4, 5, 6}}))));
    EXPECT_EQ(m.Unitize(), 0);
    auto v = m.Model().objects[0].verts[0];
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.z, 0);
}

TEST(C3dsUnitize, FarAwayModelFits)
{
    // All coordinates beyond 10000 in x: the bounds must come from the model.
    auto m = Read(Model(Object("P", Verts({{20000, 0, 0}, {20004, 0, 1}}))));
    EXPECT_FLOAT_EQ(m.Unitize(), -0.25f);
    const auto& v = m.Model().objects[0].verts;
    EXPECT_FLOAT_EQ(v[0].x, -1);
    EXPECT_FLOAT_EQ(v[1].x, 1);
}

TEST(C3dsUnitize, NonFiniteCoordinatesCountAsZero)
{
    float inf = std::numeric_limits<float>::infinity();
    auto m = Read(Model(Object("P", Verts({{NAN, 0, 0}, {2, inf, 2}}))));
    EXPECT_FLOAT_EQ(m.Unitize(), -1);
    for (const auto& v : m.Model().objects[0].verts) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        EXPECT_LE(std::abs(v.x), 1);
    }
}

TEST(C3dsUnitize, DegenerateFaceHasZeroNormal)
{
    Bytes mesh = Cat({Verts({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}, {0, 1, 3}})});
    auto m = Read(Model(Object("P", mesh)));
    m.Unitize();
    const auto& f = m.Model().objects[0].faces;
    EXPECT_EQ(f[0].normal.x, 0);
    EXPECT_EQ(f[0].normal.y, 0);
    EXPECT_EQ(f[0].normal.z, 0);
    // (p0 - p1) x (p1 - p2) of a counter-clockwise triangle in the file's x-y
    // plane points along the file's z, our y.
    EXPECT_NEAR(f[1].normal.y, 1, 1e-6);
}

// ---- damaged real models ----

class DamagedModels : public testing::TestWithParam<std::string> {};

TEST_P(DamagedModels, EveryPrefixReadsSafely)
{
    Bytes full = ReadFileBytes(test::k3dsModels + GetParam());
    for (size_t n = 0; n < full.size(); ++n) {
        // A copy of exactly the prefix's size, so a read past it is seen.
        auto m = Read(Bytes(full.begin(), full.begin() + n));
        ASSERT_NO_FATAL_FAILURE(ExpectDrawable(m)) << "prefix " << n;
        ASSERT_NE(m.Problem(), "") << "prefix " << n;
    }
    EXPECT_EQ(Read(full).Problem(), "");
}

TEST_P(DamagedModels, MutatedLengthsReadSafely)
{
    const Bytes full = ReadFileBytes(test::k3dsModels + GetParam());
    const uint32_t lengths[] = {0, 5, 6, 7, 0x7FFFFFFF, 0xFFFFFFFF, uint32_t(full.size())};
    for (size_t at = 0; at + 4 <= full.size(); ++at)
        for (uint32_t len : lengths) {
            Bytes b = full;
            for (int k = 0; k < 4; ++k)
                b[at + k] = uint8_t(len >> (8 * k));
            auto m = Read(b);
            ASSERT_NO_FATAL_FAILURE(ExpectDrawable(m)) << "offset " << at << " length " << len;
            m.Unitize();
        }
}

INSTANTIATE_TEST_SUITE_P(Assimp, DamagedModels,
                         testing::Values("cube_with_diffuse_texture.3DS", "cubes_with_alpha.3DS", "CameraRollAnim.3ds"),
                         [](const auto& info) { return test::CaseName(info.param); });

} // namespace
} // namespace pc

namespace pc {
namespace {

// Every input that ever troubled the fuzzer, and its seeds, read cleanly.
TEST(C3dsFuzzInputs, ReadSafely)
{
    const std::string root = std::string(PRISMCASE_SOURCE_DIR) + "/fuzz/";
    auto files = test::FilesIn(root + "crashers/fuzz_scene_3ds");
    auto seeds = test::FilesIn(root + "seeds/fuzz_scene_3ds");
    files.insert(files.end(), seeds.begin(), seeds.end());
    ASSERT_FALSE(seeds.empty());
    for (const auto& f : files) {
        C3DS m;
        ASSERT_TRUE(m.Load(f)) << f;
        ASSERT_NO_FATAL_FAILURE(ExpectDrawable(m)) << f;
        m.Unitize();
    }
}

} // namespace
} // namespace pc
