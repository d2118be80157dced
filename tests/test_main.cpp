// Entry point of every test program: Qt on its offscreen platform, so widget
// and picture tests run without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
    // Qt first: table rows may draw text while the tests are registered.
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
