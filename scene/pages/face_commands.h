#pragma once
// The picture commands on a face, floor or background picture box: load a
// picture file into it, or give it a solid colour. The main window shows the
// dialogs and calls these with what the user chose.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/color.h"

namespace pc {

class FacePicture;
class GLTSObject;
class TextureStore;

// The object page a picture box belongs to, or null (floor, background).
GLTSObject* OwningObject(const FacePicture& pic);

// Loads file into the picture box: a new texture (or its own texture replaced)
// and the thumbnail framed in frameColor. A 3DS swatch always gets a new
// texture, which the selected material then takes over. Throws when the
// picture cannot be loaded; the box keeps its picture and colour then.
void LoadFacePicture(FacePicture& pic, const std::string& file, TextureStore& textures, TColor frameColor);
// The same of BMP bytes already in memory (a project's picture), named for messages.
void LoadFacePictureBytes(FacePicture& pic, const std::vector<uint8_t>& bytes, const std::string& name,
                          TextureStore& textures, TColor frameColor);

// Gives the picture box a solid colour, framed in frameColor, and gives back
// the texture it showed.
void SetFaceColor(FacePicture& pic, TColor color, TColor frameColor, TextureStore& textures);

} // namespace pc
