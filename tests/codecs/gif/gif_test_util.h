#pragma once
// Small helpers shared by the GIF tests.
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/gif/gif_image.h"

namespace pc::gif::test {

std::vector<uint8_t> ReadAll(const std::string& path);

// The conformance suite's files that hold a picture to read: two end inside
// their local map and are refused (the conformance test checks how).
std::vector<std::string> ReadableSuiteFiles();

// Loads bytes into the image, collecting warnings.
struct LoadResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> warnings;
};
LoadResult LoadInto(TGIFImage& gif, const std::vector<uint8_t>& bytes, int maxFrames = TGIFImageList::kAllFrames);

std::vector<uint8_t> SaveToBytes(TGIFImage& gif);

// The frames that carry an image (frames of extensions only are left out).
std::vector<TGIFSubImage*> ImageFrames(TGIFImage& gif);

// RGB triplets of a map, as stored in a file.
std::vector<uint8_t> MapBytes(const TGIFColorMap& map);

} // namespace pc::gif::test
