#pragma once
// Pixel formats of our OpenGL layer: a fixed table of format descriptors,
// numbered from 1, and the rules that pick the window's format, describe it
// and list the candidates for the "Advance" menu. The selection functions run
// over any table, so tests can hand them fake devices.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gl_context.h"

namespace pc {

enum PixelFormatFlag : uint32_t {
    kDoubleBuffer = 0x1,
    kDrawToWindow = 0x4,
    kDrawToBitmap = 0x8,
    kSupportGdi = 0x10,
    kSupportOpenGL = 0x20,
    kGenericFormat = 0x40,
    kGenericAccelerated = 0x1000,
};

struct PixelFormatDescriptor {
    uint32_t flags = 0;
    int colorBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int accumBits = 0;
};

// Format n is table[n - 1].
using PixelFormatTable = std::vector<PixelFormatDescriptor>;

enum class PixelFormatClass { Software, GenericAccelerated, InstallableDriver };

PixelFormatClass ClassOf(const PixelFormatDescriptor& f);
// Double-buffered OpenGL format that draws to a window.
bool IsCandidate(const PixelFormatDescriptor& f);

// Every format our OSMesa layer offers. All have stencil 8 and accumulation
// 16: floor mask, reflection and shadows need the stencil.
const PixelFormatTable& OfferedPixelFormats();

// What the window and off-screen contexts ask for.
PixelFormatDescriptor WindowTemplate(int deviceColorBits);
PixelFormatDescriptor OffscreenTemplate();

// 1-based format numbers; 0 when none fits. Formats short of the template's
// stencil or accumulation bits never qualify.
int FindSoftwarePixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ);
int FindBestPixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ);
// Last resort: the first OpenGL format that draws where the template asks
// (window or bitmap) with enough stencil; else the first OpenGL format; 0 when none.
int ChoosePixelFormat(const PixelFormatTable& table, const PixelFormatDescriptor& templ);

// "Software Rendering; Colors:32bits;  Depth:24bits;"
std::string PixelFormatInfo(const PixelFormatDescriptor& f);
// "Colors:32bits; Depth:24bits; Software Rendering"
std::string AdvanceMenuCaption(const PixelFormatDescriptor& f);
// Whether the hint "Click here return to 'Software Rendering'. " shows.
bool ShowReturnToSoftwareHint(const PixelFormatDescriptor& described, bool softwareRender);

struct AdvanceMenuEntry {
    int number = 0;
    std::string caption;
    bool checked = false;
};
// One entry per candidate, checked when pixelsFormat > 0 names it.
std::vector<AdvanceMenuEntry> AdvanceMenuEntries(const PixelFormatTable& table, int pixelsFormat);

struct PixelFormatChoice {
    int number = 0; // 0: the table offers nothing usable
    PixelFormatDescriptor described;
    std::string info;
    bool showReturnHint = false;
};

// Picks the window's format. An index from the settings is used as it
// stands when it names a candidate of the table; anything else (out of
// range, negative, not a window format) falls back to the automatic choice.
PixelFormatChoice SetupPixelFormat(const PixelFormatTable& table, int index, bool softwareRender, int deviceColorBits);

GLContextBits ContextBits(const PixelFormatDescriptor& f);

} // namespace pc
