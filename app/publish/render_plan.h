#pragma once
// The arithmetic of an off-screen render: supersampling scale, rendered size,
// pass count and tiles; and the factor of the enhanced ("Convolution") mode.
#include <vector>

namespace pc {

enum class AntiAlias { Auto, Accumulation, Halftone, None, Convolution };

struct RenderPlan {
    float scale = 1;
    int renderW = 1, renderH = 1; // the supersampled size, at least 1 each
    int passes = 1;
};

// W x H output on a desktop of dw x dh; never for Convolution.
RenderPlan PlanRender(int W, int H, int dw, int dh, AntiAlias method);

struct Tile {
    int left, top, width, height;
    int readX, readY; // origin in GL window coordinates (bottom-left)
};

// Tiles of at most tw x th covering rw x rh, rows from the top, tiles from the left.
std::vector<Tile> PlanTiles(int rw, int rh, int tw, int th);

struct LargePlan {
    float factor = 8;
    int width = 1, height = 1;
};

// Enhanced mode: 8x the output, the longer side at most 4096.
LargePlan PlanLargeRender(int W, int H);

} // namespace pc
