#pragma once
// Image data decoding: inflates the zlib stream spread over consecutive IDAT
// chunks row by row, undoes the filters and fills the header's DIB and alpha
// plane, plain or Adam7.
#include <cstdint>
#include <optional>

#include "codecs/png/png_row_convert.h"
#include "platform/byte_reader.h"

namespace pc::png {

class TChunkIHDR;

// The reader stands at the data of the first IDAT chunk, of firstSize bytes.
// On return it stands after the last IDAT chunk of the run (every one of
// them CRC-checked). Throws the codec's errors for broken data; never
// leaves rows undecoded without an error.
// A key (from tRNS) gives 16-bit grey and RGB pictures their key marks.
void DecodeImageData(ByteReader& in, uint32_t firstSize, TChunkIHDR& header, int interlaceMethod,
                     const std::optional<SampleKey>& key);

// Linear grey ramp of the DIB's colour table for the grey types.
void PrepareGreyPalette(TChunkIHDR& header);

} // namespace pc::png
