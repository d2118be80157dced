#include "editor/tools/free_line.h"

namespace pc::editor {

void CFreeLine::MouseMove(Point p)
{
    canvas_.MoveTo(last_.x, last_.y);
    canvas_.LineTo(p.x, p.y);
    last_ = p;
}

} // namespace pc::editor
