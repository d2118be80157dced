#pragma once
// What the face pictures need of picture import: load a picture file into a
// texture (new, or replacing textureId when it is above 0) with its work file
// and a thumbnail, and release a texture. The program backs it with the GL
// texture loader; tests back it with files only.
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc {

struct LoadedTexture {
    int textureId = 0;
    std::optional<Bitmap> thumbnail;
};

class TextureStore {
public:
    virtual ~TextureStore() = default;
    // Throws pc::Error when the picture cannot be loaded; nothing changes then.
    virtual LoadedTexture Load(const std::string& file, int textureId) = 0;
    // The same of BMP bytes already in memory (a project's picture); name
    // stands for it in messages.
    virtual LoadedTexture LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string& name, int textureId) = 0;
    virtual void Release(int textureId) = 0;
};

// The program's store: GL textures through the picture loader. Needs the
// window's GL context current.
class GLTextureStore : public TextureStore {
public:
    LoadedTexture Load(const std::string& file, int textureId) override;
    LoadedTexture LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string& name, int textureId) override;
    void Release(int textureId) override;
};

} // namespace pc
