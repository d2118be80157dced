#pragma once
// Display lists of extruded glyphs, kept per GL context and face so that a
// frame of cached text costs one glCallList per character. 16 faces of 256
// characters; when full, entry 0 and slot 0 are taken over.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/font_outline.h"

namespace pc {

struct GlyphSlot {
    char32_t code = 0; // 0 = free
    unsigned list = 0;
    GlyphMetricsFloat metrics;
    // The mesh's box from the pen: x, y, z least, then x, y, z greatest.
    std::array<float, 6> bounds{};
};

struct GlyphCacheEntry {
    std::string faceName; // "" = free
    uint64_t context = 0; // GLContext::Serial() the lists belong to, 0 = free
    std::shared_ptr<OutlineFont> font; // null when no face could be opened
    std::array<GlyphSlot, 256> glyphs;
};

class GlyphCache {
public:
    static constexpr size_t kEntries = 16;

    GlyphCache();

    // The entry of a face on a context. created: a new or taken-over entry,
    // whose font the caller sets.
    GlyphCacheEntry& Entry(uint64_t context, const std::string& faceName, bool& created);
    // The slot of a character in an entry. fresh: a new or taken-over slot
    // (its old list deleted), which the caller fills.
    GlyphSlot& Slot(GlyphCacheEntry& entry, char32_t code, bool& fresh);

    // Forgets every entry; display lists are left alone.
    void Reset();
    // Deletes the lists of the current context's entries, then forgets all.
    void Free();
    // Forgets the entries of a context that is going away.
    void DropContext(uint64_t context);

    const std::array<GlyphCacheEntry, kEntries>& Entries() const { return entries_; }

private:
    // Deletes the entry's lists when their context is current, then empties it.
    static void Clear(GlyphCacheEntry& entry);

    std::array<GlyphCacheEntry, kEntries> entries_;
};

// The one cache of the program.
GlyphCache& TheGlyphCache();

} // namespace pc
