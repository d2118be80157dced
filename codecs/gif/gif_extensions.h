#pragma once
// GIF89a extension blocks (0x21, a label, data), the per-frame list that
// holds them in file order, and the registries mapping labels to classes.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/gif/gif_item.h"

namespace pc::gif {

class TGIFSubImage;
class TGIFExtension;

using ExtensionFactory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage* frame);

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* frame);
    TGIFSubImage* SubImage() const { return frame_; }
    virtual uint8_t GetExtensionType() const = 0;
    TGIFVersion GetVersion() const override { return TGIFVersion::gv89a; }

    // Writes 0x21, the label, then the kind's data.
    void SaveToStream(ByteWriter& w) override;
    // Checks the introducer and label, then reads the kind's data.
    void LoadFromStream(ByteReader& r) override;

    // Later registrations for the same label win.
    static void RegisterExtension(uint8_t label, ExtensionFactory factory);
    // The class for the block at r (just past the introducer); null when the
    // label or its application identifier cannot be read or is not known.
    // The position is restored.
    static ExtensionFactory FindExtension(ByteReader& r);

protected:
    virtual void SaveData(ByteWriter& w) = 0;
    virtual void LoadData(ByteReader& r) = 0;

private:
    TGIFSubImage* frame_;
};

class TGIFExtensionList {
public:
    explicit TGIFExtensionList(TGIFSubImage* frame) : frame_(frame) {}
    int Count() const { return int(items_.size()); }
    TGIFExtension* Extensions(int i) const { return items_.at(size_t(i)).get(); }
    TGIFExtension* Add(std::unique_ptr<TGIFExtension> e);
    void Delete(int i);
    void Clear() { items_.clear(); }
    const std::vector<std::unique_ptr<TGIFExtension>>& Items() const { return items_; }

    void SaveToStream(ByteWriter& w) const;
    // Reads extensions up to the image separator or trailer, leaving that byte unread.
    void LoadFromStream(ByteReader& r);

private:
    TGIFSubImage* frame_;
    std::vector<std::unique_ptr<TGIFExtension>> items_;
};

} // namespace pc::gif
