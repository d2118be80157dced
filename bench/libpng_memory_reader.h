#pragma once
// libpng reading a PNG held in memory, for the benchmarks that set libpng
// beside our decoder. libpng's errors throw.
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

class LibpngMemoryReader {
public:
    explicit LibpngMemoryReader(const std::vector<uint8_t>& file) : file_(file)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
        info = png_create_info_struct(png);
        png_set_read_fn(png, this, [](png_structp p, png_bytep d, size_t n) {
            auto* self = static_cast<LibpngMemoryReader*>(png_get_io_ptr(p));
            if (n > self->file_.size() - self->pos_)
                png_error(p, "read past the end");
            std::copy_n(self->file_.data() + self->pos_, n, d);
            self->pos_ += n;
        });
    }
    ~LibpngMemoryReader() { png_destroy_read_struct(&png, &info, nullptr); }
    LibpngMemoryReader(const LibpngMemoryReader&) = delete;
    LibpngMemoryReader& operator=(const LibpngMemoryReader&) = delete;

    [[noreturn]] static void Fail(png_structp, png_const_charp message) { throw std::runtime_error(message); }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    const std::vector<uint8_t>& file_;
    size_t pos_ = 0;
};
