// An asynchronous GIF painter under Qt's event loop: its hand-overs run on
// the GUI thread only because the loop pumps the painters' queue.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "app/window/gif_painter_pump.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"

namespace pc {
namespace {

using namespace gif;

TEST(GifPainterPump, EventLoopRunsAnAnimationToItsEnd)
{
    TGIFImage image;
    image.ColorMap().Add({0, 0, 0});
    image.ColorMap().Add({255, 0, 0});
    image.ColorMap().Add({0, 0, 255});
    for (uint8_t index : {1, 2, 1}) {
        auto frame = std::make_unique<TGIFSubImage>(&image);
        frame->DoSetBounds(0, 0, 3, 1);
        frame->SetPixel(2, 0, index);
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        gce->SetDelay(3);
        frame->Extensions().Add(std::move(gce));
        image.Add(std::move(frame));
    }
    TSyncQueue queue;
    PumpFromEventLoop(queue);
    Bitmap canvas(3, 1, PixelFormat::pf24bit);
    std::vector<int> frames;
    std::vector<TColor> shown;
    bool onGuiThread = true, ended = false;
    {
        TGIFPainter painter(image, canvas, TRect{0, 0, 3, 1}, DrawOption(goAsync) | DrawOption(goAnimate),
                            SystemClock(), queue);
        QEventLoop loop;
        const auto gui = std::this_thread::get_id();
        painter.Events.OnAfterPaint = [&](TGIFPainter& p) {
            onGuiThread = onGuiThread && std::this_thread::get_id() == gui;
            frames.push_back(p.ActiveImage());
            shown.push_back(canvas.Pixel(2, 0));
        };
        painter.Events.OnEndPaint = [&](TGIFPainter&) {
            ended = true;
            loop.quit();
        };
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        painter.Start();
        loop.exec();
    }
    // Pumps still posted must not outlive the queue.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    EXPECT_TRUE(ended);
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(shown, (std::vector<TColor>{RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0)}));
    EXPECT_TRUE(onGuiThread);
}

} // namespace
} // namespace pc
