#include "codecs/gif/gif_header.h"

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

bool TGIFGlobalColorMap::Optimize()
{
    return image_->Images().Count() > 0 && DoOptimize();
}

void TGIFGlobalColorMap::Warning(TGIFSeverity severity, const std::string& message) const
{
    image_->Warning(this, severity, message);
}

void TGIFGlobalColorMap::BuildHistogram(Histogram& usage) const
{
    // The background colour is in use even when no pixel shows it.
    ++usage[image_->BackgroundColorIndex()];
    for (const auto& frame : image_->Images().Items()) {
        if (&frame->ActiveColorMap() != this)
            continue;
        for (uint8_t v : frame->Data())
            ++usage[v];
    }
}

void TGIFGlobalColorMap::MapImages(const Translation& map)
{
    if (image_->BackgroundColorIndex() < Count())
        image_->Header().SetBackgroundColorIndex(map[uint8_t(image_->BackgroundColorIndex())]);
    for (const auto& frame : image_->Images().Items()) {
        if (&frame->ActiveColorMap() != this)
            continue;
        for (int y = 0; y < frame->Height() && !frame->Data().empty(); ++y) {
            uint8_t* row = frame->Scanline(y);
            for (int x = 0; x < frame->Width(); ++x)
                row[x] = map[row[x]];
        }
        if (auto* gce = frame->GraphicControlExtension())
            gce->SetTransparentColorIndex(map[uint8_t(gce->TransparentColorIndex())]);
    }
}

void TGIFGlobalColorMap::Changed()
{
    image_->PaletteChanged();
}

void TGIFHeader::Clear()
{
    colorMap_.Clear();
    width_ = height_ = 0;
    flags_ = background_ = aspect_ = 0;
}

void TGIFHeader::Assign(const TGIFHeader& other)
{
    if (&other == this)
        return;
    colorMap_.Assign(other.colorMap_);
    width_ = other.width_;
    height_ = other.height_;
    flags_ = other.flags_;
    background_ = other.background_;
    aspect_ = other.aspect_;
}

void TGIFHeader::Prepare()
{
    uint8_t f = 0;
    int sizeBits;
    if (colorMap_.Count() > 0) {
        f = colorMap_.Optimized() ? 0x88 : 0x80;
        sizeBits = colorMap_.BitsPerPixel() - 1;
    } else {
        // Readers ignore the size field without the table flag.
        sizeBits = Image()->BitsPerPixel() - 1;
    }
    f |= uint8_t((Image()->ColorResolution() * 16) & 0x70);
    f |= uint8_t(sizeBits & 0x07);
    flags_ = f;
}

void TGIFHeader::SetBackgroundColorIndex(int index)
{
    if (colorMap_.Count() > 0 && (index < 0 || index >= colorMap_.Count())) {
        Warning(TGIFSeverity::gsWarning, msg::kInvalidColorIndex);
        index = 0;
    }
    background_ = uint8_t(index);
}

TColor TGIFHeader::BackgroundColor() const
{
    return RGB2Color(colorMap_.Color(background_));
}

void TGIFHeader::SetBackgroundColor(TColor c)
{
    SetBackgroundColorIndex(colorMap_.AddUnique(Color2RGB(c)));
}

void TGIFHeader::SaveToStream(ByteWriter& w)
{
    TGIFVersion v = Image()->Version();
    if (v == TGIFVersion::gvUnknown)
        RaiseGIFError(msg::kUnsupportedVersion);
    w.write(std::string("GIF") + GIFVersionText(v));
    Prepare();
    w.u16le(width_);
    w.u16le(height_);
    w.u8(flags_);
    w.u8(background_);
    w.u8(aspect_);
    if (flags_ & 0x80)
        colorMap_.SaveToStream(w);
}

void TGIFHeader::LoadFromStream(ByteReader& r)
{
    const size_t start = r.pos();
    auto sig = ReadExact(r, 6);
    if (!(sig[0] == 'G' && sig[1] == 'I' && sig[2] == 'F')) {
        // Some writers put 4 bytes in front of the signature.
        r.seek(start);
        if (r.remaining() < 4)
            RaiseGIFError(msg::kInvalidSignature);
        r.skip(4);
        sig = ReadExact(r, 6);
        if (!(sig[0] == 'G' && sig[1] == 'I' && sig[2] == 'F'))
            RaiseGIFError(msg::kInvalidSignature);
    }
    auto d = ReadExact(r, 7);
    width_ = uint16_t(d[0] | d[1] << 8);
    height_ = uint16_t(d[2] | d[3] << 8);
    flags_ = d[4];
    background_ = d[5];
    aspect_ = d[6];
    if (flags_ & 0x80)
        colorMap_.LoadFromStream(r, 2 << (flags_ & 7));
    else
        colorMap_.Clear();
}

void TGIFTrailer::LoadFromStream(ByteReader& r)
{
    auto b = ReadByte(r);
    if (b && *b != 0x3B)
        Warning(TGIFSeverity::gsWarning, msg::kBadTrailer);
}

} // namespace pc::gif
