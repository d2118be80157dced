#pragma once
// Image data encoding: converts the header's DIB and alpha plane into PNG
// rows, filters them, deflates and writes IDAT chunks of maxIdatSize bytes
// (the last one holds the rest).
#include <cstdint>
#include <vector>

#include "codecs/png/png_filters.h"

namespace pc::png {

class TChunkIHDR;

struct EncodeSettings {
    FilterSet filters;
    int compressionLevel;
    int maxIdatSize;
    int interlaceMethod;
};

// Throws EPngInvalidIHDR for a type and depth without an encoding and
// EPNGZLIBError when deflate fails.
void EncodeImageData(std::vector<uint8_t>& out, const TChunkIHDR& header, const EncodeSettings& settings);

} // namespace pc::png
