#include "scene/pages/face_textures.h"

#include <filesystem>

#include "platform/paths.h"
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

std::string WorkFileOf(int textureId)
{
    return TextureFolder() + std::to_string(textureId);
}

// Empty for a file that cannot be looked at: it is then never shared.
std::string KeyOf(const std::string& file)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(file, ec);
    if (ec)
        return {};
    auto time = std::filesystem::last_write_time(file, ec);
    if (ec)
        return {};
    return file + '\n' + std::to_string(size) + '\n' + std::to_string(time.time_since_epoch().count());
}

} // namespace

TextureStore::Held TextureStore::HoldPicture(const std::string& file)
{
    if (auto it = byFile_.find(KeyOf(file)); it != byFile_.end()) {
        Holders& h = held_[it->second];
        ++h.count;
        return {it->second, h.mapFile};
    }
    LoadedTexture loaded = Load(file, 0);
    std::string mapFile = loaded.thumbnail ? WorkFileOf(loaded.textureId) : file;
    Register(loaded.textureId, mapFile, {file, mapFile}).count = 1;
    return {loaded.textureId, mapFile};
}

void TextureStore::HoldTexture(int textureId)
{
    if (textureId <= 0)
        return;
    ++Register(textureId, WorkFileOf(textureId), {WorkFileOf(textureId)}).count;
}

void TextureStore::LetGo(int textureId, bool deleteWorkFile)
{
    if (textureId <= 0)
        return;
    auto it = held_.find(textureId);
    if (it != held_.end() && --it->second.count > 0)
        return;
    if (it != held_.end()) {
        for (const std::string& key : it->second.keys)
            byFile_.erase(key);
        held_.erase(it);
    }
    if (deleteWorkFile) {
        std::error_code ec;
        std::filesystem::remove(WorkFileOf(textureId), ec);
    }
    Release(textureId);
}

TextureStore::Holders& TextureStore::Register(int textureId, const std::string& mapFile,
                                              const std::vector<std::string>& files)
{
    Holders& h = held_[textureId];
    if (h.keys.empty()) {
        h.mapFile = mapFile;
        for (const std::string& file : files)
            if (std::string key = KeyOf(file); !key.empty() && byFile_.emplace(key, textureId).second)
                h.keys.push_back(key);
    }
    return h;
}

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
