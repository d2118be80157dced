#pragma once
// Record readers of the two metafile formats; each plays its records into a
// Device. Every record is read through its own bounds-checked cursor.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"
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
// The window a WMF sets up before it draws, when it sets one.
bool FindWmfWindow(std::span<const uint8_t> data, const WmfHeader& header, int16_t window[4]);
void PlayWmfRecords(std::span<const uint8_t> data, const WmfHeader& header, Device& device, const PictureLimits& limits);

// Pen and brush styles as GDI numbers them.
PenStyle PenStyleOf(uint32_t style);
LogBrush BrushOf(uint32_t style, TColor color, uint32_t hatch);

} // namespace pc::metafile
