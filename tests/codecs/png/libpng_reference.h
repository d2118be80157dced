#pragma once
// libpng as the trusted decoder the codec is checked against.
#include <cstdint>
#include <string>
#include <vector>

namespace pc::png {
class TPNGObject;
}

namespace pc::test {

// A picture as libpng gives it with every expansion on: palette and low
// depths expanded, grey turned to RGB, 16-bit samples stripped to their
// high byte, tRNS turned into alpha. RGBA, top-down.
struct LibpngPicture {
    int width = 0, height = 0;
    int colorType = 0, bitDepth = 0, interlace = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const { return rgba.data() + (size_t(y) * width + x) * 4; }
};

// Throws std::runtime_error with libpng's message when it refuses the data.
LibpngPicture DecodeWithLibpng(const std::vector<uint8_t>& file);

// 16-bit samples exactly as stored (grey turned to RGB), for checking how
// 8-bit values were widened. RGBA, 4 uint16 per pixel.
std::vector<uint16_t> DecodeWithLibpng16(const std::vector<uint8_t>& file);

// The suite's files that are valid PNG (not starting with 'x').
std::vector<std::string> ValidSuiteFiles();
// The suite's folders holding valid files, and the valid files of one.
std::vector<std::string> ValidSuiteFolders();
std::vector<std::string> ValidSuiteFilesIn(const std::string& folder);
std::vector<std::string> CorruptSuiteFiles();

std::vector<uint8_t> ReadAll(const std::string& path);

// Our picture against libpng's: colour through our gamma table, alpha from
// the alpha plane, the palette alphas or the key colour.
void ExpectSamePixels(const png::TPNGObject& png, const LibpngPicture& ref);

} // namespace pc::test
