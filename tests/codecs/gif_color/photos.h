#pragma once
// Real photographs from Debian packages, decoded by Qt into 24-bit bitmaps.
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc::test {

// Paths of the photos that exist on this machine.
std::vector<std::string> PhotoPaths();
// Decodes with Qt; an empty bitmap when Qt cannot read the file.
Bitmap LoadPhoto(const std::string& path);

// Mean squared error per channel between two pictures of the same size.
double MeanSquaredError(const Bitmap& a, const Bitmap& b);

} // namespace pc::test
