#include "scene/pages/object_table.h"

#include <algorithm>

#include "platform/errors.h"

namespace pc {

std::string TableFullMessage()
{
    return "At most " + std::to_string(kMaxObjects) + " objects can be created.";
}

GLTSObject* ObjectTable::At(int slot) const
{
    return slot >= 0 && slot < kMaxObjects ? slots_[slot] : nullptr;
}

int ObjectTable::FirstFree() const
{
    auto it = std::find(slots_.begin(), slots_.end(), nullptr);
    return it == slots_.end() ? -1 : int(it - slots_.begin());
}

int ObjectTable::Count() const
{
    return int(std::count_if(slots_.begin(), slots_.end(), [](GLTSObject* p) { return p != nullptr; }));
}

void ObjectTable::Set(int slot, GLTSObject* page)
{
    if (slot < 0 || slot >= kMaxObjects)
        throw BadInput("object slot " + std::to_string(slot) + " out of range");
    if (slots_[slot] && page)
        throw Error("object slot " + std::to_string(slot) + " is taken");
    slots_[slot] = page;
}

GLTSObject* ObjectTable::Take(int slot)
{
    GLTSObject* p = At(slot);
    if (p)
        slots_[slot] = nullptr;
    return p;
}

} // namespace pc
