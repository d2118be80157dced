#pragma once
// The codec's one exception class and its message table. Every error of the
// GIF code carries one of these texts unchanged.
#include <string>

#include "platform/errors.h"

namespace pc::gif {

class GIFException : public Error {
public:
    using Error::Error;
};

[[noreturn]] void RaiseGIFError(const std::string& message);

namespace msg {
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kColorTableOverflow = "Color table overflow";
inline constexpr const char* kInvalidColorIndex = "Invalid color index";
inline constexpr const char* kUnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kUnknownExtension = "Unknown extension type";
inline constexpr const char* kBadIntroducer = "Invalid extension introducer";
inline constexpr const char* kExtensionMismatch = "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* kBitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* kCircularEntry = "Circular decoder table entry";
inline constexpr const char* kColorNotInTable = "Color not in color table";
inline constexpr const char* kColorTableEmpty = "Color table is empty";
inline constexpr const char* kBadTrailer = "Invalid Image trailer";
inline constexpr const char* kUnknownBlock = "Unknown GIF block type";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* kWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* kClipboardFailed = "Failed to store GIF on clipboard";
inline constexpr const char* kBadReductionBits = "Invalid Bits Per Pixel value";
inline constexpr const char* kBadPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* kImageEmpty = "Image is empty";
inline constexpr const char* kExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* kInvalidDimensions = "Invalid image dimensions";
inline constexpr const char* kUnsupportedClipboard = "Unsupported clipboard format";
// Our own additions for damage the table has no text for.
inline constexpr const char* kBadCodeSize = "Invalid LZW code size";
inline constexpr const char* kNoTransparentIndex = "No free color index for transparency";

inline constexpr const char* kLoading = "Loading...";
inline constexpr const char* kSaving = "Saving...";
inline constexpr const char* kConverting = "Converting...";
inline constexpr const char* kRendering = "Rendering...";
inline constexpr const char* kCopying = "Copying...";
inline constexpr const char* kOptimizing = "Optimizing...";
inline constexpr const char* kBadReduction = "Invalid reduction method";
} // namespace msg

} // namespace pc::gif
