// Image data coding: our LZW encoder writes the very bytes giflib writes,
// the run-length encoder's output decodes with giflib, and the decoder copes
// with damaged data.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_lzw_decoder.h"
#include "codecs/gif/gif_lzw_encoder.h"
#include "codecs/gif/gif_rle_encoder.h"
#include "gif_test_util.h"
#include "giflib_reference.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

std::vector<uint8_t> OurImageData(const std::vector<uint8_t>& pixels, int w, int h, int codeSize, bool interlaced,
                                  bool rle = false)
{
    ByteWriter out;
    std::unique_ptr<TGIFEncoder> enc;
    if (rle)
        enc = std::make_unique<TRLEEncoder>();
    else
        enc = std::make_unique<TLZWEncoder>();
    enc->Encode(out, codeSize, 1 << codeSize, pixels.data(), interlaced, h, w);
    return out.take();
}

struct Decoded {
    std::vector<uint8_t> pixels;
    std::vector<std::string> warnings;
    size_t endPos = 0;
};

Decoded OurDecode(const std::vector<uint8_t>& data, int w, int h, bool interlaced, uint8_t fill = 0)
{
    Decoded d;
    d.pixels.assign(size_t(w) * size_t(h), fill);
    ByteReader r(data);
    LzwDecode(r, d.pixels.data(), w, h, interlaced, [&](const std::string& m) { d.warnings.push_back(m); });
    d.endPos = r.pos();
    return d;
}

// Pixels of a given texture: noise, short runs, long runs.
enum class Texture { Noise, Runs, Solid, Gradient };

std::vector<uint8_t> MakePixels(Texture t, int w, int h, int colors, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> px(size_t(w) * size_t(h));
    uint8_t cur = 0;
    for (size_t i = 0; i < px.size(); ++i) {
        switch (t) {
        case Texture::Noise: px[i] = uint8_t(rng() % unsigned(colors)); break;
        case Texture::Runs:
            if (rng() % 9 == 0)
                cur = uint8_t(rng() % unsigned(colors));
            px[i] = cur;
            break;
        case Texture::Solid: px[i] = uint8_t(colors - 1); break;
        case Texture::Gradient: px[i] = uint8_t((i % size_t(w)) * size_t(colors) / size_t(w)); break;
        }
    }
    return px;
}

struct Shape {
    int w, h;
};

using EncodeCase = std::tuple<int, bool, Shape, Texture>;

class LzwAgainstGiflib : public testing::TestWithParam<EncodeCase> {};

TEST_P(LzwAgainstGiflib, SameBytesAndDecodesBack)
{
    auto [codeSize, interlaced, shape, texture] = GetParam();
    const auto px = MakePixels(texture, shape.w, shape.h, 1 << codeSize, unsigned(shape.w * 31 + codeSize));
    const auto ours = OurImageData(px, shape.w, shape.h, codeSize, interlaced);
    EXPECT_EQ(ours, GiflibImageData(px, shape.w, shape.h, codeSize, interlaced));
    const Decoded back = OurDecode(ours, shape.w, shape.h, interlaced);
    EXPECT_TRUE(back.warnings.empty());
    EXPECT_TRUE(back.pixels == px);
    EXPECT_EQ(back.endPos, ours.size());
}

std::string EncodeCaseName(const testing::TestParamInfo<EncodeCase>& info)
{
    static const char* kTex[] = {"noise", "runs", "solid", "gradient"};
    auto [codeSize, interlaced, shape, texture] = info.param;
    return "bits" + std::to_string(codeSize) + (interlaced ? "_interlaced_" : "_") + std::to_string(shape.w) + "x" +
           std::to_string(shape.h) + "_" + kTex[int(texture)];
}

INSTANTIATE_TEST_SUITE_P(Random, LzwAgainstGiflib,
                         testing::Combine(testing::Values(1, 2, 3, 4, 5, 6, 7, 8), testing::Bool(),
                                          testing::Values(Shape{1, 1}, Shape{1, 9}, Shape{3, 3}, Shape{17, 5},
                                                          Shape{250, 3}, Shape{301, 211}),
                                          testing::Values(Texture::Noise, Texture::Runs, Texture::Solid,
                                                          Texture::Gradient)),
                         EncodeCaseName);

// Real pictures nobody here drew: every frame of the conformance suite and
// other GIFs shipped in Debian, re-encoded with their own code size. The
// pixels are giflib's; where giflib refuses a file, ours (damaged data keeps
// what decoded), which must then also decode back from what we write.
class LzwRealPictures : public testing::TestWithParam<std::string> {};

struct Frame {
    std::vector<uint8_t> pixels;
    int width, height;
};

std::vector<Frame> DecodedFrames(const std::vector<uint8_t>& file, bool& byGiflib)
{
    std::vector<Frame> frames;
    const RefGif ref = GiflibDecode(file);
    byGiflib = ref.ok;
    if (ref.ok) {
        for (const RefFrame& f : ref.frames)
            frames.push_back({f.pixels, f.width, f.height});
        return frames;
    }
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, file);
    EXPECT_TRUE(res.ok) << res.error;
    for (TGIFSubImage* f : ImageFrames(gif))
        frames.push_back({f->Data(), f->Width(), f->Height()});
    return frames;
}

TEST_P(LzwRealPictures, SameBytesAsGiflib)
{
    bool byGiflib = false;
    const std::vector<Frame> frames = DecodedFrames(ReadAll(GetParam()), byGiflib);
    size_t checked = 0;
    for (const Frame& f : frames) {
        if (f.pixels.empty())
            continue;
        int maxIndex = *std::max_element(f.pixels.begin(), f.pixels.end());
        int codeSize = std::max(2, BitsForColorCount(maxIndex + 1));
        for (bool interlaced : {false, true}) {
            const auto ours = OurImageData(f.pixels, f.width, f.height, codeSize, interlaced);
            EXPECT_EQ(ours, GiflibImageData(f.pixels, f.width, f.height, codeSize, interlaced));
            if (!byGiflib)
                EXPECT_TRUE(OurDecode(ours, f.width, f.height, interlaced).pixels == f.pixels);
        }
        ++checked;
    }
    EXPECT_GT(checked, 0u) << "a picture with pixels";
}

// Files with pixels to re-encode: the suite's screens without frames are left out.
std::vector<std::string> RealGifs()
{
    std::vector<std::string> files = ReadableSuiteFiles();
    files.push_back(pc::test::kSdlImages + "palette.gif");
    files.push_back("/usr/share/doc/libsixel-examples/examples/images/seq2gif.gif");
    std::erase_if(files, [](const std::string& f) {
        TGIFImage gif;
        return !LoadInto(gif, ReadAll(f)).ok || ImageFrames(gif).empty();
    });
    return files;
}

INSTANTIATE_TEST_SUITE_P(Files, LzwRealPictures, testing::ValuesIn(RealGifs()),
                         [](const auto& info) { return pc::test::CaseName(std::filesystem::path(info.param).stem()); });

// The run-length coder writes different bytes, but any decoder must read them.
class RleDecodesWithGiflib : public testing::TestWithParam<EncodeCase> {};

TEST_P(RleDecodesWithGiflib, SamePixels)
{
    auto [codeSize, interlaced, shape, texture] = GetParam();
    const int colors = 1 << codeSize;
    const auto px = MakePixels(texture, shape.w, shape.h, colors, unsigned(shape.h * 7 + codeSize));
    TGIFImage gif;
    gif.SetCompression(TGIFCompression::gcRLE);
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    frame->DoSetBounds(0, 0, shape.w, shape.h);
    for (int i = 0; i < colors; ++i)
        frame->ColorMap().Add(TGIFColor{uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
    frame->SetInterlaced(interlaced);
    for (int y = 0; y < shape.h; ++y)
        std::copy_n(px.data() + size_t(y) * size_t(shape.w), shape.w, frame->Scanline(y));
    gif.Add(std::move(frame));
    const RefGif ref = GiflibDecode(SaveToBytes(gif));
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.frames.size(), 1u);
    EXPECT_TRUE(ref.frames[0].pixels == px);
}

INSTANTIATE_TEST_SUITE_P(Random, RleDecodesWithGiflib,
                         testing::Combine(testing::Values(1, 2, 3, 4, 8), testing::Bool(),
                                          testing::Values(Shape{1, 1}, Shape{7, 3}, Shape{64, 64}, Shape{400, 300}),
                                          testing::Values(Texture::Noise, Texture::Runs, Texture::Solid,
                                                          Texture::Gradient)),
                         EncodeCaseName);

TEST(LzwEncoder, OnePixelFrameIsClearPixelEnd)
{
    EXPECT_EQ(OurImageData({0}, 1, 1, 1, false), (std::vector<uint8_t>{0x02, 0x02, 0x44, 0x01, 0x00}));
}

// An index equal to the colour count is one past the map: both encoders
// refuse it wherever it stands, and accept the last valid index.
struct OutOfMapCase {
    const char* name;
    std::vector<uint8_t> pixels; // 3 colours: index 3 is the first outside
    bool refused;
};

class EncoderIndexEdge : public testing::TestWithParam<std::tuple<OutOfMapCase, bool>> {};

TEST_P(EncoderIndexEdge, RefusesTheColourCountItself)
{
    const auto& [c, rle] = GetParam();
    ByteWriter out;
    std::unique_ptr<TGIFEncoder> enc;
    if (rle)
        enc = std::make_unique<TRLEEncoder>();
    else
        enc = std::make_unique<TLZWEncoder>();
    std::string error;
    try {
        enc->Encode(out, 2, 3, c.pixels.data(), false, 1, int(c.pixels.size()));
    } catch (const GIFException& e) {
        error = e.what();
    }
    EXPECT_EQ(error, c.refused ? msg::kColorNotInTable : "");
    if (!c.refused) {
        const Decoded back = OurDecode(out.bytes(), int(c.pixels.size()), 1, false);
        EXPECT_TRUE(back.pixels == c.pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncoderIndexEdge,
    testing::Combine(testing::Values(OutOfMapCase{"first", {3, 0, 1, 2}, true},
                                     OutOfMapCase{"middle", {0, 1, 3, 1, 0}, true},
                                     OutOfMapCase{"last", {0, 1, 2, 3}, true},
                                     OutOfMapCase{"repeat_of_a_known_string", {0, 1, 0, 1, 0, 3}, true},
                                     OutOfMapCase{"last_valid_everywhere", {2, 2, 1, 2, 2, 2}, false}),
                     testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_rle" : "_lzw");
    });

TEST(LzwEncoder, CodesNeverExceedTwelveBits)
{
    // Noise never repeats strings, so the table fills and clears often.
    const auto px = MakePixels(Texture::Noise, 512, 512, 256, 5);
    const auto data = OurImageData(px, 512, 512, 8, false);
    const Decoded back = OurDecode(data, 512, 512, false);
    EXPECT_TRUE(back.warnings.empty());
    EXPECT_TRUE(back.pixels == px);
}

// ---- decoder on damaged data ----

// Re-chunks image data into sub-blocks of n bytes.
std::vector<uint8_t> Rechunk(const std::vector<uint8_t>& data, size_t n)
{
    std::vector<uint8_t> codes;
    size_t pos = 1;
    while (data[pos] != 0) {
        codes.insert(codes.end(), data.begin() + long(pos) + 1, data.begin() + long(pos) + 1 + data[pos]);
        pos += 1 + data[pos];
    }
    std::vector<uint8_t> out = {data[0]};
    for (size_t i = 0; i < codes.size(); i += n) {
        size_t k = std::min(n, codes.size() - i);
        out.push_back(uint8_t(k));
        out.insert(out.end(), codes.begin() + long(i), codes.begin() + long(i + k));
    }
    out.push_back(0);
    return out;
}

TEST(LzwDecoder, OneByteSubBlocksWithWideCodes)
{
    const auto px = MakePixels(Texture::Noise, 200, 100, 256, 11);
    const auto data = Rechunk(OurImageData(px, 200, 100, 8, false), 1);
    const Decoded back = OurDecode(data, 200, 100, false);
    EXPECT_TRUE(back.warnings.empty());
    EXPECT_TRUE(back.pixels == px);
}

TEST(LzwDecoder, DataCutShortKeepsWhatWasDecoded)
{
    const auto px = MakePixels(Texture::Gradient, 64, 64, 16, 3);
    auto data = OurImageData(px, 64, 64, 4, false);
    data.resize(data.size() / 2); // no end code, no terminator
    const Decoded back = OurDecode(data, 64, 64, false, 9);
    EXPECT_FALSE(back.warnings.empty());
    EXPECT_TRUE(std::equal(back.pixels.begin(), back.pixels.begin() + 64, px.begin())) << "first row decoded";
    EXPECT_EQ(back.pixels.back(), 9) << "the rest keeps the fill value";
    EXPECT_EQ(back.endPos, data.size());
}

TEST(LzwDecoder, SubBlocksAfterTheEndCodeAreSkipped)
{
    const std::vector<uint8_t> px = {1, 2, 3, 0};
    auto data = OurImageData(px, 2, 2, 2, false);
    data.pop_back();
    data.insert(data.end(), {3, 0xAA, 0xBB, 0xCC, 2, 0x11, 0x22, 0});
    data.push_back(0x3B);
    const Decoded back = OurDecode(data, 2, 2, false);
    EXPECT_TRUE(back.pixels == px);
    EXPECT_EQ(data[back.endPos], 0x3B) << "the reader stops past the terminator";
}

struct DamageCase {
    const char* name;
    std::vector<uint8_t> data;
    const char* warning;
    bool swallowsTrailer = false; // a count past the end takes everything that follows
};

class LzwDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(LzwDamage, StopsWithAWarning)
{
    const auto& c = GetParam();
    auto data = c.data;
    data.push_back(0x3B);
    const Decoded back = OurDecode(data, 4, 4, false, 7);
    ASSERT_FALSE(back.warnings.empty());
    EXPECT_EQ(back.warnings.front(), c.warning);
    if (c.swallowsTrailer)
        EXPECT_EQ(back.endPos, data.size());
    else
        EXPECT_EQ(back.endPos, data.size() - 1) << "the image data is consumed up to its terminator";
}

// Codes are packed LSB first; with code size 2 they are 3 bits wide.
INSTANTIATE_TEST_SUITE_P(
    Cases, LzwDamage,
    testing::Values(DamageCase{"code_size_0", {0x00, 0x01, 0xFF, 0x00}, msg::kBadCodeSize},
                    DamageCase{"code_size_12", {0x0C, 0x02, 0xFF, 0xFF, 0x00}, msg::kBadCodeSize},
                    // clear (4), then code 7: beyond the next free code 6
                    DamageCase{"code_beyond_table", {0x02, 0x01, 0x3C, 0x00}, msg::kCircularEntry},
                    // clear, then code 6 as the first code: no string defined yet
                    DamageCase{"first_code_not_literal", {0x02, 0x01, 0x34, 0x00}, msg::kCircularEntry},
                    // clear, literal 1, then the data runs out
                    DamageCase{"no_end_code", {0x02, 0x01, 0x0C, 0x00}, msg::kBitBufferUnderrun},
                    DamageCase{"count_past_the_end", {0x02, 0x09, 0x0C}, msg::kPrematureEnd, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pc::gif::test
