#include "codecs/png/png_layout.h"

namespace pc::png {

int DibBitsFor(int colorType, int bitDepth)
{
    switch (colorType) {
    case kGrey:
        switch (bitDepth) {
        case 1: return 1;
        case 2:
        case 4: return 4;
        case 8:
        case 16: return 8;
        }
        return 0;
    case kPalette:
        switch (bitDepth) {
        case 1: return 1;
        case 2:
        case 4: return 4;
        case 8: return 8;
        }
        return 0;
    case kRgb:
    case kRgbAlpha: return bitDepth == 8 || bitDepth == 16 ? 24 : 0;
    case kGreyAlpha: return bitDepth == 8 || bitDepth == 16 ? 8 : 0;
    }
    return 0;
}

static int Channels(int colorType)
{
    switch (colorType) {
    case kGrey:
    case kPalette: return 1;
    case kRgb: return 3;
    case kGreyAlpha: return 2;
    case kRgbAlpha: return 4;
    }
    return 0;
}

int64_t BytesForPixels(int64_t n, int colorType, int bitDepth)
{
    return (n * Channels(colorType) * bitDepth + 7) / 8;
}

int FilterOffset(int colorType, int bitDepth)
{
    int bits = Channels(colorType) * bitDepth;
    return bits >= 8 ? bits / 8 : 1;
}

} // namespace pc::png
