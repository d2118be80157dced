#pragma once
// The outline of lines drawn with a wide or geometric pen, in output pixels:
// the dashes are cut out along each figure, then Qt's path stroker widens
// them with the pen's caps and joins. The outline comes out in batches of
// polygons, to be filled by the winding rule.
#include <QPainterPath>
#include <QPainterPathStroker>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/canvas.h"
#include "scene/pictures/metafile_device.h" // PenCap, PenJoin

namespace pc::metafile {

struct StrokeStyle {
    double width = 1; // pixels
    PenCap cap = PenCap::Round;
    PenJoin join = PenJoin::Round;
    double miterLimit = 10; // longest miter, in widths, from the inner to the outer corner
    std::vector<double> dashes; // pixels on, off, on...; empty: solid
};

class PenStroker {
public:
    using Spend = std::function<void(int64_t)>;
    using Fill = std::function<void(const std::vector<std::vector<PointF>>&)>;

    // area: output pixels that may change; lines further from it than
    // reach are passed over.
    PenStroker(const StrokeStyle& style, Rect area, double reach, Spend spend, Fill fill);
    // Output pixels.
    void Add(std::span<const PointF> pts, bool closed);
    // Hands over what is still batched.
    void Flush();
    // How far the outline can reach from the lines of these figures: half
    // the width, more at square caps and at the sharpest corner mitered.
    static double Reach(const StrokeStyle& style, std::span<const std::vector<PointF>> figures,
                        const std::vector<bool>& closed);

private:
    void Skip(double length);
    void Run(std::vector<PointF> run, bool closed);
    void Batch(std::span<const PointF> run, bool closed, bool flatEnds);

    StrokeStyle style_;
    double x0_, y0_, x1_, y1_; // the area grown by the reach
    Spend spend_;
    Fill fill_;
    QPainterPathStroker stroker_, flatStroker_;
    QPainterPath batch_, flatBatch_;
    size_t batched_ = 0;
    // Where the dash pattern stands.
    double period_ = 0;
    size_t entry_ = 0;
    double left_ = 0; // of the current entry
};

} // namespace pc::metafile
