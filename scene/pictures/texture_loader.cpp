#include "scene/pictures/texture_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <future>
#include <malloc.h>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/canvas_stretch.h"
#include "platform/checked_size.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/picture_converters.h"
#include "scene/pictures/texture_memory.h"

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

namespace {

// 65 x 65, the picture, whose rows stand bottom-up as GL takes them,
// averaged into the top-left 64 x 64, the last row and column white.
Bitmap Thumbnail(const Bitmap& picture)
{
    Bitmap thumb(65, 65, PixelFormat::pf24bit);
    thumb.Fill(clWhite);
    const int w = picture.Width(), h = picture.Height();
    StretchBlt(thumb, Rect{0, 0, 64, 64}, picture, Rect{0, h, w, 0}, StretchMode::Halftone);
    return thumb;
}

// Bitmap rows run top-down, GL rows bottom-up.
void FlipRows(Bitmap& bitmap)
{
    const size_t stride = size_t(bitmap.Stride());
    std::vector<uint8_t> row(stride);
    for (int top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), bitmap.ScanLine(top), stride);
        std::memcpy(bitmap.ScanLine(top), bitmap.ScanLine(bottom), stride);
        std::memcpy(bitmap.ScanLine(bottom), row.data(), stride);
    }
}

bool PowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// The next mipmap level of B,G,R rows padded to 4 bytes, as GLU makes it: a
// 2 x 2 block rounded to nearest, a pair along a side of 1 rounded down.
std::vector<uint8_t> HalveBgr(const uint8_t* in, int w, int h, int& ow, int& oh)
{
    ow = std::max(w / 2, 1);
    oh = std::max(h / 2, 1);
    const int64_t is = DibStride(w, 24), os = DibStride(ow, 24);
    std::vector<uint8_t> out(size_t(os * oh));
    for (int y = 0; y < oh; ++y) {
        uint8_t* o = out.data() + y * os;
        if (w > 1 && h > 1) {
            const uint8_t* p = in + 2 * y * is;
            const uint8_t* q = p + is;
            for (int x = 0; x < ow; ++x, p += 6, q += 6, o += 3)
                for (int c = 0; c < 3; ++c)
                    o[c] = uint8_t((p[c] + p[c + 3] + q[c] + q[c + 3] + 2) / 4);
        } else {
            // One of the sides is 1: pairs along the other.
            const uint8_t* p = in + (h > 1 ? 2 * y * is : 0);
            const int64_t next = w > 1 ? 3 : is;
            for (int x = 0; x < ow; ++x, p += (w > 1 ? 6 : 3), o += 3)
                for (int c = 0; c < 3; ++c)
                    o[c] = uint8_t((p[c] + p[c + next]) / 2);
        }
    }
    return out;
}

// Level 0 as given, the smaller levels halved here: GLU's own halving is
// several times slower. Mipmaps are never sampled (the filter is GL_LINEAR)
// but stand as every texture has them.
GLenum UploadPowerOfTwo(const Bitmap& bitmap)
{
    int w = bitmap.Width(), h = bitmap.Height();
    glTexImage2D(GL_TEXTURE_2D, 0, 3, w, h, 0, GL_BGR, GL_UNSIGNED_BYTE, bitmap.Data());
    std::vector<uint8_t> level;
    const uint8_t* from = bitmap.Data();
    for (int n = 1; w > 1 || h > 1; ++n) {
        int ow = 0, oh = 0;
        std::vector<uint8_t> next = HalveBgr(from, w, h, ow, oh);
        glTexImage2D(GL_TEXTURE_2D, n, 3, ow, oh, 0, GL_BGR, GL_UNSIGNED_BYTE, next.data());
        level = std::move(next);
        from = level.data();
        w = ow;
        h = oh;
    }
    return glGetError();
}

// Errors left by earlier calls are not this upload's.
void ClearGlErrors()
{
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// A new texture name, bound, with the parameters every picture texture has.
TextureId NewTexture()
{
    GLuint name = 0;
    ClearGlErrors();
    glGenTextures(1, &name);
    if (name == 0)
        throw Error("Cannot create a texture: no OpenGL context");
    glBindTexture(GL_TEXTURE_2D, name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

// Fills the bound texture, mipmapped, from a 24-bit bitmap whose rows stand
// bottom-up; throws with GL's reason.
void Upload(const Bitmap& bitmap)
{
    // Bitmap rows are padded to 4 bytes, as GL reads them with this alignment.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // With a mipmap filter while the levels arrive, GL keeps them all in one
    // block; with GL_LINEAR it would keep level 0 twice (150 MB instead of 85
    // for 4096 x 4096). The picture is drawn with GL_LINEAR all the same.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    GLint err = 0;
    if (PowerOfTwo(bitmap.Width()) && PowerOfTwo(bitmap.Height()) && std::max(bitmap.Width(), bitmap.Height()) <= maxSide)
        err = GLint(UploadPowerOfTwo(bitmap));
    else // GLU scales other sizes first; B,G,R as stored, no copy in another layout.
        err = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap.Width(), bitmap.Height(), GL_BGR, GL_UNSIGNED_BYTE,
                                bitmap.Data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The halving buffers given back would otherwise stay with the process.
    ::malloc_trim(0);
    if (err != 0)
        throw Error(std::string("Cannot create a texture: ") + reinterpret_cast<const char*>(gluErrorString(GLenum(err))));
}

// Switches the bitmap to 24 bits with its rows bottom-up, as GL takes them.
void PrepareForGl(Bitmap& bitmap)
{
    if (bitmap.Empty())
        throw Error("Cannot make a texture of an empty picture");
    bitmap.SetPixelFormat(PixelFormat::pf24bit);
    FlipRows(bitmap);
}

// A new texture of a bitmap prepared for GL.
TextureId UploadNew(const Bitmap& bitmap)
{
    const TextureId name = NewTexture();
    try {
        Upload(bitmap);
    } catch (...) {
        glDeleteTextures(1, &name);
        throw;
    }
    return name;
}

void DeleteTexture(TextureId tex)
{
    TextureMemory::Scene().Release(tex);
    glDeleteTextures(1, &tex);
}

// The texture, thumbnail and work file of a decoded picture; writeWork writes
// the work file of a texture number. The thumbnail and the work file are made
// while GL takes the picture, which all of them only read. The picture is
// freed as soon as the texture stands. The old texture in tex goes only when
// all of it stands.
std::unique_ptr<Bitmap> MakeTexture(Bitmap picture, const std::string& name, TextureId& tex,
                                    const std::function<void(const std::string& workFile)>& writeWork)
{
    const int64_t bytes = TextureBytes(picture.Width(), picture.Height());
    TextureMemory& memory = TextureMemory::Scene();
    memory.Check(name, bytes);
    PrepareForGl(picture);
    const TextureId fresh = NewTexture();
    const std::string workFile = TextureWorkFile(fresh);
    auto aside = std::async(std::launch::async, [&] {
        auto thumb = std::make_unique<Bitmap>(Thumbnail(picture));
        writeWork(workFile);
        return thumb;
    });
    std::exception_ptr failed;
    try {
        Upload(picture);
    } catch (...) {
        failed = std::current_exception();
    }
    std::unique_ptr<Bitmap> thumb;
    try {
        thumb = aside.get();
    } catch (...) {
        if (!failed)
            failed = std::current_exception();
    }
    picture = Bitmap();
    if (failed) {
        glDeleteTextures(1, &fresh);
        std::remove(workFile.c_str());
        std::rethrow_exception(failed);
    }
    memory.Charge(fresh, bytes);
    if (tex)
        DeleteTexture(tex);
    tex = fresh;
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return thumb;
}

} // namespace

void CreateTextureFromBitmap(Bitmap& bitmap, TextureId& tex)
{
    PrepareForGl(bitmap);
    try {
        tex = UploadNew(bitmap);
    } catch (...) {
        FlipRows(bitmap);
        throw;
    }
    FlipRows(bitmap);
}

std::unique_ptr<Bitmap> LoadTexture(const std::string& fileName, TextureId& tex)
{
    if (fileName.empty()) {
        if (tex)
            DeleteTexture(tex);
        return nullptr;
    }
    const std::string work = WorkBitmapPath();
    if (fileName != work)
        std::remove(work.c_str());
    ConvertPictureFile(fileName, work);
    // Read once: decoded here, copied as it stands to the work file.
    const std::vector<uint8_t> converted = ReadFileBytes(work);
    return MakeTexture(ReadBmp(converted, {}, kScenePictureSide), fileName, tex,
                       [&](const std::string& workFile) { WriteFileAtomic(workFile, converted); });
}

std::unique_ptr<Bitmap> LoadTextureFromBmp(std::span<const uint8_t> bmp, const std::string& name, TextureId& tex)
{
    Bitmap picture = ReadBmp(bmp, {}, kScenePictureSide);
    // The work file holds what the BMP converter makes of these bytes: the
    // bytes themselves when they are its output already, as a saved
    // project's pictures are.
    const std::vector<uint8_t> head = EncodeBmpHeader(picture);
    const bool converted = bmp.size() == head.size() + size_t(picture.Stride()) * size_t(picture.Height()) &&
                           std::equal(head.begin(), head.end(), bmp.begin());
    std::vector<uint8_t> encoded = converted ? std::vector<uint8_t>{} : EncodeBmp(picture);
    return MakeTexture(std::move(picture), name, tex, [&](const std::string& workFile) {
        if (converted)
            WriteFileAtomic(workFile, bmp.data(), bmp.size());
        else
            WriteFileAtomic(workFile, encoded);
        encoded = {};
    });
}

} // namespace pc
