// JPEG files: our writer read back by Qt, and the colour spaces of the
// reader checked with pictures libjpeg writes here.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstring>
#include <functional>
#include <jpeglib.h>

#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

using test::TempDir;

TEST(JpegFile, QualityHundredReadsBackCloseInQt)
{
    Bitmap b(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x * 4), uint8_t(y * 5), uint8_t(255 - x * 2)));
    TempDir dir;
    SaveJpegFile(dir.file("a.jpg"), b, 100);
    QImage q(QString::fromStdString(dir.file("a.jpg")));
    ASSERT_EQ(q.width(), 64);
    ASSERT_EQ(q.height(), 48);
    int worst = 0;
    const Bitmap ours = LoadJpegFile(dir.file("a.jpg"));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const TColor c = b.Pixel(x, y), o = ours.Pixel(x, y);
            const QRgb p = q.pixel(x, y);
            worst = std::max({worst, std::abs(GetRValue(c) - qRed(p)), std::abs(GetGValue(c) - qGreen(p)),
                              std::abs(GetBValue(c) - qBlue(p))});
            EXPECT_EQ(o, RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))));
        }
    EXPECT_LE(worst, 6);
}

// A picture libjpeg writes here, sample(x, y, k) at each pixel, with
// Huffman tables made for it or with arithmetic coding.
struct Layout {
    int width = 32, height = 8;
    bool arithmetic = false;
    // Each component in a scan of its own, none subsampled.
    bool scanPerComponent = false;
};
std::vector<uint8_t> WriteWithLibjpeg(J_COLOR_SPACE space, int components,
                                      const std::function<uint8_t(int x, int y, int k)>& sample, Layout layout = {})
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = JDIMENSION(layout.width);
    c.image_height = JDIMENSION(layout.height);
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    c.optimize_coding = !layout.arithmetic;
    c.arith_code = layout.arithmetic;
    std::vector<jpeg_scan_info> scans;
    if (layout.scanPerComponent) {
        for (int k = 0; k < components; ++k) {
            c.comp_info[k].h_samp_factor = c.comp_info[k].v_samp_factor = 1;
            jpeg_scan_info scan{};
            scan.comps_in_scan = 1;
            scan.component_index[0] = k;
            scan.Se = 63;
            scans.push_back(scan);
        }
        c.scan_info = scans.data();
        c.num_scans = components;
    }
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(layout.width * components));
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < layout.width; ++x)
            for (int k = 0; k < components; ++k)
                row[size_t(x * components + k)] = sample(x, int(c.next_scanline), k);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(buf, buf + size);
    std::free(buf);
    return out;
}

// Four colour bars across a 32 x 8 picture.
std::function<uint8_t(int, int, int)> Bars(std::vector<std::vector<uint8_t>> bars)
{
    return [bars](int x, int, int k) { return bars[size_t(x / 8)][size_t(k)]; };
}

bool Near(TColor a, TColor b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

TEST(JpegFile, GreyAndAdobeCmykComeInAsRgb)
{
    const Bitmap grey = ReadJpeg(WriteWithLibjpeg(JCS_GRAYSCALE, 1, Bars({{0}, {80}, {160}, {255}})));
    EXPECT_TRUE(Near(grey.Pixel(4, 4), clBlack));
    EXPECT_TRUE(Near(grey.Pixel(12, 4), RGB(80, 80, 80)));
    EXPECT_TRUE(Near(grey.Pixel(28, 4), clWhite));
    // Two bits a block: far less than a byte for each of its 65536 blocks.
    const auto flatFile = WriteWithLibjpeg(JCS_GRAYSCALE, 1, [](int, int, int) { return uint8_t(77); }, {2048, 2048});
    ASSERT_LT(flatFile.size(), 20000u);
    const Bitmap flat = ReadJpeg(flatFile);
    EXPECT_EQ(flat.Pixel(2047, 2047), RGB(77, 77, 77));
    // Adobe stores CMYK inverted: 255 means no ink.
    const Bitmap cmyk = ReadJpeg(WriteWithLibjpeg(
        JCS_CMYK, 4, Bars({{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}})));
    EXPECT_TRUE(Near(cmyk.Pixel(4, 4), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(cmyk.Pixel(12, 4), RGB(0, 255, 0)));
    EXPECT_TRUE(Near(cmyk.Pixel(20, 4), RGB(0, 0, 255)));
    EXPECT_TRUE(Near(cmyk.Pixel(28, 4), clBlack));
}

TEST(JpegFile, BrokenDataThrowsInsteadOfEndingTheProcess)
{
    auto good = ReadFileBytes(test::kSdlImages + "sample.jpg");
    EXPECT_THROW(ReadJpeg(std::span(good).first(20)), BadInput);
    std::vector<uint8_t> notJpeg(100, 0x42);
    EXPECT_THROW(ReadJpeg(notJpeg), BadInput);
    // A header beyond the size limit fails before any pixel memory is taken.
    EXPECT_THROW(ReadJpeg(good, PictureLimits{16, 256}), BadInput);
}

// A small real JPEG whose frame header claims side x side pixels.
std::vector<uint8_t> HugeJpegInASmallFile(int side = 16384)
{
    Bitmap b(64, 64);
    b.Fill(RGB(200, 40, 40));
    auto jpeg = EncodeJpeg(b, 90);
    for (size_t i = 0; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = uint8_t(side >> 8), jpeg[i + 6] = uint8_t(side); // height
            jpeg[i + 7] = uint8_t(side >> 8), jpeg[i + 8] = uint8_t(side); // width
            return jpeg;
        }
    ADD_FAILURE() << "no baseline frame header";
    return jpeg;
}

// Files whose data cannot hold the picture they declare, or that end before
// their data does: refused as cut short at once, before any pixel memory,
// however far the picture would be scaled down. A declared size beyond the
// limit is refused by its size.
TEST(JpegFile, PictureWithoutItsDataIsCutShort)
{
    const auto sample = ReadFileBytes(test::kSdlImages + "sample.jpg");
    const auto arithmetic =
        WriteWithLibjpeg(JCS_GRAYSCALE, 1, [](int x, int y, int) { return uint8_t(x * x + 7 * x * y); }, {64, 61, true});
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        const char* error;
        bool beforeDecoding;
    } cases[] = {
        {"16384 square", HugeJpegInASmallFile(), "JPEG error: the file is cut short", true},
        {"sample without its last half", {sample.begin(), sample.begin() + std::ptrdiff_t(sample.size() / 2)},
         "JPEG error: the file is cut short", false},
        {"progressive sample without its end marker", {sample.begin(), sample.end() - 2},
         "JPEG error: the file is cut short", false},
        {"arithmetic-coded without its last half",
         {arithmetic.begin(), arithmetic.begin() + std::ptrdiff_t(arithmetic.size() / 2)},
         "JPEG error: the file is cut short", false},
        {"65500 square", HugeJpegInASmallFile(65500),
         "The picture is too large (65500 x 65500 pixels): more than the 1073741824 pixels a picture may have", true},
    };
    for (const auto& c : cases) {
        BitmapMemory::ResetPeak();
        const int64_t before = BitmapMemory::Current();
        for (int maxSide : {4096, 64})
            try {
                ReadJpeg(c.file, {}, maxSide);
                ADD_FAILURE() << c.name << " loaded at " << maxSide;
            } catch (const BadInput& e) {
                EXPECT_STREQ(e.what(), c.error) << c.name << " at " << maxSide;
            }
        if (c.beforeDecoding)
            EXPECT_EQ(BitmapMemory::Peak(), before) << c.name;
    }
}

// A one-scan picture with all of its data but the end marker (or half of
// it) is whole: running out of bytes after the last block is not being cut
// short. One byte less of the data is.
TEST(JpegFile, OneScanPictureWithoutItsEndMarkerLoadsWhole)
{
    Bitmap b(37, 29);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, RGB(x * 7, y * 9, (x * y) & 255));
    const auto file = EncodeJpeg(b, 90);
    ASSERT_EQ(file[file.size() - 2], 0xFF);
    ASSERT_EQ(file.back(), 0xD9);
    const Bitmap whole = ReadJpeg(file);
    for (size_t cut : {1, 2, 3}) {
        const std::vector<uint8_t> shorter(file.begin(), file.end() - std::ptrdiff_t(cut));
        if (cut == 3) {
            EXPECT_THROW(ReadJpeg(shorter), BadInput);
            continue;
        }
        const Bitmap got = ReadJpeg(shorter);
        ASSERT_EQ(got.Width(), whole.Width()) << "less " << cut;
        ASSERT_EQ(got.Height(), whole.Height()) << "less " << cut;
        for (int y = 0; y < got.Height(); ++y)
            ASSERT_EQ(0, std::memcmp(got.ScanLine(y), whole.ScanLine(y), size_t(got.Width()) * 3))
                << "less " << cut << " row " << y;
    }
}

// A picture whose three components come in scans of their own is held
// whole as coefficients, 128 bytes a block: 8192 x 8192 would take
// 3 x 1024 x 1024 x 128 bytes, 384 MB, and is refused before decoding.
// 16384 x 2728 takes 3 x 2048 x 341 x 128 bytes, a little under the 256 MB,
// and decodes.
TEST(JpegFile, PictureOfAScanPerComponentDecodesOrIsTooLarge)
{
    const struct {
        int width, height;
        const char* error;
    } cases[] = {
        {16384, 2728, nullptr},
        {8192, 8192, "The picture is too large (8192 x 8192 pixels): it would take 384 MB, more than the 256 MB a "
                     "picture may take"},
    };
    const auto flat = [](int, int, int k) { return uint8_t(k == 0 ? 40 : k == 1 ? 150 : 220); };
    for (const auto& c : cases) {
        const auto file = WriteWithLibjpeg(JCS_RGB, 3, flat, {c.width, c.height, false, true});
        BitmapMemory::ResetPeak();
        const int64_t before = BitmapMemory::Current();
        try {
            const Bitmap b = ReadJpeg(file);
            EXPECT_EQ(c.error, nullptr) << c.width << " x " << c.height << " loaded";
            ASSERT_EQ(b.Width(), c.width);
            ASSERT_EQ(b.Height(), c.height);
            for (auto [x, y] : {std::pair{0, 0}, {c.width - 1, c.height - 1}, {c.width / 3, c.height / 2}})
                EXPECT_TRUE(Near(b.Pixel(x, y), RGB(40, 150, 220))) << x << "," << y;
        } catch (const BadInput& e) {
            ASSERT_NE(c.error, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.error);
            EXPECT_EQ(BitmapMemory::Peak(), before);
        }
    }
}

TEST(JpegFile, FullSizeBeyondTheMemoryBudgetIsRefusedWithItsSize)
{
    const auto file = HugeJpegInASmallFile();
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    try {
        ReadJpeg(file);
        ADD_FAILURE() << "768 MB picture accepted";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "The picture is too large (16384 x 16384 pixels): it would take 768 MB, more than "
                               "the 256 MB a picture may take");
    }
    EXPECT_EQ(BitmapMemory::Peak(), before);
}

// A progressive grey 4096 x 4096 picture written marker by marker: one DC
// scan, then acScans scans of the whole AC band. Each table has one code,
// "0": a DC difference of 0, or a run of 16384 end-of-bands (0xE0, 14 extra
// bits of 0). So each scan is zero bytes, 32768 for the DC scan (a bit a
// block), 30 for an AC scan (16 runs of 15 bits), and visits every block.
std::vector<uint8_t> ScansOfEndOfBandRuns(int acScans)
{
    std::vector<uint8_t> f = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    f.resize(f.size() + 64, 1);
    f.insert(f.end(), {0xFF, 0xC2, 0, 11, 8, 0x10, 0, 0x10, 0, 1, 1, 0x11, 0});
    for (uint8_t table : {0x00, 0x10}) {
        f.insert(f.end(), {0xFF, 0xC4, 0, 20, table, 1});
        f.resize(f.size() + 15, 0);
        f.push_back(table ? 0xE0 : 0);
    }
    for (int scan = 0; scan <= acScans; ++scan) {
        f.insert(f.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, uint8_t(scan ? 1 : 0), uint8_t(scan ? 63 : 0), 0});
        f.resize(f.size() + (scan ? 30 : 32768), 0);
    }
    f.insert(f.end(), {0xFF, 0xD9});
    return f;
}

// Scans times blocks is bounded: 256 scans of 512 x 512 blocks reach the
// bound and decode, one more is refused as it starts.
TEST(JpegFile, ScansAreBoundedByTheBlocksTheyVisit)
{
    const Bitmap whole = ReadJpeg(ScansOfEndOfBandRuns(255), {}, 4096);
    EXPECT_EQ(whole.Width(), 4096);
    EXPECT_EQ(whole.Pixel(4095, 4095), RGB(128, 128, 128));
    try {
        ReadJpeg(ScansOfEndOfBandRuns(256), {}, 4096);
        ADD_FAILURE() << "257 scans loaded";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "JPEG error: too many scans for the size of the picture");
    }
}

} // namespace
} // namespace pc
