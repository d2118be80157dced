#include "scene/text/glyph_cache.h"

#include <GL/gl.h>

#include "platform/gl_context.h"

namespace pc {

namespace {

void DeleteList(GlyphSlot& slot, uint64_t context)
{
    // A list name only means something on the context that made it.
    if (slot.list && context == GLContext::CurrentSerial())
        glDeleteLists(slot.list, 1);
    slot = {};
}

} // namespace

GlyphCache::GlyphCache()
{
    GLContext::AddDestroyListener([](uint64_t serial) { TheGlyphCache().DropContext(serial); });
}

GlyphCacheEntry& GlyphCache::Entry(uint64_t context, const std::string& faceName, bool& created)
{
    created = false;
    for (auto& e : entries_)
        if (e.context == context && e.context != 0 && e.faceName == faceName)
            return e;
    GlyphCacheEntry* entry = &entries_[0];
    for (auto& e : entries_)
        if (e.context == 0) {
            entry = &e;
            break;
        }
    Clear(*entry); // a taken-over entry's glyphs were built with another face
    entry->context = context;
    entry->faceName = faceName;
    created = true;
    return *entry;
}

GlyphSlot& GlyphCache::Slot(GlyphCacheEntry& entry, char32_t code, bool& fresh)
{
    fresh = false;
    for (auto& s : entry.glyphs)
        if (s.code == code && code != 0)
            return s;
    GlyphSlot* slot = &entry.glyphs[0];
    for (auto& s : entry.glyphs)
        if (s.code == 0) {
            slot = &s;
            break;
        }
    DeleteList(*slot, entry.context);
    slot->code = code;
    fresh = true;
    return *slot;
}

void GlyphCache::Clear(GlyphCacheEntry& entry)
{
    for (auto& s : entry.glyphs)
        DeleteList(s, entry.context);
    entry.faceName.clear();
    entry.context = 0;
    entry.font.reset();
}

void GlyphCache::Reset()
{
    for (auto& e : entries_)
        e = GlyphCacheEntry{};
}

void GlyphCache::Free()
{
    for (auto& e : entries_)
        Clear(e);
}

void GlyphCache::DropContext(uint64_t context)
{
    for (auto& e : entries_)
        if (e.context == context)
            e = GlyphCacheEntry{};
}

GlyphCache& TheGlyphCache()
{
    static GlyphCache cache;
    return cache;
}

} // namespace pc
