// The value box of track bars: it goes with the page of its bar, but stays
// through a minimised window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

#include "platform/track_bar.h"
#include "scene/pages/value_box.h"

namespace pc {
namespace {

TEST(ValueBox, GoesWithThePageOfItsBarButStaysThroughAMinimisedWindow)
{
    QWidget window;
    window.resize(320, 130);
    auto* pages = new QStackedWidget(&window);
    pages->setGeometry(0, 0, 230, 130);
    auto* barPage = new QWidget;
    auto* bar = new TrackBar(barPage);
    bar->setOrientation(Qt::Horizontal);
    bar->setGeometry(7, 11, 151, 23);
    pages->addWidget(barPage);
    pages->addWidget(new QWidget);
    auto* elsewhere = new QLineEdit(&window);
    elsewhere->setGeometry(240, 100, 70, 20);
    ValueBox values(window, {});
    values.Attach(bar);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    elsewhere->setFocus(); // the bar takes the focus from the user's click

    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, bar->height() / 2));
    QTest::mouseClick(values.Edit(), Qt::LeftButton);
    ASSERT_EQ(values.Bar(), bar);
    ASSERT_TRUE(values.Box()->isVisible());

    window.showMinimized();
    QApplication::processEvents();
    window.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(values.Bar(), bar);

    // The box keeps the focus, but its bar's page is no longer shown.
    pages->setCurrentIndex(1);
    EXPECT_EQ(values.Bar(), nullptr);
    EXPECT_FALSE(values.Box()->isVisible());
}

} // namespace
} // namespace pc
