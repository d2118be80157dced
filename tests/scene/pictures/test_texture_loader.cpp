// LoadTexture on OSMesa: the texture holds the picture's colours, the work
// files are written, failures leave the old texture alone.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/gl_context.h"
#include "platform/paths.h"
#include "scene/pictures/texture_loader.h"
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

} // namespace
} // namespace pc
