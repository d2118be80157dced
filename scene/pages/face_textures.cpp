#include "scene/pages/face_textures.h"

#include "scene/pictures/texture_loader.h"

namespace pc {

namespace {

LoadedTexture Loaded(TextureId tex, std::unique_ptr<Bitmap> thumbnail)
{
    LoadedTexture loaded{int(tex), std::nullopt};
    if (thumbnail)
        loaded.thumbnail = std::move(*thumbnail);
    return loaded;
}

} // namespace

LoadedTexture GLTextureStore::Load(const std::string& file, int textureId)
{
    TextureId tex = TextureId(textureId > 0 ? textureId : 0);
    std::unique_ptr<Bitmap> thumbnail = LoadTexture(file, tex);
    return Loaded(tex, std::move(thumbnail));
}

LoadedTexture GLTextureStore::LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string& name, int textureId)
{
    TextureId tex = TextureId(textureId > 0 ? textureId : 0);
    std::unique_ptr<Bitmap> thumbnail = LoadTextureFromBmp(bytes, name, tex);
    return Loaded(tex, std::move(thumbnail));
}

void GLTextureStore::Release(int textureId)
{
    if (textureId <= 0)
        return;
    TextureId tex = TextureId(textureId);
    LoadTexture("", tex);
}

} // namespace pc
