#pragma once
// What the face pictures need of picture import: load a picture file into a
// texture (new, or replacing textureId when it is above 0) with its work file
// and a thumbnail, and release a texture. The program backs it with the GL
// texture loader; tests back it with files only.
#include <map>
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

    // Model materials of the whole scene share one texture per picture; each
    // material holding it counts once. A picture is known by its file and
    // that file's size and time, so a file written anew loads anew; the work
    // file of a held texture names that texture. A shared texture is never
    // replaced in place. Throws pc::Error when the picture cannot be loaded.
    struct Held {
        int textureId = 0;
        std::string mapFile; // the work file, or the picture when it has none
    };
    Held HoldPicture(const std::string& file);
    // A texture loaded by itself (with its work file) gains a holder.
    void HoldTexture(int textureId);
    // A holder lets go; the last gives the texture back and, with
    // deleteWorkFile, removes its work file too.
    void LetGo(int textureId, bool deleteWorkFile);
    // Whether a material holds the texture.
    bool Holds(int textureId) const { return held_.count(textureId) > 0; }

private:
    struct Holders {
        int count = 0;
        std::string mapFile;
        std::vector<std::string> keys;
    };
    Holders& Register(int textureId, const std::string& mapFile, const std::vector<std::string>& files);
    std::map<int, Holders> held_;
    std::map<std::string, int> byFile_;
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
