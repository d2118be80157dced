#include "scene/text/text3d.h"

#include <GL/gl.h>
#include <algorithm>
#include <map>

#include "platform/errors.h"
#include "platform/gl_context.h"
#include "scene/text/glyph_cache.h"

namespace pc {

namespace {

constexpr const char* kFallbackFace = "Arial";
// Chord error of flattened curves: 0 means one design unit.
constexpr double kDeviation = 0.0;
constexpr float kExtrusion = 0.01f;

// Builds the glyph's list from the entry's face, or from the fallback face
// when that one cannot give the character.
void BuildGlyph(const GlyphCacheEntry& entry, GlyphSlot& slot)
{
    std::shared_ptr<OutlineFont> font = entry.font;
    if (!font || !font->HasGlyph(slot.code)) {
        auto fallback = SelectGLFont(kFallbackFace);
        if (fallback && (fallback->HasGlyph(slot.code) || !font))
            font = fallback;
    }
    if (!font)
        return;
    GLuint list = glGenLists(1);
    if (list == 0)
        return;
    try {
        GlyphMesh mesh = MakeGlyphMesh(font->Outline(slot.code, kDeviation), kExtrusion);
        CompileGlyphList(mesh, list);
        slot.metrics = mesh.metrics;
    } catch (const Error&) {
        glDeleteLists(list, 1);
        return;
    }
    slot.list = list;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        auto b = uint8_t(text[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0) {
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        size_t j = 1;
        for (; j <= size_t(extra) && i + j < text.size(); ++j) {
            auto c = uint8_t(text[i + j]);
            if ((c & 0xC0) != 0x80)
                break;
            cp = cp << 6 | (c & 0x3F);
        }
        if (j <= size_t(extra)) { // cut off: drop the lead and what followed it
            i += j;
            continue;
        }
        i += j;
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        bool overlong = cp < kMin[extra];
        bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
        if (!overlong && !surrogate && cp <= 0x10FFFF)
            out.push_back(cp);
    }
    return out;
}

std::shared_ptr<OutlineFont> SelectGLFont(const std::string& faceName)
{
    static std::map<std::string, std::shared_ptr<OutlineFont>> opened;
    auto it = opened.find(faceName);
    if (it != opened.end())
        return it->second;
    std::shared_ptr<OutlineFont> font;
    try {
        font = OutlineFont::Open(faceName);
    } catch (const Error&) {
    }
    opened[faceName] = font;
    return font;
}

void Draw3DText(std::string_view text, const std::string& faceName)
{
    uint64_t context = GLContext::CurrentSerial();
    if (context == 0)
        return;
    GlyphCache& cache = TheGlyphCache();
    bool created;
    GlyphCacheEntry& entry = cache.Entry(context, faceName, created);
    if (created)
        entry.font = SelectGLFont(faceName);

    float xAdvance = 0, lineHeight = 0;
    char32_t previous = 0;
    for (char32_t code : DecodeUtf8(text)) {
        if (code == 0) // the text ends at a NUL, as it always did
            break;
        bool loneLf = code == '\n' && previous != '\r';
        previous = code;
        if (code == '\r' || loneLf) {
            glTranslatef(-xAdvance, 0, 0);
            xAdvance = 0;
        }
        if (code == '\n') {
            glTranslatef(0, -1.2f * lineHeight, 0);
            lineHeight = 0;
        }
        if (code == '\r' || code == '\n')
            continue;
        bool fresh;
        GlyphSlot& slot = cache.Slot(entry, code, fresh);
        if (fresh)
            BuildGlyph(entry, slot);
        if (slot.list == 0)
            continue;
        xAdvance += slot.metrics.gmfCellIncX;
        lineHeight = std::max(lineHeight, slot.metrics.gmfBlackBoxY);
        glCallList(slot.list);
    }
}

void ResetGlyphCache()
{
    TheGlyphCache().Reset();
}

void FreeGlyphCache()
{
    TheGlyphCache().Free();
}

} // namespace pc
