#include "app/window/render_form.h"

namespace pc {

TRenderForm::TRenderForm(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle("RenderForm");
    resize(688, 453);
}

} // namespace pc
