// Every kind's page shows its captions whole: labels as wide as their text
// and clear of the bars, face captions inside their faces.
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "pages_fixture.h"
#include "platform/track_bar.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

QRect InContents(QWidget* w, QWidget* contents)
{
    return QRect(w->mapTo(contents, QPoint(0, 0)), w->size());
}

class PageLayoutTest : public PagesTest, public ::testing::WithParamInterface<int> {};

TEST_P(PageLayoutTest, CaptionsAreWholeAndClearOfTheBars)
{
    host.modelAnswer = k3dsModels + "cube_with_diffuse_texture.3DS";
    tabs.show();
    const int slot = commands.AddObject(GetParam());
    ASSERT_GE(slot, 0);
    QApplication::processEvents();
    GLTSObject& page = Page(slot);
    QWidget* contents = page.ValueEdit->parentWidget();

    std::vector<QWidget*> labels;
    for (const auto& row : page.TrackbarLabels) // rows 0 to 5: the material row has none
        for (QLabel* l : row)
            labels.push_back(l);
    for (QCheckBox* lock : page.DragLocks)
        labels.push_back(lock);
    for (QLabel* l : page.KindLabels)
        labels.push_back(l);
    for (QLabel* l : page.ListLabels)
        labels.push_back(l);
    std::erase_if(labels, [&](QWidget* l) { return !l || !l->isVisibleTo(contents); });
    std::vector<TrackBar*> bars;
    for (const auto& row : page.TrackbarTable)
        for (TrackBar* b : row)
            if (b && b->isVisibleTo(contents))
                bars.push_back(b);
    for (TrackBar* b : page.KindTrackbars)
        if (b && b->isVisibleTo(contents))
            bars.push_back(b);
    ASSERT_FALSE(labels.empty());
    ASSERT_FALSE(bars.empty());

    for (QWidget* l : labels) {
        const std::string text = l->property("text").toString().toStdString();
        EXPECT_GE(l->width(), l->sizeHint().width()) << "'" << text << "' is clipped";
        EXPECT_LE(InContents(l, contents).right(), InContents(l->parentWidget(), contents).right())
            << "'" << text << "' runs out of its section";
        for (TrackBar* b : bars)
            EXPECT_FALSE(InContents(l, contents).intersects(InContents(b, contents)))
                << "'" << text << "' lies under a bar at y " << InContents(b, contents).y();
    }
    for (TrackBar* b : bars)
        EXPECT_LE(InContents(b, contents).right(), InContents(b->parentWidget(), contents).right());

    // The caption painted into each face of the net fits inside it.
    const QFontMetrics fm(QGuiApplication::font());
    const KindControls& controls = KindControlsFor(GetParam());
    for (int f = 0; f < 6; ++f) {
        if (!controls.faces[f] || controls.faces[f]->width == 0)
            continue;
        FacePicture* face = page.Faces[f];
        EXPECT_GE(face->width(), fm.horizontalAdvance(kFaceCaptions[f]) + 4) << kFaceCaptions[f];
        EXPECT_GE(face->height(), fm.height()) << kFaceCaptions[f];
        EXPECT_LE(InContents(face, contents).right(), InContents(face->parentWidget(), contents).right());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PageLayoutTest, ::testing::Range(0, kKindCount), [](const auto& info) {
    return CaseName(KindActionCaption(info.param));
});

} // namespace
} // namespace pc::test
