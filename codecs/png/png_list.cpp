#include "codecs/png/png_list.h"

#include <algorithm>

#include "codecs/png/png_errors.h"

namespace pc::png {

TChunk* TPNGList::Item(int index) const
{
    return index >= 0 && index < Count() ? items_[size_t(index)].get() : nullptr;
}

int TPNGList::IndexOf(const TChunk* chunk) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == chunk)
            return int(i);
    return -1;
}

int TPNGList::IndexOfName(const std::string& name) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Name() == name)
            return int(i);
    return -1;
}

void TPNGList::Append(std::unique_ptr<TChunk> chunk)
{
    items_.push_back(std::move(chunk));
}

void TPNGList::Insert(std::unique_ptr<TChunk> chunk, int position)
{
    if (position >= 0 && position < Count())
        items_.insert(items_.begin() + position, std::move(chunk));
}

std::unique_ptr<TChunk> TPNGList::Remove(const TChunk* chunk)
{
    int i = IndexOf(chunk);
    if (i < 0)
        return nullptr;
    auto taken = std::move(items_[size_t(i)]);
    items_.erase(items_.begin() + i);
    return taken;
}

TChunk& TPNGList::Add(const std::string& name)
{
    static const char* const kCritical[] = {"IHDR", "IDAT", "PLTE", "IEND"};
    if (std::find(std::begin(kCritical), std::end(kCritical), name) != std::end(kCritical))
        throw EPngError(kMsgExistentChunk);
    if ((name == "gAMA" || name == "tRNS") && IndexOfName(name) >= 0)
        throw EPngError(kMsgExistentChunk);
    if (IndexOfName("IHDR") < 0 || IndexOfName("IEND") < 0)
        throw EPngError(kMsgInvalidImage);

    auto chunk = CreateClassChunk(owner_, name);
    TChunk& added = *chunk;
    int position;
    if (name == "gAMA") {
        position = IndexOfName("IHDR") + 1;
    } else if (name == "tRNS") {
        int plte = IndexOfName("PLTE");
        int idat = IndexOfName("IDAT");
        position = plte >= 0 ? plte + 1 : idat >= 0 ? idat : IndexOfName("IHDR") + 1;
    } else {
        position = IndexOfName("IEND");
    }
    items_.insert(items_.begin() + position, std::move(chunk));
    return added;
}

} // namespace pc::png
