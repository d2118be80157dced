#pragma once
// The editor's drawing surface: the picture at the model's zoom, painting
// only the part that is exposed, and the mouse mapped back to picture
// pixels for the model.
#include <QWidget>
#include <functional>

#include "editor/tools/tool_mouse.h"

namespace pc::editor {

class EditorModel;

class PictureView : public QWidget {
    Q_OBJECT
public:
    PictureView(EditorModel& model, QWidget* parent = nullptr);

    // Takes the view size from the picture size and the zoom.
    void FitToPicture();

    // Called after each mouse event has reached the model.
    std::function<void()> MouseHandled;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MouseInput InputOf(const QMouseEvent* event) const;

    EditorModel& model_;
};

} // namespace pc::editor
