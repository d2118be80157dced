// The picture readers behind the converters, from memory. The first byte
// picks the reader; the rest is the file.
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/tga_reader.h"

// fontconfig keeps its caches until exit; they are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Metafile text needs Qt's fonts.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::span<const uint8_t> file(data + 1, size - 1);
    // Small pictures keep each run fast; the checks are the same.
    const pc::PictureLimits limits{1024, 1 << 18};
    // Each reader at the picture's own size and shrunk row by row.
    for (int maxSide : {0, 64})
        try {
            switch (data[0] % 5) {
            case 0: pc::ReadTga(file, limits, maxSide); break;
            case 1: pc::ReadIcon(file, limits, maxSide); break;
            case 2: pc::PlayMetafile(file, limits, maxSide ? maxSide : 1024); break;
            case 3: pc::ReadBmp(file, limits, maxSide); break;
            case 4: pc::ReadJpeg(file, limits, maxSide); break;
            }
        } catch (const pc::Error&) {
        }
    return 0;
}
