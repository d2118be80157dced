#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace {

const std::string kSdlDir = pc::test::kSdlImages;

// Qt's own BMP reader is the independent reference for the real samples.
void ExpectSameAsQt(const pc::Bitmap& bmp, const std::string& path)
{
    QImage ref(QString::fromStdString(path));
    ASSERT_FALSE(ref.isNull()) << path;
    ref = ref.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(bmp.Width(), ref.width());
    ASSERT_EQ(bmp.Height(), ref.height());
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            QRgb q = ref.pixel(x, y);
            ASSERT_EQ(bmp.Pixel(x, y), pc::RGB(qRed(q), qGreen(q), qBlue(q))) << path << " at " << x << "," << y;
        }
}

class SdlBmpSamples : public ::testing::TestWithParam<const char*> {};

TEST_P(SdlBmpSamples, DecodesLikeQtAndRoundTrips)
{
    std::string path = kSdlDir + GetParam();
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "missing " << path;
    pc::Bitmap bmp = pc::LoadBmpFile(path);
    ExpectSameAsQt(bmp, path);

    auto bytes = pc::EncodeBmp(bmp);
    pc::Bitmap again = pc::ReadBmp(bytes);
    EXPECT_EQ(again, bmp);
    EXPECT_EQ(pc::EncodeBmp(again), bytes);
}

INSTANTIATE_TEST_SUITE_P(Real, SdlBmpSamples,
                         ::testing::Values("sample.bmp", "palette.bmp", "svg.bmp", "svg64.bmp", "svg-class.bmp"),
                         [](const auto& info) { return pc::test::CaseName(info.param); });

std::vector<uint8_t> Header40(int32_t w, int32_t h, uint16_t bits, uint32_t compression, uint32_t colors = 0)
{
    std::vector<uint8_t> v;
    auto u16 = [&](uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); };
    auto u32 = [&](uint32_t x) { u16(x & 0xFFFF); u16(x >> 16); };
    v.push_back('B');
    v.push_back('M');
    u32(0); u32(0); u32(0);
    u32(40); u32(uint32_t(w)); u32(uint32_t(h)); u16(1); u16(bits); u32(compression);
    u32(0); u32(0); u32(0); u32(colors); u32(0);
    return v;
}

TEST(BmpRead, RejectsHostileHeaders)
{
    struct Case { const char* name; std::vector<uint8_t> data; };
    std::vector<Case> cases = {
        {"empty", {}},
        {"not bmp", {'P', 'K', 3, 4}},
        {"zero width", Header40(0, 5, 24, 0)},
        {"huge", Header40(1 << 20, 1 << 20, 24, 0)},
        {"int min height", Header40(4, INT32_MIN, 24, 0)},
        {"bad depth", Header40(4, 4, 7, 0)},
        {"rle with 24 bits", Header40(4, 4, 24, 1)},
        {"too many colours", Header40(4, 4, 8, 0, 100000)},
        {"no pixels", Header40(4, 4, 24, 0)},
    };
    for (const auto& c : cases)
        EXPECT_THROW(pc::ReadBmp(c.data), pc::BadInput) << c.name;
}

TEST(BmpRead, TopDownAndRle8)
{
    // 2x2 top-down 24-bit: first stored row is the top.
    auto v = Header40(2, -2, 24, 0);
    uint8_t rows[] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    v.insert(v.end(), rows, rows + sizeof rows);
    auto bmp = pc::ReadBmp(v);
    EXPECT_EQ(bmp.Pixel(0, 0), pc::RGB(255, 0, 0));
    EXPECT_EQ(bmp.Pixel(1, 0), pc::RGB(0, 255, 0));
    EXPECT_EQ(bmp.Pixel(0, 1), pc::RGB(0, 0, 255));

    // RLE8 3x2 bottom-up with a delta past the picture and a run that overshoots the row.
    auto r = Header40(3, 2, 8, 1, 2);
    uint8_t pal[] = {0, 0, 0, 0, 255, 255, 255, 0};
    r.insert(r.end(), pal, pal + 8);
    uint8_t rle[] = {5, 1, 0, 0, 0, 3, 1, 0, 1, 0, 0, 2, 50, 50, 0, 1};
    r.insert(r.end(), rle, rle + sizeof rle);
    auto b = pc::ReadBmp(r);
    EXPECT_EQ(b.Pixel(0, 1), pc::clWhite);
    EXPECT_EQ(b.Pixel(2, 1), pc::clWhite);
    EXPECT_EQ(b.Pixel(0, 0), pc::clWhite);
    EXPECT_EQ(b.Pixel(1, 0), pc::clBlack);
}

// A width of 7 read as 6 stripes the picture, rows read a byte late swap its
// colours; the reader takes both, the layout check refuses them, and rows
// that would start inside the colour table.
TEST(BmpRead, LayoutMatchesOnlyWhenTheHeadersAgreeWithTheData)
{
    const auto rgb = pc::EncodeBmp(pc::Bitmap(7, 3)), indexed = pc::EncodeBmp(pc::Bitmap(5, 2, pc::PixelFormat::pf8bit));
    auto changed = [](std::vector<uint8_t> v, size_t at, int by) {
        v[at] = uint8_t(v[at] + by);
        return v;
    };
    EXPECT_TRUE(pc::BmpLayoutMatches(rgb));
    EXPECT_TRUE(pc::BmpLayoutMatches(indexed));
    EXPECT_FALSE(pc::BmpLayoutMatches(changed(rgb, 18, -1)));
    EXPECT_FALSE(pc::BmpLayoutMatches(changed(rgb, 10, 1)));
    EXPECT_NO_THROW(pc::ReadBmp(changed(rgb, 10, 1)));
    auto inTable = changed(indexed, 10, -4); // and the file's end where the rows end
    inTable.resize(inTable.size() - 4);
    EXPECT_FALSE(pc::BmpLayoutMatches(inTable));

    // Colour tables as short as the header's count, rows right after them;
    // RLE rows end where their codes do, so they must only start in the file.
    auto withRows = [](uint16_t bits, uint32_t compression, uint32_t colors, uint32_t offBits, size_t size) {
        auto v = Header40(5, 2, bits, compression, colors);
        v.resize(size);
        for (int i = 0; i < 4; ++i)
            v[10 + size_t(i)] = uint8_t(offBits >> (8 * i));
        return v;
    };
    EXPECT_TRUE(pc::BmpLayoutMatches(withRows(8, 0, 3, 66, 66 + 16)));
    EXPECT_FALSE(pc::BmpLayoutMatches(withRows(8, 0, 3, 62, 62 + 16)));
    EXPECT_TRUE(pc::BmpLayoutMatches(withRows(8, 1, 2, 62, 80)));
    EXPECT_TRUE(pc::BmpLayoutMatches(withRows(4, 2, 2, 62, 63)));
    EXPECT_FALSE(pc::BmpLayoutMatches(withRows(8, 1, 2, 61, 80)));
    EXPECT_FALSE(pc::BmpLayoutMatches(withRows(8, 1, 2, 80, 80)));
}

// Bytes the reader needs of an uncompressed file: up to the end of the last
// row's pixels (its padding may be missing).
size_t NeededBytes(const std::vector<uint8_t>& file)
{
    auto u32 = [&](size_t at) { return uint32_t(file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t(file[at + 3]) << 24); };
    const int64_t w = int32_t(u32(18)), h = std::abs(int32_t(u32(22))), bits = file[28];
    return size_t(u32(10) + pc::DibStride(w, int(bits)) * (h - 1) + (w * bits + 7) / 8);
}

// Every prefix in its own allocation of exactly its size, so that a read
// past it is seen by AddressSanitizer: refused when it lacks pixels, else
// the same picture as the whole file.
class BmpPrefixes : public ::testing::TestWithParam<const char*> {};

TEST_P(BmpPrefixes, EveryPrefixOfARealFileFailsCleanly)
{
    const std::string path = kSdlDir + GetParam();
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "missing " << path;
    const auto bytes = pc::ReadFileBytes(path);
    const pc::Bitmap whole = pc::ReadBmp(bytes);
    const size_t needed = NeededBytes(bytes);
    ASSERT_LT(needed, bytes.size() + 1);
    for (size_t n = 0; n < bytes.size(); ++n) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        if (n < needed)
            EXPECT_THROW(pc::ReadBmp(prefix), pc::BadInput) << "prefix " << n;
        else
            EXPECT_EQ(pc::ReadBmp(prefix), whole) << "prefix " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Real, BmpPrefixes, ::testing::Values("palette.bmp", "sample.bmp", "svg.bmp"),
                         [](const auto& info) { return pc::test::CaseName(info.param); });

// RLE codes cut anywhere before the picture is complete are refused, in
// full size and shrunk alike.
TEST(BmpRead, EveryPrefixOfAnRleFileIsRefused)
{
    auto v = Header40(8, 6, 8, 1, 2);
    const uint8_t pal[] = {0, 0, 255, 0, 255, 255, 255, 0};
    v.insert(v.end(), pal, pal + 8);
    const uint8_t rle[] = {8, 1, 0, 0, 0, 3, 1, 2, 3, 0, 3, 1, 0, 2, 1, 2, 4, 0, 0, 0, 0, 1};
    v.insert(v.end(), rle, rle + sizeof rle);
    EXPECT_NO_THROW(pc::ReadBmp(v));
    for (size_t n = 0; n < v.size(); ++n) {
        const std::vector<uint8_t> prefix(v.begin(), v.begin() + std::ptrdiff_t(n));
        EXPECT_THROW(pc::ReadBmp(prefix), pc::BadInput) << "prefix " << n;
        EXPECT_THROW(pc::ReadBmp(prefix, {}, 4), pc::BadInput) << "prefix " << n;
    }
}

// A 16384 x 16384 RLE8 picture in about a kilobyte: red (index 0) wherever
// the codes skip, the bottom row white, a white square near the top left.
std::vector<uint8_t> HugeRleInATinyFile()
{
    auto v = Header40(16384, 16384, 8, 1, 2);
    const uint8_t pal[] = {0, 0, 255, 0, 255, 255, 255, 0};
    v.insert(v.end(), pal, pal + 8);
    auto code = [&](uint8_t a, uint8_t b) { v.push_back(a), v.push_back(b); };
    for (int i = 0; i < 64; ++i) // the bottom row: 64 runs of 256 white pixels
        code(255, 1), code(1, 1);
    code(0, 0);
    // Up to file row 16376 (picture row 7) in deltas of 255 rows.
    for (int row = 1; row < 16376;) {
        const int step = std::min(255, 16376 - row);
        code(0, 2), code(0, uint8_t(step));
        row += step;
    }
    for (int r = 0; r < 4; ++r) // picture rows 7 to 4: white in columns 0..7
        code(8, 1), code(0, 0);
    code(0, 1);
    const uint32_t offBits = 14 + 40 + 8;
    for (int k = 0; k < 4; ++k)
        v[10 + size_t(k)] = uint8_t(offBits >> (8 * k));
    return v;
}

TEST(BmpRead, HugeRlePictureIsShrunkRowByRowWithinItsSize)
{
    const auto file = HugeRleInATinyFile();
    ASSERT_LT(file.size(), 1100u);
    pc::BitmapMemory::ResetPeak();
    const int64_t before = pc::BitmapMemory::Current();
    const pc::Bitmap b = pc::ReadBmp(file, {}, 4096);
    // Only the shrunk picture and a row or two were ever held.
    EXPECT_LE(pc::BitmapMemory::Peak() - before, 4096 * 4096 * 3 + 2 * 16384 * 3);
    ASSERT_EQ(b.Width(), 4096);
    ASSERT_EQ(b.Height(), 4096);
    EXPECT_EQ(b.Format(), pc::PixelFormat::pf24bit);
    // Each output pixel covers 4 x 4: the bottom one white row and three red.
    EXPECT_EQ(b.Pixel(100, 4095), pc::RGB(255, 64, 64));
    EXPECT_EQ(b.Pixel(2000, 2000), pc::RGB(255, 0, 0));
    // Picture rows 4 to 7, columns 0 to 7: two whole white output pixels.
    EXPECT_EQ(b.Pixel(0, 1), pc::clWhite);
    EXPECT_EQ(b.Pixel(1, 1), pc::clWhite);
    EXPECT_EQ(b.Pixel(2, 1), pc::RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(0, 0), pc::RGB(255, 0, 0));
}

TEST(BmpRead, ShrunkAndFullSizeAgreeOnWhatTheCodesDraw)
{
    // The same codes at a size the reader keeps: the white pixels exactly where
    // the shrunk picture averaged them.
    auto v = Header40(8, 8, 8, 1, 2);
    const uint8_t pal[] = {0, 0, 255, 0, 255, 255, 255, 0};
    v.insert(v.end(), pal, pal + 8);
    const uint8_t rle[] = {8, 1, 0, 0, 0, 2, 0, 5, 2, 1, 0, 1};
    v.insert(v.end(), rle, rle + sizeof rle);
    const pc::Bitmap full = pc::ReadBmp(v);
    EXPECT_EQ(full.Format(), pc::PixelFormat::pf8bit);
    EXPECT_EQ(full.Pixel(5, 7), pc::clWhite);     // file row 0
    EXPECT_EQ(full.Pixel(0, 1), pc::clWhite);     // file row 6 after a delta of 5 rows
    EXPECT_EQ(full.Pixel(2, 1), pc::RGB(255, 0, 0));
    const pc::Bitmap half = pc::ReadBmp(v, {}, 4);
    ASSERT_EQ(half.Width(), 4);
    EXPECT_EQ(half.Pixel(2, 3), pc::RGB(255, 128, 128)); // one white row of two
    EXPECT_EQ(half.Pixel(0, 0), pc::RGB(255, 128, 128));
    EXPECT_EQ(half.Pixel(1, 0), pc::RGB(255, 0, 0));
}

TEST(BmpWrite, SaveFailureKeepsOldFile)
{
    pc::test::TempDir dir;
    std::string path = dir.file("old.bmp");
    pc::Bitmap small(3, 3);
    small.Fill(pc::RGB(1, 2, 3));
    pc::SaveBmpFile(path, small);
    EXPECT_THROW(pc::SaveBmpFile(path, pc::Bitmap()), pc::Error);
    EXPECT_EQ(pc::LoadBmpFile(path), small);
}

} // namespace
