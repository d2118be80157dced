// Chunk-level rules: names and classes, where added chunks go, transparency,
// gamma, text and time chunks, and what each writes back.
#include <gtest/gtest.h>

#include <zlib.h>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_gamma_chunk.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_image_data_chunk.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_palette_chunk.h"
#include "codecs/png/png_text_chunks.h"
#include "codecs/png/png_transparency_chunk.h"
#include "tests/codecs/png/png_builder.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::Bytes;
using test::PngBuilder;

std::vector<std::string> Names(const TPNGObject& png)
{
    std::vector<std::string> out;
    for (int i = 0; i < png.Chunks().Count(); ++i)
        out.push_back(png.Chunks().Item(i)->Name());
    return out;
}

Bytes ChunkData(const TPNGObject& png, const std::string& name)
{
    for (int i = 0; i < png.Chunks().Count(); ++i)
        if (png.Chunks().Item(i)->Name() == name) {
            auto d = png.Chunks().Item(i)->Data();
            return Bytes(d.begin(), d.end());
        }
    return {};
}

// A small picture of the given type and depth with chunks inserted after IHDR.
Bytes Picture(uint8_t depth, uint8_t type, const std::vector<std::pair<std::string, Bytes>>& extra,
              const Bytes& rows = {})
{
    PngBuilder b;
    b.Ihdr(4, 2, depth, type);
    for (const auto& [name, data] : extra)
        b.Chunk(name, data);
    size_t rowBytes = (4 * depth * (type == 2 ? 3 : type == 6 ? 4 : type == 4 ? 2 : 1) + 7) / 8;
    b.Idats(test::Deflate(rows.empty() ? test::RandomRows(2, rowBytes, 0, 9) : rows));
    return b.Iend().bytes();
}

std::unique_ptr<TPNGObject> Loaded(const Bytes& file)
{
    auto png = std::make_unique<TPNGObject>();
    png->LoadFromStream(file);
    return png;
}

TEST(PngChunk, ClassesByName)
{
    TPNGObject owner;
    EXPECT_NE(dynamic_cast<TChunktEXt*>(CreateClassChunk(owner, "tEXt").get()), nullptr);
    EXPECT_NE(dynamic_cast<TChunkzTXt*>(CreateClassChunk(owner, "zTXt").get()), nullptr);
    for (const char* raw : {"teXt", "bKGD"}) {
        auto c = CreateClassChunk(owner, raw);
        EXPECT_EQ(typeid(*c), typeid(TChunk));
        EXPECT_EQ(c->Name(), raw);
    }
}

TEST(PngChunk, IendIsWrittenWithItsKnownCrc)
{
    TPNGObject png;
    png.AssignBitmap(Bitmap(1, 1));
    Bytes out = png.SaveToBytes();
    EXPECT_EQ(Bytes(out.end() - 12, out.end()), (Bytes{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
}

TEST(PngList, AddPutsChunksWhereTheFormatWantsThem)
{
    TPNGObject pal;
    pal.AssignBitmap(Bitmap(2, 2, PixelFormat::pf8bit));
    pal.Chunks().Add<TChunktRNS>();
    pal.Chunks().Add<TChunkgAMA>();
    pal.Chunks().Add<TChunktEXt>();
    EXPECT_EQ(Names(pal), (std::vector<std::string>{"IHDR", "gAMA", "PLTE", "tRNS", "IDAT", "tEXt", "IEND"}));

    TPNGObject rgb;
    rgb.AssignBitmap(Bitmap(2, 2));
    rgb.Chunks().Add<TChunktRNS>();
    EXPECT_EQ(Names(rgb), (std::vector<std::string>{"IHDR", "tRNS", "IDAT", "IEND"}));
}

TEST(PngList, AddRefusesCriticalDuplicateAndIncompleteCases)
{
    TPNGObject png;
    png.AssignBitmap(Bitmap(2, 2));
    for (const char* critical : {"IHDR", "IDAT", "PLTE", "IEND"}) {
        try {
            png.Chunks().Add(critical);
            ADD_FAILURE() << critical;
        } catch (const EPngError& e) {
            EXPECT_EQ(e.Message(), kMsgExistentChunk);
        }
    }
    png.Chunks().Add<TChunkgAMA>();
    EXPECT_THROW(png.Chunks().Add<TChunkgAMA>(), EPngError);
    png.Chunks().Remove(png.Chunks().FindChunk<TChunkIEND>());
    try {
        png.Chunks().Add<TChunktEXt>();
        ADD_FAILURE();
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), kMsgInvalidImage);
    }
}

struct TrnsCase {
    const char* name;
    Bytes alphas;
    TPNGTransparencyMode mode;
};
const TrnsCase kTrnsCases[] = {
    {"OneFullyTransparent", {255, 0, 255}, TPNGTransparencyMode::ptmBit},
    {"TwoTransparent", {0, 0, 255}, TPNGTransparencyMode::ptmPartial},
    // One entry below 255 that is not 0 is partial alpha, not a key.
    {"OneHalfTransparent", {255, 128, 255}, TPNGTransparencyMode::ptmPartial},
    {"AllOpaque", {255, 255}, TPNGTransparencyMode::ptmPartial},
};

class PaletteTrns : public testing::TestWithParam<TrnsCase> {};

TEST_P(PaletteTrns, ModeFollowsTheAlphas)
{
    auto png = Loaded(Picture(8, 3, {{"PLTE", Bytes(9, 50)}, {"tRNS", GetParam().alphas}}));
    EXPECT_EQ(png->TransparencyMode(), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Trns, PaletteTrns, testing::ValuesIn(kTrnsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngTransparency, RgbKeyIsStoredAsSixteenBitSamples)
{
    TPNGObject png;
    png.AssignBitmap(Bitmap(2, 2));
    png.SetTransparentColor(RGB(255, 0, 255));
    EXPECT_EQ(png.TransparentColor(), RGB(255, 0, 255));
    EXPECT_EQ(png.TransparencyMode(), TPNGTransparencyMode::ptmBit);
    Bytes saved = png.SaveToBytes();
    EXPECT_EQ(ChunkData(*Loaded(saved), "tRNS"), (Bytes{0, 0xFF, 0, 0, 0, 0xFF}));
}

// The key is the colour as the picture shows it, whatever the depth and gamma.
struct KeyCase {
    const char* name;
    uint8_t depth, type;
    bool gamma;
};
const KeyCase kKeyCases[] = {
    {"Grey8", 8, 0, false}, {"Grey16", 16, 0, false}, {"Grey4", 4, 0, false},   {"Grey2", 2, 0, false},
    {"Rgb8", 8, 2, false},  {"Rgb16", 16, 2, false},  {"Rgb8Gamma", 8, 2, true}, {"Grey16Gamma", 16, 0, true},
};

class KeyColour : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyColour, ReadsBackAsSetAndMatchesThePixel)
{
    const KeyCase& c = GetParam();
    std::vector<std::pair<std::string, Bytes>> extra;
    if (c.gamma)
        extra.push_back({"gAMA", test::Be32(100000)});
    auto png = Loaded(Picture(c.depth, c.type, extra));
    TColor pixel = png->Pixels(1, 1);
    png->SetTransparentColor(pixel);
    EXPECT_EQ(png->TransparentColor(), pixel);
    auto back = Loaded(png->SaveToBytes());
    EXPECT_EQ(back->TransparentColor(), pixel);
    EXPECT_EQ(back->Pixels(1, 1), pixel);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyColour, testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngTransparency, PaletteKeyMarksEveryEntryOfThatColour)
{
    Bytes plte = {1, 2, 3, 9, 9, 9, 1, 2, 3, 4, 5, 6};
    auto png = Loaded(Picture(8, 3, {{"PLTE", plte}}));
    png->SetTransparentColor(RGB(1, 2, 3));
    auto* trns = png->Chunks().FindChunk<TChunktRNS>();
    ASSERT_NE(trns, nullptr);
    EXPECT_EQ(Bytes(trns->PaletteValues.begin(), trns->PaletteValues.begin() + trns->DataSize()),
              (Bytes{0, 255, 0}));
    EXPECT_EQ(png->TransparentColor(), RGB(1, 2, 3));
}

TEST(PngTransparency, PaletteKeyNotInThePaletteRaisesAndAddsNothing)
{
    auto png = Loaded(Picture(8, 3, {{"PLTE", Bytes{1, 2, 3}}}));
    try {
        png->SetTransparentColor(RGB(0, 0, 0)); // black lies past the palette's one entry
        ADD_FAILURE();
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), kMsgNoSuchPaletteEntry);
    }
    EXPECT_EQ(png->Chunks().FindChunk<TChunktRNS>(), nullptr);
    EXPECT_EQ(png->TransparencyMode(), TPNGTransparencyMode::ptmNone);
}

TEST(PngTransparency, AlphaPicturesRefuseAKey)
{
    auto png = Loaded(Picture(8, 6, {}));
    EXPECT_THROW(png->SetTransparentColor(0), EPNGCannotChangeTransparent);
}

struct GammaCase {
    const char* name;
    Bytes data;
    int at128;
};
const GammaCase kGammaCases[] = {
    {"Linear", test::Be32(100000), 186},
    {"Display", test::Be32(45455), 128},
    {"Zero", test::Be32(0), 128},
    {"WrongSize", Bytes{0, 1, 0x86}, 128},
    {"BeyondLibpngsRange", test::Be32(0xFFFFFFFF), 128},
};

class Gamma : public testing::TestWithParam<GammaCase> {};

TEST_P(Gamma, TableFollowsTheValue)
{
    auto png = Loaded(Picture(8, 2, {{"gAMA", GetParam().data}}));
    EXPECT_EQ(png->GammaTable[128], GetParam().at128);
    if (GetParam().at128 == 128) {
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(png->GammaTable[size_t(i)], i);
    }
}

INSTANTIATE_TEST_SUITE_P(Gamma, Gamma, testing::ValuesIn(kGammaCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the first gAMA ahead of the palette and the image data counts, however
// many chunks come before it.
struct GammaPlaceCase {
    const char* name;
    std::vector<std::pair<std::string, Bytes>> chunks;
    int at128;
};
const GammaPlaceCase kGammaPlaces[] = {
    {"AfterManyChunks", {}, 186},
    {"AfterThePalette", {{"PLTE", Bytes(12, 7)}, {"gAMA", test::Be32(100000)}}, 128},
    {"SecondOne", {{"gAMA", test::Be32(45455)}, {"gAMA", test::Be32(100000)}}, 128},
    {"FirstOneBroken", {{"gAMA", Bytes{1, 2}}, {"gAMA", test::Be32(100000)}}, 128},
};

class GammaPlace : public testing::TestWithParam<GammaPlaceCase> {};

TEST_P(GammaPlace, FirstOneAheadOfPaletteAndDataApplies)
{
    auto chunks = GetParam().chunks;
    if (chunks.empty()) {
        chunks.assign(2000, {"prIv", Bytes{}});
        chunks.push_back({"gAMA", test::Be32(100000)});
    }
    auto png = Loaded(Picture(8, 2, chunks));
    EXPECT_EQ(png->GammaTable[128], GetParam().at128);
}

INSTANTIATE_TEST_SUITE_P(Gamma, GammaPlace, testing::ValuesIn(kGammaPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngGamma, AssignedCopyWritesTheSameFile)
{
    TPNGObject original;
    original.LoadFromFile(pc::test::kPngSuite + "gamma/g25n2c08.png");
    TPNGObject copy;
    copy.AssignPNG(original);
    EXPECT_EQ(copy.SaveToBytes(), original.SaveToBytes());
}

Bytes Zlib(const std::string& text)
{
    return test::Deflate(Bytes(text.begin(), text.end()));
}

Bytes ZtxtData(const std::string& keyword, uint8_t method, const Bytes& packed)
{
    Bytes d(keyword.begin(), keyword.end());
    d.push_back(0);
    d.push_back(method);
    d.insert(d.end(), packed.begin(), packed.end());
    return d;
}

// A text that inflates to exactly the limit of a text, or of what is left
// for the file's texts, is read whole.
TEST(PngText, CompressedTextInflatesWhole)
{
    const struct {
        size_t size;
        int64_t fileCap;
    } cases[] = {{1000, kPngMaxTextBytes}, {size_t(4) << 20, kPngMaxTextBytes}, {1000003, 1000003}};
    for (const auto& c : cases) {
        const std::string text(c.size, 'q');
        TPNGObject png;
        png.MaxTextBytes = c.fileCap;
        png.LoadFromStream(Picture(8, 2, {{"zTXt", ZtxtData("Comment", 0, Zlib(text))}}));
        auto* z = png.Chunks().FindChunk<TChunkzTXt>();
        ASSERT_NE(z, nullptr);
        EXPECT_EQ(z->Keyword(), "Comment");
        EXPECT_EQ(z->Text().size(), c.size);
        EXPECT_TRUE(z->Text() == text);
        EXPECT_EQ(png.LoadNote(), "");
    }
}

// Every byte a file's texts inflate to counts against its cap; past it the
// rest are left out, not even inflated, and the load says so. One that
// overruns the cap is left out too; once the cap is used up exactly, even an
// empty text is.
TEST(PngText, TextsPastTheFilesCapAreLeftOutAndNoted)
{
    const std::string a(400000, 'a'), b(400001, 'b'), rest((1 << 20) - 400000, 'r');
    const struct {
        std::vector<std::pair<std::string, std::string>> texts; // keyword, text
        std::vector<size_t> sizes;
        const char* noteStart;
    } cases[] = {
        {{{"A", a}, {"B", b}, {"C", a}, {"D", "d"}}, {400000, 400001, 0, 0}, "2 compressed texts were"},
        {{{"A", a}, {"R", rest}, {"E", ""}}, {400000, rest.size(), 0}, "1 compressed text was"},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::string, Bytes>> chunks;
        for (const auto& [keyword, text] : c.texts)
            chunks.push_back({"zTXt", ZtxtData(keyword, 0, Zlib(text))});
        TPNGObject png;
        png.MaxTextBytes = 1 << 20;
        png.LoadFromStream(Picture(8, 2, chunks));
        std::vector<size_t> sizes;
        for (int i = 0; i < png.Chunks().Count(); ++i)
            if (auto* z = dynamic_cast<TChunkzTXt*>(png.Chunks().Item(i)))
                sizes.push_back(z->Text().size());
        EXPECT_EQ(sizes, c.sizes) << c.noteStart;
        EXPECT_EQ(png.LoadNote(), std::string(c.noteStart) + " not read: a text may inflate to 4 MB, and all of a "
                                                           "picture's texts to 1 MB. They are kept as stored.");
    }
}

// Text chunks the picture could not read are written back exactly as read.
struct RawTextCase {
    const char* name;
    std::string chunk;
    Bytes data;
};
const RawTextCase kRawText[] = {
    {"UnknownMethod", "zTXt", ZtxtData("k", 1, Zlib("hello"))},
    {"BrokenStream", "zTXt", ZtxtData("k", 0, Bytes{1, 2, 3, 4})},
    {"InflatesTooFar", "zTXt", ZtxtData("k", 0, test::Deflate(Bytes(TChunkzTXt::kMaxTextSize + 1, 'a'), 9))},
    {"TextWithoutNul", "tEXt", Bytes{'a', 'b', 'c', 'd'}},
    {"ShortText", "tEXt", Bytes{'a', 0}},
    {"TimeOfWrongSize", "tIME", Bytes{7, 0xDB, 1, 2, 3}},
};

class RawText : public testing::TestWithParam<RawTextCase> {};

TEST_P(RawText, IsWrittenBackUnchanged)
{
    auto png = Loaded(Picture(8, 2, {{GetParam().chunk, GetParam().data}}));
    auto back = Loaded(png->SaveToBytes());
    EXPECT_EQ(ChunkData(*back, GetParam().chunk), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(Text, RawText, testing::ValuesIn(kRawText),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngText, UnreadableCompressedTextLoadsEmpty)
{
    auto png = Loaded(Picture(8, 2, {{"zTXt", ZtxtData("k", 1, Zlib("hello"))}}));
    EXPECT_EQ(png->Chunks().FindChunk<TChunkzTXt>()->Text(), "");
}

TEST(PngText, EditedChunksAreWrittenFromTheirFields)
{
    auto png = Loaded(Picture(8, 2, {{"tEXt", Bytes{'a', 'b'}}, {"zTXt", ZtxtData("k", 1, {})}, {"tIME", Bytes(3)}}));
    auto* t = png->Chunks().FindChunk<TChunktEXt>();
    t->SetKeyword("Title");
    t->SetText("Box");
    auto* z = png->Chunks().FindChunk<TChunkzTXt>();
    z->SetKeyword("Comment");
    z->SetText("packed text");
    png->Chunks().FindChunk<TChunktIME>()->SetTime(2011, 12, 31, 23, 59, 58);

    auto back = Loaded(png->SaveToBytes());
    EXPECT_EQ(ChunkData(*back, "tEXt"), (Bytes{'T', 'i', 't', 'l', 'e', 0, 'B', 'o', 'x'}));
    EXPECT_EQ(back->Chunks().FindChunk<TChunkzTXt>()->Text(), "packed text");
    EXPECT_EQ(ChunkData(*back, "tIME"), (Bytes{0x07, 0xDB, 12, 31, 23, 59, 58}));
    EXPECT_EQ(back->Chunks().FindChunk<TChunktIME>()->Year(), 2011);
}

} // namespace
} // namespace pc::png
