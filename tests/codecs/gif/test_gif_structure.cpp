// Colour maps, header, trailer and extension blocks at the byte level.
#include <gtest/gtest.h>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_lzw_encoder.h"
#include "gif_test_util.h"
#include "giflib_reference.h"

namespace pc::gif::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Str(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// "GIF89a", a 2x1 screen with a 2-colour global map (black, white).
const Bytes kHead = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
// A 2x1 image of indices 0, 1 at 0,0 without a local map.
const Bytes kImage = {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 0x02, 0x02, 0x44, 0x0A, 0x00};
// An image descriptor that the file's end cuts short.
const Bytes kCutImage = {0x2C, 0, 0, 0};

template <class T>
T* FirstOf(TGIFImage& gif)
{
    for (const auto& f : gif.Images().Items())
        for (const auto& e : f->Extensions().Items())
            if (auto* x = dynamic_cast<T*>(e.get()))
                return x;
    return nullptr;
}

TEST(GifColorMap, CapacityGrowsInSteps)
{
    TGIFImage gif;
    TGIFSubImage frame(&gif);
    TGIFColorMap& map = frame.ColorMap();
    for (auto [n, cap] : std::vector<std::pair<int, int>>{{1, 16}, {16, 16}, {17, 32}, {33, 64}, {250, 256}}) {
        map.Clear();
        map.SetCapacity(n);
        EXPECT_EQ(map.Capacity(), cap) << n;
    }
}

TEST(GifColorMap, OverflowAtTheTwoHundredFiftySeventhColor)
{
    TGIFImage gif;
    TGIFSubImage frame(&gif);
    for (int i = 0; i < 256; ++i)
        frame.ColorMap().Add(TGIFColor{uint8_t(i), 0, 0});
    EXPECT_THROW(
        try { frame.ColorMap().Add(TGIFColor{1, 2, 3}); } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), msg::kColorTableOverflow);
            throw;
        },
        GIFException);
    EXPECT_EQ(frame.ColorMap().Count(), 256);
}

TEST(GifColorMap, IndexOfSearchesFromTheEndUnlessSorted)
{
    TGIFImage gif;
    TGIFSubImage frame(&gif);
    frame.DoSetBounds(0, 0, 8, 1);
    TGIFColorMap& map = frame.ColorMap();
    for (int i = 0; i < 8; ++i)
        map.Add(i == 3 || i == 7 ? TGIFColor{9, 9, 9} : TGIFColor{uint8_t(i), 0, 0});
    EXPECT_EQ(map.IndexOf({9, 9, 9}), 7);
    // Every entry used once: sorting keeps the order (ties by index) and marks the map sorted.
    for (int x = 0; x < 8; ++x)
        frame.SetPixel(x, 0, uint8_t(x));
    EXPECT_TRUE(map.Optimize());
    EXPECT_TRUE(map.Optimized());
    EXPECT_EQ(map.IndexOf({9, 9, 9}), 3);
    EXPECT_EQ(frame.Pixels(5, 0), 5) << "equal usage keeps the order";
}

TEST(GifColorMap, OptimizeSortsByUseAndDropsUnused)
{
    TGIFImage gif;
    TGIFSubImage frame(&gif);
    frame.DoSetBounds(0, 0, 6, 1);
    for (int i = 0; i < 4; ++i)
        frame.ColorMap().Add(TGIFColor{uint8_t(10 * i), 0, 0});
    const uint8_t px[] = {2, 2, 2, 0, 3, 3};
    for (int x = 0; x < 6; ++x)
        frame.SetPixel(x, 0, px[x]);
    EXPECT_TRUE(frame.ColorMap().Optimize());
    EXPECT_EQ(frame.ColorMap().Count(), 3);
    EXPECT_EQ(frame.ColorMap().Color(0), (TGIFColor{20, 0, 0}));
    EXPECT_EQ(frame.ColorMap().Color(1), (TGIFColor{30, 0, 0}));
    EXPECT_EQ(frame.ColorMap().Color(2), (TGIFColor{0, 0, 0}));
    const uint8_t expect[] = {0, 0, 0, 2, 1, 1};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(frame.Pixels(x, 0), expect[x]);
}

TEST(GifColorMap, BadIndexReadWarnsAndGivesEntryZero)
{
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    gif.ColorMap().Add({1, 2, 3});
    EXPECT_EQ(gif.ColorMap().Color(5), (TGIFColor{1, 2, 3}));
    EXPECT_EQ(warnings, std::vector<std::string>{msg::kInvalidColorIndex});
    gif.ColorMap().Clear();
    EXPECT_THROW(gif.ColorMap().Color(0), GIFException);
    EXPECT_THROW(gif.ColorMap().Delete(0), GIFException);
}

TEST(GifHeader, GlobalMapsArePaddedToAPowerOfTwo)
{
    for (auto [colors, triplets, flags] : std::vector<std::tuple<int, int, int>>{{1, 2, 0x80}, {3, 4, 0x91}}) {
        TGIFImage gif;
        for (int i = 0; i < colors; ++i)
            gif.ColorMap().Add(TGIFColor{uint8_t(i + 1), 0, 0});
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        frame->DoSetBounds(0, 0, 1, 1);
        gif.Add(std::move(frame));
        const Bytes out = SaveToBytes(gif);
        EXPECT_EQ(out[10], flags) << colors;
        // Colours, zero triplets, then the image separator.
        EXPECT_EQ(out[13 + 3 * colors - 3], colors);
        for (int i = colors * 3; i < triplets * 3; ++i)
            EXPECT_EQ(out[size_t(13 + i)], 0);
        EXPECT_EQ(out[size_t(13 + triplets * 3)], 0x2C);
    }
}

struct LoadCase {
    const char* name;
    Bytes file;
    const char* error;                 // null: loads
    std::vector<std::string> warnings; // when it loads
    size_t frames = 1;
    int maxFrames = TGIFImageList::kAllFrames;
};

class GifLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(GifLoad, ErrorsAndWarnings)
{
    const auto& c = GetParam();
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, c.file, c.maxFrames);
    if (c.error) {
        EXPECT_FALSE(res.ok);
        EXPECT_EQ(res.error, c.error);
        EXPECT_TRUE(gif.Empty());
        return;
    }
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_EQ(res.warnings, c.warnings);
    EXPECT_EQ(ImageFrames(gif).size(), c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GifLoad,
    testing::Values(
        LoadCase{"plain", Concat({kHead, kImage, {0x3B}}), nullptr, {}},
        LoadCase{"four_bytes_before_signature", Concat({{1, 2, 3, 4}, kHead, kImage, {0x3B}}), nullptr, {}},
        LoadCase{"five_bytes_before_signature", Concat({{1, 2, 3, 4, 5}, kHead, kImage, {0x3B}}),
                 msg::kInvalidSignature, {}},
        LoadCase{"zero_bytes_between_blocks", Concat({kHead, {0, 0}, kImage, {0, 0x3B}}), nullptr, {}},
        LoadCase{"no_trailer", Concat({kHead, kImage}), nullptr, {}},
        LoadCase{"bad_trailer", Concat({kHead, kImage, {0x3A}}), nullptr,
                 {msg::kUnknownBlock, msg::kBadTrailer}},
        LoadCase{"stray_byte_after_extension", Concat({kHead, {0x21, 0xFE, 1, 'x', 0, 0x55}, kImage, {0x3B}}),
                 nullptr, {msg::kBadIntroducer, msg::kUnknownBlock, msg::kBadTrailer}, 0},
        LoadCase{"truncated_screen", Bytes(kHead.begin(), kHead.begin() + 9), msg::kPrematureEnd, {}},
        LoadCase{"truncated_global_map", Bytes(kHead.begin(), kHead.end() - 2), msg::kPrematureEnd, {}},
        LoadCase{"unknown_extension_label", Concat({kHead, {0x21, 0x02, 0}, kImage, {0x3B}}), nullptr,
                 {msg::kUnknownExtension}},
        LoadCase{"unknown_extension_label_at_the_end", Concat({kHead, kImage, {0x21}}), msg::kPrematureEnd, {}},
        LoadCase{"unknown_extension_data_cut", Concat({kHead, kImage, {0x21, 0x2A, 5, 1, 2}}), msg::kPrematureEnd,
                 {}},
        LoadCase{"looping_data_too_short",
                 Concat({kHead, {0x21, 0xFF, 11}, Str("NETSCAPE2.0"), {1, 1, 0}, kImage, {0x3B}}), nullptr,
                 {msg::kInvalidData}},
        LoadCase{"looping_block_cut_by_end", Concat({kHead, kImage, {0x21, 0xFF, 11}, Str("NETSCAPE2.0"), {3, 1}}),
                 nullptr, {}},
        LoadCase{"short_graphic_control", Concat({kHead, kImage, {0x21, 0xF9, 4, 1}}), nullptr,
                 {msg::kPrematureEnd}},
        LoadCase{"first_of_three_frames", Concat({kHead, kImage, kImage, kImage, {0x3B}}), nullptr, {}, 1, 1},
        LoadCase{"damaged_second_frame", Concat({kHead, kImage, kCutImage}), msg::kPrematureEnd, {}},
        LoadCase{"first_frame_before_a_damaged_one", Concat({kHead, kImage, kCutImage}), nullptr, {}, 1, 1},
        LoadCase{"zero_image_width", Concat({kHead, {0x2C, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0x02, 0x02, 0x44, 0x0A, 0x00, 0x3B}}),
                 nullptr, {msg::kExceedsScreen}}),
    [](const auto& info) { return std::string(info.param.name); });

// Pixels that use indices past their map load (shown black) and must stay
// saveable: the map grows to hold them, in black, with a warning.
struct PastTheMapCase {
    const char* name;
    int globalColors, localColors; // 0: no such map
    std::vector<uint8_t> pixels;   // a 4 x 1 frame
    int grownTo;                   // entries of the active map after loading
};

class IndicesPastTheMap : public testing::TestWithParam<PastTheMapCase> {};

TEST_P(IndicesPastTheMap, GrowTheMapAndStaySaveable)
{
    const auto& c = GetParam();
    auto mapBytes = [](int colors) {
        Bytes m;
        for (int i = 0; i < colors; ++i)
            m.insert(m.end(), {uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i)});
        return m;
    };
    auto sizeBits = [](int colors) { return uint8_t(BitsForColorCount(colors) - 1); };
    Bytes file = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 1, 0};
    file.push_back(c.globalColors ? uint8_t(0x80 | sizeBits(c.globalColors)) : 0);
    file.insert(file.end(), {0, 0});
    file = Concat({file, mapBytes(c.globalColors), {0x2C, 0, 0, 0, 0, 4, 0, 1, 0}});
    file.push_back(c.localColors ? uint8_t(0x80 | sizeBits(c.localColors)) : 0);
    file = Concat({file, mapBytes(c.localColors)});
    ByteWriter data;
    TLZWEncoder().Encode(data, 8, 256, c.pixels.data(), false, 1, 4);
    file = Concat({file, data.bytes(), {0x3B}});

    TGIFImage gif;
    const LoadResult res = LoadInto(gif, file);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_EQ(res.warnings, std::vector<std::string>{msg::kColorNotInTable});
    TGIFSubImage* f = ImageFrames(gif).at(0);
    ASSERT_EQ(f->ActiveColorMap().Count(), c.grownTo);
    const int known = c.localColors ? c.localColors : c.globalColors;
    for (int i = 0; i < c.grownTo; ++i) {
        const TGIFColor expect = i < known ? TGIFColor{uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i)} : TGIFColor{};
        EXPECT_EQ(f->ActiveColorMap().Color(i), expect) << i;
    }

    const RefGif ref = GiflibDecode(SaveToBytes(gif));
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.frames.size(), 1u);
    EXPECT_EQ(ref.frames[0].pixels, c.pixels);
    const Bytes& map = c.localColors ? ref.frames[0].localMap : ref.globalMap;
    EXPECT_GE(map.size(), size_t(c.grownTo) * 3);
}

INSTANTIATE_TEST_SUITE_P(
    Maps, IndicesPastTheMap,
    testing::Values(PastTheMapCase{"global_index_equal_to_the_count", 2, 0, {0, 1, 2, 1}, 3},
                    PastTheMapCase{"global_last_index", 4, 0, {0, 255, 3, 1}, 256},
                    PastTheMapCase{"local_index_equal_to_the_count", 2, 4, {4, 0, 0, 0}, 5},
                    PastTheMapCase{"local_beside_a_larger_global", 16, 2, {9, 1, 0, 0}, 10},
                    PastTheMapCase{"no_map_at_all", 0, 0, {0, 0, 7, 0}, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifExtensions, LoopBlockReadsAndWritesBack)
{
    const Bytes loop = Concat({{0x21, 0xFF, 0x0B}, Str("NETSCAPE2.0"), {0x03, 0x01, 0x00, 0x00, 0x00}});
    TGIFImage gif;
    ASSERT_TRUE(LoadInto(gif, Concat({kHead, loop, kImage, {0x3B}})).ok);
    auto* ext = FirstOf<TGIFAppExtNSLoop>(gif);
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->Loops(), 0);
    EXPECT_EQ(SaveToBytes(gif), Concat({kHead, loop, kImage, {0x3B}}));
}

TEST(GifExtensions, AnimextsKeepsItsIdentifier)
{
    const Bytes loop = Concat({{0x21, 0xFF, 0x0B}, Str("ANIMEXTS1.0"), {0x03, 0x01, 0x05, 0x00, 0x00}});
    TGIFImage gif;
    ASSERT_TRUE(LoadInto(gif, Concat({kHead, loop, kImage, {0x3B}})).ok);
    auto* ext = FirstOf<TGIFAppExtNSLoop>(gif);
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->Loops(), 5);
    EXPECT_EQ(ext->Identifier(), "ANIMEXTS");
    EXPECT_EQ(SaveToBytes(gif), Concat({kHead, loop, kImage, {0x3B}}));
}

// Blocks this program does not understand pass through unchanged.
class UnknownBlockKept : public testing::TestWithParam<std::pair<const char*, Bytes>> {};

TEST_P(UnknownBlockKept, ByteForByte)
{
    const Bytes file = Concat({kHead, GetParam().second, kImage, {0x3B}});
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, file);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_TRUE(res.warnings.empty());
    EXPECT_NE(FirstOf<TGIFUnknownAppExtension>(gif), nullptr);
    EXPECT_EQ(SaveToBytes(gif), file);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, UnknownBlockKept,
    testing::Values(std::pair{"unregistered_identifier",
                              Concat({{0x21, 0xFF, 11}, Str("XMP DataXMP"), {3, 'a', 'b', 'c', 1, 'd', 0}})},
                    std::pair{"block_size_10", Concat({{0x21, 0xFF, 10}, Str("ICCRGBG101"), {0}})},
                    std::pair{"block_size_3", Concat({{0x21, 0xFF, 3}, Str("abc"), {2, 1, 2, 0}})},
                    std::pair{"block_size_12", Concat({{0x21, 0xFF, 12}, Str("NETSCAPE2.0x"), {3, 1, 0, 0, 0}})}),
    [](const auto& info) { return std::string(info.param.first); });

// Labels without a class of their own are skipped by decoders: read with a
// warning and written back as they were.
struct LabelCase {
    const char* name;
    Bytes blocks;
    uint8_t label;
};

class UnknownLabelKept : public testing::TestWithParam<LabelCase> {};

TEST_P(UnknownLabelKept, WarnsAndWritesItBack)
{
    const Bytes file = Concat({kHead, GetParam().blocks, kImage, {0x3B}});
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, file);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_EQ(res.warnings, std::vector<std::string>{msg::kUnknownExtension});
    auto* ext = FirstOf<TGIFUnknownExtension>(gif);
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->GetExtensionType(), GetParam().label);
    EXPECT_EQ(ImageFrames(gif).size(), 1u);
    EXPECT_EQ(SaveToBytes(gif), file);
}

INSTANTIATE_TEST_SUITE_P(Labels, UnknownLabelKept,
                         testing::Values(LabelCase{"empty", {0x21, 0x2A, 0}, 0x2A},
                                         LabelCase{"two_sub_blocks", {0x21, 0x02, 3, 'a', 'b', 'c', 1, 0xFF, 0}, 0x02},
                                         LabelCase{"label_zero", {0x21, 0x00, 2, 0x3B, 0x2C, 0}, 0x00},
                                         LabelCase{"after_a_comment", {0x21, 0xFE, 1, 'x', 0, 0x21, 0xFA, 1, 7, 0},
                                                   0xFA}),
                         [](const auto& info) { return std::string(info.param.name); });

// A looping block too short for its kind is kept as an unknown block rather
// than refusing the file; one of exactly the needed length is a loop.
struct LoopCase {
    const char* name;
    Bytes data; // the sub-blocks after the identifier
    bool loop;
};

class LoopBlockLength : public testing::TestWithParam<LoopCase> {};

TEST_P(LoopBlockLength, ShortOnesAreKeptWithAWarning)
{
    const Bytes file = Concat({kHead, {0x21, 0xFF, 11}, Str("NETSCAPE2.0"), GetParam().data, kImage, {0x3B}});
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, file);
    ASSERT_TRUE(res.ok) << res.error;
    EXPECT_EQ(FirstOf<TGIFAppExtNSLoop>(gif) != nullptr, GetParam().loop);
    EXPECT_EQ(FirstOf<TGIFUnknownAppExtension>(gif) != nullptr, !GetParam().loop);
    EXPECT_EQ(res.warnings, GetParam().loop ? std::vector<std::string>{} : std::vector<std::string>{msg::kInvalidData});
    EXPECT_EQ(SaveToBytes(gif), file);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LoopBlockLength,
    testing::Values(LoopCase{"loops_in_two_bytes", {2, 1, 5, 0}, false},
                    LoopCase{"loops_in_three_bytes", {3, 1, 5, 0, 0}, true},
                    LoopCase{"buffer_in_four_bytes", {3, 1, 5, 0, 4, 2, 1, 2, 3, 0}, false},
                    LoopCase{"buffer_in_five_bytes", {3, 1, 5, 0, 5, 2, 1, 2, 3, 4, 0}, true},
                    LoopCase{"short_one_after_a_good_one", {3, 1, 5, 0, 1, 1, 0}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GifExtensions, CommentLinesAreSubBlocks)
{
    TGIFImage gif;
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    auto comment = std::make_unique<TGIFCommentExtension>(frame.get());
    comment->Text() = {"a", "bc", "", std::string(300, 'z')};
    frame->Extensions().Add(std::move(comment));
    gif.Add(std::move(frame));
    const Bytes out = SaveToBytes(gif);
    Bytes expect = {0x21, 0xFE, 0x01, 'a', 0x02, 'b', 'c', 255};
    expect.insert(expect.end(), 255, 'z');
    expect.push_back(45);
    expect.insert(expect.end(), 45, 'z');
    expect.push_back(0);
    expect.push_back(0x3B);
    ASSERT_GE(out.size(), expect.size());
    EXPECT_EQ(Bytes(out.end() - long(expect.size()), out.end()), expect) << "a frame of extensions only";
    EXPECT_EQ(std::string(out.begin() + 3, out.begin() + 6), "89a");
}

TEST(GifExtensions, GraphicControlFieldsRoundTrip)
{
    const Bytes gce = {0x21, 0xF9, 4, 0x0B, 0x34, 0x12, 1, 0};
    TGIFImage gif;
    ASSERT_TRUE(LoadInto(gif, Concat({kHead, gce, kImage, {0x3B}})).ok);
    auto* ext = FirstOf<TGIFGraphicControlExtension>(gif);
    ASSERT_NE(ext, nullptr);
    EXPECT_TRUE(ext->Transparent());
    EXPECT_TRUE(ext->UserInput());
    EXPECT_EQ(ext->Disposal(), TDisposalMethod::dmBackground);
    EXPECT_EQ(ext->Delay(), 0x1234);
    EXPECT_EQ(ext->TransparentColorIndex(), 1);
    EXPECT_TRUE(gif.IsTransparent());
    EXPECT_EQ(SaveToBytes(gif), Concat({kHead, gce, kImage, {0x3B}}));
}

} // namespace
} // namespace pc::gif::test
