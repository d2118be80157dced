#include "editor/tools/filters.h"

#include <algorithm>

#include "platform/errors.h"

namespace pc::editor {

namespace {

struct Kernel {
    int weights[3][3];
    int start;
};

constexpr Kernel kKernels[] = {
    {{{5, 5, 5}, {5, 60, 5}, {5, 5, 5}}, 0},
    {{{0, -5, 0}, {-5, 30, -5}, {0, -5, 0}}, 0},
    {{{-15, -15, 0}, {-15, 15, 15}, {0, 15, 0}}, 128},
};

} // namespace

int FilterDivisor(FilterKind kind)
{
    switch (kind) {
    case FilterKind::Blur: return 100;
    case FilterKind::Sharpen: return 10;
    case FilterKind::Carve: return 1;
    }
    return 1;
}

void Filter3x3(Bitmap& area, FilterKind kind, int divisor)
{
    if (area.Format() != PixelFormat::pf24bit)
        throw Error("The filters work on 24-bit pictures");
    const Kernel& k = kKernels[int(kind)];
    divisor = std::max(divisor, 1);
    const Bitmap source = area;
    const int w = area.Width(), h = area.Height();
    for (int y = 1; y < h - 1; ++y) {
        const uint8_t* rows[3] = {source.ScanLine(y - 1), source.ScanLine(y), source.ScanLine(y + 1)};
        uint8_t* out = area.ScanLine(y);
        for (int x = 1; x < w - 1; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = k.start;
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < 3; ++i)
                        sum += k.weights[j][i] * rows[j][(x - 1 + i) * 3 + c];
                out[x * 3 + c] = uint8_t(std::clamp(sum / divisor, 0, 255));
            }
    }
}

} // namespace pc::editor
