// Files made at test time: valid layouts the decoder must take, and broken or
// hostile ones that must raise the codec's error quickly and cleanly.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <functional>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_object.h"
#include "tests/codecs/png/allocation_watch.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/codecs/png/png_builder.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::Bytes;
using test::PngBuilder;

// A 300 x 300 RGB picture of noise stored (level 0): its one IDAT is far
// longer than the 65535-byte read window.
Bytes NoiseStream()
{
    return test::Deflate(test::RandomRows(300, 900, 0, 7), 0);
}

TEST(PngCrafted, LastIdatLongerThanTheReadWindowLoads)
{
    auto file = PngBuilder().Ihdr(300, 300, 8, 2).Idats(NoiseStream()).Iend().bytes();
    TPNGObject png;
    ASSERT_NO_THROW(png.LoadFromStream(file));
    test::ExpectSamePixels(png, test::DecodeWithLibpng(file));
}

TEST(PngCrafted, StreamSplitOverIdatsOfAnySizeDecodesTheSame)
{
    Bytes stream = NoiseStream();
    TPNGObject whole, split;
    whole.LoadFromStream(PngBuilder().Ihdr(300, 300, 8, 2).Idats(stream).Iend().bytes());
    split.LoadFromStream(PngBuilder().Ihdr(300, 300, 8, 2).Idats(stream, {1, 0, 7, 65536, 100}).Iend().bytes());
    EXPECT_TRUE(whole.Header().Image == split.Header().Image);
}

TEST(PngCrafted, LateIdatCHrmAndSecondTrnsAreDropped)
{
    Bytes rows = test::RandomRows(4, 12, 0, 1);
    auto file = PngBuilder()
                    .Ihdr(4, 4, 8, 2)
                    .Chunk("cHRM", Bytes(32, 1))
                    .Idats(test::Deflate(rows))
                    .Chunk("tRNS", {0, 1, 0, 2, 0, 3})
                    .Chunk("tEXt", {'a', 0, 'b'})
                    .Chunk("IDAT", {1, 2, 3})
                    .Chunk("tRNS", {0, 4, 0, 5, 0, 6})
                    .Iend()
                    .bytes();
    TPNGObject png;
    png.LoadFromStream(file);
    std::vector<std::string> names;
    for (int i = 0; i < png.Chunks().Count(); ++i)
        names.push_back(png.Chunks().Item(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"IHDR", "IDAT", "tRNS", "tEXt", "IEND"}));
    EXPECT_EQ(png.TransparentColor(), RGB(1, 2, 3));
}

TEST(PngCrafted, UnknownAncillaryChunkIsKeptAndWrittenBackUnchanged)
{
    Bytes data = {9, 8, 7, 0, 6};
    auto file = PngBuilder()
                    .Ihdr(2, 2, 8, 0)
                    .Chunk("prIv", data)
                    .Idats(test::Deflate(test::RandomRows(2, 2, 0, 3)))
                    .Iend()
                    .bytes();
    TPNGObject png;
    png.LoadFromStream(file);
    TPNGObject back;
    back.LoadFromStream(png.SaveToBytes());
    auto* chunk = back.Chunks().Item(1);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->Name(), "prIv");
    EXPECT_EQ(Bytes(chunk->Data().begin(), chunk->Data().end()), data);
}

Bytes NeedsDictionary()
{
    Bytes raw = test::RandomRows(2, 6, 0, 5);
    z_stream z{};
    deflateInit(&z, 6);
    const Bytef dict[] = "dictionary";
    deflateSetDictionary(&z, dict, sizeof dict);
    Bytes out(256);
    z.next_in = raw.data();
    z.avail_in = uInt(raw.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

Bytes Rgb2x2Stream()
{
    return test::Deflate(test::RandomRows(2, 6, 0, 5));
}

struct BrokenCase {
    const char* name;
    std::function<Bytes()> make;
    std::function<void(TPNGObject&, const Bytes&)> expect;
};

template <class E>
std::function<void(TPNGObject&, const Bytes&)> Raises()
{
    return [](TPNGObject& png, const Bytes& file) { EXPECT_THROW(png.LoadFromStream(file), E); };
}

// The error class, with a message that names what is wrong.
template <class E>
std::function<void(TPNGObject&, const Bytes&)> RaisesNaming(std::string fault)
{
    return [fault](TPNGObject& png, const Bytes& file) {
        try {
            png.LoadFromStream(file);
            ADD_FAILURE() << "loaded";
        } catch (const E& e) {
            EXPECT_NE(std::string(e.what()).find(fault), std::string::npos) << e.what();
        }
    };
}

// Rows of a 2 x 2 RGB picture, plain or Adam7 (passes 0, 5 and 6 hold its
// pixels), with one row's filter type replaced.
Bytes StreamWithFilter(bool adam7, size_t row, uint8_t filter)
{
    Bytes raw = adam7 ? test::RandomRows(1, 3, 0, 5) : test::RandomRows(2, 6, 0, 5);
    if (adam7) {
        Bytes more = test::RandomRows(1, 3, 0, 6), last = test::RandomRows(1, 6, 0, 7);
        raw.insert(raw.end(), more.begin(), more.end());
        raw.insert(raw.end(), last.begin(), last.end());
    }
    const size_t starts[2][3] = {{0, 7, 0}, {0, 4, 8}};
    raw[starts[adam7][row]] = filter;
    return test::Deflate(raw);
}

Bytes IhdrWithFilterMethod(uint8_t method)
{
    Bytes d = test::Be32(2);
    Bytes h = test::Be32(2);
    d.insert(d.end(), h.begin(), h.end());
    d.insert(d.end(), {8, 2, 0, method, 0});
    return d;
}

const BrokenCase kBroken[] = {
    {"FilterMethod1",
     [] { return PngBuilder().Chunk("IHDR", IhdrWithFilterMethod(1)).Idats(Rgb2x2Stream()).Iend().bytes(); },
     RaisesNaming<EPngInvalidIHDR>("unknown filter method 1")},
    {"LastRowOfFilterType7",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).Idats(StreamWithFilter(false, 1, 7)).Iend().bytes(); },
     RaisesNaming<EPNGZLIBError>("unknown filter type 7 in row 1")},
    {"FirstRowOfFilterType5",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).Idats(StreamWithFilter(false, 0, 5)).Iend().bytes(); },
     RaisesNaming<EPNGZLIBError>("unknown filter type 5 in row 0")},
    {"Adam7PassRowOfFilterType7",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2, 1).Idats(StreamWithFilter(true, 2, 7)).Iend().bytes(); },
     RaisesNaming<EPNGZLIBError>("unknown filter type 7 in row 1")},
    {"NeedDictionary", [] { return PngBuilder().Ihdr(2, 2, 8, 2).Idats(NeedsDictionary()).Iend().bytes(); },
     Raises<EPNGZLIBError>()},
    {"GarbageInsteadOfDeflate",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).Chunk("IDAT", Bytes(20, 0xFF)).Iend().bytes(); },
     Raises<EPNGZLIBError>()},
    {"StreamEndsBeforeTheLastRow",
     [] { return PngBuilder().Ihdr(2, 3, 8, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPNGMissingMultipleIDAT>()},
    {"StreamContinuesPastAText",
     [] {
         Bytes s = Rgb2x2Stream();
         Bytes head(s.begin(), s.begin() + 4), tail(s.begin() + 4, s.end());
         return PngBuilder().Ihdr(2, 2, 8, 2).Chunk("IDAT", head).Chunk("tEXt", {'k', 0}).Chunk("IDAT", tail).Iend().bytes();
     },
     Raises<EPNGMissingMultipleIDAT>()},
    {"SecondIdatWithBadCrc",
     [] {
         Bytes s = Rgb2x2Stream();
         Bytes head(s.begin(), s.begin() + 4), tail(s.begin() + 4, s.end());
         return PngBuilder().Ihdr(2, 2, 8, 2).Chunk("IDAT", head).Chunk("IDAT", tail, true).Iend().bytes();
     },
     Raises<EPngInvalidCRC>()},
    {"FileEndsInsideIdat",
     [] {
         Bytes f = PngBuilder().Ihdr(300, 300, 8, 2).Idats(NoiseStream()).Iend().bytes();
         f.resize(f.size() / 2);
         return f;
     },
     Raises<EPngUnexpectedEnd>()},
    {"FileEndsBeforeIend", [] { return PngBuilder().Ihdr(2, 2, 8, 2).Idats(Rgb2x2Stream()).bytes(); },
     Raises<EPngUnexpectedEnd>()},
    {"ChunkLengthAllOnes",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).RawLength(0xFFFFFFFF, "tEXt").bytes(); }, Raises<EPngUnexpectedEnd>()},
    {"ChunkLongerThanTheFile",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).RawLength(1 << 30, "IDAT").bytes(); }, Raises<EPngUnexpectedEnd>()},
    {"SizeBomb", [] { return PngBuilder().Ihdr(60000, 60000, 16, 6).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPNGSizeExceeds>()},
    {"WidthZero", [] { return PngBuilder().Ihdr(0, 2, 8, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPngInvalidIHDR>()},
    {"HeightZero", [] { return PngBuilder().Ihdr(2, 0, 8, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPngInvalidIHDR>()},
    {"Width65536", [] { return PngBuilder().Ihdr(65536, 1, 8, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPNGSizeExceeds>()},
    {"RgbOfDepth4", [] { return PngBuilder().Ihdr(2, 2, 4, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPngInvalidIHDR>()},
    {"PaletteOfDepth16", [] { return PngBuilder().Ihdr(2, 2, 16, 3).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPngInvalidIHDR>()},
    {"InterlaceMethod2", [] { return PngBuilder().Ihdr(2, 2, 8, 2, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPNGUnknownInterlace>()},
    {"CompressionMethod1", [] { return PngBuilder().Ihdr(2, 2, 8, 2, 0, 1).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPNGUnknownCompression>()},
    {"ShortIhdr", [] { return PngBuilder().Chunk("IHDR", Bytes(12, 1)).Iend().bytes(); }, Raises<EPngInvalidIHDR>()},
    {"SecondIhdr",
     [] { return PngBuilder().Ihdr(2, 2, 8, 2).Ihdr(2, 2, 8, 2).Idats(Rgb2x2Stream()).Iend().bytes(); },
     Raises<EPngInvalidIHDR>()},
    {"IhdrNotFirst", [] { return PngBuilder().Chunk("tEXt", {'a', 0}).Ihdr(2, 2, 8, 2).Iend().bytes(); },
     Raises<EPNGIHDRNotFirst>()},
    {"PaletteWithoutPlte",
     [] { return PngBuilder().Ihdr(2, 2, 8, 3).Idats(test::Deflate(test::RandomRows(2, 2, 0, 1))).Iend().bytes(); },
     Raises<EPNGInvalidPalette>()},
    {"PlteNotMultipleOf3", [] { return PngBuilder().Ihdr(2, 2, 8, 3).Chunk("PLTE", Bytes(769)).Iend().bytes(); },
     Raises<EPNGInvalidPalette>()},
    {"Plte257Entries", [] { return PngBuilder().Ihdr(2, 2, 8, 3).Chunk("PLTE", Bytes(771)).Iend().bytes(); },
     Raises<EPNGInvalidPalette>()},
    {"Trns257Bytes",
     [] { return PngBuilder().Ihdr(2, 2, 8, 3).Chunk("PLTE", Bytes(6)).Chunk("tRNS", Bytes(257)).Iend().bytes(); },
     Raises<EPNGInvalidPalette>()},
    {"UnknownCriticalChunk", [] { return PngBuilder().Ihdr(2, 2, 8, 2).Chunk("CRIT", {}).Iend().bytes(); },
     Raises<EPNGUnknownCriticalChunk>()},
    {"NoImageData", [] { return PngBuilder().Ihdr(2, 2, 8, 2).Iend().bytes(); }, Raises<EPNGNoImageData>()},
    {"AncillaryChunkWithBadCrc", [] { return PngBuilder().Ihdr(2, 2, 8, 2).Chunk("tEXt", {'a', 0}, true).bytes(); },
     Raises<EPngInvalidCRC>()},
};

class PngBroken : public testing::TestWithParam<BrokenCase> {};

TEST_P(PngBroken, RaisesAndKeepsThePictureItHad)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn3p04.png");
    Bytes before = png.SaveToBytes();
    GetParam().expect(png, GetParam().make());
    EXPECT_EQ(png.SaveToBytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Crafted, PngBroken, testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

// Every filter type there is decodes, plain and Adam7: the refusal above
// stops at the first type beyond them.
TEST(PngFilters, TypesUpToPaethDecodeInEveryRow)
{
    for (bool adam7 : {false, true})
        for (uint8_t filter = 0; filter <= 4; ++filter)
            for (size_t row = 0; row < (adam7 ? 3u : 2u); ++row) {
                TPNGObject png;
                EXPECT_NO_THROW(png.LoadFromStream(
                    PngBuilder().Ihdr(2, 2, 8, 2, adam7).Idats(StreamWithFilter(adam7, row, filter)).Iend().bytes()))
                    << int(filter) << " in row " << row << (adam7 ? " (Adam7)" : "");
            }
}

// Nothing is written that reading would refuse.
TEST(PngFilters, HeaderWithAnotherFilterMethodIsNotSaved)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn2c08.png");
    png.Header().FilterMethod = 1;
    EXPECT_THROW(png.SaveToBytes(), EPngInvalidIHDR);
}

// A side may be as long as the format allows; only the total is capped.
TEST(PngSize, SidesOf65535Load)
{
    struct Side {
        uint32_t width, height;
        uint8_t type;
        size_t rowBytes;
    };
    for (Side s : {Side{65535, 1, 2, 65535 * 3}, Side{1, 65535, 0, 1}, Side{65535, 2, 3, 65535}}) {
        SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
        PngBuilder b;
        b.Ihdr(s.width, s.height, 8, s.type);
        if (s.type == 3)
            b.Chunk("PLTE", test::RandomRows(1, 767, 0, 4));
        auto file = b.Idats(test::Deflate(test::RandomRows(s.height, s.rowBytes, 1, 11))).Iend().bytes();
        TPNGObject png;
        try {
            png.LoadFromStream(file);
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
        test::ExpectSamePixels(png, test::DecodeWithLibpng(file));
    }
}

// The 74-byte file of a 16384 x 16384 RGBA picture, and others over a cap:
// refused before anything is allocated for them, saying how large they are.
TEST(PngSize, TooLargeSaysHowLargeAndAllocatesNothing)
{
    struct Large {
        uint32_t width, height;
        uint8_t depth, type;
        int64_t maxPixels;
        const char* message;
    };
    const Large cases[] = {
        {16384, 16384, 8, 6, int64_t(1) << 30,
         "This \"Portable Network Graphics\" image is too large: 16384 x 16384 pixels need 1024 MB of memory, "
         "and a picture may use at most 256 MB."},
        {65535, 65535, 1, 0, int64_t(1) << 30,
         "This \"Portable Network Graphics\" image is too large: 65535 x 65535 pixels, and a picture may have at "
         "most 1073741824 pixels."},
        {9000, 9000, 16, 2, int64_t(1) << 30,
         "This \"Portable Network Graphics\" image is too large: 9000 x 9000 pixels need 309 MB of memory, and a "
         "picture may use at most 256 MB."},
        {1001, 1000, 8, 0, 1000000,
         "This \"Portable Network Graphics\" image is too large: 1001 x 1000 pixels, and a picture may have at "
         "most 1000000 pixels."},
    };
    for (const Large& c : cases) {
        SCOPED_TRACE(c.message);
        auto file = PngBuilder().Ihdr(c.width, c.height, c.depth, c.type).Idats(Rgb2x2Stream()).Iend().bytes();
        TPNGObject png;
        png.Limits.maxPixels = c.maxPixels;
        test::AllocationWatch watch;
        try {
            png.LoadFromStream(file);
            ADD_FAILURE() << "loaded";
        } catch (const EPNGSizeExceeds& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_LT(watch.Largest(), size_t(1) << 16);
    }
    EXPECT_EQ(PngBuilder().Ihdr(16384, 16384, 8, 6).Idats(Bytes(17)).Iend().bytes().size(), 74u);
}

// Pictures within the budget get their rows only when the file holds the
// data for them: a few bytes of image data never make a large allocation.
TEST(PngSize, RowsAreAllocatedOnlyForDataThatIsThere)
{
    struct Small {
        uint32_t width, height;
        uint8_t depth, type, interlace;
    };
    for (Small c : {Small{8000, 8000, 8, 0, 0}, Small{4096, 4096, 8, 6, 1}, Small{1, 65535, 16, 2, 0}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        auto file = PngBuilder()
                        .Ihdr(c.width, c.height, c.depth, c.type, c.interlace)
                        .Chunk("tRNS", Bytes(6))
                        .Idats(test::Deflate(Bytes(20000)))
                        .Iend()
                        .bytes();
        TPNGObject png;
        test::AllocationWatch watch;
        EXPECT_THROW(png.LoadFromStream(file), EPNGMissingMultipleIDAT);
        EXPECT_LT(watch.Largest(), size_t(1) << 20);
    }
}

// Every prefix of real files (plain, Adam7, palette, 16-bit alpha, text,
// image data in many IDAT chunks) fails with the codec's own error, never
// anything else. Each prefix is its own heap block of exactly its size, so a
// read past the cut is a read past the block, which AddressSanitizer reports.
TEST(PngPrefixes, EveryPrefixRaisesTheCodecsError)
{
    for (const char* name :
         {"basic/basn3p04.png", "interlacing/basi6a16.png", "chunk/ctzn0g04.png", "order/oi9n2c16.png"}) {
        Bytes file = test::ReadAll(test::kPngSuite + name);
        for (size_t n = 0; n < file.size(); ++n) {
            TPNGObject png;
            Bytes prefix(file.begin(), file.begin() + long(n));
            ASSERT_EQ(prefix.capacity(), n);
            EXPECT_THROW(png.LoadFromStream(prefix), PngException) << name << " cut at " << n;
        }
    }
}

// Inputs that once broke the reader (found by fuzzing) fail cleanly, or
// load and save back to the same pixels plain and interlaced.
TEST(PngCrashers, FailCleanlyOrRoundTrip)
{
    auto files = test::FilesIn(PRISMCASE_SOURCE_DIR "/fuzz/crashers/fuzz_png_reader");
    EXPECT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path);
        TPNGObject png;
        try {
            png.LoadFromStream(test::ReadAll(path));
        } catch (const PngException&) {
            continue;
        }
        for (uint8_t interlace : {0, 1}) {
            png.InterlaceMethod = interlace;
            TPNGObject back;
            back.LoadFromStream(png.SaveToBytes());
            EXPECT_TRUE(back.Header().Image == png.Header().Image);
            EXPECT_EQ(back.Header().Alpha, png.Header().Alpha);
        }
    }
}

} // namespace
} // namespace pc::png
