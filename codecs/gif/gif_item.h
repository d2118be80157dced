#pragma once
// Base of every element of a GIF file: header, frames, extensions, trailer.
#include <string>

#include "codecs/gif/gif_stream.h"
#include "codecs/gif/gif_types.h"

namespace pc::gif {

class TGIFImage;

class TGIFItem {
public:
    explicit TGIFItem(TGIFImage* image) : image_(image) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return image_; }
    virtual TGIFVersion GetVersion() const { return TGIFVersion::gv87a; }
    // Forwards to the owning image with this item as sender.
    void Warning(TGIFSeverity severity, const std::string& message) const;

    virtual void SaveToStream(ByteWriter& w) = 0;
    virtual void LoadFromStream(ByteReader& r) = 0;

private:
    TGIFImage* image_;
};

} // namespace pc::gif
