#pragma once
// Polyline: each release adds a vertex; a release within 2 pixels of the
// start closes the figure. A not-xor cross marks the start while the
// figure is open.
#include "editor/tools/shape.h"

namespace pc::editor {

class CPolyline : public CShape {
public:
    explicit CPolyline(Canvas& canvas) : CPolyline(canvas, "CPolyLine") {}
    void MouseUp(Point p) override;
    // An accepted undo or redo leaves no figure open.
    int Undo() override;
    int Redo() override;
    int Cursor() const override { return kCrossCursor; }
    bool InProgress() const { return inProgress_; }

protected:
    CPolyline(Canvas& canvas, std::string kindName) : CShape(canvas, std::move(kindName)) {}
    virtual void Started(Point) {}
    virtual void VertexAdded(Point) {}
    virtual void Closed(Point) {}
    virtual void Abandoned() {}
    // An open figure keeps its lines but not its cross.
    void Complete() override;

private:
    void Abandon();

    Point start_, last_;
    bool inProgress_ = false;
};

} // namespace pc::editor
