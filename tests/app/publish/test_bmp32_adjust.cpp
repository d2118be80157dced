#include <gtest/gtest.h>

#include <QComboBox>
#include <QSlider>

#include "app/publish/bmp32_adjust.h"
#include "app/publish/color_adjust.h"

namespace {

pc::Bitmap HalfTransparent()
{
    pc::Bitmap b(20, 10, pc::PixelFormat::pf32bit);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            uint8_t* p = b.ScanLine(y) + x * 4;
            p[0] = 40;
            p[1] = 160;
            p[2] = 220;
            p[3] = x < 10 ? 0 : 255;
        }
    return b;
}

TEST(Bmp32Adjust, EightBitModeMarksTransparencyAndOkHandsItBack)
{
    pc::TBmp32Adj dlg;
    dlg.Source = HalfTransparent();
    dlg.CBPNG->setCurrentIndex(1);
    dlg.CBPNGChange();
    ASSERT_EQ(dlg.Output().Bits(), 8);
    int key = pc::TransparentIndex(dlg.Output());
    EXPECT_EQ(int(dlg.Output().RawPixel(2, 2)), key);
    EXPECT_NE(int(dlg.Output().RawPixel(15, 2)), key);
    dlg.BitBtn1Click();
    EXPECT_EQ(dlg.Source.Bits(), 8);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST(Bmp32Adjust, AlphaModeKeepsTheSource)
{
    pc::TBmp32Adj dlg;
    dlg.Source = HalfTransparent();
    dlg.CBPNG->setCurrentIndex(0);
    dlg.CBPNGChange();
    EXPECT_EQ(dlg.Output(), dlg.Source);
    dlg.BitBtn1Click();
    EXPECT_EQ(dlg.Source, HalfTransparent());
}

TEST(Bmp32Adjust, SliderConvertsOnceEightTicksAfterTheLastMove)
{
    pc::TBmp32Adj dlg;
    dlg.Source = HalfTransparent();
    dlg.CBPNG->setCurrentIndex(1);
    dlg.CBPNGChange();
    dlg.TBAlpha->setValue(100);
    dlg.TBAlpha->setValue(-1); // t = -1: nothing transparent
    EXPECT_TRUE(dlg.TimerActive());
    for (int i = 0; i < 7; ++i)
        dlg.Timer1Timer();
    EXPECT_TRUE(dlg.TimerActive());
    int keyBefore = pc::TransparentIndex(dlg.Output());
    EXPECT_EQ(int(dlg.Output().RawPixel(2, 2)), keyBefore); // still the old conversion
    dlg.Timer1Timer();
    EXPECT_FALSE(dlg.TimerActive());
    EXPECT_NE(int(dlg.Output().RawPixel(2, 2)), pc::TransparentIndex(dlg.Output()));
}

TEST(Bmp32Adjust, BackgroundColourAndSwatches)
{
    pc::TBmp32Adj dlg;
    dlg.resize(300, 200);
    dlg.Source = HalfTransparent();
    dlg.CBPNG->setCurrentIndex(1);
    dlg.ChooseColour = [](pc::TColor) { return std::optional<pc::TColor>(pc::RGB(255, 0, 0)); };
    dlg.SetBackgroundColour(pc::RGB(0, 0, 255));
    dlg.TBAlpha->setValue(-1);
    dlg.CBPNGChange();
    // Transparent pixels were composited over blue before the reduction.
    pc::TColor c = dlg.Output().Pixel(2, 2);
    EXPECT_GT(pc::GetBValue(c), 200);
    dlg.SwatchClick(6); // the user's colour becomes the tile
    const auto& p = dlg.Preview();
    EXPECT_EQ(p.Pixel(0, 0), pc::RGB(255, 0, 0));
}

} // namespace
