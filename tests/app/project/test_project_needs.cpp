// A project is judged by the headers of its pictures before it is loaded:
// what its resave would write and what its textures take.
#include <gtest/gtest.h>

#include "app/project/project_needs.h"
#include "platform/errors.h"
#include "scene/pictures/texture_memory.h"
#include "tests/app/project/project_bytes.h"

namespace {

using namespace pc::project;

// The 54 bytes of a BMP header declaring w x h at the given depth.
std::vector<uint8_t> BmpHeader(int32_t w, int32_t h, uint16_t bits)
{
    std::vector<uint8_t> v = {'B', 'M'};
    auto u32 = [&](uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(uint8_t(x >> (8 * i)));
    };
    auto u16 = [&](uint16_t x) {
        v.push_back(uint8_t(x));
        v.push_back(uint8_t(x >> 8));
    };
    u32(0), u32(0), u32(54), u32(40), u32(uint32_t(w)), u32(uint32_t(h)), u16(1), u16(bits);
    for (int i = 0; i < 6; ++i)
        u32(0);
    return v;
}

std::string Name(int section, int index)
{
    return "[" + std::to_string(section) + "] " + std::to_string(index);
}

TEST(ProjectNeeds, ResaveSizeAndTexturesComeFromThePictureHeaders)
{
    const std::vector<std::vector<uint8_t>> blobs = {
        BmpHeader(100, 50, 24), // kept at 24 bits
        BmpHeader(8192, 2, 8),  // shrunk to 4096 x 1 at 24 bits
        BmpHeader(7, 3, 4),     // its own depth, with 16 colours
        std::vector<uint8_t>(37, 'x'), // no picture: written back as it is
        std::vector<uint8_t>(11, 't'), // a text
    };
    Scene s;
    s.floorTextureId = 1;
    s.floorPicture = {0, 54};
    Object box;
    box.faces[2].textureId = 1;
    box.faces[2].picture = {54, 54};
    box.faces[5].textureId = 1;
    box.faces[5].picture = {108, 54};
    s.objects[3] = box;
    Object text;
    text.kind = kKindText;
    text.faces[0].textureId = 1;
    text.faces[0].picture = {162, 37};
    text.text = {199, 11};
    s.objects[7] = text;
    Object model; // two materials on the bytes of face 2 load as one texture, in a second object too
    model.kind = kKindModel;
    model.model = {199, 11};
    model.materials.resize(2);
    for (Material& m : model.materials)
        m.textureId = 1, m.picture = {54, 54};
    s.objects[9] = model;
    s.objects[10] = model;

    const auto file = pc::test::ProjectBytes(blobs, s);
    const ProjectNeeds needs = JudgeProject(MemoryProjectSource(file), ReadProject(file).scene, Name);
    EXPECT_EQ(needs.resaveBlobBytes, (54 + 300 * 50) + (54 + 4096 * 3) + (54 + 64 + 4 * 3) + 37 + 11 + 11 + 11 + (54 + 4096 * 3));
    ASSERT_EQ(needs.pictures.size(), 4u);
    EXPECT_EQ(needs.pictures[0].name, "Floor");
    EXPECT_EQ(needs.pictures[0].textureBytes, pc::TextureBytes(128, 64));
    EXPECT_EQ(needs.pictures[1].name, "[3] 2");
    EXPECT_EQ(needs.pictures[1].textureBytes, pc::TextureBytes(4096, 1));
    EXPECT_EQ(needs.pictures[2].name, "[3] 5");
    EXPECT_EQ(needs.pictures[2].textureBytes, pc::TextureBytes(8, 4));
    EXPECT_EQ(needs.pictures[3].name, "[9] -1");
}

// Restores the scene's texture budget.
struct Budget {
    int64_t old = pc::TextureMemory::Scene().Budget();
    explicit Budget(int64_t bytes) { pc::TextureMemory::Scene().SetBudget(bytes); }
    ~Budget() { pc::TextureMemory::Scene().SetBudget(old); }
};

TEST(ProjectNeeds, AProjectThatCouldNotBeSavedAgainIsRefused)
{
    Budget plenty(int64_t(1) << 40);
    // One 4096 x 4096 32-bit header for many faces: 54 + 64 MB each, so 31
    // fit in 2 GiB and 32 do not.
    for (int faces : {31, 32}) {
        Scene s;
        for (int i = 0; i < faces; ++i) {
            if (!s.objects[size_t(i / 6)])
                s.objects[size_t(i / 6)] = Object{};
            s.objects[size_t(i / 6)]->faces[size_t(i % 6)] = Face{1, pc::clWhite, {0, 54}, nullptr};
        }
        const auto file = pc::test::ProjectBytes({BmpHeader(4096, 4096, 32)}, s);
        const ProjectNeeds needs = JudgeProject(MemoryProjectSource(file), ReadProject(file).scene, Name);
        if (faces == 31) {
            EXPECT_NO_THROW(CheckProjectNeeds(needs, 0));
            continue;
        }
        try {
            CheckProjectNeeds(needs, 0);
            ADD_FAILURE() << "accepted";
        } catch (const ProjectError& e) {
            EXPECT_STREQ(e.what(), "Saved again, its pictures, models and texts would take 2049 MB, more than the "
                                   "2048 MB a project file can hold.");
        }
    }
}

TEST(ProjectNeeds, ThePictureThatWouldPassTheTextureBudgetIsNamed)
{
    ProjectNeeds needs;
    needs.pictures = {{"Floor", 1000}, {"[0] 1", 2000}, {"[4] 3", 500}};
    const int64_t used = pc::TextureMemory::Scene().Used();
    for (int64_t freed : {int64_t(0), used}) {
        Budget exact(used - freed + 3500);
        EXPECT_NO_THROW(CheckProjectNeeds(needs, freed)) << freed;
        needs.pictures.push_back({"[5] 0", 1});
        try {
            CheckProjectNeeds(needs, freed);
            ADD_FAILURE() << "passed the budget";
        } catch (const pc::Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"[5] 0\""), std::string::npos) << e.what();
        }
        needs.pictures.pop_back();
    }
}

} // namespace
