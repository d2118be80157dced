// make-resource DIR: writes the sample pictures and the sample 3DS model the
// picture and model dialogs open on: a box's front, spine and back, a disc
// label and a gift box model with its wrapping picture. The build runs it to
// make Resource/ beside the program.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/probe/probe_templates_art.h"
#include "app/probe/probe_templates_covers.h"
#include "codecs/png/png_object.h"
#include "platform/errors.h"
#include "platform/file_io.h"

namespace fs = std::filesystem;
using namespace pc::probe;

namespace {

// A box of 0.84 x 1.16 x 0.33 scene units, in 1/360 units.
constexpr double kFrontWidth = 304, kFrontHeight = 416, kDepth = 120;

void SavePng(const std::string& path, const pc::Bitmap& picture)
{
    pc::png::TPNGObject png;
    png.AssignBitmap(picture);
    png.SaveToFile(path);
    std::printf("%s: %d x %d\n", path.c_str(), picture.Width(), picture.Height());
}

int MakeResource(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-resource DIR\n");
        return 1;
    }
    const auto app = QuietGuiApplication(argv);
    const std::string folder = fs::absolute(argv[1]).string() + "/";
    const double scale = CoverScale(kFrontWidth, kFrontHeight);
    const struct {
        const char* file;
        CoverArt art;
        double width, height, scale;
    } pictures[] = {
        {"Cover Front.png", SoftwareFront, kFrontWidth, kFrontHeight, scale},
        {"Cover Spine.png", SoftwareSpine, kDepth, kFrontHeight, scale},
        {"Cover Back.png", SoftwareBack, kFrontWidth, kFrontHeight, scale},
        {"Disc Label.png", DiscLabel, 360, 360, CoverScale(360, 360)},
        {"giftwrap.png", GiftWrap, 180, 360, CoverScale(180, 360)},
    };
    try {
        fs::create_directories(folder);
        for (const auto& p : pictures)
            SavePng(folder + p.file, Paint(p.width, p.height, p.scale, [&](QPainter& q) { p.art(q, p.width, p.height); }));
        pc::WriteFileAtomic(folder + "Gift Box.3ds", GiftBoxModel3ds("giftwrap.png"));
        std::printf("%sGift Box.3ds\n", folder.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("make-resource", "DIR", MakeResource);

} // namespace
