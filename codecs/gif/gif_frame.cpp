#include "codecs/gif/gif_frame.h"

#include <algorithm>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"
#include "codecs/gif/gif_lzw_decoder.h"
#include "codecs/gif/gif_lzw_encoder.h"
#include "codecs/gif/gif_rle_encoder.h"
#include "platform/bitmap.h"
#include "platform/checked_size.h"

namespace pc::gif {

namespace {

// A side may be all the 16-bit field holds; only the total is capped. A
// frame keeps an index per pixel and an 8-bit bitmap: together they must fit
// the memory budget of one picture, or a few bytes could ask for gigabytes.
void CheckFrameSize(int width, int height)
{
    PictureLimits limits;
    limits.maxSide = 65535;
    try {
        CheckPictureSize(width, height, limits);
    } catch (const BadInput&) {
        RaiseGIFError(msg::kInvalidDimensions);
    }
    try {
        CheckPictureBytes(CheckedAdd(CheckedMul(width, height), CheckedMul(DibStride(width, 8), height)), width,
                          height);
    } catch (const BadInput& e) {
        RaiseGIFError(e.what());
    }
}

} // namespace

// ---- local colour map ----

void TGIFLocalColorMap::Warning(TGIFSeverity severity, const std::string& message) const
{
    if (frame_->Image())
        frame_->Image()->Warning(this, severity, message);
}

void TGIFLocalColorMap::BuildHistogram(Histogram& usage) const
{
    for (uint8_t v : frame_->data_)
        ++usage[v];
}

void TGIFLocalColorMap::MapImages(const Translation& map)
{
    for (uint8_t& v : frame_->data_)
        v = map[v];
    if (auto* gce = frame_->GraphicControlExtension())
        gce->SetTransparentColorIndex(map[uint8_t(gce->TransparentColorIndex())]);
}

void TGIFLocalColorMap::Changed()
{
    frame_->FreeBitmap();
}

// ---- frame ----

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), colorMap_(this), extensions_(this) {}

TGIFSubImage::~TGIFSubImage() = default;

void TGIFSubImage::Clear()
{
    extensions_.Clear();
    colorMap_.Clear();
    data_.clear();
    left_ = top_ = width_ = height_ = 0;
    flags_ = 0;
    FreeBitmap();
}

int TGIFSubImage::Bounds(int index) const
{
    switch (index) {
    case 1: return left_;
    case 2: return top_;
    case 3: return width_;
    case 4: return height_;
    default: return 0;
    }
}

void TGIFSubImage::SetBounds(int index, int value)
{
    switch (index) {
    case 1: DoSetBounds(value, top_, width_, height_); break;
    case 2: DoSetBounds(left_, value, width_, height_); break;
    case 3: DoSetBounds(left_, top_, value, height_); break;
    case 4: DoSetBounds(left_, top_, width_, value); break;
    default: break;
    }
}

void TGIFSubImage::DoSetBounds(int left, int top, int width, int height)
{
    // The file holds 16-bit fields: larger values would wrap silently.
    if (left < 0 || top < 0 || width < 0 || height < 0 || left + int64_t(width) > 65535 ||
        top + int64_t(height) > 65535)
        RaiseGIFError(msg::kInvalidDimensions);
    if (width > 0 && height > 0)
        CheckFrameSize(width, height);
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (resized) {
        FreeBitmap();
        NewImage();
    }
    if (!Image())
        return;
    TGIFHeader& header = Image()->Header();
    bool warned = false;
    if (header.Width() < left + width) {
        if (header.Width() > 0) {
            Warning(TGIFSeverity::gsWarning, msg::kWidthTooSmall);
            warned = true;
        }
        header.SetWidth(left + width);
    }
    if (header.Height() < top + height) {
        if (header.Height() > 0) {
            Warning(TGIFSeverity::gsWarning, msg::kHeightTooSmall);
            warned = true;
        }
        header.SetHeight(top + height);
    }
    if (warned)
        Warning(TGIFSeverity::gsWarning, msg::kExceedsScreen);
}

void TGIFSubImage::Prepare()
{
    if (colorMap_.Count() > 0) {
        flags_ = uint8_t(0x80 | (colorMap_.Optimized() ? 0x20 : 0) | (flags_ & 0x40) |
                         ((colorMap_.BitsPerPixel() - 1) & 0x07));
    } else {
        flags_ &= 0x58;
    }
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const
{
    if (colorMap_.Count() > 0 || !Image())
        return colorMap_;
    return Image()->Header().ColorMap();
}

TGIFColorMap& TGIFSubImage::ActiveColorMap()
{
    if (colorMap_.Count() > 0 || !Image())
        return colorMap_;
    return Image()->Header().ColorMap();
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const
{
    for (const auto& e : extensions_.Items())
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(e.get()))
            return gce;
    return nullptr;
}

int TGIFSubImage::TransparentIndex() const
{
    for (const auto& e : extensions_.Items())
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(e.get()); gce && gce->Transparent())
            return gce->TransparentColorIndex();
    return -1;
}

TGIFVersion TGIFSubImage::GetVersion() const
{
    return colorMap_.Optimized() || extensions_.Count() > 0 ? TGIFVersion::gv89a : TGIFVersion::gv87a;
}

uint8_t TGIFSubImage::Pixels(int x, int y) const
{
    if (x < 0 || x >= width_ || y < 0 || y >= height_ || data_.empty())
        RaiseGIFError(msg::kBadPixelCoordinates);
    return data_[size_t(y) * size_t(width_) + size_t(x)];
}

void TGIFSubImage::SetPixel(int x, int y, uint8_t index)
{
    if (x < 0 || x >= width_)
        RaiseGIFError(msg::kBadPixelCoordinates);
    Scanline(y)[x] = index;
    FreeBitmap();
}

uint8_t* TGIFSubImage::Scanline(int y)
{
    if (y < 0 || y >= height_)
        RaiseGIFError(msg::kBadPixelCoordinates);
    NeedImage();
    return data_.data() + size_t(y) * size_t(width_);
}

void TGIFSubImage::NewImage()
{
    data_.assign(size_t(width_) * size_t(height_), 0);
}

void TGIFSubImage::NeedImage()
{
    if (data_.empty())
        NewImage();
    if (data_.empty())
        RaiseGIFError(msg::kImageEmpty);
}

void TGIFSubImage::SaveToStream(ByteWriter& w)
{
    extensions_.SaveToStream(w);
    if (Empty())
        return;
    Prepare();
    w.u8(0x2C);
    w.u16le(uint16_t(left_));
    w.u16le(uint16_t(top_));
    w.u16le(uint16_t(width_));
    w.u16le(uint16_t(height_));
    w.u8(flags_);
    colorMap_.SaveToStream(w);
    Compress(w);
}

void TGIFSubImage::LoadFromStream(ByteReader& r)
{
    if (LoadDescriptor(r))
        LoadPixels(r);
}

bool TGIFSubImage::LoadDescriptor(ByteReader& r)
{
    Clear();
    extensions_.LoadFromStream(r);
    auto next = ReadByte(r);
    if (!next)
        return false;
    StepBack(r);
    // A frame of extensions only; a stray byte was already reported by the extension list.
    if (*next != 0x2C)
        return false;
    auto d = ReadExact(r, 10);
    left_ = d[1] | d[2] << 8;
    top_ = d[3] | d[4] << 8;
    width_ = d[5] | d[6] << 8;
    height_ = d[7] | d[8] << 8;
    flags_ = d[9];
    if (width_ == 0 || height_ == 0) {
        width_ = Image() ? Image()->Width() : 0;
        height_ = Image() ? Image()->Height() : 0;
        Warning(TGIFSeverity::gsWarning, msg::kExceedsScreen);
    }
    if (width_ > 0 && height_ > 0)
        CheckFrameSize(width_, height_);
    if (flags_ & 0x80)
        colorMap_.LoadFromStream(r, 2 << (flags_ & 7));
    return true;
}

void TGIFSubImage::LoadPixels(ByteReader& r)
{
    Decompress(r);
    CoverIndices();
    if (GIFImageRenderOnLoad && !Empty())
        GetBitmap();
}

void TGIFSubImage::Decompress(ByteReader& r)
{
    const uint8_t fill = uint8_t(std::max(0, TransparentIndex()));
    data_.assign(size_t(width_) * size_t(height_), fill);
    LzwDecode(r, data_.data(), width_, height_, Interlaced(),
              [this](const std::string& m) { Warning(TGIFSeverity::gsWarning, m); });
    FreeBitmap();
}

void TGIFSubImage::CoverIndices()
{
    if (data_.empty())
        return;
    const int top = *std::max_element(data_.begin(), data_.end());
    TGIFColorMap& map = ActiveColorMap();
    if (top < map.Count())
        return;
    Warning(TGIFSeverity::gsWarning, msg::kColorNotInTable);
    while (map.Count() <= top)
        map.Add(TGIFColor{});
}

void TGIFSubImage::Compress(ByteWriter& w)
{
    int colors, bits;
    if (colorMap_.Count() > 0) {
        colors = colorMap_.Count();
        bits = colorMap_.BitsPerPixel();
    } else {
        bits = Image() ? Image()->BitsPerPixel() : 8;
        colors = 1 << bits;
    }
    std::unique_ptr<TGIFEncoder> encoder;
    if (Image() && Image()->Compression() == TGIFCompression::gcRLE)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->Encode(w, bits, colors, data_.empty() ? nullptr : data_.data(), Interlaced(), height_, width_);
}

void TGIFSubImage::Assign(const TGIFSubImage& source)
{
    if (&source == this)
        return;
    Clear();
    if (source.Empty() && source.extensions_.Count() == 0)
        return;
    left_ = source.left_;
    top_ = source.top_;
    width_ = source.width_;
    height_ = source.height_;
    flags_ = source.flags_;
    data_ = source.data_;
    colorMap_.Assign(source.colorMap_);
    if (source.extensions_.Count() > 0) {
        // Extensions copy themselves through their own stream form.
        ByteWriter w;
        source.extensions_.SaveToStream(w);
        w.u8(0x3B);
        ByteReader r(w.bytes());
        extensions_.LoadFromStream(r);
    }
    if (source.bitmap_)
        bitmap_ = std::make_unique<Bitmap>(*source.bitmap_);
}

} // namespace pc::gif
