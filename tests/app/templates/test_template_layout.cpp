// The sheet's geometry: columns from the client width, which cell a point
// hits, and how a preview is fitted into its cell.
#include <gtest/gtest.h>

#include "app/templates/template_sheet.h"

namespace pc::test {
namespace {

TEST(TemplateLayout, ColumnsFromClientWidth)
{
    const std::pair<int, int> cases[] = {{0, 2}, {500, 2}, {743, 2}, {744, 3}, {983, 3}, {984, 4}};
    for (auto [width, columns] : cases)
        EXPECT_EQ(ColumnsForWidth(width), columns) << "client width " << width;
}

TEST(TemplateLayout, CellOriginsAreRowMajor)
{
    EXPECT_EQ(CellOrigin(0, 2), (Point{0, 0}));
    EXPECT_EQ(CellOrigin(1, 2), (Point{240, 0}));
    EXPECT_EQ(CellOrigin(4, 2), (Point{0, 480}));
    EXPECT_EQ(CellOrigin(5, 3), (Point{480, 240}));
}

struct Hit {
    const char* name;
    int x, y, columns, count, expected;
};

TEST(TemplateLayout, HitTesting)
{
    const Hit cases[] = {
        {"first cell", 0, 0, 2, 5, 0},
        {"last pixel of the first row", 479, 239, 2, 5, 1},
        {"second row", 0, 240, 2, 5, 2},
        // The sheet is 3 pixels wider than its columns; that margin and the
        // scroll box beyond it are no cell, not the next row's first.
        {"right margin", 480, 0, 2, 5, -1},
        {"right margin of the last sheet column", 482, 100, 2, 5, -1},
        {"far right", 700, 10, 2, 5, -1},
        {"after the last cell", 240, 480, 2, 5, -1},
        {"last cell", 239, 719, 2, 5, 4},
        {"below the sheet", 0, 720, 2, 5, -1},
        {"no templates", 10, 10, 2, 0, -1},
        {"left of the sheet", -1, 10, 2, 5, -1},
        {"above the sheet", 10, -1, 2, 5, -1},
    };
    for (const Hit& h : cases)
        EXPECT_EQ(CellAt(h.x, h.y, h.columns, h.count), h.expected) << h.name;
}

struct Fit {
    const char* name;
    int width, height;
    Rect expected; // in the cell at (240, 480)
};

TEST(TemplateLayout, PreviewFit)
{
    const Fit cases[] = {
        {"square", 200, 200, {260, 500, 460, 700}},
        {"small square is enlarged", 16, 16, {260, 500, 460, 700}},
        {"wide", 400, 100, {260, 575, 460, 625}},
        {"tall", 100, 400, {335, 500, 385, 700}},
        // 200 / 3 = 66.67 truncated; (200 - 66) / 2 = 67.
        {"three times as wide", 300, 100, {260, 567, 460, 633}},
        {"one pixel wider", 201, 200, {260, 500, 460, 699}},
    };
    for (const Fit& f : cases) {
        std::optional<Rect> r = FitPreview(f.width, f.height, {240, 480});
        ASSERT_TRUE(r) << f.name;
        EXPECT_EQ(r->left, f.expected.left) << f.name;
        EXPECT_EQ(r->top, f.expected.top) << f.name;
        EXPECT_EQ(r->right, f.expected.right) << f.name;
        EXPECT_EQ(r->bottom, f.expected.bottom) << f.name;
    }
}

TEST(TemplateLayout, PreviewWithoutAreaIsNotFitted)
{
    EXPECT_FALSE(FitPreview(200, 0, {0, 0}));
    EXPECT_FALSE(FitPreview(0, 200, {0, 0}));
    EXPECT_FALSE(FitPreview(0, 0, {0, 0}));
    EXPECT_FALSE(FitPreview(-5, 10, {0, 0}));
}

} // namespace
} // namespace pc::test
