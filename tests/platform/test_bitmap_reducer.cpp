// Pictures built row by row and shrunk on the way, and the memory counters
// that show what a bitmap took.
#include <gtest/gtest.h>

#include "platform/bitmap_reducer.h"

namespace pc {
namespace {

TEST(FitInside, KeepsAspectAndNeverGoesBelowOne)
{
    struct Case { int w, h, side; PictureSize want; };
    const Case cases[] = {
        {4096, 4096, 4096, {4096, 4096}}, // exactly at the bound stays
        {4097, 10, 4096, {4096, 10}},
        {16384, 16384, 4096, {4096, 4096}},
        {16384, 8192, 4096, {4096, 2048}},
        {65535, 1, 4096, {4096, 1}},
        {1, 65535, 4096, {1, 4096}},
        {5000, 3, 4096, {4096, 2}},
    };
    for (const Case& c : cases) {
        const PictureSize got = FitInside(c.w, c.h, c.side);
        EXPECT_EQ(got.width, c.want.width) << c.w << "x" << c.h;
        EXPECT_EQ(got.height, c.want.height) << c.w << "x" << c.h;
    }
}

// A 6 x 4 source into 3 x 2: every output pixel the rounded mean of a 2 x 2 block.
std::vector<uint8_t> GreyRow(std::initializer_list<uint8_t> values)
{
    std::vector<uint8_t> row;
    for (uint8_t v : values)
        row.insert(row.end(), {v, v, v});
    return row;
}

TEST(RowReducer, AveragesTheBlockEachOutputPixelCovers)
{
    const std::vector<std::vector<uint8_t>> rows = {
        GreyRow({0, 10, 20, 30, 40, 50}),
        GreyRow({1, 11, 21, 31, 41, 51}),
        GreyRow({100, 100, 200, 200, 0, 255}),
        GreyRow({100, 100, 200, 200, 0, 0}),
    };
    for (bool bottomUp : {false, true}) {
        RowReducer r(6, 4, {3, 2}, bottomUp);
        for (int i = 0; i < 4; ++i)
            r.PutRow(rows[size_t(bottomUp ? 3 - i : i)].data());
        const Bitmap b = r.Take();
        ASSERT_EQ(b.Width(), 3);
        ASSERT_EQ(b.Height(), 2);
        EXPECT_EQ(GetRValue(b.Pixel(0, 0)), 6) << bottomUp;   // (0+10+1+11)/4 = 5.5
        EXPECT_EQ(GetRValue(b.Pixel(1, 0)), 26) << bottomUp;  // 25.5
        EXPECT_EQ(GetRValue(b.Pixel(2, 0)), 46) << bottomUp;  // 45.5
        EXPECT_EQ(GetRValue(b.Pixel(0, 1)), 100) << bottomUp;
        EXPECT_EQ(GetRValue(b.Pixel(1, 1)), 200) << bottomUp;
        EXPECT_EQ(GetRValue(b.Pixel(2, 1)), 64) << bottomUp;  // 63.75
    }
}

TEST(RowReducer, UniformRowsCountLikeTheRowsTheyStandFor)
{
    // 4 x 9 into 2 x 3: three source rows per output row; runs of one colour
    // that cross output rows must weigh as many rows as they stand for.
    for (bool bottomUp : {false, true}) {
        RowReducer r(4, 9, {2, 3}, bottomUp);
        const auto white = GreyRow({255, 255, 255, 255});
        r.PutRows(2, clBlack);
        r.PutRow(white.data());
        r.PutRows(5, RGB(30, 60, 90));
        r.PutRow(white.data());
        EXPECT_EQ(r.RowsLeft(), 0);
        const Bitmap b = r.Take();
        const int first = bottomUp ? 2 : 0, last = bottomUp ? 0 : 2;
        EXPECT_EQ(b.Pixel(1, first), RGB(85, 85, 85)) << bottomUp;       // black, black, white
        EXPECT_EQ(b.Pixel(0, 1), RGB(30, 60, 90)) << bottomUp;
        EXPECT_EQ(b.Pixel(0, last), RGB(105, 125, 145)) << bottomUp;    // two rows of colour, one white
    }
}

TEST(RowReducer, SameSizeCopiesAndMissingRowsStayBlack)
{
    RowReducer r(2, 3, {2, 3}, true);
    const auto row = GreyRow({7, 9});
    r.PutRow(row.data());
    const Bitmap b = r.Take();
    EXPECT_EQ(b.Pixel(1, 2), RGB(9, 9, 9)); // the first row of a bottom-up source is the last
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
}

TEST(BitmapMemory, CountsCurrentAndPeakBytes)
{
    const int64_t before = BitmapMemory::Current();
    BitmapMemory::ResetPeak();
    {
        Bitmap a(100, 10, PixelFormat::pf24bit); // 300 bytes a row
        Bitmap b = a;
        EXPECT_EQ(BitmapMemory::Current() - before, 6000);
    }
    EXPECT_EQ(BitmapMemory::Current(), before);
    EXPECT_EQ(BitmapMemory::Peak() - before, 6000);
    BitmapMemory::ResetPeak();
    EXPECT_EQ(BitmapMemory::Peak(), before);
}

TEST(PictureMemory, RefusesBeyondTheBudgetNamingTheSize)
{
    EXPECT_NO_THROW(CheckPictureMemory(16384, 16384, 8)); // exactly the budget
    try {
        CheckPictureMemory(16384, 16384, 24);
        ADD_FAILURE() << "768 MB accepted";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "The picture is too large (16384 x 16384 pixels): it would take 768 MB, more than "
                               "the 256 MB a picture may take");
    }
}

} // namespace
} // namespace pc
