// JPEG files: our writer read back by Qt, and the colour spaces of the
// reader checked with pictures libjpeg writes here.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
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

// A picture of four colour bars written by libjpeg in the given space.
std::vector<uint8_t> WriteWithLibjpeg(J_COLOR_SPACE space, int components, const std::vector<std::vector<uint8_t>>& bars)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = 32;
    c.image_height = 8;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(32 * components);
    for (int x = 0; x < 32; ++x)
        for (int k = 0; k < components; ++k)
            row[x * components + k] = bars[x / 8][k];
    while (c.next_scanline < 8) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(buf, buf + size);
    std::free(buf);
    return out;
}

bool Near(TColor a, TColor b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

TEST(JpegFile, GreyAndAdobeCmykComeInAsRgb)
{
    const Bitmap grey = ReadJpeg(WriteWithLibjpeg(JCS_GRAYSCALE, 1, {{0}, {80}, {160}, {255}}));
    EXPECT_TRUE(Near(grey.Pixel(4, 4), clBlack));
    EXPECT_TRUE(Near(grey.Pixel(12, 4), RGB(80, 80, 80)));
    EXPECT_TRUE(Near(grey.Pixel(28, 4), clWhite));
    // Adobe stores CMYK inverted: 255 means no ink.
    const Bitmap cmyk = ReadJpeg(WriteWithLibjpeg(
        JCS_CMYK, 4, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}}));
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

// A small real JPEG whose frame header claims 16384 x 16384: libjpeg reads
// the data there is and fills the rest with mid-grey.
std::vector<uint8_t> HugeJpegInASmallFile()
{
    Bitmap b(64, 64);
    b.Fill(RGB(200, 40, 40));
    auto jpeg = EncodeJpeg(b, 90);
    for (size_t i = 0; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0x40, jpeg[i + 6] = 0x00; // height
            jpeg[i + 7] = 0x40, jpeg[i + 8] = 0x00; // width
            return jpeg;
        }
    ADD_FAILURE() << "no baseline frame header";
    return jpeg;
}

TEST(JpegFile, HugePictureIsDecodedAtAReducedScale)
{
    const auto file = HugeJpegInASmallFile();
    ASSERT_LT(file.size(), 24u * 1024);
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    const Bitmap b = ReadJpeg(file, {}, 4096);
    EXPECT_LE(BitmapMemory::Peak() - before, 4096 * 4096 * 3);
    ASSERT_EQ(b.Width(), 4096); // a quarter, straight from libjpeg
    ASSERT_EQ(b.Height(), 4096);
    // The data's 16 blocks of 16 x 16 now make the first 256 x 16 pixels.
    EXPECT_TRUE(Near(b.Pixel(40, 2), RGB(200, 40, 40)));
    EXPECT_TRUE(Near(b.Pixel(2000, 2000), RGB(128, 128, 128)));

    // Beyond a reduction by 8 the rest is averaged.
    const Bitmap small = ReadJpeg(file, {}, 1000);
    EXPECT_EQ(small.Width(), 1000);
    EXPECT_TRUE(Near(small.Pixel(500, 500), RGB(128, 128, 128)));
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

} // namespace
} // namespace pc
