#include "codecs/gif/color_dib.h"

#include <new>

#include "codecs/gif/gif_errors.h"

namespace pc::gif {

namespace {

constexpr const char* kRowOutOfRange = "Scan line index out of range";

} // namespace

TDIBReader::TDIBReader(const Bitmap& bitmap, PixelFormat pf) : bitmap_(bitmap), pf_(pf)
{
    if (bitmap.Format() != pf) {
        converted_.emplace(bitmap);
        converted_->SetPixelFormat(pf);
    }
}

const uint8_t* TDIBReader::ScanLine(int row) const
{
    const Bitmap& source = Source();
    if (row < 0 || row >= source.Height())
        throw EInvalidGraphicOperation(kRowOutOfRange);
    return source.ScanLine(row);
}

TDIBWriter::TDIBWriter(Bitmap& target, const std::vector<RGBQuad>& palette, int height, int width, PixelFormat pf)
    : target_(target), height_(height), width_(width), pf_(pf)
{
    if (pf != PixelFormat::pf8bit && pf != PixelFormat::pf24bit)
        RaiseGIFError("Unsupported PixelFormat");
    if (width <= 0 || height <= 0)
        RaiseGIFError("Invalid image dimensions");
    if (pf == PixelFormat::pf8bit)
        palette_.assign(palette.begin(), palette.begin() + (palette.size() < 256 ? palette.size() : 256));
}

uint8_t* TDIBWriter::ScanLine(int row)
{
    if (!dib_) {
        try {
            CheckPictureSize(width_, height_);
            dib_.emplace(width_, height_, pf_);
        } catch (const BadInput&) {
            RaiseGIFError("Failed to allocate memory for GIF DIB");
        } catch (const std::bad_alloc&) {
            RaiseGIFError("Failed to allocate memory for GIF DIB");
        }
        dib_->Palette() = palette_;
    }
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation(kRowOutOfRange);
    return dib_->ScanLine(row);
}

void TDIBWriter::Commit()
{
    if (dib_) {
        target_ = std::move(*dib_);
        dib_.reset();
    }
}

} // namespace pc::gif
