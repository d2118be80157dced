#pragma once
// The preview panel takes the aspect of the output picture, so the preview
// frames exactly what gets published.
#include <string>

namespace pc {

struct PanelSize {
    int width = 1;
    int height = 1;
};

// The panel for an output of outW x outH inside a scroll box whose client
// area is clientW x clientH: the longer side gets min(client) - 60 pixels, or
// 200 for a quick preview. The scale is a 32-bit float, so 400 x 200 in
// 440 x 500 gives 379 x 189. Never below 1 x 1.
PanelSize FitPreview(int outW, int outH, int clientW, int clientH, bool quick);

// The output side typed into a width or height edit: its number, 0 when it
// is none (the track bar then clamps it to its minimum).
int SideFromEditText(const std::string& text);

} // namespace pc
