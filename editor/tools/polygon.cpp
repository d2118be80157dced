#include "editor/tools/polygon.h"

namespace pc::editor {

void CPolygon::Closed(Point p)
{
    vertices_.push_back(p);
    canvas_.Polygon(vertices_);
    vertices_.clear();
}

} // namespace pc::editor
