#include "app/window/box_pictures.h"

#include <cstdio>

#include "app/window/picture_box.h"
#include "platform/paths.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"

namespace pc {

void ReleaseBoxPicture(PictureBox& box, TextureStore& textures)
{
    if (box.Tag <= 0)
        return;
    std::remove((TextureFolder() + std::to_string(box.Tag)).c_str());
    textures.Release(box.Tag);
    box.Tag = 0;
}

void LoadBoxPicture(PictureBox& box, const std::string& file, TextureStore& textures)
{
    LoadedTexture loaded = textures.Load(file, box.Tag);
    box.Tag = loaded.textureId;
    if (loaded.thumbnail)
        box.DrawPicture(QImageOf(*loaded.thumbnail));
}

void SetBoxColor(PictureBox& box, TColor color, TColor frameColor, TextureStore& textures)
{
    ReleaseBoxPicture(box, textures);
    box.BrushColor = color;
    box.DrawFrame(frameColor);
}

} // namespace pc
