// The project reader on arbitrary bytes: a clean ProjectError or a scene
// whose every blob lies inside the file.
#include <cstdint>
#include <cstdlib>

#include "app/project/project_file.h"

namespace {

void CheckBlob(const pc::project::ProjectSource& source, const pc::project::Blob& blob)
{
    if (blob.Present() && pc::project::BlobBytes(source, blob).size() != size_t(blob.size))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const pc::project::MemoryProjectSource source(std::span<const uint8_t>(data, size));
    try {
        auto r = pc::project::ReadProject(source);
        CheckBlob(source, r.scene.floorPicture);
        CheckBlob(source, r.scene.backgroundPicture);
        for (const auto& o : r.scene.objects) {
            if (!o)
                continue;
            for (const auto& f : o->faces)
                CheckBlob(source, f.picture);
            CheckBlob(source, o->model);
            for (const auto& m : o->materials)
                CheckBlob(source, m.picture);
            CheckBlob(source, o->text);
        }
    } catch (const pc::project::ProjectError&) {
    }
    return 0;
}
