#pragma once
// The drawing-tool interface the editor drives. A tool draws on the canvas
// of the edited picture with the canvas' pen, brush and font, takes the
// mouse in picture pixels (MouseMove only while the button is held), keeps
// a ring of recent states for quick undo and redo, and owns no widgets.
//
// Lifetime: created when the user picks the tool; Finish() is the commit
// point (it makes pending work final and removes every preview the tool
// drew); the destructor only frees. A tool erases exactly what it drew in
// not-xor mode.
#include <string>

#include "editor/tools/snapshot_ring.h"
#include "platform/canvas.h"

namespace pc::editor {

// Numbers of the screen's cursor table (platform/cursors.h).
enum ToolCursor { kArrowCursor = 0, kPenCursor = 1, kFontCursor = 5, kPickerCursor = 6, kPaintCursor = 7, kCrossCursor = 8 };

// Sets the canvas pen and brush for a scope and gives the old ones back:
// frames drawn with fixed tools erase exactly whatever the user picks meanwhile.
class CanvasToolsScope {
public:
    CanvasToolsScope(Canvas& canvas, const Pen& pen, const Brush& brush)
        : canvas_(canvas), pen_(canvas.pen), brush_(canvas.brush)
    {
        canvas.pen = pen;
        canvas.brush = brush;
    }
    ~CanvasToolsScope()
    {
        canvas_.pen = pen_;
        canvas_.brush = brush_;
    }
    CanvasToolsScope(const CanvasToolsScope&) = delete;
    CanvasToolsScope& operator=(const CanvasToolsScope&) = delete;

private:
    Canvas& canvas_;
    Pen pen_;
    Brush brush_;
};

class CShape {
public:
    CShape(Canvas& canvas, std::string kindName);
    virtual ~CShape() = default;
    CShape(const CShape&) = delete;
    CShape& operator=(const CShape&) = delete;

    virtual void MouseDown(Point) {}
    virtual void MouseMove(Point) {}
    virtual void MouseUp(Point) {}

    // Each returns the ring slot used, or -1 when refused (nothing changes).
    virtual int Undo() { return DoUndo(); }
    virtual int Redo() { return DoRedo(); }
    virtual int SaveState() { return DoSaveState(); }
    // Whether Undo and Redo would be accepted; otherwise the editor falls
    // back to its history files.
    virtual bool CanUndo() const { return ring_.CanUndo(); }
    virtual bool CanRedo() const { return ring_.CanRedo(); }

    // The editor's picture size changed while the tool is active (the
    // picture bitmap grows at once and is cut at the next commit).
    virtual void PictureResized(int /*width*/, int /*height*/) {}

    // Runs Complete() once; later calls do nothing.
    void Finish();

    // Tells the tools apart: "CFrameSelect", "CImageShape", ...
    const std::string& KindName() const { return kindName_; }
    virtual int Cursor() const { return kArrowCursor; }
    // Half the side of grip squares and crosses.
    int GripSize() const { return gripSize_; }

protected:
    virtual void Complete() {}

    void SavePen() { savedPen_ = canvas_.pen; }
    void RestorePen() { canvas_.pen = savedPen_; }
    void SaveBrush() { savedBrush_ = canvas_.brush; }
    void RestoreBrush() { canvas_.brush = savedBrush_; }

    int DoUndo();
    int DoRedo();
    int DoSaveState();

    // Runs draw() with the pen in not-xor mode, then puts the mode back.
    template <class Draw>
    void NotXor(Draw draw)
    {
        const PenMode saved = canvas_.pen.mode;
        canvas_.pen.mode = PenMode::NotXor;
        draw();
        canvas_.pen.mode = saved;
    }
    // Brings a kept copy of the picture as it was before the tool drew
    // (text, floating layer) to the picture's current size; pixels the
    // picture gained meanwhile hold nothing of the tool yet and are taken
    // from the canvas.
    void FollowPictureSize(Bitmap& clean) const;
    // A not-xor cross with arms of GripSize at p; drawing it again removes it.
    void ToggleCross(Point p);
    // A square of half-side GripSize at p, drawn with Rectangle.
    void GripSquare(Point p);

    Canvas& canvas_;

private:
    const std::string kindName_;
    const int gripSize_;
    Pen savedPen_;
    Brush savedBrush_;
    SnapshotRing ring_;
    bool finished_ = false;
};

} // namespace pc::editor
