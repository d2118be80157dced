#include "scene/pictures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/canvas_stretch.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/picture_converters.h"

namespace pc {

std::string IntToAnsi(int64_t n)
{
    return std::to_string(n);
}

std::string WorkBitmapPath()
{
    return WorkFolder() + "temp.bmp";
}

std::string TextureWorkFile(TextureId tex)
{
    return TextureFolder() + IntToAnsi(tex);
}

Bitmap MakeThumbnail(const Bitmap& picture)
{
    Bitmap thumb(65, 65, PixelFormat::pf24bit);
    thumb.Fill(clWhite);
    StretchBlt(thumb, Rect{0, 0, 64, 64}, picture, Rect{0, 0, picture.Width(), picture.Height()}, StretchMode::Halftone);
    return thumb;
}

void CreateTextureFromBitmap(Bitmap& bitmap, TextureId& tex)
{
    if (bitmap.Empty())
        throw Error("Cannot make a texture of an empty picture");
    bitmap.SetPixelFormat(PixelFormat::pf24bit);
    const int w = bitmap.Width(), h = bitmap.Height();
    std::vector<uint8_t> rgba(size_t(CheckedMul(CheckedMul(w, h), 4)));
    // GL rows run bottom-up.
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = bitmap.ScanLine(h - 1 - y);
        uint8_t* out = rgba.data() + size_t(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            out[4 * x] = in[3 * x + 2];
            out[4 * x + 1] = in[3 * x + 1];
            out[4 * x + 2] = in[3 * x];
            out[4 * x + 3] = 255;
        }
    }
    GLuint name = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &name);
    if (name == 0)
        throw Error("Cannot create a texture: no OpenGL context");
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Sizes other than powers of two are scaled by GLU.
    GLint err = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    if (err != 0) {
        glDeleteTextures(1, &name);
        throw Error(std::string("Cannot create a texture: ") + reinterpret_cast<const char*>(gluErrorString(GLenum(err))));
    }
    tex = name;
}

std::unique_ptr<Bitmap> LoadTexture(const std::string& fileName, TextureId& tex)
{
    if (fileName.empty()) {
        if (tex)
            glDeleteTextures(1, &tex);
        return nullptr;
    }
    const std::string work = WorkBitmapPath();
    if (fileName != work)
        std::remove(work.c_str());
    ConvertPictureFile(fileName, work);

    Bitmap picture = LoadBmpFile(work, {}, kScenePictureSide);
    auto thumb = std::make_unique<Bitmap>(MakeThumbnail(picture));
    // The new texture and its work file stand before the old texture goes,
    // so a failure leaves the old one in place.
    TextureId fresh = 0;
    CreateTextureFromBitmap(picture, fresh);
    try {
        WriteFileAtomic(TextureWorkFile(fresh), ReadFileBytes(work));
    } catch (...) {
        glDeleteTextures(1, &fresh);
        throw;
    }
    if (tex)
        glDeleteTextures(1, &tex);
    tex = fresh;
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return thumb;
}

} // namespace pc
