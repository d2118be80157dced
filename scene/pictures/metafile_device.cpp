#include "scene/pictures/metafile_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <numeric>
#include <string>

#include "platform/bmp_file.h"
#include "platform/byte_reader.h"

namespace pc::metafile {

namespace {

constexpr uint32_t kMaxObjects = 65536;
// Points of one path or of one flattened Bézier record.
constexpr size_t kMaxPathPoints = 4'000'000;
// Memory of one picture a metafile holds inside it, beside the picture it
// draws: a share of what a picture file may take.
constexpr int64_t kMetafilePictureBytes = kPictureMemoryBudget / 4;

// Work charged besides what the canvas charges, in its units (about the time
// of writing a pixel): setting the state up for a drawing or a figure,
// working out a point, reading a picture, and laying out text (a font looked
// up, then each character shaped).
constexpr int64_t kDrawSetUpCost = 64, kPointCost = 8, kPictureSetUpCost = 64;
constexpr int64_t kTextSetUpCost = 2048, kTextCharCost = 128;

// Output coordinates are kept well inside int so the canvas can clip them.
int ToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::lround(std::clamp(v, -1e9, 1e9)));
}

// Millimetres per logical unit of the metric map modes.
double MetricUnit(int mode)
{
    switch (mode) {
    case 2: return 0.1;           // MM_LOMETRIC
    case 3: return 0.01;          // MM_HIMETRIC
    case 4: return 0.254;         // MM_LOENGLISH
    case 5: return 0.0254;        // MM_HIENGLISH
    case 6: return 25.4 / 1440;   // MM_TWIPS
    default: return 0;
    }
}

} // namespace

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
    canvas_.fillRule = st.polyFillMode == 2 ? FillRule::Winding : FillRule::Alternate;
    canvas_.backgroundMode = st.bkMode == 1 ? BackgroundMode::Transparent : BackgroundMode::Opaque;
    canvas_.backgroundColor = st.bkColor;
    if (st.clip)
        canvas_.SetClipRect(*st.clip);
    else
        canvas_.ResetClipRect();
    Font f;
    f.name = st.font.face.empty() ? "Arial" : st.font.face;
    const double h = st.font.height * s.y;
    f.height = std::isfinite(h) ? int(std::clamp<double>(std::lround(h), -4096, 4096)) : 0;
    if (f.height == 0 && st.font.height != 0)
        f.height = st.font.height < 0 ? -1 : 1;
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
    else if (n == 6 || n == 7)
        state_.pen = LogPen{PenStyle::Solid, 0, n == 6 ? clWhite : clBlack};
    else if (n == 8)
        state_.pen = LogPen{PenStyle::Clear, 0, clBlack};
    else if (n >= 10 && n <= 17 && n != 15)
        state_.font = LogFont{};
    else if (n == 18)
        state_.brush = LogBrush{BrushStyle::Solid, clWhite};
    else if (n == 19)
        state_.pen = LogPen{PenStyle::Solid, 0, clBlack};
}

void Device::DeleteObject(uint32_t slot)
{
    if (slot >= objects_.size() || !objects_[slot])
        return;
    objects_[slot].reset();
    freeSlots_.push_back(slot);
    std::push_heap(freeSlots_.begin(), freeSlots_.end(), std::greater<>());
}

void Device::BeginPath()
{
    inPath_ = true;
    path_.clear();
    pathPoints_ = 0;
}

void Device::AbortPath()
{
    inPath_ = false;
    path_.clear();
    pathPoints_ = 0;
}

void Device::CloseFigure()
{
    if (inPath_ && !path_.empty() && !path_.back().closed) {
        path_.back().closed = true;
        // A new figure starts where this one began.
        state_.pos = path_.back().pts.front();
    }
}

void Device::PathFigure(std::vector<DPoint> pts, bool closed)
{
    if (pts.empty())
        return;
    Spend(int64_t(pts.size()));
    pathPoints_ += pts.size();
    if (pathPoints_ > kMaxPathPoints)
        throw BadInput("metafile path too long");
    path_.push_back(Figure{std::move(pts), closed});
}

void Device::PathLine(std::span<const DPoint> pts)
{
    if (pts.empty())
        return;
    // A line goes on from the current position: the open figure only when
    // it ends there (a polyline in a path leaves the position where it was).
    const bool goesOn = !path_.empty() && !path_.back().closed && path_.back().pts.back().x == state_.pos.x &&
                        path_.back().pts.back().y == state_.pos.y;
    if (!goesOn)
        PathFigure({state_.pos}, false);
    Spend(int64_t(pts.size()));
    pathPoints_ += pts.size();
    if (pathPoints_ > kMaxPathPoints)
        throw BadInput("metafile path too long");
    path_.back().pts.insert(path_.back().pts.end(), pts.begin(), pts.end());
}

void Device::DrawPath(bool fill, bool stroke)
{
    Prepare();
    std::vector<std::vector<Point>> figures;
    for (const Figure& f : path_)
        figures.push_back(ToPixels(f.pts));
    if (fill) {
        const Pen pen = canvas_.pen;
        if (!stroke)
            canvas_.pen.style = PenStyle::Clear;
        canvas_.PolyPolygon(figures);
        canvas_.pen = pen;
    } else if (stroke) {
        canvas_.brush.style = BrushStyle::Clear;
        for (size_t i = 0; i < figures.size(); ++i) {
            if (path_[i].closed)
                canvas_.Polygon(figures[i]);
            else
                canvas_.Polyline(figures[i]);
        }
    }
    AbortPath();
}

void Device::MoveTo(double x, double y)
{
    state_.pos = {x, y};
    if (inPath_)
        PathFigure({state_.pos}, false);
}

void Device::LineTo(double x, double y)
{
    if (inPath_) {
        const DPoint p{x, y};
        PathLine({&p, 1});
        state_.pos = p;
        return;
    }
    Prepare();
    const Point a = ToPixel(state_.pos.x, state_.pos.y), b = ToPixel(x, y);
    canvas_.MoveTo(a.x, a.y);
    canvas_.LineTo(b.x, b.y);
    state_.pos = {x, y};
}

void Device::Polyline(std::span<const DPoint> pts)
{
    if (inPath_) {
        PathFigure({pts.begin(), pts.end()}, false);
        return;
    }
    Prepare();
    auto px = ToPixels(pts);
    canvas_.Polyline(px);
}

void Device::PolylineTo(std::span<const DPoint> pts)
{
    if (pts.empty())
        return;
    if (inPath_) {
        PathLine(pts);
    } else {
        std::vector<DPoint> all{state_.pos};
        all.insert(all.end(), pts.begin(), pts.end());
        Polyline(all);
    }
    state_.pos = pts.back();
}

void Device::PolyBezierTo(std::span<const DPoint> controls)
{
    const auto line = FlattenBeziers(state_.pos, controls);
    PolylineTo(std::span(line).subspan(1));
}

void Device::Polygon(const std::vector<std::vector<DPoint>>& polys)
{
    if (inPath_) {
        for (const auto& p : polys)
            PathFigure(p, true);
        return;
    }
    Prepare();
    std::vector<std::vector<Point>> px;
    for (const auto& p : polys)
        px.push_back(ToPixels(p));
    canvas_.PolyPolygon(px);
}

void Device::Rectangle(double l, double t, double r, double b)
{
    if (inPath_) {
        PathFigure({{l, t}, {r, t}, {r, b}, {l, b}}, true);
        return;
    }
    Prepare();
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    canvas_.Rectangle(a.x, a.y, c.x, c.y);
}

void Device::RoundRect(double l, double t, double r, double b, double w, double h)
{
    Prepare();
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    const DPoint s = Scale();
    canvas_.RoundRect(a.x, a.y, c.x, c.y, ToInt(w * s.x), ToInt(h * s.y));
}

void Device::Ellipse(double l, double t, double r, double b)
{
    if (inPath_) {
        constexpr int n = 64;
        Spend(kPointCost * n);
        std::vector<DPoint> pts;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * std::numbers::pi * i / n;
            pts.push_back({(l + r) / 2 + (r - l) / 2 * std::cos(a), (t + b) / 2 + (b - t) / 2 * std::sin(a)});
        }
        PathFigure(std::move(pts), true);
        return;
    }
    Prepare();
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    canvas_.Ellipse(a.x, a.y, c.x, c.y);
}

void Device::TextOut(DPoint at, const std::u16string& text, const std::optional<std::array<double, 4>>& opaqueRect)
{
    Prepare();
    const bool updateCp = state_.textAlign & 1; // TA_UPDATECP
    // Moving the position lays the text out a second time.
    Spend((updateCp ? 2 : 1) * (kTextSetUpCost + kTextCharCost * int64_t(text.size())));
    if (updateCp)
        at = state_.pos;
    if (opaqueRect) {
        const Point a = ToPixel((*opaqueRect)[0], (*opaqueRect)[1]), c = ToPixel((*opaqueRect)[2], (*opaqueRect)[3]);
        const Brush saved = canvas_.brush;
        canvas_.brush = Brush{state_.bkColor, BrushStyle::Solid};
        canvas_.FillRect(Rect{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)});
        canvas_.brush = saved;
    }
    const Point p = ToPixel(at.x, at.y);
    canvas_.TextOut(p.x, p.y, text);
    if (updateCp) {
        const double sx = Scale().x;
        if (sx > 0)
            state_.pos.x += canvas_.TextExtent(text).x / sx;
    }
}

void Device::StretchBlt(double x, double y, double w, double h, const Bitmap* picture, Rect srcRect, uint32_t rop)
{
    Prepare();
    const Point a = ToPixel(x, y), c = ToPixel(x + w, y + h);
    const Rect dst{a.x, a.y, c.x, c.y};
    if (picture) {
        canvas_.StretchDraw(dst, *picture, srcRect, StretchMode::ColorOnColor);
        return;
    }
    const Rect box{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    const Brush saved = canvas_.brush;
    switch (rop) {
    case 0x00F00021: break; // PATCOPY
    case 0x00000042: canvas_.brush = Brush{clBlack, BrushStyle::Solid}; break; // BLACKNESS
    case 0x00FF0062: canvas_.brush = Brush{clWhite, BrushStyle::Solid}; break; // WHITENESS
    default: return;
    }
    canvas_.FillRect(box);
    canvas_.brush = saved;
}

std::vector<DPoint> Device::FlattenBeziers(DPoint start, std::span<const DPoint> controls)
{
    constexpr int steps = 16;
    const size_t count = 1 + controls.size() / 3 * steps;
    if (count > kMaxPathPoints)
        throw BadInput("picture too complex");
    Spend(int64_t(count));
    std::vector<DPoint> out;
    out.reserve(count);
    out.push_back(start);
    for (size_t i = 0; i + 2 < controls.size(); i += 3) {
        const DPoint p0 = out.back(), p1 = controls[i], p2 = controls[i + 1], p3 = controls[i + 2];
        for (int k = 1; k <= steps; ++k) {
            const double t = double(k) / steps, u = 1 - t;
            out.push_back({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                           u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
        }
    }
    return out;
}

TColor MeanColour(const Bitmap& b)
{
    // Sums by palette index or straight from the bytes: a pattern may be as
    // large as a picture.
    uint64_t sum[3] = {0, 0, 0};
    const int bits = b.Bits();
    if (bits >= 24) {
        const int bpp = bits / 8;
        for (int y = 0; y < b.Height(); ++y) {
            const uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < b.Width(); ++x)
                for (int k = 0; k < 3; ++k)
                    sum[k] += row[int64_t(x) * bpp + k];
        }
    } else {
        uint64_t count[256] = {};
        const int perByte = 8 / bits, mask = (1 << bits) - 1;
        for (int y = 0; y < b.Height(); ++y) {
            const uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < b.Width(); ++x)
                ++count[(row[x / perByte] >> (8 - bits - (x % perByte) * bits)) & mask];
        }
        const auto& pal = b.Palette();
        for (size_t i = 0; i < 256; ++i) {
            const RGBQuad q = i < pal.size() ? pal[i] : RGBQuad{};
            sum[0] += count[i] * q.blue, sum[1] += count[i] * q.green, sum[2] += count[i] * q.red;
        }
    }
    const uint64_t n = uint64_t(b.Width()) * b.Height();
    return RGB(uint8_t(sum[2] / n), uint8_t(sum[1] / n), uint8_t(sum[0] / n));
}

Bitmap Device::ReadPicture(std::span<const uint8_t> header, std::span<const uint8_t> bits, const PictureLimits& limits)
{
    // The size as the header gives it (core or info header); a header too
    // short to tell is left to the BMP reader to refuse.
    Spend(kPictureSetUpCost);
    ByteReader r(header);
    const uint32_t size = header.size() >= 4 ? r.u32le() : 0;
    if (header.size() >= (size == 12 ? 12u : 16u)) {
        int64_t w, h;
        if (size == 12) {
            w = r.u16le();
            h = r.u16le();
        } else {
            w = std::abs(int64_t(r.i32le()));
            h = std::abs(int64_t(r.i32le()));
        }
        r.u16le();
        const int depth = r.u16le();
        canvas_.Spend(CheckedMul(w, h));
        if (CheckedMul(DibStride(w, depth > 8 ? 32 : std::max(depth, 1)), h) > kMetafilePictureBytes)
            throw BadInput("A picture inside the metafile is too large (" + std::to_string(w) + " x " +
                           std::to_string(h) + " pixels)");
    }
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t total = uint32_t(14 + header.size() + bits.size());
    const uint32_t offBits = uint32_t(14 + header.size());
    std::memcpy(&file[2], &total, 4);
    std::memcpy(&file[10], &offBits, 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return ReadBmp(file, limits);
}

} // namespace pc::metafile
