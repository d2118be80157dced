#pragma once
// A borderless empty window that hosts the preview panel during renders
// larger than the main window.
#include <QWidget>

namespace pc {

class TRenderForm : public QWidget {
    Q_OBJECT
public:
    explicit TRenderForm(QWidget* owner = nullptr);
};

} // namespace pc
