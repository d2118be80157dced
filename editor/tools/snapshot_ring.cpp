#include "editor/tools/snapshot_ring.h"

#include <algorithm>

namespace pc::editor {

int SnapshotRing::Push(const Bitmap& picture)
{
    const int slot = position_ % kSlots;
    // Copy-assignment keeps the slot's buffer when it is large enough.
    slots_[size_t(slot)] = picture;
    if (position_ > 0)
        older_ = std::min(older_ + 1, kSlots - 1);
    ++position_;
    newer_ = 0;
    return slot;
}

int SnapshotRing::Undo()
{
    if (older_ == 0)
        return -1;
    --position_;
    --older_;
    ++newer_;
    return (position_ - 1) % kSlots;
}

int SnapshotRing::Redo()
{
    if (newer_ == 0)
        return -1;
    const int slot = position_ % kSlots;
    ++position_;
    --newer_;
    ++older_;
    return slot;
}

} // namespace pc::editor
