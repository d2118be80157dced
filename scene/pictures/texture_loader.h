#pragma once
// Pictures entering the scene. A picture file is converted into the work
// bitmap "temp.bmp", made into a mipmapped OpenGL texture, copied to the
// texture's work file "Texture/<n>" and shown as a 65 x 65 thumbnail.
// The texture number is the GL texture name; 0 means no texture.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/bitmap.h"

namespace pc {

using TextureId = uint32_t;

std::string IntToAnsi(int64_t n);

// WorkFolder() + "temp.bmp": every converter called by LoadTexture writes it.
std::string WorkBitmapPath();
// TextureFolder() + decimal tex (no extension).
std::string TextureWorkFile(TextureId tex);

// Needs a current GL context.
// An empty fileName deletes the texture tex (tex keeps its number) and
// returns null. Otherwise converts the file, replaces the texture in tex,
// writes its work file and returns the thumbnail. A picture that cannot be
// read (a refused TGA too) throws with the reason and leaves tex and its
// texture untouched. A picture that would pass the scene's texture budget
// (TextureMemory) is refused that way too, with a message naming it.
std::unique_ptr<Bitmap> LoadTexture(const std::string& fileName, TextureId& tex);

// LoadTexture of BMP bytes already in memory (a project's picture): the same
// texture, work file and thumbnail, without the scratch files; name stands
// for the picture in messages.
std::unique_ptr<Bitmap> LoadTextureFromBmp(std::span<const uint8_t> bmp, const std::string& name, TextureId& tex);

// Switches bitmap to 24 bits and makes a new mipmapped texture of it in tex
// (any texture tex named before is not deleted), outside the scene's budget.
// Needs a current GL context.
void CreateTextureFromBitmap(Bitmap& bitmap, TextureId& tex);

} // namespace pc
