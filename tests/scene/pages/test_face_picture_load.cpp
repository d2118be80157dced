// Loading a picture the program refuses, through the real GL texture store:
// the reason comes out and the face, the swatch and the material stay as
// they were.
#include <GL/gl.h>
#include <QComboBox>
#include <QTabWidget>
#include <filesystem>

#include "pages_fixture.h"
#include "platform/file_io.h"
#include "platform/gl_context.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

const std::string kPicture = std::string(PRISMCASE_SOURCE_DIR) + "/data/Pagesh.bmp";

struct Refused {
    std::string file;
    const char* reason;
};

// Refused kinds of TGA: run-length coded (the SDL sample), 16 bits, and one
// not named .tga; GIF files, which the program writes but does not read, by
// content or by name.
std::vector<Refused> RefusedPictures(const TempDir& dir)
{
    std::vector<uint8_t> sixteen = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 16, 0};
    sixteen.resize(sixteen.size() + 8, 0x55);
    WriteFileAtomic(dir.file("sixteen.tga"), sixteen);
    std::filesystem::copy_file(kSdlImages + "palette.gif", dir.file("palette.png"),
                               std::filesystem::copy_options::overwrite_existing);
    WriteFileAtomic(dir.file("typed.GIF"), std::vector<uint8_t>{1, 2, 3});
    std::vector<uint8_t> trueColour = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0}; // 3 x 2
    trueColour.resize(trueColour.size() + 18, 0x7F);
    WriteFileAtomic(dir.file("targa.bmp"), trueColour);
    const char* gif = "GIF files are not read as pictures: save the picture as PNG or BMP and load that.";
    return {{kSdlImages + "sample.tga", "Only uncompressed true-colour TGA pictures can be read"},
            {dir.file("sixteen.tga"), "Only 24 and 32-bit TGA pictures can be read"},
            {kSdlImages + "palette.gif", gif},
            {dir.file("palette.png"), gif},
            {dir.file("typed.GIF"), gif},
            {dir.file("targa.bmp"), "The file holds a TGA picture, but its name does not end in .tga: rename it to load it."}};
}

class RefusedPictureLoad : public ::testing::Test {
protected:
    RefusedPictureLoad()
    {
        ctx->Bind(16, 16, true);
        commands.SetDefaultPictureFolder(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
    }
    ~RefusedPictureLoad() override { RemoveWorkFolder(); }

    GLTSObject& Add(int kind, std::optional<std::string> model = std::nullopt)
    {
        const int slot = commands.AddObject(kind, model);
        if (slot < 0 || !table.At(slot))
            throw std::runtime_error("object not added");
        return *table.At(slot);
    }

    // Loads a refused picture: it must throw the reader's reason.
    void ExpectRefused(FacePicture& pic, const Refused& picture)
    {
        try {
            LoadFacePicture(pic, picture.file, textures, RGB(0, 255, 0));
            ADD_FAILURE() << picture.file << " loaded";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), picture.reason) << picture.file;
        }
    }

    std::unique_ptr<GLContext> ctx = GLContext::Create();
    TempDir dir;
    GLTextureStore textures;
    RecordingHost host;
    ObjectTable table;
    QTabWidget tabs;
    ObjectCommands commands{tabs, table, textures, host};
};

TEST_F(RefusedPictureLoad, FaceKeepsItsPictureOrItsColour)
{
    GLTSObject& page = Add(0);
    FacePicture& textured = *page.Faces[0];
    LoadFacePicture(textured, kPicture, textures, RGB(0, 255, 0));
    FacePicture& plain = *page.Faces[1];
    SetFaceColor(plain, RGB(200, 30, 40), RGB(0, 255, 0), textures);
    for (FacePicture* face : {&textured, &plain}) {
        const int tag = face->Tag;
        const TColor brush = face->BrushColor;
        const QImage canvas = face->Canvas();
        for (const Refused& picture : RefusedPictures(dir)) {
            const std::string& file = picture.file;
            ExpectRefused(*face, picture);
            EXPECT_EQ(face->Tag, tag) << file;
            EXPECT_EQ(face->BrushColor, brush) << file; // what the face is drawn with in 3D
            EXPECT_EQ(face->Canvas(), canvas) << file;
        }
        if (tag > 0)
            EXPECT_TRUE(glIsTexture(GLuint(tag)));
    }
}

TEST_F(RefusedPictureLoad, MaterialKeepsItsTextureAndMapFile)
{
    GLTSObject& page = Add(kKindModel, k3dsModels + "cubes_with_alpha.3DS");
    page.ListBoxes[0]->setCurrentIndex(1);
    FacePicture& swatch = *page.Faces[0];
    LoadFacePicture(swatch, kPicture, textures, clBlack);
    const C3DS::tMaterialInfo before = page.Model->Model().materials[1];
    ASSERT_GT(before.textureId, 0);
    const QImage canvas = swatch.Canvas();
    for (const Refused& picture : RefusedPictures(dir)) {
        const std::string& file = picture.file;
        ExpectRefused(swatch, picture);
        const C3DS::tMaterialInfo& m = page.Model->Model().materials[1];
        EXPECT_EQ(m.textureId, before.textureId) << file;
        EXPECT_EQ(m.mapFile, before.mapFile) << file;
        EXPECT_EQ(m.color, before.color) << file;
        EXPECT_EQ(swatch.Tag, before.textureId) << file;
        EXPECT_EQ(swatch.Canvas(), canvas) << file;
        EXPECT_TRUE(glIsTexture(GLuint(before.textureId))) << file;
        EXPECT_TRUE(FileExists(m.mapFile)) << file;
    }
}

} // namespace
} // namespace pc::test
