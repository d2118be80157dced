// project-info FILE: sections, flags, objects and blobs of a project file,
// and the size of every face and material picture.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "app/probe/probe_registry.h"
#include "app/project/project_blobs.h"
#include "app/project/project_file.h"
#include "platform/bmp_file.h"

namespace {

using namespace pc::project;

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

// Face and material pictures are stored as the BMP work files they were
// made into. Their headers say their size: a few kilobytes of RLE codes may
// declare 16384 x 16384 pixels, which are not decoded to be counted.
void PrintPictureSize(const std::string& what, const Blob& b, FileProjectSource& file)
{
    if (!b.Present())
        return;
    try {
        const pc::BmpInfo picture = pc::ReadBmpInfo(file.Read(b.start, std::min<int64_t>(b.size, 256)));
        std::printf("  %s picture %lld x %lld\n", what.c_str(), static_cast<long long>(picture.width),
                    static_cast<long long>(picture.height));
    } catch (const pc::Error& e) {
        std::printf("  %s picture unreadable: %s\n", what.c_str(), e.what());
    }
}

void PrintBlob(const char* what, const Blob& b)
{
    if (b.Present())
        std::printf("  blob %-14s start %lld size %lld\n", what, static_cast<long long>(b.start),
                    static_cast<long long>(b.size));
}

// Bytes of the blobs the scene carries, a blob that several places share
// (one picture of many materials) counted once.
int64_t BlobBytesOf(const Scene& s)
{
    std::set<std::pair<int64_t, int64_t>> seen;
    int64_t total = 0;
    ForEachBlob(s, [&](const BlobPlace&, int, const Blob& b, const KeptBytes&) {
        if (b.Present() && seen.emplace(b.start, b.size).second)
            total += b.size;
    });
    return total;
}

int ProjectInfo(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: project-info FILE\n");
        return 2;
    }
    std::optional<FileProjectSource> file;
    ReadResult r;
    try {
        file.emplace(argv[1]);
        r = ReadProject(*file);
    } catch (const pc::Error& e) {
        std::fprintf(stderr, "Can not load file:\n%s\n%s\n", argv[1], e.what());
        return 1;
    }
    const Scene& s = r.scene;
    std::printf("version %g, author \"%s\", date \"%s\"\n", s.version, s.author.c_str(), s.date.c_str());
    std::printf("export %dx%d, camera (%d,%d,%d) look-at (%d,%d,%d) angle %d, light (%d,%d,%d)\n", s.exportW, s.exportH,
                s.cameraX, s.cameraY, s.cameraZ, s.lookAtX, s.lookAtY, s.lookAtZ, s.lookAtA, s.lightX, s.lightY, s.lightZ);
    std::printf("axis %s, light marker %s, shadow %s, transparent background %s\n", OnOff(s.drawAxis),
                OnOff(s.drawLight), OnOff(s.shadowVisible), OnOff(s.transparentBackground));
    std::printf("floor texture %d colour %06X, background texture %d colour %06X\n", s.floorTextureId, s.floorColour,
                s.backgroundTextureId, s.backgroundColour);
    PrintBlob("floor", s.floorPicture);
    PrintBlob("background", s.backgroundPicture);
    int objects = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        const auto& o = s.objects[size_t(slot)];
        if (!o)
            continue;
        ++objects;
        std::printf("object [%d] kind %d \"%s\" %s\n", slot, o->kind, o->name.c_str(), o->visible ? "visible" : "hidden");
        for (int j = 0; j < kFaces; ++j) {
            std::string n = "face " + std::to_string(j);
            PrintBlob(n.c_str(), o->faces[size_t(j)].picture);
            if (o->kind != kKindModel)
                PrintPictureSize(n, o->faces[size_t(j)].picture, *file);
        }
        PrintBlob("model", o->model);
        for (size_t m = 0; m < o->materials.size(); ++m) {
            std::string n = "material " + std::to_string(m);
            PrintBlob(n.c_str(), o->materials[m].picture);
            PrintPictureSize(n, o->materials[m].picture, *file);
        }
        PrintBlob("text", o->text);
    }
    for (const auto& w : r.warnings)
        std::printf("warning: %s\n", w.c_str());
    const int64_t total = BlobBytesOf(s);
    const std::vector<uint8_t> iniLength = file->Read(file->Size() - 4, 4);
    const int64_t blobArea = file->Size() - 8 -
                             int64_t(uint32_t(iniLength[0]) | uint32_t(iniLength[1]) << 8 |
                                     uint32_t(iniLength[2]) << 16 | uint32_t(iniLength[3]) << 24);
    std::printf("%d objects, %lld blob bytes of %lld in the blob area: %s\n", objects, static_cast<long long>(total),
                static_cast<long long>(blobArea), total == blobArea ? "sizes add up" : "sizes do NOT add up");
    return total == blobArea ? 0 : 1;
}

pc::probe::ProbeRegistrar reg("project-info", "FILE", ProjectInfo);

} // namespace
