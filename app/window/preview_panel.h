#pragma once
// The preview panel (Panel1): shows the frame the window's GL context last
// finished. The context renders into its own buffer; Present copies it here.
#include <QImage>
#include <QWidget>

namespace pc {

class GLContext;

class PreviewPanel : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPanel(QWidget* parent = nullptr);
    // Takes the context's finished frame (top-down BGRA) and repaints.
    void Present(const GLContext& context);
    const QImage& Frame() const { return frame_; }

signals:
    void Resized();
    void MousePressed(QMouseEvent* event);
    void MouseReleased(QMouseEvent* event);
    void MouseMoved(QMouseEvent* event);
    // The receiver accepts or ignores the key; ignored keys go on to the parent.
    void KeyPressed(QKeyEvent* event);
    void FocusLost();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { emit MousePressed(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { emit MouseReleased(e); }
    void mouseMoveEvent(QMouseEvent* e) override { emit MouseMoved(e); }
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    QImage frame_;
};

} // namespace pc
