#include "tests/codecs/png/libpng_reference.h"

#include <png.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc::test {

namespace {

struct Reader {
    explicit Reader(const std::vector<uint8_t>& file)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        info = png_create_info_struct(png);
        src = file.data();
        left = file.size();
        png_set_read_fn(png, this, OnRead);
    }
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }

    static void OnError(png_structp, png_const_charp msg) { throw std::runtime_error(msg); }
    static void OnWarning(png_structp, png_const_charp) {}
    static void OnRead(png_structp p, png_bytep out, size_t n)
    {
        auto* self = static_cast<Reader*>(png_get_io_ptr(p));
        if (n > self->left)
            throw std::runtime_error("read past end");
        std::copy(self->src, self->src + n, out);
        self->src += n;
        self->left -= n;
    }

    // libpng's longjmp-free error path: exceptions through its C frames are
    // fine here because every libpng object is released by the destructor.
    std::vector<png_bytep> Rows(std::vector<uint8_t>& pixels, size_t rowBytes, int height)
    {
        std::vector<png_bytep> rows(static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            rows[size_t(y)] = pixels.data() + size_t(y) * rowBytes;
        return rows;
    }

    png_structp png;
    png_infop info;
    const uint8_t* src;
    size_t left;
};

} // namespace

LibpngPicture DecodeWithLibpng(const std::vector<uint8_t>& file)
{
    Reader r(file);
    png_read_info(r.png, r.info);
    LibpngPicture pic;
    pic.width = int(png_get_image_width(r.png, r.info));
    pic.height = int(png_get_image_height(r.png, r.info));
    pic.colorType = png_get_color_type(r.png, r.info);
    pic.bitDepth = png_get_bit_depth(r.png, r.info);
    pic.interlace = png_get_interlace_type(r.png, r.info);
    png_set_expand(r.png);
    png_set_strip_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    pic.rgba.resize(size_t(pic.width) * pic.height * 4);
    auto rows = r.Rows(pic.rgba, size_t(pic.width) * 4, pic.height);
    png_read_image(r.png, rows.data());
    png_read_end(r.png, nullptr);
    return pic;
}

std::vector<uint16_t> DecodeWithLibpng16(const std::vector<uint8_t>& file)
{
    Reader r(file);
    png_read_info(r.png, r.info);
    int width = int(png_get_image_width(r.png, r.info));
    int height = int(png_get_image_height(r.png, r.info));
    png_set_expand_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFFFF, PNG_FILLER_AFTER);
    png_set_swap(r.png);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    std::vector<uint8_t> bytes(size_t(width) * height * 8);
    auto rows = r.Rows(bytes, size_t(width) * 8, height);
    png_read_image(r.png, rows.data());
    std::vector<uint16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return out;
}

std::vector<std::string> ValidSuiteFiles()
{
    std::vector<std::string> out;
    for (const auto& f : FilesIn(kPngSuite, {".png"}))
        if (std::filesystem::path(f).filename().string()[0] != 'x')
            out.push_back(f);
    return out;
}

std::vector<std::string> ValidSuiteFolders()
{
    std::vector<std::string> out;
    for (const auto& f : ValidSuiteFiles()) {
        std::string folder = std::filesystem::path(f).parent_path().filename().string();
        if (std::find(out.begin(), out.end(), folder) == out.end())
            out.push_back(folder);
    }
    return out;
}

std::vector<std::string> ValidSuiteFilesIn(const std::string& folder)
{
    std::vector<std::string> out;
    for (const auto& f : ValidSuiteFiles())
        if (std::filesystem::path(f).parent_path().filename().string() == folder)
            out.push_back(f);
    return out;
}

std::vector<std::string> CorruptSuiteFiles()
{
    std::vector<std::string> out;
    for (const auto& f : FilesIn(kPngSuite, {".png"}))
        if (std::filesystem::path(f).filename().string()[0] == 'x')
            out.push_back(f);
    return out;
}

std::vector<uint8_t> ReadAll(const std::string& path)
{
    return ReadFileBytes(path);
}

void ExpectSamePixels(const png::TPNGObject& png, const LibpngPicture& ref)
{
    using namespace pc::png;
    ASSERT_EQ(png.Width(), ref.width);
    ASSERT_EQ(png.Height(), ref.height);
    const TChunkIHDR& h = png.Header();
    const auto alphas = png.Alphas();
    int mismatches = 0;
    for (int y = 0; y < ref.height && mismatches < 5; ++y)
        for (int x = 0; x < ref.width && mismatches < 5; ++x) {
            const uint8_t* p = ref.At(x, y);
            TColor want = RGB(png.GammaTable[p[0]], png.GammaTable[p[1]], png.GammaTable[p[2]]);
            TColor got = png.Pixels(x, y);
            if (h.ColorType == kGreyAlpha) { // the DIB byte through the grey ramp
                uint8_t g = png.GammaTable[h.Image.ScanLine(y)[x]];
                got = RGB(g, g, g);
            }
            int alpha = alphas[size_t(y) * size_t(ref.width) + size_t(x)];
            if (got != want || alpha != p[3]) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << got << " want " << want
                              << std::dec << " alpha " << alpha << " want " << int(p[3]);
                ++mismatches;
            }
        }
}

} // namespace pc::test
