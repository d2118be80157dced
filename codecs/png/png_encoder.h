#pragma once
// Image data encoding: converts the header's DIB and alpha plane into PNG
// rows, filters them, deflates and writes IDAT chunks of maxIdatSize bytes
// (the last one holds the rest).
#include <cstdint>
#include <optional>
#include <vector>

#include "codecs/png/png_filters.h"
#include "codecs/png/png_row_convert.h"

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
// key: the picture's grey or RGB key, written exactly where the key marks say.
void EncodeImageData(std::vector<uint8_t>& out, const TChunkIHDR& header, const EncodeSettings& settings,
                     const std::optional<SampleKey>& key);

} // namespace pc::png
