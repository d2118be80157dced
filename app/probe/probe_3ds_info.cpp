// 3ds-info: what the model reader makes of a 3DS file.
#include <cstdio>
#include <set>

#include "app/probe/probe_registry.h"
#include "scene/model/c3ds.h"

namespace {

int ThreeDsInfo(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: 3ds-info FILE\n");
        return 1;
    }
    pc::C3DS model;
    bool opened = model.Load(argv[1]);
    if (!opened || !model.Problem().empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], model.Problem().c_str());
        return 1;
    }
    for (const auto& o : model.Model().objects) {
        std::printf("object \"%s\" vertices %d faces %d texcoords %zu materials", o.name.c_str(), o.numVerts(),
                    o.numFaces(), o.texcoords.size());
        std::set<int> used;
        for (const auto& f : o.faces)
            used.insert(f.material);
        for (int m : used)
            std::printf(" %d", m);
        std::printf("\n");
    }
    for (const auto& m : model.Model().materials)
        std::printf("material \"%s\" color %d %d %d alpha %d map \"%s\"\n", m.name.c_str(), m.color[0], m.color[1],
                    m.color[2], m.alpha, m.mapFile.c_str());
    std::printf("bottom %.6f\n", model.Unitize());
    return 0;
}

pc::probe::ProbeRegistrar reg("3ds-info", "FILE", ThreeDsInfo);

} // namespace
