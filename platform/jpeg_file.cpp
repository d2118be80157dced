#include "platform/jpeg_file.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/bitmap_reducer.h"
#include "platform/errors.h"
#include "platform/file_io.h"

namespace pc {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
// It jumps back to the one frame that set the jump buffer; that frame holds
// no C++ object with a destructor, so nothing is skipped.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool endsInScanData = false; // set once the header is read: the bytes end inside the one scan's data
    bool sawEnd = false;         // the data ran out; libjpeg goes on with an end marker
};

// Whether the last marker in the bytes is a complete scan header, so that
// they end inside entropy-coded data (where 0xFF is followed by 0 or is a
// restart marker) rather than inside a table or header segment.
bool EndsInScanData(std::span<const uint8_t> d)
{
    for (size_t i = d.size(); i-- > 1;) {
        const uint8_t m = d[i];
        if (d[i - 1] != 0xFF || m == 0x00 || m == 0xFF || (m >= 0xD0 && m <= 0xD7))
            continue;
        if (m != 0xDA || i + 2 >= d.size())
            return false;
        const size_t length = size_t(d[i + 1]) << 8 | d[i + 2];
        return i + 1 + length <= d.size();
    }
    return false;
}

void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

constexpr char kCutShort[] = "the file is cut short";

// Warnings stay silent, but for data that ends too soon: libjpeg would go on
// with made-up data to the picture's declared size. Running out of bytes
// alone is not that: the Huffman decoder reads ahead, so a file that only
// lacks its end marker runs out after its last block. It is cut short when a
// block then needed bits that were not there, or when the bytes end anywhere
// but in a scan's data.
void QuietMessage(j_common_ptr cinfo, int level)
{
    if (level != -1)
        return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (code == JWRN_JPEG_EOF)
        err->sawEnd = true;
    const bool arithmetic = cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->arith_code;
    const bool cutShort = (code == JWRN_JPEG_EOF && (!err->endsInScanData || arithmetic)) ||
                          (code == JWRN_HIT_MARKER && err->sawEnd);
    if (cutShort) {
        std::snprintf(err->message, sizeof err->message, "%s", kCutShort);
        std::longjmp(err->jump, 1);
    }
}

// A crafted progressive file can hold thousands of tiny scans; real ones
// have a handful.
constexpr int kMaxScans = 500;
// Every scan visits each block of its components, however little it holds
// for them: a few hundred scans of end-of-band runs over millions of blocks
// would take many seconds. Real files visit a block about ten times at most;
// 2^26 visits is 32 for a picture the coefficient budget just allows.
constexpr int64_t kMaxScanBlocks = int64_t(1) << 26;

// The blocks the scans read so far visit, counted as each scan starts.
struct ScanWork {
    int counted = 0;
    int64_t blocks = 0;
};

[[noreturn]] void Refuse(j_common_ptr cinfo, const char* reason)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", reason);
    std::longjmp(err->jump, 1);
}

// Runs before each row and after each scan header, so a scan is counted
// before any of its data is decoded.
void ProgressMonitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans)
        Refuse(cinfo, "too many scans");
    auto* work = static_cast<ScanWork*>(d->client_data);
    if (d->input_scan_number == work->counted)
        return;
    work->counted = d->input_scan_number;
    for (int i = 0; i < d->comps_in_scan; ++i)
        work->blocks += int64_t(d->cur_comp_info[i]->width_in_blocks) * d->cur_comp_info[i]->height_in_blocks;
    if (work->blocks > kMaxScanBlocks)
        Refuse(cinfo, "too many scans for the size of the picture");
}

void InstallErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = QuietMessage;
    err.pub.output_message = [](j_common_ptr) {};
    err.message[0] = 0;
}

struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
    ScanWork scans;
    Bitmap* out;
    RowReducer* rows = nullptr;
    bool tooLarge = false;
    bool cmyk = false;
};

// Reads the header and checks the size; the caller then allocates. With
// maxSide above 0, libjpeg scales a larger picture down by 2, 4 or 8 while
// decoding: the most that keeps it at least maxSide, so that averaging
// the rows down the rest of the way loses nothing.
bool DecodeHeader(DecodeState& s, const uint8_t* data, unsigned long size, int maxSide = 0)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_mem_src(&s.cinfo, data, size);
    jpeg_read_header(&s.cinfo, TRUE);
    switch (s.cinfo.jpeg_color_space) {
    case JCS_CMYK:
    case JCS_YCCK:
        s.cinfo.out_color_space = JCS_CMYK;
        s.cmyk = true;
        break;
    default:
        s.cinfo.out_color_space = JCS_EXT_BGR;
        break;
    }
    if (maxSide > 0) {
        const JDIMENSION side = std::max(s.cinfo.image_width, s.cinfo.image_height);
        s.cinfo.scale_num = 1;
        s.cinfo.scale_denom = 1;
        while (s.cinfo.scale_denom < 8 && side >= JDIMENSION(maxSide) * s.cinfo.scale_denom * 2)
            s.cinfo.scale_denom *= 2;
    }
    jpeg_calc_output_dimensions(&s.cinfo);
    return true;
}

// Decodes row by row into s.rows, unpacking CMYK in place.
bool DecodePixels(DecodeState& s, uint8_t* cmykRow, uint8_t* bgrRow)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_start_decompress(&s.cinfo);
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = s.cmyk ? cmykRow : bgrRow;
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1)
            return false;
        if (s.cmyk) {
            // Adobe writes CMYK inverted, which is how almost every CMYK
            // JPEG is stored.
            const bool inverted = s.cinfo.saw_Adobe_marker;
            for (JDIMENSION x = 0; x < s.cinfo.output_width; ++x) {
                unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], yy = cmykRow[4 * x + 2], k = cmykRow[4 * x + 3];
                if (!inverted)
                    c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
                bgrRow[3 * x] = uint8_t(yy * k / 255);
                bgrRow[3 * x + 1] = uint8_t(m * k / 255);
                bgrRow[3 * x + 2] = uint8_t(c * k / 255);
            }
        }
        s.rows->PutRow(bgrRow);
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

// Decodes into an 8-bit picture through libjpeg's two-pass quantizer.
bool DecodeQuantized(DecodeState& s, int maxColors)
{
    if (setjmp(s.err.jump))
        return false;
    s.cinfo.out_color_space = JCS_RGB;
    s.cinfo.quantize_colors = TRUE;
    s.cinfo.desired_number_of_colors = maxColors;
    s.cinfo.two_pass_quantize = TRUE;
    s.cinfo.dither_mode = JDITHER_FS;
    jpeg_start_decompress(&s.cinfo);
    *s.out = Bitmap(int(s.cinfo.output_width), int(s.cinfo.output_height), PixelFormat::pf8bit);
    auto& pal = s.out->Palette();
    pal.resize(size_t(s.cinfo.actual_number_of_colors));
    for (int i = 0; i < s.cinfo.actual_number_of_colors; ++i)
        pal[size_t(i)] = RGBQuad{s.cinfo.colormap[2][i], s.cinfo.colormap[1][i], s.cinfo.colormap[0][i], 0};
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        JSAMPROW row = s.out->ScanLine(int(s.cinfo.output_scanline));
        if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

// The picture as the file declares it, before any scaling down, is at
// most limits.maxPixels.
void CheckDeclaredSize(const jpeg_decompress_struct& c, const PictureLimits& limits)
{
    if (CheckedMul(c.image_width, c.image_height) > limits.maxPixels)
        throw BadInput("The picture is too large (" + std::to_string(c.image_width) + " x " +
                       std::to_string(c.image_height) + " pixels): more than the " + std::to_string(limits.maxPixels) +
                       " pixels a picture may have");
}

// Huffman coding spends at least one bit on every block of a component (its
// DC difference), so a few hundred bytes cannot hold a picture of millions
// of blocks: such a file is cut short, whatever libjpeg would make of it.
void CheckDataPresent(const jpeg_decompress_struct& c, size_t dataBytes)
{
    if (c.arith_code)
        return;
    int64_t fewest = INT64_MAX;
    for (int i = 0; i < c.num_components; ++i)
        fewest = std::min(fewest, CheckedMul(c.comp_info[i].width_in_blocks, c.comp_info[i].height_in_blocks));
    if (fewest > CheckedMul(int64_t(dataBytes), 8))
        throw BadInput(std::string("JPEG error: ") + kCutShort);
}

struct DecompressGuard {
    jpeg_decompress_struct* c;
    ~DecompressGuard() { jpeg_destroy_decompress(c); }
};

struct CompressState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool EncodeRows(CompressState& s, const Bitmap& bmp, int quality)
{
    if (setjmp(s.err.jump))
        return false;
    jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
    s.cinfo.image_width = JDIMENSION(bmp.Width());
    s.cinfo.image_height = JDIMENSION(bmp.Height());
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(bmp.ScanLine(int(s.cinfo.next_scanline)));
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

} // namespace

Bitmap ReadJpeg(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    if (data.empty())
        throw BadInput("Empty JPEG file");
    auto s = std::make_unique<DecodeState>();
    InstallErrors(s->err);
    s->cinfo.err = &s->err.pub;
    jpeg_create_decompress(&s->cinfo);
    DecompressGuard guard{&s->cinfo};
    s->progress.progress_monitor = ProgressMonitor;
    s->cinfo.progress = &s->progress;
    s->cinfo.client_data = &s->scans;
    // The coefficients are checked against the budget below; the rest is
    // room for libjpeg's row buffers (a few MB at the widest), so that what
    // passes the check decodes.
    s->cinfo.mem->max_memory_to_use = kPictureMemoryBudget + (int64_t(16) << 20);
    if (!DecodeHeader(*s, data.data(), static_cast<unsigned long>(data.size()), maxSide))
        throw BadInput(std::string("JPEG error: ") + s->err.message);
    CheckDeclaredSize(s->cinfo, limits);
    const int64_t width = s->cinfo.output_width, height = s->cinfo.output_height;
    CheckPictureSize(width, height, limits);
    // A picture of several scans (progressive, or sequential with its
    // components in scans of their own) is held whole as coefficients (64 of
    // 2 bytes a block) until its last scan, whatever the output size.
    const bool severalScans = s->cinfo.progressive_mode || s->cinfo.comps_in_scan < s->cinfo.num_components;
    if (severalScans) {
        int64_t coefficients = 0;
        for (int c = 0; c < s->cinfo.num_components; ++c) {
            const jpeg_component_info& comp = s->cinfo.comp_info[c];
            coefficients = CheckedAdd(coefficients, CheckedMul(CheckedMul(comp.width_in_blocks, comp.height_in_blocks), 128));
        }
        CheckPictureBytes(coefficients, s->cinfo.image_width, s->cinfo.image_height);
    }
    const PictureSize fit = maxSide > 0 ? FitInside(int(width), int(height), maxSide) : PictureSize{int(width), int(height)};
    if (fit.width == width && fit.height == height)
        CheckPictureMemory(width, height, 24);
    CheckDataPresent(s->cinfo, s->cinfo.src->bytes_in_buffer);
    // A picture of several scans cut between two of them is short of scans;
    // only one whose one scan holds every component may lack just its end.
    s->err.endsInScanData = !severalScans && EndsInScanData(data);
    RowReducer rows(int(width), int(height), fit, false);
    std::vector<uint8_t> cmykRow(s->cmyk ? size_t(width) * 4 : 0);
    std::vector<uint8_t> bgrRow(size_t(width) * 3);
    s->rows = &rows;
    if (!DecodePixels(*s, cmykRow.data(), bgrRow.data()))
        throw BadInput(std::string("JPEG error: ") + (s->err.message[0] ? s->err.message : "truncated"));
    return rows.Take();
}

Bitmap LoadJpegFile(const std::string& path, const PictureLimits& limits, int maxSide)
{
    return ReadJpeg(ReadFileBytes(path, kPictureFileBytes), limits, maxSide);
}

std::vector<uint8_t> EncodeJpeg(const Bitmap& bmp, int quality)
{
    if (bmp.Empty())
        throw Error("Cannot write an empty picture as JPEG");
    Bitmap copy;
    const Bitmap* src = &bmp;
    if (bmp.Format() != PixelFormat::pf24bit) {
        copy = bmp;
        copy.SetPixelFormat(PixelFormat::pf24bit);
        src = &copy;
    }
    auto s = std::make_unique<CompressState>();
    InstallErrors(s->err);
    s->cinfo.err = &s->err.pub;
    jpeg_create_compress(&s->cinfo);
    bool ok = EncodeRows(*s, *src, std::clamp(quality, 1, 100));
    jpeg_destroy_compress(&s->cinfo);
    std::vector<uint8_t> bytes;
    if (ok)
        bytes.assign(s->buffer, s->buffer + s->size);
    std::free(s->buffer);
    if (!ok)
        throw Error(std::string("JPEG error: ") + s->err.message);
    return bytes;
}

Bitmap QuantizeThroughJpeg(const Bitmap& src, int maxColors)
{
    if (maxColors < 8 || maxColors > 256)
        throw Error("Invalid colour count");
    const std::vector<uint8_t> jpeg = EncodeJpeg(src, 100);
    auto s = std::make_unique<DecodeState>();
    InstallErrors(s->err);
    s->cinfo.err = &s->err.pub;
    jpeg_create_decompress(&s->cinfo);
    DecompressGuard guard{&s->cinfo};
    Bitmap out;
    s->out = &out;
    if (!DecodeHeader(*s, jpeg.data(), static_cast<unsigned long>(jpeg.size())) || !DecodeQuantized(*s, maxColors))
        throw Error(std::string("JPEG error: ") + s->err.message);
    return out;
}

void SaveJpegFile(const std::string& path, const Bitmap& bmp, int quality)
{
    WriteFileAtomic(path, EncodeJpeg(bmp, quality));
}

} // namespace pc
