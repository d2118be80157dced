// picture: converts a picture file to a BMP the way LoadTexture picks its
// converter, by extension, and tells the most bitmap memory it took.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "platform/bitmap.h"
#include "scene/pictures/picture_converters.h"

namespace {

int Picture(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: picture SRC OUT.bmp\n");
        return 2;
    }
    // Metafile text is drawn with Qt's fonts.
    const auto app = pc::probe::QuietGuiApplication(argv);
    pc::BitmapMemory::ResetPeak();
    try {
        pc::ConvertPictureFile(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    std::printf("peak bitmap memory: %lld bytes\n", static_cast<long long>(pc::BitmapMemory::Peak()));
    return 0;
}

pc::probe::ProbeRegistrar reg("picture", "SRC OUT.bmp", Picture);

} // namespace
