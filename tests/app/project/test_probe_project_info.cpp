// The project-info probe as a reviewer runs it: whether the blobs a
// project's settings name fill its blob area.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <optional>

#include "platform/file_io.h"
#include "tests/app/project/project_bytes.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc::project;

// A model object whose model lies at model and whose materials' pictures at pictures.
Object ModelObject(Blob model, const std::vector<Blob>& pictures)
{
    Object o;
    o.kind = kKindModel;
    o.model = model;
    for (const Blob& p : pictures) {
        Material m;
        m.textureId = 1; // so the settings name the picture
        m.picture = p;
        o.materials.push_back(m);
    }
    return o;
}

// What project-info prints of a project of the scene and the one blob.
std::string ProjectInfo(const pc::test::TempDir& dir, const Scene& s, const std::vector<uint8_t>& blob, int& exit)
{
    pc::WriteFileAtomic(dir.file("p.qv7kb"), pc::test::ProjectBytes({blob}, s));
    const std::string out = dir.file("out.txt");
    const int status = std::system((std::string(PRISMCASE_BINARY_DIR "/prismcase-probe project-info '") +
                                    dir.file("p.qv7kb") + "' > '" + out + "' 2>&1")
                                       .c_str());
    exit = WEXITSTATUS(status);
    const auto bytes = pc::ReadFileBytes(out);
    return std::string(bytes.begin(), bytes.end());
}

TEST(ProbeProjectInfo, BlobsSharedByMaterialsCountOnce)
{
    struct Case { const char* name; std::vector<std::optional<Object>> objects; size_t blobBytes; std::string last; int exit; };
    const Case cases[] = {
        {"materials of one object share a picture",
         {ModelObject({0, 10}, {{10, 5}, {10, 5}})}, 15,
         "1 objects, 15 blob bytes of 15 in the blob area: sizes add up\n", 0},
        {"materials of two objects share a picture",
         {ModelObject({0, 10}, {{10, 5}}), std::nullopt, ModelObject({15, 4}, {{10, 5}, {}})}, 19,
         "2 objects, 19 blob bytes of 19 in the blob area: sizes add up\n", 0},
        {"bytes no setting names",
         {ModelObject({0, 10}, {{10, 5}})}, 22,
         "1 objects, 15 blob bytes of 22 in the blob area: sizes do NOT add up\n", 1},
    };
    pc::test::TempDir dir;
    for (const Case& c : cases) {
        Scene s;
        for (size_t i = 0; i < c.objects.size(); ++i)
            s.objects[i] = c.objects[i];
        int exit = 0;
        const std::string text = ProjectInfo(dir, s, std::vector<uint8_t>(c.blobBytes, 7), exit);
        EXPECT_EQ(exit, c.exit) << c.name << "\n" << text;
        EXPECT_TRUE(text.ends_with(c.last)) << c.name << "\n" << text;
    }
}

// Pictures are judged by their headers, not decoded: this RLE one of a few
// kilobytes declares more pixels than one decode may hold.
TEST(ProbeProjectInfo, PicturesAreSizedByTheirHeaders)
{
    std::vector<uint8_t> rle = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 4, 0, 0, 40, 0, 0, 0, 0, 0x40, 0, 0, 1, 0x40, 0, 0,
                                1, 0, 8, 0, 1, 0, 0, 0};
    rle.resize(54 + 1024);
    for (int row = 0; row < 16385; ++row)
        rle.insert(rle.end(), {0, 0});
    rle.insert(rle.end(), {0, 1});
    Scene s;
    s.objects[0] = Object{};
    s.objects[0]->faces[3] = {1, pc::clWhite, {0, int64_t(rle.size())}, nullptr};
    int exit = 0;
    const std::string text = ProjectInfo(pc::test::TempDir(), s, rle, exit);
    EXPECT_EQ(exit, 0) << text;
    EXPECT_NE(text.find("\n  face 3 picture 16384 x 16385\n"), std::string::npos) << text;
}

} // namespace
