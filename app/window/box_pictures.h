#pragma once
// Pictures and colours of the floor and background picture boxes: the same
// commands the face pictures take, on the main window's boxes.
#include <string>

#include "platform/color.h"

namespace pc {

class PictureBox;
class TextureStore;

// Gives the box's texture and work file back; the box then shows its colour.
void ReleaseBoxPicture(PictureBox& box, TextureStore& textures);
// Loads a picture file into the box's texture; throws Error and changes
// nothing when the picture cannot be loaded.
void LoadBoxPicture(PictureBox& box, const std::string& file, TextureStore& textures);
// A solid colour framed in frameColor; the old texture goes.
void SetBoxColor(PictureBox& box, TColor color, TColor frameColor, TextureStore& textures);

} // namespace pc
