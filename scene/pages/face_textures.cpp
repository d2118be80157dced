#include "scene/pages/face_textures.h"

#include "scene/pictures/texture_loader.h"

namespace pc {

LoadedTexture GLTextureStore::Load(const std::string& file, int textureId)
{
    TextureId tex = TextureId(textureId > 0 ? textureId : 0);
    std::unique_ptr<Bitmap> thumbnail = LoadTexture(file, tex);
    LoadedTexture loaded{int(tex), std::nullopt};
    if (thumbnail)
        loaded.thumbnail = std::move(*thumbnail);
    return loaded;
}

void GLTextureStore::Release(int textureId)
{
    if (textureId <= 0)
        return;
    TextureId tex = TextureId(textureId);
    LoadTexture("", tex);
}

} // namespace pc
