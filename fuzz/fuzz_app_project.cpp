// The project reader on arbitrary bytes: a clean ProjectError or a scene
// whose every blob lies inside the file.
#include <cstdint>
#include <cstdlib>

#include "app/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> file(data, size);
    try {
        auto r = pc::project::ReadProject(file);
        for (const auto& o : r.scene.objects)
            if (o)
                for (const auto& f : o->faces)
                    if (f.picture.Present() && pc::project::BlobBytes(file, f.picture).size() != size_t(f.picture.size))
                        std::abort();
    } catch (const pc::project::ProjectError&) {
    }
    return 0;
}
