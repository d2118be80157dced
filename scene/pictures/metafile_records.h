#pragma once
// Record readers of the two metafile formats; each plays its records into a
// Device. Every record is read through its own bounds-checked cursor.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "platform/byte_reader.h"
#include "scene/pictures/metafile_device.h"

namespace pc::metafile {

struct EmfHeader {
    int32_t bounds[4];  // device units, inclusive
    int32_t frame[4];   // 0.01 mm, inclusive
    int32_t device[2];  // reference device, pixels
    int32_t millimeters[2];
    uint32_t handles;
};

// Throws BadInput when data is not an EMF.
EmfHeader ReadEmfHeader(std::span<const uint8_t> data);
void PlayEmfRecords(std::span<const uint8_t> data, const EmfHeader& header, Device& device, const PictureLimits& limits);

struct WmfHeader {
    bool placeable = false;
    int16_t box[4] = {0, 0, 0, 0}; // placeable bounding box, logical units
    uint16_t unitsPerInch = 0;
    size_t recordsStart = 0;
    uint16_t objects = 0;
};

WmfHeader ReadWmfHeader(std::span<const uint8_t> data);

// WMF records yield their bytes past the size and function words, until fn
// returns false or the end record; records that stop before the end record
// are a cut-off file.
template <typename Fn>
void ForEachWmfRecord(std::span<const uint8_t> data, size_t start, Fn fn)
{
    ByteReader r(data);
    r.seek(start);
    while (true) {
        const uint64_t words = r.u32le();
        const uint16_t function = r.u16le();
        if (words < 3 || words * 2 - 6 > r.remaining())
            throw BadInput("invalid metafile record");
        auto params = r.take(size_t(words * 2 - 6));
        if (function == 0 || !fn(function, params)) // META_EOF
            return;
    }
}

// The EMF a WMF carries whole in its comment records, as some programs write
// it beside their own 16-bit records; empty when there is none or its pieces
// do not add up (missing, out of order, sizes that disagree).
std::vector<uint8_t> EmbeddedEmf(std::span<const uint8_t> data, const WmfHeader& header);
// The window a WMF sets up before it draws, when it sets one.
bool FindWmfWindow(std::span<const uint8_t> data, const WmfHeader& header, int16_t window[4]);
void PlayWmfRecords(std::span<const uint8_t> data, const WmfHeader& header, Device& device, const PictureLimits& limits);

// Pens as CreatePen and ExtCreatePen make them from GDI's style words, and
// brushes from GDI's brush styles.
LogPen OldStylePen(uint32_t style, double width, TColor color);
LogPen ExtendedPen(uint32_t style, double width, uint32_t brushStyle, TColor color, std::vector<double> userStyle);
LogBrush BrushOf(uint32_t style, TColor color, uint32_t hatch);

} // namespace pc::metafile
