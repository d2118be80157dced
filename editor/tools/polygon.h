#pragma once
// Polygon: a polyline whose closing click fills the figure through every
// vertex with the pen and brush. The vertex list grows as needed.
#include <vector>

#include "editor/tools/polyline.h"

namespace pc::editor {

class CPolygon : public CPolyline {
public:
    explicit CPolygon(Canvas& canvas) : CPolyline(canvas, "CFolygon") {}
    const std::vector<Point>& Vertices() const { return vertices_; }

protected:
    void Started(Point p) override { vertices_.assign(1, p); }
    void VertexAdded(Point p) override { vertices_.push_back(p); }
    void Closed(Point p) override;
    void Abandoned() override { vertices_.clear(); }

private:
    std::vector<Point> vertices_;
};

} // namespace pc::editor
