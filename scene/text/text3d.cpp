#include "scene/text/text3d.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
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

std::array<float, 6> MeshBounds(const GlyphMesh& mesh)
{
    std::array<float, 6> b{};
    bool first = true;
    auto take = [&](const Point3& v) {
        for (int i = 0; i < 3; ++i) {
            b[size_t(i)] = first ? v[size_t(i)] : std::min(b[size_t(i)], v[size_t(i)]);
            b[size_t(i) + 3] = first ? v[size_t(i)] : std::max(b[size_t(i) + 3], v[size_t(i)]);
        }
        first = false;
    };
    for (const auto* faces : {&mesh.front, &mesh.back})
        for (const auto& t : *faces)
            for (const auto& v : t.v)
                take(v);
    for (const auto& q : mesh.sides)
        for (const auto& v : q.v)
            take(v);
    return b;
}

// The current modelview and projection in one, column-major as GL keeps them.
std::array<float, 16> ClipMatrix()
{
    std::array<float, 16> m{}, p{}, c{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    glGetFloatv(GL_PROJECTION_MATRIX, p.data());
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += p[size_t(k * 4 + row)] * m[size_t(col * 4 + k)];
            c[size_t(col * 4 + row)] = sum;
        }
    return c;
}

// True when the glyph's box, its pen at (x, y), lies wholly beyond one plane
// of the view volume: then nothing of it can show. Seen in clip coordinates,
// so it holds for the shadow's projection too.
bool OutOfView(const std::array<float, 16>& clip, const std::array<float, 6>& b, float x, float y)
{
    unsigned outside = 0x3F; // a bit per plane that every corner lies beyond
    for (int corner = 0; corner < 8; ++corner) {
        const float v[3] = {x + b[corner & 1 ? 3 : 0], y + b[corner & 2 ? 4 : 1], b[corner & 4 ? 5 : 2]};
        float c[4];
        for (int row = 0; row < 4; ++row)
            c[row] = clip[size_t(row)] * v[0] + clip[size_t(4 + row)] * v[1] + clip[size_t(8 + row)] * v[2] +
                     clip[size_t(12 + row)];
        unsigned beyond = 0;
        for (int axis = 0; axis < 3; ++axis) {
            beyond |= c[axis] < -c[3] ? 1u << (2 * axis) : 0;
            beyond |= c[axis] > c[3] ? 2u << (2 * axis) : 0;
        }
        outside &= beyond;
        if (!outside)
            return false;
    }
    return true;
}

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
        slot.bounds = MeshBounds(mesh);
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

    // Glyphs out of view are not drawn; their pen moves wait in pending
    // until the next one that is, so a long text costs what shows of it.
    const std::array<float, 16> clip = ClipMatrix();
    float penX = 0, penY = 0, pendingX = 0, pendingY = 0;
    auto move = [&](float dx, float dy) {
        penX += dx;
        penY += dy;
        pendingX += dx;
        pendingY += dy;
    };
    auto flush = [&] {
        if (pendingX != 0 || pendingY != 0)
            glTranslatef(pendingX, pendingY, 0);
        pendingX = pendingY = 0;
    };
    float xAdvance = 0, lineHeight = 0;
    char32_t previous = 0;
    for (char32_t code : DecodeUtf8(text)) {
        if (code == 0) // the text ends at a NUL, as it always did
            break;
        bool loneLf = code == '\n' && previous != '\r';
        previous = code;
        if (code == '\r' || loneLf) {
            move(-xAdvance, 0);
            xAdvance = 0;
        }
        if (code == '\n') {
            move(0, -1.2f * lineHeight);
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
        if (OutOfView(clip, slot.bounds, penX, penY)) {
            move(slot.metrics.gmfCellIncX, slot.metrics.gmfCellIncY);
            continue;
        }
        flush();
        glCallList(slot.list);
        penX += slot.metrics.gmfCellIncX;
        penY += slot.metrics.gmfCellIncY;
    }
    flush();
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
