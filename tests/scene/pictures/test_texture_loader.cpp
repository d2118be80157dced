// LoadTexture on OSMesa: the texture holds the picture's colours, the work
// files are written, failures leave the old texture alone.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/gl_context.h"
#include "platform/paths.h"
#include "scene/pictures/texture_loader.h"
#include "scene/pictures/texture_memory.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

using test::TempDir;

class TextureLoader : public testing::Test {
protected:
    void SetUp() override
    {
        ctx = GLContext::Create();
        ctx->Bind(16, 16, true);
    }
    // Each test gets a fresh work folder, as each run of the program does.
    void TearDown() override { RemoveWorkFolder(); }
    // Four quadrants: red, green / blue, white.
    static Bitmap Quadrants(int w, int h)
    {
        Bitmap b(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b.SetPixel(x, y, y < h / 2 ? (x < w / 2 ? RGB(255, 0, 0) : RGB(0, 255, 0))
                                           : (x < w / 2 ? RGB(0, 0, 255) : RGB(255, 255, 255)));
        return b;
    }
    std::unique_ptr<GLContext> ctx;
    TempDir dir;
};

TEST_F(TextureLoader, TextureSamplesThePictureColours)
{
    // 40 x 24 is no power of two, so GLU scales it first.
    SaveBmpFile(dir.file("q.bmp"), Quadrants(40, 24));
    TextureId tex = 0;
    auto thumb = LoadTexture(dir.file("q.bmp"), tex);
    ASSERT_TRUE(thumb);
    ASSERT_NE(tex, 0u);
    glBindTexture(GL_TEXTURE_2D, tex);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    ASSERT_GT(w, 4);
    ASSERT_GT(h, 4);
    std::vector<uint8_t> texels(size_t(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    // GL row 0 is the picture's bottom row.
    auto at = [&](int x, int y) { const uint8_t* p = &texels[(size_t(y) * w + x) * 4]; return RGB(p[0], p[1], p[2]); };
    EXPECT_EQ(at(w / 4, 3 * h / 4), RGB(255, 0, 0));
    EXPECT_EQ(at(3 * w / 4, 3 * h / 4), RGB(0, 255, 0));
    EXPECT_EQ(at(w / 4, h / 4), RGB(0, 0, 255));
    EXPECT_EQ(at(3 * w / 4, h / 4), RGB(255, 255, 255));

    EXPECT_EQ(LoadBmpFile(TextureWorkFile(tex)), Quadrants(40, 24));
    // The thumbnail: the picture in 64 x 64, white in the 65th row and column.
    ASSERT_EQ(thumb->Width(), 65);
    ASSERT_EQ(thumb->Height(), 65);
    EXPECT_EQ(thumb->Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(thumb->Pixel(50, 50), RGB(255, 255, 255));
    EXPECT_EQ(thumb->Pixel(10, 50), RGB(0, 0, 255));
    for (int i = 0; i < 65; ++i) {
        EXPECT_EQ(thumb->Pixel(64, i), clWhite);
        EXPECT_EQ(thumb->Pixel(i, 64), clWhite);
    }
}

TEST_F(TextureLoader, SamePictureTwiceGivesTwoWorkFiles)
{
    SaveBmpFile(dir.file("q.bmp"), Quadrants(8, 8));
    TextureId a = 0, b = 0;
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), a));
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), b));
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(TextureWorkFile(a)));
    EXPECT_TRUE(FileExists(TextureWorkFile(b)));
}

TEST_F(TextureLoader, ReplacesTheOldTextureOnlyOnSuccess)
{
    SaveBmpFile(dir.file("q.bmp"), Quadrants(8, 8));
    TextureId tex = 0;
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), tex));
    const TextureId first = tex;

    // A broken file throws and leaves the texture alone.
    WriteFileAtomic(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10});
    EXPECT_THROW(LoadTexture(dir.file("broken.jpg"), tex), Error);
    EXPECT_EQ(tex, first);
    EXPECT_TRUE(glIsTexture(first));
    EXPECT_FALSE(FileExists(WorkBitmapPath()));

    // A refused TGA says why and changes nothing either.
    WriteFileAtomic(dir.file("rle.tga"), {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0});
    try {
        LoadTexture(dir.file("rle.tga"), tex);
        ADD_FAILURE() << "run-length TGA accepted";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "Only uncompressed true-colour TGA pictures can be read");
    }
    EXPECT_EQ(tex, first);
    EXPECT_TRUE(glIsTexture(first));

    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), tex));
    EXPECT_NE(tex, first);
    EXPECT_FALSE(glIsTexture(first));

    // An empty name releases the texture; the number stays for the caller.
    const TextureId second = tex;
    EXPECT_FALSE(LoadTexture("", tex));
    EXPECT_EQ(tex, second);
    EXPECT_FALSE(glIsTexture(second));
}

// Broken pictures made by others: no texture, no work file, the old texture kept.
TEST_F(TextureLoader, BrokenPicturesLeaveNoWorkFile)
{
    SaveBmpFile(dir.file("q.bmp"), Quadrants(8, 8));
    TextureId tex = 0;
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), tex));
    const TextureId first = tex;
    auto countWorkFiles = [] {
        return std::distance(std::filesystem::directory_iterator(TextureFolder()), std::filesystem::directory_iterator());
    };
    const auto before = countWorkFiles();
    for (const auto& f : test::FilesIn(test::kGifTestImages + "fail/", {".bmp", ".ico", ".jpg", ".png", ".tga"})) {
        EXPECT_THROW(LoadTexture(f, tex), Error) << f;
        EXPECT_EQ(tex, first) << f;
        EXPECT_FALSE(FileExists(WorkBitmapPath())) << f;
    }
    EXPECT_EQ(countWorkFiles(), before);
    EXPECT_TRUE(glIsTexture(first));
}

TEST_F(TextureLoader, LoadsTheWorkBitmapItself)
{
    SaveBmpFile(WorkBitmapPath(), Quadrants(8, 8));
    TextureId tex = 0;
    EXPECT_TRUE(LoadTexture(WorkBitmapPath(), tex));
    EXPECT_EQ(LoadBmpFile(TextureWorkFile(tex)), Quadrants(8, 8));
}

// The texels of a texture, level 0, as R,G,B,A rows from the bottom.
std::vector<uint8_t> Texels(TextureId tex)
{
    glBindTexture(GL_TEXTURE_2D, tex);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<uint8_t> texels(size_t(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

TEST_F(TextureLoader, BytesInMemoryGiveWhatTheirFileGives)
{
    // An 8-bit picture keeps its depth through the converter; an odd size.
    Bitmap eight(13, 7, PixelFormat::pf8bit);
    eight.Palette().resize(256);
    for (int i = 0; i < 256; ++i)
        eight.Palette()[size_t(i)] = RGBQuad{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            eight.ScanLine(y)[x] = uint8_t(x * 19 + y * 3);
    SaveBmpFile(dir.file("e.bmp"), eight);
    std::vector<uint8_t> bytes = ReadFileBytes(dir.file("e.bmp"));
    // As the converter writes it, then with a resolution it does not write.
    for (uint8_t resolution : {0, 19}) {
        bytes[38] = resolution;
        WriteFileAtomic(dir.file("e.bmp"), bytes);
        TextureId fromFile = 0, fromBytes = 0;
        auto thumbFile = LoadTexture(dir.file("e.bmp"), fromFile);
        auto thumbBytes = LoadTextureFromBmp(bytes, "e", fromBytes);
        ASSERT_TRUE(thumbFile && thumbBytes);
        EXPECT_EQ(*thumbBytes, *thumbFile);
        EXPECT_EQ(ReadFileBytes(TextureWorkFile(fromBytes)), ReadFileBytes(TextureWorkFile(fromFile))) << int(resolution);
        EXPECT_EQ(Texels(fromBytes), Texels(fromFile));
        EXPECT_EQ(Texels(fromBytes)[0], 18 * 7); // bottom-left: palette entry 6 * 3, its red
    }
}

// Every level whose sides are both above 1 is what GLU makes of the picture,
// where GLU reads its own rows right (4 pixels and more).
TEST_F(TextureLoader, PowerOfTwoMipmapsAreGlusOwn)
{
    for (auto [w, h] : {std::pair{16, 4}, std::pair{4, 32}, std::pair{64, 64}}) {
        Bitmap noise(w, h, PixelFormat::pf24bit);
        uint32_t seed = uint32_t(w * 131 + h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * 3; ++x)
                noise.ScanLine(y)[x] = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        SaveBmpFile(dir.file("n.bmp"), noise);
        TextureId ours = 0;
        ASSERT_TRUE(LoadTexture(dir.file("n.bmp"), ours));
        Bitmap flipped(w, h, PixelFormat::pf24bit);
        for (int y = 0; y < h; ++y)
            std::copy(noise.ScanLine(h - 1 - y), noise.ScanLine(h - 1 - y) + w * 3, flipped.ScanLine(y));
        GLuint glu = 0;
        glGenTextures(1, &glu);
        glBindTexture(GL_TEXTURE_2D, glu);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 3, w, h, GL_BGR, GL_UNSIGNED_BYTE, flipped.Data()), 0);
        for (int level = 0; (w >> level) >= 4 && (h >> level) > 1; ++level) {
            std::vector<uint8_t> a(size_t(w >> level) * size_t(h >> level) * 4), b(a.size());
            glBindTexture(GL_TEXTURE_2D, ours);
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
            glBindTexture(GL_TEXTURE_2D, glu);
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, b.data());
            EXPECT_EQ(a, b) << w << " x " << h << " level " << level;
        }
        glDeleteTextures(1, &glu);
    }
}

// 40 x 24 becomes a 32 x 32 texture, 4 bytes a texel, a third more for its mipmaps.
constexpr int64_t kQuadrantTexture = 32 * 32 * 4 + 32 * 32 * 4 / 3;

TEST_F(TextureLoader, APictureBeyondTheSceneBudgetIsRefusedByName)
{
    TextureMemory& memory = TextureMemory::Scene();
    const int64_t oldBudget = memory.Budget();
    SaveBmpFile(dir.file("q.bmp"), Quadrants(40, 24));
    memory.SetBudget(memory.Used() + 2 * kQuadrantTexture);
    TextureId a = 0, b = 0, c = 0;
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), a));
    ASSERT_TRUE(LoadTexture(dir.file("q.bmp"), b));
    const auto files = std::distance(std::filesystem::directory_iterator(TextureFolder()), {});
    try {
        LoadTexture(dir.file("q.bmp"), c);
        ADD_FAILURE() << "passed the budget";
    } catch (const Error& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("\"" + dir.file("q.bmp") + "\""), std::string::npos) << text;
        EXPECT_NE(text.find("at most " + MegabytesText(memory.Budget())), std::string::npos) << text;
    }
    EXPECT_EQ(c, 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(TextureFolder()), {}), files);
    // A replacement needs room beside the old texture while it is made;
    // releasing one makes room.
    EXPECT_THROW(LoadTexture(dir.file("q.bmp"), b), Error);
    LoadTexture("", a);
    EXPECT_TRUE(LoadTexture(dir.file("q.bmp"), c));
    memory.SetBudget(oldBudget);
}

TEST(TextureBytes, CountsThePowerOfTwoSizeGluScalesTo)
{
    struct Case {
        int w, h;
        int64_t texels;
    };
    for (const Case& k : {Case{1, 1, 1}, Case{3, 5, 4 * 4}, Case{6, 7, 8 * 8}, Case{40, 24, 32 * 32},
                          Case{4095, 2049, 4096 * 2048}, Case{4096, 4096, 4096 * 4096}})
        EXPECT_EQ(TextureBytes(k.w, k.h), k.texels * 4 + k.texels * 4 / 3) << k.w << " x " << k.h;
}

} // namespace
} // namespace pc
