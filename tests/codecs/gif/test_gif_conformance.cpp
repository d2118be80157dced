// The GIF conformance suite and broken files of gdk-pixbuf, read by us and
// by giflib: what both accept must agree frame by frame, pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "gif_test_util.h"
#include "giflib_reference.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

using pc::test::CaseName;
using pc::test::FilesIn;
using pc::test::kGifTestImages;

std::string Stem(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}

std::string ParamName(const testing::TestParamInfo<std::string>& info)
{
    return CaseName(std::filesystem::path(info.param).parent_path().filename().string() + "_" + Stem(info.param));
}

int LoopCount(TGIFImage& gif)
{
    for (const auto& f : gif.Images().Items())
        for (const auto& e : f->Extensions().Items())
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(e.get()))
                return loop->Loops();
    return -1;
}

// Files of the suite we refuse on purpose, and why.
const std::map<std::string, std::string> kRefused = {
    {"image-zero-height", msg::kPrematureEnd}, // the file ends inside the local map
    {"image-zero-size", msg::kPrematureEnd},
};

// Our map is giflib's, grown with black entries when pixels use indices past
// its end (with a warning), so that the picture can be saved again.
void ExpectMapOrGrown(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& ref, const LoadResult& res)
{
    if (ours.size() == ref.size()) {
        EXPECT_EQ(ours, ref);
        return;
    }
    ASSERT_GT(ours.size(), ref.size());
    EXPECT_TRUE(std::equal(ref.begin(), ref.end(), ours.begin()));
    EXPECT_TRUE(std::all_of(ours.begin() + long(ref.size()), ours.end(), [](uint8_t v) { return v == 0; }));
    EXPECT_NE(std::find(res.warnings.begin(), res.warnings.end(), msg::kColorNotInTable), res.warnings.end());
}

class GifSuite : public testing::TestWithParam<std::string> {};

TEST_P(GifSuite, AgreesWithGiflib)
{
    const auto bytes = ReadAll(GetParam());
    const RefGif ref = GiflibDecode(bytes);
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, bytes);

    if (auto it = kRefused.find(Stem(GetParam())); it != kRefused.end()) {
        EXPECT_FALSE(res.ok);
        EXPECT_EQ(res.error, it->second);
        return;
    }
    ASSERT_TRUE(res.ok) << res.error;
    if (!ref.ok)
        return; // giflib refuses it; loading without a crash is all we ask

    EXPECT_EQ(gif.Width(), ref.width);
    EXPECT_EQ(gif.Height(), ref.height);
    EXPECT_EQ(gif.BackgroundColorIndex(), ref.background);
    ExpectMapOrGrown(MapBytes(gif.ColorMap()), ref.globalMap, res);
    EXPECT_EQ(LoopCount(gif), ref.loopCount);

    auto frames = ImageFrames(gif);
    ASSERT_EQ(frames.size(), ref.frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const RefFrame& rf = ref.frames[i];
        TGIFSubImage& f = *frames[i];
        EXPECT_EQ(f.BoundsRect(), (TRect{rf.left, rf.top, rf.left + rf.width, rf.top + rf.height}));
        EXPECT_EQ(f.Interlaced(), rf.interlaced);
        ExpectMapOrGrown(MapBytes(f.ColorMap()), rf.localMap, res);
        EXPECT_EQ(f.TransparentIndex(), rf.transparent);
        if (rf.hasGce) {
            ASSERT_NE(f.GraphicControlExtension(), nullptr);
            EXPECT_EQ(f.GraphicControlExtension()->Delay(), rf.delay);
            EXPECT_EQ(int(f.GraphicControlExtension()->Disposal()), rf.disposal);
        }
        EXPECT_TRUE(f.Data() == rf.pixels) << "pixel indices differ";
    }
}

INSTANTIATE_TEST_SUITE_P(Conformance, GifSuite,
                         testing::ValuesIn(FilesIn(kGifTestImages + "gif-test-suite", {".gif"})), ParamName);

// Damaged input: a clean GIFException or a load with warnings, never a
// crash or hang. What loads must also render and save (or refuse cleanly).
class BrokenGif : public testing::TestWithParam<std::string> {};

TEST_P(BrokenGif, FailsCleanly)
{
    const auto bytes = ReadAll(GetParam());
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, bytes);
    if (!res.ok) {
        EXPECT_TRUE(gif.Empty()) << "a failed load leaves the image cleared";
        return;
    }
    for (const auto& f : gif.Images().Items())
        f->GetBitmap();
    try {
        SaveToBytes(gif);
    } catch (const GIFException&) {
        // e.g. no frames, or indices beyond the map: refused with a message
    }
}

std::vector<std::string> BrokenFiles()
{
    auto files = FilesIn(kGifTestImages + "fail", {".gif"});
    for (const auto& f : FilesIn(kGifTestImages + "randomly-modified", {".gif"}))
        files.push_back(f);
    for (const auto& f : FilesIn(std::string(PRISMCASE_SOURCE_DIR) + "/fuzz/crashers/fuzz_gif_reader"))
        files.push_back(f);
    return files;
}

INSTANTIATE_TEST_SUITE_P(Damaged, BrokenGif, testing::ValuesIn(BrokenFiles()), ParamName);

} // namespace
} // namespace pc::gif::test
