#include "codecs/gif/gif_extensions.h"

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

namespace {

using SubFinder = ExtensionFactory (*)(ByteReader& r);

struct Entry {
    uint8_t label;
    ExtensionFactory factory;
    SubFinder sub; // set for labels whose class depends on the block's content
};

template <class T>
std::unique_ptr<TGIFExtension> Make(TGIFSubImage* frame)
{
    return std::make_unique<T>(frame);
}

std::vector<Entry>& Registry()
{
    static std::vector<Entry> entries = {
        {TGIFTextExtension::kLabel, Make<TGIFTextExtension>, nullptr},
        {TGIFGraphicControlExtension::kLabel, Make<TGIFGraphicControlExtension>, nullptr},
        {TGIFCommentExtension::kLabel, Make<TGIFCommentExtension>, nullptr},
        {TGIFApplicationExtension::kLabel, nullptr, TGIFApplicationExtension::FindSubExtension},
    };
    return entries;
}

} // namespace

TGIFExtension::TGIFExtension(TGIFSubImage* frame)
    : TGIFItem(frame ? frame->Image() : nullptr), frame_(frame)
{
}

void TGIFExtension::SaveToStream(ByteWriter& w)
{
    w.u8(0x21);
    w.u8(GetExtensionType());
    SaveData(w);
}

void TGIFExtension::LoadFromStream(ByteReader& r)
{
    auto head = ReadExact(r, 2);
    if (head[0] != 0x21)
        RaiseGIFError(msg::kBadIntroducer);
    if (head[1] != GetExtensionType())
        RaiseGIFError(msg::kExtensionMismatch);
    LoadData(r);
}

void TGIFExtension::RegisterExtension(uint8_t label, ExtensionFactory factory)
{
    Registry().push_back({label, factory, nullptr});
}

ExtensionFactory TGIFExtension::FindExtension(ByteReader& r)
{
    const size_t start = r.pos();
    ExtensionFactory found = nullptr;
    if (auto label = ReadByte(r)) {
        auto& reg = Registry();
        for (auto it = reg.rbegin(); it != reg.rend(); ++it) {
            if (it->label != *label)
                continue;
            found = it->sub ? it->sub(r) : it->factory;
            break;
        }
    }
    r.seek(start);
    return found;
}

TGIFExtension* TGIFExtensionList::Add(std::unique_ptr<TGIFExtension> e)
{
    items_.push_back(std::move(e));
    if (frame_)
        frame_->FreeBitmap();
    return items_.back().get();
}

void TGIFExtensionList::Delete(int i)
{
    items_.erase(items_.begin() + i);
    if (frame_)
        frame_->FreeBitmap();
}

void TGIFExtensionList::SaveToStream(ByteWriter& w) const
{
    for (auto& e : items_)
        e->SaveToStream(w);
}

void TGIFExtensionList::LoadFromStream(ByteReader& r)
{
    auto b = ReadByte(r);
    // Zero bytes between blocks are padding, as between frames.
    while (b && *b == 0x00)
        b = ReadByte(r);
    if (!b)
        return;
    while (*b != 0x2C && *b != 0x3B) {
        if (*b != 0x21) {
            if (frame_)
                frame_->Warning(TGIFSeverity::gsWarning, msg::kBadIntroducer);
            break;
        }
        if (r.atEnd())
            RaiseGIFError(msg::kPrematureEnd);
        std::unique_ptr<TGIFExtension> ext;
        if (ExtensionFactory factory = TGIFExtension::FindExtension(r)) {
            ext = factory(frame_);
        } else {
            if (frame_)
                frame_->Warning(TGIFSeverity::gsWarning, msg::kUnknownExtension);
            ext = std::make_unique<TGIFUnknownExtension>(frame_, r.rest()[0]);
        }
        StepBack(r);
        ext->LoadFromStream(r);
        items_.push_back(std::move(ext));
        do
            b = ReadByte(r);
        while (b && *b == 0x00);
        if (!b)
            return;
    }
    StepBack(r);
}

} // namespace pc::gif
