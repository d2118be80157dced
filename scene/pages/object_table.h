#pragma once
// The scene's 32 object slots. A free slot is null; a page's Tag is its slot.
// The table does not own the pages: the page control does (see
// ObjectCommands::DeleteObject for how a page leaves both).
#include <array>
#include <string>

namespace pc {

class GLTSObject;

constexpr int kMaxObjects = 32;

// "At most 32 objects can be created."
std::string TableFullMessage();

class ObjectTable {
public:
    GLTSObject* At(int slot) const; // null for a free slot or a slot out of range
    // First free slot, or -1 when all are taken.
    int FirstFree() const;
    int Count() const;
    void Set(int slot, GLTSObject* page);
    // Clears the slot and returns what it held.
    GLTSObject* Take(int slot);

    // Visits the objects in slot order, skipping free slots.
    template <class F>
    void ForEach(F&& f) const
    {
        for (GLTSObject* p : slots_)
            if (p)
                f(*p);
    }

private:
    std::array<GLTSObject*, kMaxObjects> slots_{};
};

} // namespace pc
