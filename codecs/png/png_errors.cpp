#include "codecs/png/png_errors.h"

namespace pc::png {

const char* MessageText(int message)
{
    switch (message) {
    case kMsgExistentChunk:
        return "The program tried to add a existent critical chunk to the current image which is not allowed.";
    case kMsgInvalidImage:
        return "It's not allowed to add a new chunk because the current image is invalid.";
    case kMsgOutOfResources:
        return "Some operation could not be performed because the system is out of resources. Close some windows and try again.";
    case kMsgCannotChangeTransparent:
        return "Setting bit transparency color is not allowed for png images containing alpha value for each pixel "
               "(COLOR_RGBALPHA and COLOR_GRAYSCALEALPHA)";
    case kMsgHeaderNotPresent:
        return "This operation is not valid because the current image contains no valid header.";
    case kMsgInvalidCrc:
        return "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces of data (crc error)";
    case kMsgInvalidIhdr:
        return "The \"Portable Network Graphics\" image could not be loaded because one of its main piece of data (ihdr) "
               "might be corrupted";
    case kMsgMissingMultipleIdat:
        return "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
    case kMsgZlibError:
        return "Could not decompress the image because it contains invalid compressed data.\r\n Description: ";
    case kMsgInvalidPalette:
        return "The \"Portable Network Graphics\" image contains an invalid palette.";
    case kMsgInvalidFileHeader:
        return "The file being readed is not a valid \"Portable Network Graphics\" image because it contains an invalid "
               "header. This file may be corruped, try obtaining it again.";
    case kMsgIhdrNotFirst:
        return "This \"Portable Network Graphics\" image is not supported or it might be invalid.\r\n"
               "(IHDR chunk is not the first)";
    case kMsgSizeExceeds:
        return "This \"Portable Network Graphics\" image is not supported because either it's width or height exceeds "
               "the maximum size, which is 65535 pixels length.";
    case kMsgNoSuchPaletteEntry:
        return "There is no such palette entry.";
    case kMsgUnknownCriticalChunk:
        return "This \"Portable Network Graphics\" image contains an unknown critical part which could not be decoded.";
    case kMsgUnknownCompression:
        return "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme which could not "
               "be decoded.";
    case kMsgUnknownInterlace:
        return "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could not be decoded.";
    case kMsgIncompatibleChunks:
        return "The chunks must be compatible to be assigned.";
    case kMsgUnexpectedEnd:
        return "This \"Portable Network Graphics\" image is invalid because the decoder found an unexpected end of the "
               "file.";
    case kMsgNoImageData:
        return "This \"Portable Network Graphics\" image contains no data.";
    case kMsgCannotResize:
        return "The \"Portable Network Graphics\" image can not be resize by changing width and height properties. "
               "Try assigning the image from a bitmap.";
    }
    return "";
}

std::string ZlibErrorText(int code)
{
    switch (code) {
    case 2: return "need dictionary (2)";
    case 1: return "stream end (1)";
    case 0: return "(0)";
    case -1: return "file error (-1)";
    case -2: return "stream error (-2)";
    case -3: return "data error (-3)";
    case -4: return "insufficient memory (-4)";
    case -5: return "buffer error (-5)";
    case -6: return "incompatible version (-6)";
    }
    return "(" + std::to_string(code) + ")";
}

namespace {
std::string TooLargeStart(int64_t width, int64_t height)
{
    return "This \"Portable Network Graphics\" image is too large: " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
}
} // namespace

void RaiseTooLarge(int64_t width, int64_t height, int64_t bytes, int64_t budget)
{
    constexpr int64_t kMB = int64_t(1) << 20;
    throw EPNGSizeExceeds(kMsgSizeExceeds, TooLargeStart(width, height) + " need " +
                                               std::to_string((bytes + kMB - 1) / kMB) +
                                               " MB of memory, and a picture may use at most " +
                                               std::to_string(budget / kMB) + " MB.");
}

void RaiseTooManyPixels(int64_t width, int64_t height, int64_t maxPixels)
{
    throw EPNGSizeExceeds(kMsgSizeExceeds, TooLargeStart(width, height) + ", and a picture may have at most " +
                                               std::to_string(maxPixels) + " pixels.");
}

void RaiseZlibError(int code)
{
    throw EPNGZLIBError(kMsgZlibError, std::string(MessageText(kMsgZlibError)) + ZlibErrorText(code));
}

} // namespace pc::png
