// The 3DS reader on arbitrary bytes: it may report a problem, never crash,
// and must leave only faces that index real vertices and materials.
#include <cstdint>
#include <cstdlib>

#include "scene/model/c3ds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pc::C3DS model;
    model.LoadFromBytes({data, size});
    int materials = int(model.Model().materials.size());
    for (const auto& o : model.Model().objects)
        for (const auto& f : o.faces)
            if (f.a >= o.verts.size() || f.b >= o.verts.size() || f.c >= o.verts.size() || f.material >= materials)
                std::abort();
    model.Unitize();
    return 0;
}
