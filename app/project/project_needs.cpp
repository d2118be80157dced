#include "app/project/project_needs.h"

#include <set>
#include <utility>

#include "app/project/project_blobs.h"
#include "platform/bmp_file.h"
#include "platform/checked_size.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/texture_memory.h"

namespace pc::project {

namespace {

class Judge {
public:
    Judge(const ProjectSource& source, ProjectNeeds& needs) : source_(source), needs_(needs) {}

    void Picture(const Blob& blob, const std::string& name)
    {
        if (!blob.Present())
            return;
        // The header is in the first bytes; a picture that does not load is
        // written back as it was read.
        const std::vector<uint8_t> head = source_.Read(blob.start, std::min<int64_t>(blob.size, 256));
        BmpInfo info;
        try {
            info = ReadBmpInfo(head);
        } catch (const Error&) {
            needs_.resaveBlobBytes += blob.size;
            return;
        }
        const PictureSize fit = FitInside(int(info.width), int(info.height), kScenePictureSide);
        const bool shrunk = fit.width != info.width || fit.height != info.height;
        const int bits = shrunk || info.bits == 16 ? 24 : info.bits;
        const int64_t palette = bits <= 8 ? (int64_t(4) << bits) : 0;
        needs_.resaveBlobBytes += 54 + palette + DibStride(fit.width, bits) * fit.height;
        needs_.pictures.push_back({name, TextureBytes(fit.width, fit.height)});
    }
    void Other(const Blob& blob) { needs_.resaveBlobBytes += blob.size; }

private:
    const ProjectSource& source_;
    ProjectNeeds& needs_;
};

} // namespace

ProjectNeeds JudgeProject(const ProjectSource& source, const Scene& scene, const PictureNamer& name)
{
    ProjectNeeds needs;
    Judge judge(source, needs);
    // Materials of the scene that name the same bytes load as one texture.
    std::set<std::pair<int64_t, int64_t>> materials;
    ForEachBlob(scene, [&](const BlobPlace& place, int, const Blob& blob, const KeptBytes&) {
        if (place.kind == BlobKind::Picture && place.index < 0) {
            if (!materials.insert({blob.start, blob.size}).second)
                return;
        }
        if (place.kind != BlobKind::Picture)
            judge.Other(blob);
        else if (place.slot < 0)
            judge.Picture(blob, place.index == 0 ? "Floor" : "Background");
        else
            judge.Picture(blob, name(place.slot, place.index));
    });
    for (const Blob& b : scene.unreferenced)
        judge.Other(b);
    return needs;
}

void CheckProjectNeeds(const ProjectNeeds& needs, int64_t freed)
{
    if (needs.resaveBlobBytes > kMaxProjectBlobBytes)
        throw ProjectError("Saved again, its pictures, models and texts would take " +
                           MegabytesText(needs.resaveBlobBytes) + ", more than the " +
                           MegabytesText(kMaxProjectBlobBytes) + " a project file can hold.");
    const TextureMemory& memory = TextureMemory::Scene();
    int64_t before = 0;
    for (const PictureNeed& p : needs.pictures) {
        memory.Check(p.name, p.textureBytes, freed - before);
        before += p.textureBytes;
    }
}

} // namespace pc::project
