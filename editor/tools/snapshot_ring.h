#pragma once
// The last ten states of the picture for quick undo and redo inside one
// tool: the current state and up to nine before it. The buffers are reused
// in ring order, so a push of a same-sized picture allocates nothing.
#include <array>

#include "platform/bitmap.h"

namespace pc::editor {

class SnapshotRing {
public:
    static constexpr int kSlots = 10;

    // Copies picture in as the new current state; drops every redo state.
    // Returns the slot used.
    int Push(const Bitmap& picture);
    // The state before the current one, or -1 (nothing changes) when none
    // is left. The slot's bitmap is what the caller puts on the picture.
    int Undo();
    // The state undone last, or -1 when nothing was undone since the last push.
    int Redo();

    bool CanUndo() const { return older_ > 0; }
    bool CanRedo() const { return newer_ > 0; }
    const Bitmap& Slot(int slot) const { return slots_[size_t(slot)]; }

private:
    std::array<Bitmap, kSlots> slots_;
    int position_ = 0; // states pushed minus states undone
    int older_ = 0;    // valid states before the current one
    int newer_ = 0;    // undone states that can be redone
};

} // namespace pc::editor
