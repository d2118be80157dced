#pragma once
// Enumerations, events and unit-wide defaults of the GIF picture class.
#include <cstdint>
#include <functional>
#include <string>

namespace pc::gif {

enum class TGIFVersion { gvUnknown, gv87a, gv89a };
enum class TGIFSeverity { gsInfo, gsWarning, gsError };
enum class TGIFCompression { gcLZW, gcRLE };
enum class TDisposalMethod { dmNone, dmNoDisposal, dmBackground, dmPrevious };
enum class TProgressStage { psStarting, psRunning, psEnding };

// Draw options; a set of them is a 16-bit word, bit n = option n.
enum TGIFDrawOption : int {
    goAsync, goTransparent, goAnimate, goLoop, goLoopContinously, goValidateCanvas,
    goDirectDraw, goClearOnLoop, goTile, goDither, goAutoDither
};
using TGIFDrawOptions = uint16_t;
constexpr TGIFDrawOptions DrawOption(TGIFDrawOption o) { return TGIFDrawOptions(1u << o); }
constexpr bool HasOption(TGIFDrawOptions set, TGIFDrawOption o) { return (set & DrawOption(o)) != 0; }

// Three-character version text; empty for gvUnknown.
const char* GIFVersionText(TGIFVersion v);

// Sender is the item, list, map or image that reports.
using TGIFWarning = std::function<void(const void* sender, TGIFSeverity, const std::string& message)>;
using TGIFProgress = std::function<void(TProgressStage, int percent, bool redraw, const std::string& message)>;

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int64_t Width() const { return int64_t(right) - left; }
    int64_t Height() const { return int64_t(bottom) - top; }
    bool operator==(const TRect&) const = default;
};

// Unit-wide settings read when an image is created.
inline TGIFDrawOptions GIFImageDefaultDrawOptions = DrawOption(goAsync) | DrawOption(goTransparent) |
    DrawOption(goAnimate) | DrawOption(goLoop) | DrawOption(goDither) | DrawOption(goAutoDither);
inline int GIFImageDefaultColorReductionBits = 8;
inline TGIFCompression GIFImageDefaultCompression = TGIFCompression::gcLZW;
inline int GIFImageDefaultAnimationSpeed = 100;
inline bool GIFImageRenderOnLoad = false;
// Screens here are never palette devices, so automatic dithering stays off.
inline constexpr bool PaletteDevice = false;
inline bool DoAutoDither = PaletteDevice;

// The clipboard format that carries a GIF stream.
inline constexpr const char* kGifClipboardFormat = "GIF Image";

} // namespace pc::gif
