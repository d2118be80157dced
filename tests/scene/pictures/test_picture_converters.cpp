// The picture-file converters against real pictures, cross-checked with Qt's
// own readers, and against broken files.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <filesystem>
#include <functional>
#include <zlib.h>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "codecs/png/png_object.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/picture_converters.h"
#include "scene/pictures/picture_png.h"
#include "scene/pictures/tga_reader.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

using test::kGifTestImages;
using test::kSdlImages;
using test::TempDir;

// Largest channel difference between our picture and Qt's.
int MaxDifference(const Bitmap& ours, const QImage& theirs)
{
    EXPECT_EQ(ours.Width(), theirs.width());
    EXPECT_EQ(ours.Height(), theirs.height());
    if (ours.Width() != theirs.width() || ours.Height() != theirs.height())
        return 256;
    int worst = 0;
    for (int y = 0; y < ours.Height(); ++y)
        for (int x = 0; x < ours.Width(); ++x) {
            const TColor c = ours.Pixel(x, y);
            const QRgb q = theirs.pixel(x, y);
            worst = std::max({worst, std::abs(GetRValue(c) - qRed(q)), std::abs(GetGValue(c) - qGreen(q)),
                              std::abs(GetBValue(c) - qBlue(q))});
        }
    return worst;
}

// Qt's picture drawn over white, the way our converters composite.
QImage OnWhite(const QImage& img)
{
    QImage out(img.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = img.pixel(x, y);
            int a = qAlpha(p);
            auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            out.setPixel(x, y, qRgb(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p))));
        }
    return out;
}

struct RealPicture {
    std::string file;
    int tolerance;
};

class ConvertRealPicture : public testing::TestWithParam<RealPicture> {};

TEST_P(ConvertRealPicture, MatchesQtReader)
{
    TempDir dir;
    const std::string src = kSdlImages + GetParam().file;
    const std::string out = dir.file("out.bmp");
    ASSERT_NO_THROW(ConvertPictureFile(src, out));
    Bitmap ours = LoadBmpFile(out);
    QImage theirs(QString::fromStdString(src));
    ASSERT_FALSE(theirs.isNull());
    EXPECT_LE(MaxDifference(ours, OnWhite(theirs.convertToFormat(QImage::Format_ARGB32))), GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(Sdl, ConvertRealPicture,
                         testing::Values(RealPicture{"sample.bmp", 0}, RealPicture{"sample.ico", 0},
                                         RealPicture{"sample.cur", 0}, RealPicture{"sample.jpg", 2}, RealPicture{"sample.png", 0}),
                         [](const auto& info) { return test::CaseName(info.param.file); });

// The file without its gAMA chunk: the codec corrects gamma, Qt does not, and
// only the compositing is compared here.
std::vector<uint8_t> WithoutGamma(const std::vector<uint8_t>& png)
{
    std::vector<uint8_t> out(png.begin(), png.begin() + 8);
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t len = size_t(png[at]) << 24 | size_t(png[at + 1]) << 16 | size_t(png[at + 2]) << 8 | png[at + 3];
        const size_t end = std::min(png.size(), at + 12 + len);
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) != "gAMA")
            out.insert(out.end(), png.begin() + at, png.begin() + end);
        at = end;
    }
    return out;
}

// PNG pictures with every kind of transparency come in drawn over white.
class ConvertPngSuite : public testing::TestWithParam<std::string> {};

TEST_P(ConvertPngSuite, CompositedOnWhiteAsQtDoes)
{
    TempDir dir;
    WriteFileAtomic(dir.file("in.png"), WithoutGamma(ReadFileBytes(GetParam())));
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("in.png"), dir.file("out.bmp")));
    QImage theirs(QString::fromStdString(dir.file("in.png")));
    ASSERT_FALSE(theirs.isNull());
    // 16-bit samples are rounded to 8 bits on slightly different paths.
    EXPECT_LE(MaxDifference(LoadBmpFile(dir.file("out.bmp")), OnWhite(theirs.convertToFormat(QImage::Format_ARGB32))), 2);
}

INSTANTIATE_TEST_SUITE_P(Transparency, ConvertPngSuite,
                         testing::ValuesIn([] {
                             auto v = test::FilesIn(test::kPngSuite + "basic/", {".png"});
                             auto w = test::FilesIn(test::kPngSuite + "transparency/", {".png"});
                             // Qt mixes up 16-bit RGB colour keys (alpha on the wrong pixels).
                             std::erase_if(w, [](const std::string& f) { return f.ends_with("n2c16.png"); });
                             v.insert(v.end(), w.begin(), w.end());
                             return v;
                         }()),
                         [](const auto& info) { return test::CaseName(info.param); });

// An icon whose image is a PNG, as Vista-style icons store their large sizes.
TEST(Icon, PngEntryGoesThroughThePngCodec)
{
    const auto png = ReadFileBytes(kSdlImages + "sample.png");
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 23, 42, 0, 0, 1, 0, 32, 0};
    const uint32_t size = uint32_t(png.size()), offset = 22;
    for (uint32_t v : {size, offset})
        for (int k = 0; k < 4; ++k)
            ico.push_back(uint8_t(v >> (8 * k)));
    ico.insert(ico.end(), png.begin(), png.end());
    TempDir dir;
    WriteFileAtomic(dir.file("p.ico"), ico);
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("p.ico"), dir.file("p.bmp")));
    QImage theirs(QString::fromStdString(kSdlImages + "sample.png"));
    EXPECT_EQ(MaxDifference(LoadBmpFile(dir.file("p.bmp")), OnWhite(theirs.convertToFormat(QImage::Format_ARGB32))), 0);
}

// TGA files written here from the BMP sample in each of the four origins.
std::vector<uint8_t> MakeTga(const Bitmap& bmp, int bits, uint8_t descriptor)
{
    std::vector<uint8_t> f = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    f.push_back(uint8_t(bmp.Width()));
    f.push_back(uint8_t(bmp.Width() >> 8));
    f.push_back(uint8_t(bmp.Height()));
    f.push_back(uint8_t(bmp.Height() >> 8));
    f.push_back(uint8_t(bits));
    f.push_back(descriptor);
    const bool top = descriptor & 0x20, right = descriptor & 0x10;
    for (int fy = 0; fy < bmp.Height(); ++fy)
        for (int fx = 0; fx < bmp.Width(); ++fx) {
            TColor c = bmp.Pixel(right ? bmp.Width() - 1 - fx : fx, top ? fy : bmp.Height() - 1 - fy);
            f.push_back(GetBValue(c));
            f.push_back(GetGValue(c));
            f.push_back(GetRValue(c));
            if (bits == 32)
                f.push_back(0x80);
        }
    return f;
}

// Every prefix of a picture, each in its own allocation of exactly its size
// so that a read past it is seen by AddressSanitizer: every reader refuses
// every prefix.
struct PrefixCase {
    const char* name;
    std::function<std::vector<uint8_t>()> file;
    std::function<Bitmap(std::span<const uint8_t>)> read;
};

std::vector<PrefixCase> PrefixCases()
{
    auto sdl = [](const char* name) { return [name] { return ReadFileBytes(kSdlImages + name); }; };
    auto tga = [](int bits) {
        return [bits] {
            Bitmap sample = LoadBmpFile(kSdlImages + "sample.bmp");
            return MakeTga(sample, bits, 0x20);
        };
    };
    auto icon = [](std::span<const uint8_t> d) { return ReadIcon(d); };
    return {
        {"tga24", tga(24), [](std::span<const uint8_t> d) { return ReadTga(d); }},
        {"tga32_shrunk", tga(32), [](std::span<const uint8_t> d) { return ReadTga(d, {}, 8); }},
        {"ico", sdl("sample.ico"), icon},
        {"cur", sdl("sample.cur"), icon},
        {"ico_shrunk", sdl("sample.ico"), [](std::span<const uint8_t> d) { return ReadIcon(d, {}, 8); }},
        {"png", sdl("sample.png"), [](std::span<const uint8_t> d) { return ReadPngOnWhite(d); }},
        {"png_shrunk", sdl("sample.png"), [](std::span<const uint8_t> d) { return ReadPngOnWhite(d, {}, 8); }},
        {"jpeg", sdl("sample.jpg"), [](std::span<const uint8_t> d) { return ReadJpeg(d); }},
        {"jpeg_shrunk", sdl("sample.jpg"), [](std::span<const uint8_t> d) { return ReadJpeg(d, {}, 8); }},
    };
}

class PicturePrefixes : public testing::TestWithParam<PrefixCase> {};

TEST_P(PicturePrefixes, EveryPrefixFailsCleanly)
{
    const std::vector<uint8_t> bytes = GetParam().file();
    const Bitmap whole = GetParam().read(bytes);
    ASSERT_FALSE(whole.Empty());
    for (size_t n = 0; n < bytes.size(); ++n) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        EXPECT_THROW(GetParam().read(prefix), Error) << "prefix " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, PicturePrefixes, testing::ValuesIn(PrefixCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The image of an icon cut anywhere, its directory entry saying so and the
// file ending with it (its own allocation of exactly that size): refused.
TEST(Icon, EveryCutOfItsImageFailsCleanly)
{
    const auto bytes = ReadFileBytes(kSdlImages + "sample.ico");
    ASSERT_EQ(bytes[4], 1); // one image, at offset 22, to the end of the file
    for (uint32_t n = 1; n + 22 < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 22 + n);
        for (int k = 0; k < 4; ++k)
            cut[14 + size_t(k)] = uint8_t(n >> (8 * k));
        EXPECT_THROW(ReadIcon(cut), BadInput) << "image of " << n << " bytes";
    }
}

class TgaOrigin : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(TgaOrigin, RowsAndColumnsInPictureOrder)
{
    auto [bits, descriptor] = GetParam();
    Bitmap sample = LoadBmpFile(kSdlImages + "sample.bmp");
    sample.SetPixelFormat(PixelFormat::pf24bit);
    TempDir dir;
    WriteFileAtomic(dir.file("a.tga"), MakeTga(sample, bits, uint8_t(descriptor)));
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("a.tga"), dir.file("a.bmp")));
    EXPECT_EQ(LoadBmpFile(dir.file("a.bmp")), sample);
}

INSTANTIATE_TEST_SUITE_P(All, TgaOrigin, testing::Combine(testing::Values(24, 32), testing::Values(0x00, 0x10, 0x20, 0x30)));

TEST(Tga, RefusedKindsLeaveNoFile)
{
    TempDir dir;
    Bitmap sample = LoadBmpFile(kSdlImages + "sample.bmp");
    auto good = MakeTga(sample, 24, 0);
    auto withColorMap = good;
    withColorMap[1] = 1;
    auto sixteenBits = good;
    sixteenBits[16] = 16;
    auto zeroWidth = good;
    zeroWidth[12] = zeroWidth[13] = 0;
    auto shortData = good;
    shortData.resize(shortData.size() - 1);
    // A header claiming 65535 x 65535 must fail on the size, not allocate.
    auto huge = good;
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
    int n = 0;
    for (const auto& bytes : {withColorMap, sixteenBits, zeroWidth, shortData, huge}) {
        std::string src = dir.file("bad" + std::to_string(n++) + ".tga");
        WriteFileAtomic(src, bytes);
        EXPECT_THROW(TgaToBmpFile(src, dir.file("out.bmp")), BadInput) << src;
        EXPECT_FALSE(FileExists(dir.file("out.bmp")));
    }
    // Run-length coded, as the SDL sample is: refused with the reason.
    try {
        TgaToBmpFile(kSdlImages + "sample.tga", dir.file("out.bmp"));
        ADD_FAILURE() << "run-length TGA accepted";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "Only uncompressed true-colour TGA pictures can be read");
    }
    EXPECT_FALSE(FileExists(dir.file("out.bmp")));
}

// A picture loads by its content whatever its extension: the same picture
// as its own kind's converter makes.
TEST(Converters, ContentPicksConverterWhateverTheExtension)
{
    TempDir dir;
    using Convert = void (*)(const std::string&, const std::string&, int);
    const struct {
        const char *sample, *name;
        Convert own;
    } cases[] = {
        {"sample.jpg", "a.JpEg", JpegToBmpFile}, {"sample.jpg", "b.png", JpegToBmpFile},
        {"sample.jpg", "c.bmp.xyz", JpegToBmpFile}, {"sample.png", "d.jpg", PngToBmpFile},
        {"sample.bmp", "e.gif", BmpToBmpFile}, {"sample.ico", "f.png", IconToBmpFile},
    };
    for (const auto& c : cases) {
        std::filesystem::copy_file(kSdlImages + c.sample, dir.file(c.name));
        ASSERT_NO_THROW(ConvertPictureFile(dir.file(c.name), dir.file("got.bmp"))) << c.name;
        c.own(kSdlImages + c.sample, dir.file("own.bmp"), kScenePictureSide);
        EXPECT_EQ(LoadBmpFile(dir.file("got.bmp")), LoadBmpFile(dir.file("own.bmp"))) << c.name;
    }
    // A plain WMF of version 3, without the placeable header: a window of
    // 30 x 20 and a rectangle in it.
    const std::vector<uint8_t> wmf{1, 0, 9, 0, 0, 3, 24, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0,    // header
                                   5, 0, 0, 0, 0x0C, 0x02, 20, 0, 30, 0,                      // window size
                                   7, 0, 0, 0, 0x1B, 0x04, 15, 0, 25, 0, 5, 0, 5, 0,          // rectangle
                                   3, 0, 0, 0, 0, 0};                                         // end
    WriteFileAtomic(dir.file("h.png"), wmf);
    WriteFileAtomic(dir.file("h.wmf"), wmf);
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("h.png"), dir.file("got.bmp")));
    MetafileToBmpFile(dir.file("h.wmf"), dir.file("own.bmp"));
    const Bitmap plain = LoadBmpFile(dir.file("got.bmp"));
    EXPECT_EQ(plain.Width(), 30);
    EXPECT_EQ(plain, LoadBmpFile(dir.file("own.bmp")));
    // No signature and no known extension: read as BMP, which refuses text.
    WriteFileAtomic(dir.file("g.xyz"), std::vector<uint8_t>{'t', 'e', 'x', 't'});
    EXPECT_THROW(ConvertPictureFile(dir.file("g.xyz"), dir.file("g.bmp")), BadInput);
    EXPECT_FALSE(FileExists(dir.file("g.bmp")));
    // GIF files, which the program writes but does not read: by either
    // signature under another name, or by name alone.
    const std::pair<const char*, std::vector<uint8_t>> gifs[] = {
        {"i.png", {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0}},
        {"j.bmp", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}},
        {"k.GiF", {1, 2, 3}},
    };
    for (const auto& [name, bytes] : gifs) {
        WriteFileAtomic(dir.file(name), bytes);
        try {
            ConvertPictureFile(dir.file(name), dir.file("gif.bmp"));
            ADD_FAILURE() << name << " read";
        } catch (const BadInput& e) {
            EXPECT_STREQ(e.what(), "GIF files are not read as pictures: save the picture as PNG or BMP and load that.")
                << name;
        }
    }
}

TEST(Converters, BmpKeepsItsOwnDepth)
{
    TempDir dir;
    Bitmap pal(5, 3, PixelFormat::pf8bit);
    pal.Palette().assign(256, RGBQuad{1, 2, 3, 0});
    SaveBmpFile(dir.file("p.bmp"), pal);
    BmpToBmpFile(dir.file("p.bmp"), dir.file("q.bmp"));
    EXPECT_EQ(LoadBmpFile(dir.file("q.bmp")).Format(), PixelFormat::pf8bit);
}

// A header promising a huge picture in a tiny file fails on the missing rows.
TEST(Converters, HugeHeaderInTinyFileFailsBeforeAllocating)
{
    TempDir dir;
    std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x40, 0x00, 0x40, 32, 0, 1, 2, 3, 4};
    WriteFileAtomic(dir.file("big.tga"), tga);
    EXPECT_THROW(TgaToBmpFile(dir.file("big.tga"), dir.file("out.bmp")), Truncated);
    Bitmap one(1, 1, PixelFormat::pf32bit);
    auto bmp = EncodeBmp(one);
    bmp[18] = 0x00, bmp[19] = 0x40, bmp[22] = 0x00, bmp[23] = 0x40; // 16384 x 16384
    WriteFileAtomic(dir.file("big.bmp"), bmp);
    EXPECT_THROW(BmpToBmpFile(dir.file("big.bmp"), dir.file("out.bmp")), Truncated);
    EXPECT_FALSE(FileExists(dir.file("out.bmp")));
}

// A file is judged by its header, and by the size that header implies,
// before the rest is read: a BMP or TGA only up to its rows (the rest of a
// sparse file past 2 GiB never read), any other kind refused by its size.
TEST(Converters, HugeFilesAreJudgedBeforeTheyAreRead)
{
    TempDir dir;
    const auto bmp = EncodeBmp(Bitmap(1, 1, PixelFormat::pf24bit));
    const std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 1, 2, 3, 4, 5, 6};
    const int64_t past2GiB = (int64_t(1) << 31) + 5, pastLimit = kPictureFileBytes + 1;
    const struct {
        const char* name;
        std::vector<uint8_t> head;
        int64_t size;
        std::string error; // empty: loads
    } cases[] = {
        {"zeros.bmp", {'B', 'M'}, past2GiB, "unsupported BMP header size"},
        {"tail.bmp", bmp, past2GiB, ""},
        {"tail.tga", tga, past2GiB, ""},
        {"big.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, pastLimit, "is larger than the 256 MB"},
        {"big.jpg", {0xFF, 0xD8, 0xFF}, pastLimit, "is larger than the 256 MB"},
        {"big.ico", {0, 0, 1, 0, 1, 0}, pastLimit, "is larger than the 256 MB"},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        WriteFileAtomic(path, c.head);
        std::filesystem::resize_file(path, uintmax_t(c.size)); // sparse
        try {
            ConvertPictureFile(path, dir.file("out.bmp"));
            EXPECT_EQ(c.error, "") << c.name << " loaded";
        } catch (const Error& e) {
            EXPECT_NE(c.error, "") << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.name << ": " << e.what();
        }
        std::filesystem::remove(path);
    }
}

// One PNG chunk with its CRC.
void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    const uint32_t n = uint32_t(data.size());
    png.insert(png.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const uint32_t crc = uint32_t(crc32(0, png.data() + start, uInt(png.size() - start)));
    png.insert(png.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
}

// A PNG header of 16384 x 16384 RGBA and a little data: 74 bytes whose
// pixels would take 1 GB.
TEST(Converters, HugePngHeaderIsRefusedBeforeTheCodecAllocates)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 8, 6, 0, 0, 0});
    PutChunk(png, "IDAT", {0x78, 0x9C, 0x63, 0, 0, 0, 1, 0, 1});
    PutChunk(png, "IEND", {});
    ASSERT_LE(png.size(), 74u);
    TempDir dir;
    WriteFileAtomic(dir.file("big.png"), png);
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    try {
        ConvertPictureFile(dir.file("big.png"), dir.file("out.bmp"));
        ADD_FAILURE() << "1 GB picture accepted";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "The picture is too large (16384 x 16384 pixels): it would take 1024 MB, more than "
                               "the 256 MB a picture may take");
    }
    EXPECT_EQ(BitmapMemory::Peak(), before);
    EXPECT_FALSE(FileExists(dir.file("out.bmp")));
}

// A 1-bit grey PNG of 16384 x 16384 (32 MB of pixels from a few KB): black
// but for its right half and its top quarter, which are white. Without
// alpha it takes its pixels and the shrunk picture, and no plane beside them.
TEST(Converters, GreyPngWithoutAlphaTakesNoAlphaPlane)
{
    constexpr int kSide = 16384;
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 1, 0, 0, 0, 0});
    std::vector<uint8_t> stream(1 << 20), row(1 + kSide / 8);
    z_stream z{};
    deflateInit(&z, 1);
    z.next_out = stream.data();
    z.avail_out = uInt(stream.size());
    for (int y = 0; y < kSide; ++y) {
        for (size_t i = 1; i < row.size(); ++i)
            row[i] = y < kSide / 4 || i > row.size() / 2 ? 0xFF : 0x00;
        z.next_in = row.data();
        z.avail_in = uInt(row.size());
        ASSERT_EQ(deflate(&z, y + 1 < kSide ? Z_NO_FLUSH : Z_FINISH), y + 1 < kSide ? Z_OK : Z_STREAM_END);
    }
    stream.resize(z.total_out);
    deflateEnd(&z);
    PutChunk(png, "IDAT", stream);
    PutChunk(png, "IEND", {});
    TempDir dir;
    WriteFileAtomic(dir.file("grey.png"), png);
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("grey.png"), dir.file("out.bmp")));
    const int64_t pixels = int64_t(kSide / 8) * kSide, shrunk = int64_t(kScenePictureSide) * kScenePictureSide * 3;
    EXPECT_LE(BitmapMemory::Peak() - before, pixels + shrunk + (int64_t(1) << 20));
    const Bitmap out = LoadBmpFile(dir.file("out.bmp"));
    ASSERT_EQ(out.Width(), kScenePictureSide);
    for (auto [x, y, want] : {std::tuple{100, 500, clWhite}, {100, 3000, clBlack}, {4000, 3000, clWhite}})
        EXPECT_EQ(out.Pixel(x, y), want) << x << ", " << y;
}

// A picture wider than the bound in every format the converters read: it
// comes in shrunk to the bound, left half red and right half blue, without
// ever being held at its own size.
TEST(Converters, PicturesLargerThanTheBoundComeInShrunk)
{
    constexpr int kWidth = kScenePictureSide * 2 + 2, kHeight = 4;
    Bitmap wide(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            wide.SetPixel(x, y, x < kWidth / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    TempDir dir;
    SaveBmpFile(dir.file("wide.bmp"), wide);
    WriteFileAtomic(dir.file("wide.tga"), MakeTga(wide, 32, 0));
    SaveJpegFile(dir.file("wide.jpg"), wide, 100);
    QImage q(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            q.setPixel(x, y, x < kWidth / 2 ? qRgba(255, 0, 0, 255) : qRgba(0, 0, 255, 255));
    ASSERT_TRUE(q.save(QString::fromStdString(dir.file("wide.png"))));
    // An icon whose one image is that picture with an empty AND mask.
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 24, 0};
    {
        auto bmp = EncodeBmp(wide);
        std::vector<uint8_t> dib(bmp.begin() + 14, bmp.end());
        const int32_t doubled = kHeight * 2;
        std::memcpy(&dib[8], &doubled, 4);
        dib.resize(dib.size() + size_t(DibStride(kWidth, 1)) * kHeight, 0);
        for (uint32_t v : {uint32_t(dib.size()), 22u})
            for (int k = 0; k < 4; ++k)
                ico.push_back(uint8_t(v >> (8 * k)));
        ico.insert(ico.end(), dib.begin(), dib.end());
    }
    WriteFileAtomic(dir.file("wide.ico"), ico);
    const int64_t held = CheckedMul(DibStride(kWidth, 24), kHeight);
    for (const char* name : {"wide.bmp", "wide.tga", "wide.jpg", "wide.png", "wide.ico"}) {
        const int64_t before = BitmapMemory::Current();
        BitmapMemory::ResetPeak();
        ASSERT_NO_THROW(ConvertPictureFile(dir.file(name), dir.file("out.bmp"))) << name;
        // The shrunk picture and rows of the source (the PNG codec's alpha
        // plane besides); a whole 24-bit copy of the source on top of them
        // would pass this.
        const int64_t alphaPlane = std::string(name).ends_with(".png") ? int64_t(kWidth) * kHeight : 0;
        EXPECT_LT(BitmapMemory::Peak() - before, held + held / 2 + alphaPlane) << name;
        const Bitmap out = LoadBmpFile(dir.file("out.bmp"));
        ASSERT_EQ(out.Width(), kScenePictureSide) << name;
        EXPECT_EQ(out.Height(), 2) << name;
        const int tolerance = std::string(name).ends_with(".jpg") ? 8 : 0;
        for (auto [x, want] : {std::pair{10, RGB(255, 0, 0)}, std::pair{kScenePictureSide - 10, RGB(0, 0, 255)}}) {
            const TColor got = out.Pixel(x, 1);
            EXPECT_LE(std::abs(GetRValue(got) - GetRValue(want)), tolerance) << name << " at " << x;
            EXPECT_LE(std::abs(GetBValue(got) - GetBValue(want)), tolerance) << name << " at " << x;
        }
    }
}

// Broken pictures made by others: a clean error, never a crash, and no
// destination file.
class BrokenPicture : public testing::TestWithParam<std::string> {};

TEST_P(BrokenPicture, FailsCleanly)
{
    TempDir dir;
    const std::string out = dir.file("out.bmp");
    bool converted = false;
    try {
        ConvertPictureFile(GetParam(), out);
        converted = true;
    } catch (const Error&) {
    }
    if (!converted)
        EXPECT_FALSE(FileExists(out));
    else
        EXPECT_FALSE(LoadBmpFile(out).Empty());
    if (GetParam().find("/fail/") != std::string::npos)
        EXPECT_FALSE(converted);
}

INSTANTIATE_TEST_SUITE_P(GdkPixbuf, BrokenPicture,
                         testing::ValuesIn([] {
                             auto v = test::FilesIn(kGifTestImages + "fail/", {".bmp", ".ico", ".jpg", ".png", ".tga"});
                             auto w = test::FilesIn(kGifTestImages + "randomly-modified/", {".bmp", ".ico", ".jpg", ".jpeg", ".png", ".tga"});
                             v.insert(v.end(), w.begin(), w.end());
                             return v;
                         }()),
                         [](const auto& info) { return test::CaseName(info.param); });

} // namespace
} // namespace pc

namespace pc {
namespace {

// A picture entering the scene shows as the codec shows it: with the file's
// gamma applied (the codec keeps the stored samples).
TEST(PngOnWhite, AppliesTheFilesGammaAsTheCodecShowsIt)
{
    for (const char* name : {"g03n2c08.png", "g25n3p04.png", "g10n0g16.png", "g04n0g16.png"}) {
        const std::vector<uint8_t> bytes = ReadFileBytes(test::kPngSuite + "gamma/" + name);
        png::TPNGObject codec;
        codec.LoadFromStream(bytes);
        Bitmap shown = codec.ToBitmap();
        shown.SetPixelFormat(PixelFormat::pf24bit);
        const Bitmap read = ReadPngOnWhite(bytes);
        ASSERT_EQ(read.Width(), shown.Width()) << name;
        ASSERT_EQ(read.Height(), shown.Height()) << name;
        int differ = 0;
        for (int y = 0; y < read.Height(); ++y)
            differ += std::memcmp(read.ScanLine(y), shown.ScanLine(y), size_t(read.Width()) * 3) != 0;
        EXPECT_EQ(differ, 0) << name;
    }
}

} // namespace
} // namespace pc
