#pragma once
// Replaces the global and every local colour map of a GIF picture with one
// global map holding only the colours the frames use, most used first, plus
// a black entry for transparency when any frame shows its transparent
// colour or a screen that had no global map shows its (transparent)
// background; every frame's pixels are remapped to it.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/gif/gif_color_map.h"

namespace pc::gif {

class TGIFImage;
class TGIFSubImage;

class TColorMapOptimizer {
public:
    explicit TColorMapOptimizer(TGIFImage& image);
    ~TColorMapOptimizer();
    TColorMapOptimizer(const TColorMapOptimizer&) = delete;
    TColorMapOptimizer& operator=(const TColorMapOptimizer&) = delete;

    // True when every colour a frame shows kept its exact value; more than
    // 256 of them (255 with transparency) leave the rest on the nearest kept
    // one, or, with onlyExact, the image as it was.
    bool Optimize(bool onlyExact = false);

    struct TColorRec {
        int64_t Count = 0; // pixels using the entry; -1 once pruned
        int Index = 0;     // in the source map
        int NewIndex = 256;
        TGIFColor Color;
        TColorRec* MergedInto = nullptr; // the record of the same colour that survives
    };
    class THistogram;

private:
    void BuildColorMap();
    // The screen's background colour stays in the map when there is room.
    void KeepBackground(TGIFColor background);
    // The first frame and the background share the transparent entry.
    void ClearBackground();
    void BuildGlobalMap();

    TGIFImage& image_;
    std::vector<std::unique_ptr<THistogram>> histograms_;
    std::vector<TColorRec*> colorList_;
    std::vector<TGIFColor> colorMap_;
    bool useTransparency_ = false;
    bool exact_ = true;
    int newTransparentColorIndex_ = 0;
};

} // namespace pc::gif
