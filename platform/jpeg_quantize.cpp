#include "platform/jpeg_quantize.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <string>

#include "platform/errors.h"

namespace pc {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back and throw from C++ code outside libjpeg's frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

} // namespace

Bitmap QuantizeThroughJpeg(const Bitmap& source, int maxColors)
{
    Bitmap src = source;
    src.SetPixelFormat(PixelFormat::pf24bit);
    if (src.Empty())
        throw Error("Cannot reduce an empty picture");
    if (maxColors < 8 || maxColors > 256)
        throw Error("Invalid colour count");

    unsigned char* jpegData = nullptr;
    unsigned long jpegSize = 0;
    std::vector<uint8_t> row(size_t(src.Width()) * 3);

    jpeg_compress_struct c{};
    ErrorManager cerr{};
    c.err = jpeg_std_error(&cerr.pub);
    cerr.pub.error_exit = ErrorExit;
    if (setjmp(cerr.jump)) {
        jpeg_destroy_compress(&c);
        std::free(jpegData);
        throw Error(std::string("JPEG error: ") + cerr.message);
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &jpegData, &jpegSize);
    c.image_width = JDIMENSION(src.Width());
    c.image_height = JDIMENSION(src.Height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        const uint8_t* s = src.ScanLine(int(c.next_scanline));
        for (int x = 0; x < src.Width(); ++x) {
            row[size_t(x) * 3] = s[x * 3 + 2];
            row[size_t(x) * 3 + 1] = s[x * 3 + 1];
            row[size_t(x) * 3 + 2] = s[x * 3];
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);

    Bitmap out;
    jpeg_decompress_struct d{};
    ErrorManager derr{};
    d.err = jpeg_std_error(&derr.pub);
    derr.pub.error_exit = ErrorExit;
    if (setjmp(derr.jump)) {
        jpeg_destroy_decompress(&d);
        std::free(jpegData);
        throw Error(std::string("JPEG error: ") + derr.message);
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpegData, jpegSize);
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    d.quantize_colors = TRUE;
    d.desired_number_of_colors = maxColors;
    d.two_pass_quantize = TRUE;
    d.dither_mode = JDITHER_FS;
    jpeg_start_decompress(&d);
    out = Bitmap(int(d.output_width), int(d.output_height), PixelFormat::pf8bit);
    auto& pal = out.Palette();
    pal.resize(size_t(d.actual_number_of_colors));
    for (int i = 0; i < d.actual_number_of_colors; ++i)
        pal[size_t(i)] = RGBQuad{d.colormap[2][i], d.colormap[1][i], d.colormap[0][i], 0};
    while (d.output_scanline < d.output_height) {
        JSAMPROW r = out.ScanLine(int(d.output_scanline));
        jpeg_read_scanlines(&d, &r, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::free(jpegData);
    return out;
}

} // namespace pc
