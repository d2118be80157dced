#pragma once
// giflib as the trusted reference: what it decodes from a file, and the
// image data it writes for given indices.
#include <cstdint>
#include <string>
#include <vector>

namespace pc::gif::test {

struct RefFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<uint8_t> localMap; // RGB triplets as stored
    std::vector<uint8_t> pixels;   // top-down rows
    bool hasGce = false;
    int transparent = -1, delay = 0, disposal = 0;
};

struct RefGif {
    bool ok = false;
    int width = 0, height = 0, background = 0;
    std::vector<uint8_t> globalMap;
    std::vector<RefFrame> frames;
    int loopCount = -1; // -1: no looping block
};

RefGif GiflibDecode(const std::vector<uint8_t>& file);

// A whole file as giflib writes it: the global map, and per frame a
// graphic control block when hasGce, its local map and its pixels.
std::vector<uint8_t> GiflibEncode(const RefGif& gif);

// The image data giflib writes (code size byte through terminator) for one
// frame of these indices, rows given top-down.
std::vector<uint8_t> GiflibImageData(const std::vector<uint8_t>& pixels, int width, int height, int codeSize,
                                     bool interlaced);

} // namespace pc::gif::test
