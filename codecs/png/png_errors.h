#pragma once
// The codec's error family. Each class carries its fixed message text and
// the string-table number the rest of the program knows it by.
#include <cstdint>
#include <string>

#include "platform/errors.h"

namespace pc::png {

// Message numbers of the codec's string table.
enum PngMessage : int {
    kMsgExistentChunk = 65504,
    kMsgInvalidImage = 65505,
    kMsgOutOfResources = 65506,
    kMsgCannotChangeTransparent = 65507,
    kMsgHeaderNotPresent = 65508,
    kMsgInvalidCrc = 65520,
    kMsgInvalidIhdr = 65521,
    kMsgMissingMultipleIdat = 65522,
    kMsgZlibError = 65523,
    kMsgInvalidPalette = 65524,
    kMsgInvalidFileHeader = 65525,
    kMsgIhdrNotFirst = 65526,
    kMsgSizeExceeds = 65527,
    kMsgNoSuchPaletteEntry = 65528,
    kMsgUnknownCriticalChunk = 65529,
    kMsgUnknownCompression = 65530,
    kMsgUnknownInterlace = 65531,
    kMsgIncompatibleChunks = 65532,
    kMsgUnexpectedEnd = 65533,
    kMsgNoImageData = 65534,
    kMsgCannotResize = 65535,
};

const char* MessageText(int message);

// Base of the family, so callers can catch every codec error at once.
class PngException : public Error {
public:
    PngException(int message, const std::string& text) : Error(text), message_(message) {}
    int Message() const { return message_; }

private:
    int message_;
};

#define PC_PNG_EXCEPTION(Name)                                                        \
    class Name : public PngException {                                                \
    public:                                                                           \
        explicit Name(int message) : PngException(message, MessageText(message)) {}   \
        Name(int message, const std::string& text) : PngException(message, text) {}   \
    };

PC_PNG_EXCEPTION(EPngError)
PC_PNG_EXCEPTION(EPNGOutMemory)
PC_PNG_EXCEPTION(EPNGCannotChangeTransparent)
PC_PNG_EXCEPTION(EPNGHeaderNotPresent)
PC_PNG_EXCEPTION(EPngInvalidCRC)
PC_PNG_EXCEPTION(EPngInvalidIHDR)
PC_PNG_EXCEPTION(EPNGMissingMultipleIDAT)
PC_PNG_EXCEPTION(EPNGZLIBError)
PC_PNG_EXCEPTION(EPNGInvalidPalette)
PC_PNG_EXCEPTION(EPNGInvalidFileHeader)
PC_PNG_EXCEPTION(EPNGIHDRNotFirst)
PC_PNG_EXCEPTION(EPNGSizeExceeds)
PC_PNG_EXCEPTION(EPNGUnknownCriticalChunk)
PC_PNG_EXCEPTION(EPNGUnknownCompression)
PC_PNG_EXCEPTION(EPNGUnknownInterlace)
PC_PNG_EXCEPTION(EPngUnexpectedEnd)
PC_PNG_EXCEPTION(EPNGNoImageData)

#undef PC_PNG_EXCEPTION

// EPNGSizeExceeds saying how large the picture is and what it may be.
[[noreturn]] void RaiseTooLarge(int64_t width, int64_t height, int64_t bytes, int64_t budget);
[[noreturn]] void RaiseTooManyPixels(int64_t width, int64_t height, int64_t maxPixels);

// zlib's result code as the codec words it, e.g. "data error (-3)".
std::string ZlibErrorText(int code);

// EPNGZLIBError for a zlib result code.
[[noreturn]] void RaiseZlibError(int code);

} // namespace pc::png
