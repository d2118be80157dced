#include "editor/window/picture_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "editor/window/editor_model.h"
#include "editor/window/zoomed_part.h"

namespace pc::editor {

PictureView::PictureView(EditorModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FitToPicture();
}

void PictureView::FitToPicture()
{
    const Zoom& z = model_.ViewZoom();
    setFixedSize(std::max(1, z.ViewSide(model_.Width())), std::max(1, z.ViewSide(model_.Height())));
}

void PictureView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    // Within a scroll box only what shows is made, however large the zoom.
    const QRect part = event->rect() & visibleRegion().boundingRect();
    if (part.isEmpty())
        return;
    p.drawImage(part.topLeft(),
                ZoomedPart(model_.Picture(), QSize(model_.Width(), model_.Height()), size(), part));
}

MouseInput PictureView::InputOf(const QMouseEvent* event) const
{
    const Zoom& z = model_.ViewZoom();
    // The view pixel under the pointer, not the nearest pixel corner.
    const QPointF v = event->position();
    MouseInput in;
    in.point = Point{z.ToPicture(int(std::floor(v.x())), model_.Width()),
                     z.ToPicture(int(std::floor(v.y())), model_.Height())};
    in.button = event->button() == Qt::RightButton    ? MouseButton::Right
                : event->button() == Qt::MiddleButton ? MouseButton::Middle
                                                      : MouseButton::Left;
    in.shift = event->modifiers() & Qt::ShiftModifier;
    return in;
}

namespace {

// The hourglass on a view while a fill runs, its own cursor back afterwards.
class BusyCursor {
public:
    explicit BusyCursor(QWidget& view) : view_(view), before_(view.cursor()) { view.setCursor(Qt::WaitCursor); }
    ~BusyCursor() { view_.setCursor(before_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    QWidget& view_;
    QCursor before_;
};

} // namespace

void PictureView::mousePressEvent(QMouseEvent* event)
{
    std::optional<BusyCursor> busy;
    // A fill of a large area takes a while.
    if (model_.CurrentTool() && model_.CurrentTool()->KindName() == "CFloodFill")
        busy.emplace(*this);
    model_.MouseDown(InputOf(event));
    busy.reset();
    update();
    if (MouseHandled)
        MouseHandled();
}

void PictureView::mouseMoveEvent(QMouseEvent* event)
{
    model_.MouseMove(InputOf(event));
    if (model_.Dragging())
        update();
    if (MouseHandled)
        MouseHandled();
}

void PictureView::mouseReleaseEvent(QMouseEvent* event)
{
    model_.MouseUp(InputOf(event));
    update();
    if (MouseHandled)
        MouseHandled();
}

} // namespace pc::editor
