#include "platform/pixel_format.h"

#include <algorithm>
#include <cstdint>

namespace pc {

namespace {

constexpr uint32_t kWindowFlags = kDoubleBuffer | kDrawToWindow | kSupportOpenGL | kGenericFormat;
constexpr uint32_t kBitmapFlags = kDrawToWindow | kDrawToBitmap | kSupportGdi | kSupportOpenGL;
constexpr uint32_t kCandidateFlags = kSupportOpenGL | kDrawToWindow | kDoubleBuffer;

bool Has(const PixelFormatDescriptor& f, uint32_t flags)
{
    return (f.flags & flags) == flags;
}

bool EnoughAuxBits(const PixelFormatDescriptor& f, const PixelFormatDescriptor& templ)
{
    return f.stencilBits >= templ.stencilBits && f.accumBits >= templ.accumBits;
}

} // namespace

PixelFormatClass ClassOf(const PixelFormatDescriptor& f)
{
    bool generic = f.flags & kGenericFormat;
    bool accelerated = f.flags & kGenericAccelerated;
    if (generic && !accelerated)
        return PixelFormatClass::Software;
    if (generic && accelerated)
        return PixelFormatClass::GenericAccelerated;
    return PixelFormatClass::InstallableDriver;
}

bool IsCandidate(const PixelFormatDescriptor& f)
{
    return Has(f, kCandidateFlags);
}

const PixelFormatTable& OfferedPixelFormats()
{
    // OSMesa renders BGRA with a 24-bit depth buffer whatever is asked, so
    // the table says just that.
    static const PixelFormatTable table = {
        {kWindowFlags, 32, 24, 8, 16},
        {kBitmapFlags | kGenericFormat, 32, 24, 8, 16},
        {kWindowFlags | kSupportGdi, 24, 24, 8, 16},
        {kBitmapFlags | kGenericFormat, 24, 24, 8, 16},
    };
    return table;
}

PixelFormatDescriptor WindowTemplate(int deviceColorBits)
{
    return {kWindowFlags, deviceColorBits, 32, 8, 16};
}

PixelFormatDescriptor OffscreenTemplate()
{
    return {kBitmapFlags, 24, 32, 8, 16};
}

int FindSoftwarePixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ)
{
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& f = table[i];
        if (ClassOf(f) == PixelFormatClass::Software && f.colorBits >= templ.colorBits &&
            f.depthBits >= templ.depthBits && IsCandidate(f) && EnoughAuxBits(f, templ))
            return int(i) + 1;
    }
    return 0;
}

int FindBestPixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ)
{
    int best = 0, bestScore = 0;
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& f = table[i];
        if (!IsCandidate(f) || !EnoughAuxBits(f, templ))
            continue;
        // 64-bit so that absurd bit counts in a table cannot wrap the score.
        int64_t score = int64_t(f.depthBits - int64_t(templ.depthBits) + 1) * 100 + (f.colorBits - int64_t(templ.colorBits));
        switch (ClassOf(f)) {
        case PixelFormatClass::Software: score += 10000; break;
        case PixelFormatClass::GenericAccelerated: score += 20000; break;
        case PixelFormatClass::InstallableDriver: score += 30000; break;
        }
        if (score > bestScore) {
            bestScore = int(std::min<int64_t>(score, INT32_MAX));
            best = int(i) + 1;
        }
    }
    return best;
}

int ChoosePixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ)
{
    uint32_t target = templ.flags & (kDrawToWindow | kDrawToBitmap);
    for (size_t i = 0; i < table.size(); ++i)
        if (Has(table[i], kSupportOpenGL | target) && table[i].stencilBits >= templ.stencilBits)
            return int(i) + 1;
    for (size_t i = 0; i < table.size(); ++i)
        if (Has(table[i], kSupportOpenGL))
            return int(i) + 1;
    return 0;
}

std::string PixelFormatInfo(const PixelFormatDescriptor& f)
{
    std::string s = "Colors:" + std::to_string(f.colorBits) + "bits;  Depth:" + std::to_string(f.depthBits) + "bits;";
    return ((f.flags & kGenericFormat) ? "Software Rendering; " : "Hardware Rendering; ") + s;
}

std::string AdvanceMenuCaption(const PixelFormatDescriptor& f)
{
    std::string s = "Colors:" + std::to_string(f.colorBits) + "bits; Depth:" + std::to_string(f.depthBits) + "bits; ";
    return s + (ClassOf(f) == PixelFormatClass::Software ? "Software Rendering" : "Hardware Rendering");
}

bool ShowReturnToSoftwareHint(const PixelFormatDescriptor& described, bool softwareRender)
{
    return described.depthBits < 32 && !softwareRender;
}

std::vector<AdvanceMenuEntry> AdvanceMenuEntries(const PixelFormatTable& table, int pixelsFormat)
{
    std::vector<AdvanceMenuEntry> entries;
    for (size_t i = 0; i < table.size(); ++i) {
        if (!IsCandidate(table[i]))
            continue;
        int n = int(i) + 1;
        entries.push_back({n, AdvanceMenuCaption(table[i]), pixelsFormat > 0 && pixelsFormat == n});
    }
    return entries;
}

PixelFormatChoice SetupPixelFormat(const PixelFormatTable& table, int index, bool softwareRender, int deviceColorBits)
{
    PixelFormatDescriptor templ = WindowTemplate(deviceColorBits);
    if (index < 1 || size_t(index) > table.size() || !IsCandidate(table[size_t(index) - 1]))
        index = 0;
    if (index == 0 && softwareRender)
        index = FindSoftwarePixelFormat(table, templ);
    if (index == 0)
        index = FindBestPixelFormat(table, templ);
    if (index == 0)
        index = ChoosePixelFormat(table, templ);
    PixelFormatChoice c;
    if (index == 0)
        return c;
    c.number = index;
    c.described = table[size_t(index) - 1];
    c.info = PixelFormatInfo(c.described);
    c.showReturnHint = ShowReturnToSoftwareHint(c.described, softwareRender);
    return c;
}

GLContextBits ContextBits(const PixelFormatDescriptor& f)
{
    return {f.depthBits, f.stencilBits, f.accumBits};
}

} // namespace pc
