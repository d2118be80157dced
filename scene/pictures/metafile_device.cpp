#include "scene/pictures/metafile_device.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

Device::Device(Canvas& canvas, DPoint origin, DPoint scale, DPoint pixelsPerMm)
    : canvas_(canvas), origin_(origin), scale_(scale), pixelsPerMm_(pixelsPerMm)
{
}

void Device::FixViewportToOutput(int width, int height)
{
    fixedViewport_ = true;
    state_.mapMode = 8;
    state_.vOrg = {0, 0};
    state_.vExt = {double(width), double(height)};
    origin_ = {0, 0};
    scale_ = {1, 1};
}

void Device::SetMapMode(int mode)
{
    if (!fixedViewport_ && mode >= 1 && mode <= 8)
        state_.mapMode = mode;
}

void Device::SetWindowOrg(double x, double y) { state_.wOrg = {x, y}; }
void Device::SetWindowExt(double x, double y)
{
    if (x != 0 && y != 0)
        state_.wExt = {x, y};
}
void Device::SetViewportOrg(double x, double y)
{
    if (!fixedViewport_)
        state_.vOrg = {x, y};
}
void Device::SetViewportExt(double x, double y)
{
    if (!fixedViewport_ && x != 0 && y != 0)
        state_.vExt = {x, y};
}

void Device::ModifyWorldTransform(const XForm& x, int mode)
{
    XForm& w = state_.world;
    auto mul = [](const XForm& a, const XForm& b) { // a then b
        return XForm{a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22,
                     a.m21 * b.m11 + a.m22 * b.m21, a.m21 * b.m12 + a.m22 * b.m22,
                     a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
    };
    switch (mode) {
    case 1: w = XForm{}; break;   // MWT_IDENTITY
    case 2: w = mul(x, w); break; // MWT_LEFTMULTIPLY
    case 3: w = mul(w, x); break; // MWT_RIGHTMULTIPLY
    case 4: w = x; break;         // MWT_SET
    default: break;
    }
}

DPoint Device::ToOutput(double x, double y) const
{
    const XForm& w = state_.world;
    const double px = x * w.m11 + y * w.m21 + w.dx, py = x * w.m12 + y * w.m22 + w.dy;
    double dx, dy;
    if (const double unit = MetricUnit(state_.mapMode); unit > 0) {
        dx = (px - state_.wOrg.x) * unit * pixelsPerMm_.x + state_.vOrg.x;
        dy = -(py - state_.wOrg.y) * unit * pixelsPerMm_.y + state_.vOrg.y;
    } else if (state_.mapMode == 7 || state_.mapMode == 8) {
        double sx = state_.vExt.x / state_.wExt.x, sy = state_.vExt.y / state_.wExt.y;
        if (state_.mapMode == 7) { // isotropic: the smaller scale on both axes
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        dx = (px - state_.wOrg.x) * sx + state_.vOrg.x;
        dy = (py - state_.wOrg.y) * sy + state_.vOrg.y;
    } else {
        dx = px - state_.wOrg.x + state_.vOrg.x;
        dy = py - state_.wOrg.y + state_.vOrg.y;
    }
    return {(dx - origin_.x) * scale_.x, (dy - origin_.y) * scale_.y};
}

Point Device::ToPixel(double x, double y) const
{
    DPoint p = ToOutput(x, y);
    return {ToInt(p.x), ToInt(p.y)};
}

std::vector<Point> Device::ToPixels(std::span<const DPoint> pts)
{
    Spend(kDrawSetUpCost + kPointCost * int64_t(pts.size()));
    std::vector<Point> out;
    out.reserve(pts.size());
    for (const DPoint& p : pts)
        out.push_back(ToPixel(p.x, p.y));
    return out;
}

DPoint Device::Scale() const
{
    const DPoint o = ToOutput(0, 0), ux = ToOutput(1, 0), uy = ToOutput(0, 1);
    return {std::hypot(ux.x - o.x, ux.y - o.y), std::hypot(uy.x - o.x, uy.y - o.y)};
}

void Device::Prepare()
{
    Spend(kDrawSetUpCost);
    const DPoint s = Scale();
    const State& st = state_;
    canvas_.pen.color = st.pen.color;
    canvas_.pen.style = st.pen.style;
    canvas_.pen.width = std::clamp(int(std::lround(st.pen.width * s.x)), 1, 4096);
    canvas_.pen.mode = st.rop2 == 10 ? PenMode::NotXor : PenMode::Copy; // R2_NOTXORPEN
    canvas_.brush.color = st.brush.color;
    canvas_.brush.style = st.brush.style;
    canvas_.brush.pattern = st.brush.pattern.get();
    canvas_.brush.monoPattern = st.brush.mono;
    canvas_.fillRule = st.polyFillMode == 2 ? FillRule::Winding : FillRule::Alternate;
    canvas_.backgroundMode = st.bkMode == 1 ? BackgroundMode::Transparent : BackgroundMode::Opaque;
    canvas_.backgroundColor = st.bkColor;
    if (st.clip)
        canvas_.SetClipRect(*st.clip);
    else
        canvas_.ResetClipRect();
    canvas_.SetClipRegion(st.region);
    Font f;
    f.name = st.font.face.empty() ? "Arial" : st.font.face;
    const double h = st.font.height * s.y;
    f.height = std::isfinite(h) ? int(std::clamp<double>(std::lround(h), -4096, 4096)) : 0;
    if (f.height == 0 && st.font.height != 0)
        f.height = st.font.height < 0 ? -1 : 1;
    const double w = std::abs(st.font.width) * s.x;
    f.width = std::isfinite(w) ? int(std::clamp<double>(std::lround(w), 0, 4096)) : 0;
    if (f.width == 0 && st.font.width != 0)
        f.width = 1;
    f.weight = st.font.weight;
    f.italic = st.font.italic;
    f.underline = st.font.underline;
    f.strikeOut = st.font.strikeOut;
    f.escapement = st.font.escapement;
    f.color = st.textColor;
    canvas_.font = f;
    const uint32_t h6 = st.textAlign & 6, v24 = st.textAlign & 24;
    canvas_.textHAlign = h6 == 6 ? TextHAlign::Center : h6 == 2 ? TextHAlign::Right : TextHAlign::Left;
    canvas_.textVAlign = v24 == 24 ? TextVAlign::Baseline : v24 == 8 ? TextVAlign::Bottom : TextVAlign::Top;
}

void Device::SaveDC()
{
    if (saved_.size() < 4096)
        saved_.push_back(state_);
}

void Device::RestoreDC(int n)
{
    size_t index;
    if (n < 0) {
        if (size_t(-int64_t(n)) > saved_.size())
            return;
        index = saved_.size() - size_t(-int64_t(n));
    } else {
        if (n == 0 || size_t(n) > saved_.size())
            return;
        index = size_t(n - 1);
    }
    state_ = saved_[index];
    saved_.resize(index);
}

void Device::IntersectClipRect(double l, double t, double r, double b)
{
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    Rect rc{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    if (state_.clip)
        rc = Rect{std::max(rc.left, state_.clip->left), std::max(rc.top, state_.clip->top),
                  std::min(rc.right, state_.clip->right), std::min(rc.bottom, state_.clip->bottom)};
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    state_.clip = rc;
}

void Device::SetTableSize(uint32_t n)
{
    objects_.assign(std::min(n, kMaxObjects), std::nullopt);
    // Rising order is already a min-heap.
    freeSlots_.resize(objects_.size());
    std::iota(freeSlots_.begin(), freeSlots_.end(), 0u);
}

void Device::CreateObject(uint32_t slot, GdiObject obj)
{
    if (slot < objects_.size())
        objects_[slot] = std::move(obj);
}

void Device::CreateObjectInFreeSlot(GdiObject obj)
{
    while (!freeSlots_.empty()) {
        std::pop_heap(freeSlots_.begin(), freeSlots_.end(), std::greater<>());
        const uint32_t slot = freeSlots_.back();
        freeSlots_.pop_back();
        if (slot < objects_.size() && !objects_[slot]) {
            objects_[slot] = std::move(obj);
            return;
        }
    }
    if (objects_.size() < kMaxObjects)
        objects_.push_back(std::move(obj));
}

void Device::SelectObject(uint32_t slot)
{
    if (slot >= objects_.size() || !objects_[slot])
        return;
    const GdiObject& o = *objects_[slot];
    if (auto p = std::get_if<LogPen>(&o))
        state_.pen = *p;
    else if (auto b = std::get_if<LogBrush>(&o))
        state_.brush = *b;
    else if (auto f = std::get_if<LogFont>(&o))
        state_.font = *f;
}

void Device::SelectStockObject(uint32_t n)
{
    static constexpr TColor greys[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64), clBlack};
    if (n <= 4)
        state_.brush = LogBrush{BrushStyle::Solid, greys[n]};
    else if (n == 5)
        state_.brush = LogBrush{BrushStyle::Clear, clBlack};
    else if (n == 6 || n == 7) {
        state_.pen = LogPen{};
        state_.pen.color = n == 6 ? clWhite : clBlack;
    } else if (n == 8) {
        state_.pen = LogPen{};
        state_.pen.style = PenStyle::Clear;
    }
    else if (n >= 10 && n <= 17 && n != 15)
        state_.font = LogFont{};
    else if (n == 18)
        state_.brush = LogBrush{BrushStyle::Solid, clWhite};
    else if (n == 19)
        state_.pen = LogPen{};
}

void Device::DeleteObject(uint32_t slot)
{
    if (slot >= objects_.size() || !objects_[slot])
        return;
    objects_[slot].reset();
    freeSlots_.push_back(slot);
    std::push_heap(freeSlots_.begin(), freeSlots_.end(), std::greater<>());
}

} // namespace pc::metafile
