#include "scene/pictures/metafile_player.h"

#include <algorithm>
#include <cmath>

#include "platform/byte_reader.h"
#include "scene/pictures/metafile_records.h"

namespace pc {

namespace metafile {

LogBrush BrushOf(uint32_t style, TColor color, uint32_t hatch)
{
    static constexpr BrushStyle hatches[] = {BrushStyle::Horizontal, BrushStyle::Vertical, BrushStyle::FDiagonal,
                                             BrushStyle::BDiagonal, BrushStyle::Cross, BrushStyle::DiagCross};
    if (style == 1) // BS_NULL
        return LogBrush{BrushStyle::Clear, color};
    if (style == 2 && hatch < 6) // BS_HATCHED
        return LogBrush{hatches[hatch], color};
    return LogBrush{BrushStyle::Solid, color};
}

} // namespace metafile

namespace {

using namespace metafile;

constexpr double kScreenDpi = 96;

// The output size, scaled down to fit maxSide and the limits: a metafile can
// be drawn at any size, so a large one is played small rather than drawn
// large and shrunk.
void FitToLimits(double& w, double& h, const PictureLimits& limits, int maxSide)
{
    w = std::max(1.0, std::round(w));
    h = std::max(1.0, std::round(h));
    const double side = std::min(double(limits.maxSide), double(maxSide));
    double s = std::min({1.0, side / w, side / h, std::sqrt(double(limits.maxPixels) / (w * h))});
    if (s < 1) {
        w = std::max(1.0, std::floor(w * s));
        h = std::max(1.0, std::floor(h * s));
    }
}

Bitmap WhitePicture(double w, double h, const PictureLimits& limits)
{
    CheckPictureSize(int64_t(w), int64_t(h), limits);
    Bitmap out(int(w), int(h), PixelFormat::pf24bit);
    out.Fill(clWhite);
    return out;
}

// A unit of work is about the time of writing a pixel, a few nanoseconds:
// this admits any file that draws in a couple of seconds, whatever its size,
// and stops a crafted one within a few seconds instead of minutes.
constexpr int64_t kWorkBudget = 1'000'000'000;

// The part of an EMF's reference device that is drawn, and the picture's
// size at screen resolution.
struct EmfPlacement {
    DPoint pixelsPerMm;
    double x0, y0, x1, y1; // reference device pixels
    double width, height;
};

EmfPlacement PlaceEmf(const EmfHeader& h)
{
    auto perMm = [](int32_t px, int32_t mm) { return px > 0 && mm > 0 ? double(px) / mm : kScreenDpi / 25.4; };
    EmfPlacement e;
    e.pixelsPerMm = {perMm(h.device[0], h.millimeters[0]), perMm(h.device[1], h.millimeters[1])};
    // The frame (0.01 mm) gives the picture's size at screen resolution and
    // the part of the reference device that is drawn.
    e.x0 = h.frame[0] / 100.0 * e.pixelsPerMm.x, e.y0 = h.frame[1] / 100.0 * e.pixelsPerMm.y;
    e.x1 = h.frame[2] / 100.0 * e.pixelsPerMm.x, e.y1 = h.frame[3] / 100.0 * e.pixelsPerMm.y;
    e.width = (double(h.frame[2]) - h.frame[0]) * kScreenDpi / 2540;
    e.height = (double(h.frame[3]) - h.frame[1]) * kScreenDpi / 2540;
    if (!(e.width >= 1 && e.height >= 1)) {
        e.x0 = h.bounds[0], e.y0 = h.bounds[1];
        e.x1 = double(h.bounds[2]) + 1, e.y1 = double(h.bounds[3]) + 1;
        e.width = e.x1 - e.x0, e.height = e.y1 - e.y0;
        if (!(e.width >= 1 && e.height >= 1))
            throw BadInput("metafile without a size");
    }
    return e;
}

// The EMF's frame stretched over a picture of w x ht.
Bitmap PlayEmfAtSize(std::span<const uint8_t> data, const EmfHeader& h, const EmfPlacement& e, double w, double ht,
                     const PictureLimits& limits)
{
    Bitmap out = WhitePicture(w, ht, limits);
    Canvas canvas(out);
    canvas.SetWorkLimit(kWorkBudget);
    const double sx = e.x1 > e.x0 ? w / (e.x1 - e.x0) : 1, sy = e.y1 > e.y0 ? ht / (e.y1 - e.y0) : 1;
    Device dev(canvas, {e.x0, e.y0}, {sx, sy}, e.pixelsPerMm);
    PlayEmfRecords(data, h, dev, limits);
    return out;
}

Bitmap PlayEmf(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    const EmfHeader h = ReadEmfHeader(data);
    const EmfPlacement e = PlaceEmf(h);
    double w = e.width, ht = e.height;
    FitToLimits(w, ht, limits, maxSide);
    return PlayEmfAtSize(data, h, e, w, ht, limits);
}

Bitmap PlayWmf(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    const WmfHeader h = ReadWmfHeader(data);
    int16_t window[4] = {0, 0, 0, 0};
    double w, ht;
    if (h.placeable) {
        const double inch = h.unitsPerInch ? h.unitsPerInch : 1440;
        window[0] = h.box[0];
        window[1] = h.box[1];
        window[2] = int16_t(h.box[2] - h.box[0]);
        window[3] = int16_t(h.box[3] - h.box[1]);
        w = std::abs(double(h.box[2]) - h.box[0]) * kScreenDpi / inch;
        ht = std::abs(double(h.box[3]) - h.box[1]) * kScreenDpi / inch;
    } else {
        // Without the placeable header only the window tells the size;
        // its units are taken as pixels.
        if (!FindWmfWindow(data, h, window))
            throw BadInput("metafile without a size");
        w = std::abs(double(window[2]));
        ht = std::abs(double(window[3]));
    }
    if (!(w >= 1 && ht >= 1))
        throw BadInput("metafile without a size");
    FitToLimits(w, ht, limits, maxSide);
    // The EMF the file carries draws the picture in its place, at the WMF's
    // size.
    const std::vector<uint8_t> emf = EmbeddedEmf(data, h);
    if (!emf.empty()) {
        const EmfHeader eh = ReadEmfHeader(emf);
        return PlayEmfAtSize(emf, eh, PlaceEmf(eh), w, ht, limits);
    }
    Bitmap out = WhitePicture(w, ht, limits);
    Canvas canvas(out);
    canvas.SetWorkLimit(kWorkBudget);
    Device dev(canvas, {0, 0}, {1, 1}, {kScreenDpi / 25.4, kScreenDpi / 25.4});
    dev.FixViewportToOutput(out.Width(), out.Height());
    dev.UseDeviceSpaceArcs();
    dev.SetWindowOrg(window[0], window[1]);
    dev.SetWindowExt(window[2], window[3]);
    PlayWmfRecords(data, h, dev, limits);
    return out;
}

} // namespace

Bitmap PlayMetafile(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    ByteReader r(data);
    if (data.size() >= 44) {
        r.seek(40);
        if (r.u32le() == 0x464D4520) // " EMF"
            return PlayEmf(data, limits, maxSide);
    }
    return PlayWmf(data, limits, maxSide);
}

} // namespace pc
