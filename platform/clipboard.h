#pragma once
// The system clipboard: bitmaps and named private formats.
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc::clipboard {

void SetBitmap(const Bitmap& bmp);
// The clipboard's picture as a 24-bit bitmap, if it holds one.
std::optional<Bitmap> GetBitmap();
bool HasBitmap();

// A private format, e.g. "GIF Image". Throws Error when the clipboard cannot take it.
void SetData(const std::string& format, const std::vector<uint8_t>& bytes);
std::optional<std::vector<uint8_t>> GetData(const std::string& format);
bool HasFormat(const std::string& format);

} // namespace pc::clipboard
