#pragma once
// Row access to bitmaps in a chosen pixel format for colour reduction: a
// reader over a source bitmap and a writer that builds a new one.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/bitmap.h"
#include "platform/errors.h"

namespace pc::gif {

// A row index outside the picture.
class EInvalidGraphicOperation : public Error {
public:
    using Error::Error;
};

// Rows of a bitmap in the given format. The caller's bitmap is never
// changed: another format is read from a converted copy.
class TDIBReader {
public:
    TDIBReader(const Bitmap& bitmap, PixelFormat pf);
    TDIBReader(const TDIBReader&) = delete;
    TDIBReader& operator=(const TDIBReader&) = delete;

    const Bitmap& Source() const { return converted_ ? *converted_ : bitmap_; }
    PixelFormat Format() const { return pf_; }
    // Raises EInvalidGraphicOperation for a row outside the picture.
    const uint8_t* ScanLine(int row) const;

private:
    const Bitmap& bitmap_;
    PixelFormat pf_;
    std::optional<Bitmap> converted_;
};

// Builds an 8- or 24-bit picture row by row and hands it to the target
// bitmap on Commit(); an abandoned writer leaves the target as it was.
class TDIBWriter {
public:
    // Raises "Unsupported PixelFormat" for other formats and "Invalid image
    // dimensions" unless both sides are positive. The palette (8 bits only)
    // keeps at most 256 entries.
    TDIBWriter(Bitmap& target, const std::vector<RGBQuad>& palette, int height, int width, PixelFormat pf);
    TDIBWriter(const TDIBWriter&) = delete;
    TDIBWriter& operator=(const TDIBWriter&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Allocates the picture on first use ("Failed to allocate memory for GIF
    // DIB" beyond the picture limits); rows count from the top.
    uint8_t* ScanLine(int row);
    void Commit();

private:
    Bitmap& target_;
    std::vector<RGBQuad> palette_;
    int height_, width_;
    PixelFormat pf_;
    std::optional<Bitmap> dib_;
};

} // namespace pc::gif
