#include "scene/pictures/metafile_stroke.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pc::metafile {

namespace {

// Points handed to Qt's stroker at a time, and in one piece of a longer run.
constexpr size_t kBatchPoints = 1024;
// Work charged for a run given to the stroker, a step of the dash pattern
// and a point of the outline Qt makes, in the canvas' units (about the time
// a pixel takes to write), as measured; a run's cost on 20,000 lines of
// one-pixel dashes, each dash a run of its own.
constexpr int64_t kRunCost = 256, kDashStepCost = 2, kOutlinePointCost = 32;

Qt::PenCapStyle QtCap(PenCap c)
{
    switch (c) {
    case PenCap::Square: return Qt::SquareCap;
    case PenCap::Flat: return Qt::FlatCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle QtJoin(PenJoin j)
{
    switch (j) {
    case PenJoin::Bevel: return Qt::BevelJoin;
    // Past the limit GDI bevels the corner, as SVG does; Qt's plain miter
    // would cut the point off instead.
    case PenJoin::Miter: return Qt::SvgMiterJoin;
    default: return Qt::RoundJoin;
    }
}

} // namespace

double PenStroker::Reach(const StrokeStyle& style, std::span<const std::vector<PointF>> figures,
                         const std::vector<bool>& closed)
{
    // A miter reaches 1 / sin(a / 2) half widths at a corner of angle a,
    // while that stays within the limit; a square cap sqrt(2).
    double k = 1.5;
    if (style.join == PenJoin::Miter) {
        for (size_t f = 0; f < figures.size(); ++f) {
            // Corners between distinct points; a closed figure's go round.
            PointF a{}, v{};
            int seen = 0;
            auto next = [&](PointF b) {
                if (seen > 0 && b.x == v.x && b.y == v.y)
                    return false;
                if (seen >= 2) {
                    const double ax = a.x - v.x, ay = a.y - v.y, bx = b.x - v.x, by = b.y - v.y;
                    const double c = (ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by));
                    const double ratio = 1 / std::sqrt(std::max(0.0, (1 - c) / 2));
                    if (ratio <= style.miterLimit)
                        k = std::max(k, ratio);
                }
                a = v, v = b, ++seen;
                return true;
            };
            for (const PointF& p : figures[f])
                next(p);
            for (size_t i = 0, wrapped = 0; closed[f] && i < figures[f].size() && wrapped < 2; ++i)
                wrapped += next(figures[f][i]);
        }
    }
    return style.width / 2 * k + 2;
}

PenStroker::PenStroker(const StrokeStyle& style, Rect area, double reach, Spend spend, Fill fill)
    : style_(style), spend_(std::move(spend)), fill_(std::move(fill))
{
    for (QPainterPathStroker* s : {&stroker_, &flatStroker_}) {
        s->setWidth(style_.width);
        s->setJoinStyle(QtJoin(style_.join));
        s->setMiterLimit(style_.miterLimit);
    }
    stroker_.setCapStyle(QtCap(style_.cap));
    flatStroker_.setCapStyle(Qt::FlatCap);
    x0_ = area.left - reach, y0_ = area.top - reach, x1_ = area.right + reach, y1_ = area.bottom + reach;
    period_ = std::accumulate(style_.dashes.begin(), style_.dashes.end(), 0.0);
}

void PenStroker::Skip(double length)
{
    if (style_.dashes.empty() || length < left_) {
        left_ -= length;
        return;
    }
    length -= left_;
    // A whole period brings the pattern back to where it was.
    length = std::fmod(length, period_);
    entry_ = (entry_ + 1) % style_.dashes.size();
    left_ = style_.dashes[entry_];
    while (length >= left_ && length > 0) {
        length -= left_;
        entry_ = (entry_ + 1) % style_.dashes.size();
        left_ = style_.dashes[entry_];
    }
    left_ = std::max(0.0, left_ - length);
}

void PenStroker::Add(std::span<const PointF> pts, bool closed)
{
    const std::vector<double>& dashes = style_.dashes;
    const bool dashed = !dashes.empty();
    // Every figure starts the pattern afresh.
    entry_ = 0;
    left_ = dashed ? dashes[0] : 0;
    const size_t n = pts.size(), segments = closed ? n : std::max<size_t>(n, 1) - 1;
    std::vector<PointF> run;
    bool cut = dashed; // the figure is not one whole run
    auto endRun = [&] {
        if (!run.empty())
            Run(std::move(run), false);
        run.clear();
    };
    for (size_t i = 0; i < segments; ++i) {
        const PointF a = pts[i], b = pts[(i + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        if (!(len > 0) || !std::isfinite(len))
            continue;
        // The part of the segment near the area (Liang-Barsky), as lengths along it.
        double u0 = 0, u1 = 1;
        for (auto [p, q] : {std::pair{-dx, a.x - x0_}, {dx, x1_ - a.x}, {-dy, a.y - y0_}, {dy, y1_ - a.y}}) {
            if (p == 0) {
                if (q < 0)
                    u0 = 2;
            } else if (p < 0) {
                u0 = std::max(u0, q / p);
            } else {
                u1 = std::min(u1, q / p);
            }
        }
        const double t0 = u0 <= u1 ? u0 * len : len, t1 = u0 <= u1 ? u1 * len : len;
        if (t0 > 0) {
            endRun();
            cut = true;
            Skip(t0);
        }
        auto at = [&](double t) { return PointF{a.x + dx * (t / len), a.y + dy * (t / len)}; };
        double t = t0;
        while (t < t1) {
            const bool on = entry_ % 2 == 0;
            if (on && run.empty())
                run.push_back(at(t));
            if (!dashed || left_ > t1 - t) { // the dash or gap goes on past this part
                left_ -= t1 - t;
                t = t1;
                if (on)
                    run.push_back(t1 == len ? b : at(t1));
                break;
            }
            spend_(kDashStepCost);
            t += left_;
            if (on) {
                run.push_back(at(t));
                endRun();
            }
            entry_ = (entry_ + 1) % dashes.size();
            left_ = dashes[entry_];
        }
        if (t1 < len) {
            endRun();
            cut = true;
            Skip(len - t1);
        }
    }
    if (!run.empty()) {
        if (closed && !cut)
            run.pop_back(); // the start again: the figure is closed instead
        Run(std::move(run), closed && !cut);
    }
}

void PenStroker::Run(std::vector<PointF> run, bool closed)
{
    run.erase(std::unique(run.begin(), run.end(), [](PointF p, PointF q) { return p.x == q.x && p.y == q.y; }),
              run.end());
    if (run.size() < 2)
        return;
    spend_(kRunCost);
    if (run.size() <= kBatchPoints) {
        Batch(run, closed, false);
        return;
    }
    // A long run goes in pieces that overlap by a segment, with flat ends
    // where they meet, so each corner keeps its join; the run's own ends get
    // their caps from their end segments.
    if (closed) {
        run.push_back(run[0]);
        run.push_back(run[1]);
    }
    for (size_t s = 0; s + 1 < run.size(); s += kBatchPoints - 2)
        Batch(std::span(run).subspan(s, std::min(kBatchPoints, run.size() - s)), false, true);
    if (!closed && style_.cap != PenCap::Flat) {
        Batch(std::span(run).first(2), false, false);
        Batch(std::span(run).last(2), false, false);
    }
}

void PenStroker::Batch(std::span<const PointF> run, bool closed, bool flatEnds)
{
    QPainterPath& path = flatEnds ? flatBatch_ : batch_;
    path.moveTo(run[0].x, run[0].y);
    for (const PointF& p : run.subspan(1))
        path.lineTo(p.x, p.y);
    if (closed)
        path.closeSubpath();
    batched_ += run.size();
    if (batched_ >= kBatchPoints)
        Flush();
}

void PenStroker::Flush()
{
    for (auto [stroker, path] : {std::pair{&stroker_, &batch_}, {&flatStroker_, &flatBatch_}}) {
        if (path->isEmpty())
            continue;
        std::vector<std::vector<PointF>> polygons;
        int64_t points = 0;
        for (const QPolygonF& poly : stroker->createStroke(*path).toSubpathPolygons()) {
            std::vector<PointF> v;
            v.reserve(size_t(poly.size()));
            for (const QPointF& q : poly)
                v.push_back({q.x(), q.y()});
            points += int64_t(v.size());
            polygons.push_back(std::move(v));
        }
        // Qt's work for each point of the outline, its curves flattened.
        spend_(kOutlinePointCost * points);
        *path = QPainterPath();
        fill_(polygons);
    }
    batched_ = 0;
}

} // namespace pc::metafile
