#pragma once
// Artwork for the shipped templates, drawn here so every picture in them is
// our own: gradients, simple shapes and titles in the installed fonts, and a
// small 3DS model written from a mesh we build.
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace pc::probe {

// Top to bottom from one colour to the other.
Bitmap VerticalGradient(int width, int height, TColor top, TColor bottom);
// From the centre outwards.
Bitmap RadialGradient(int width, int height, TColor centre, TColor edge);

struct TitleStyle {
    std::string font = "Liberation Sans";
    int height = 24; // pixels of character height
    int weight = 700;
    TColor color = clWhite;
    bool italic = false;
    int escapement = 0; // tenths of a degree
};

// Text centred on x, its top at y.
void CentredTitle(Canvas& c, int x, int y, const std::string& text, const TitleStyle& style);
// Text running up the picture (a spine), centred in it.
void SpineTitle(Bitmap& b, const std::string& text, const TitleStyle& style);

void FilledEllipse(Canvas& c, Rect r, TColor color);
void FilledPolygon(Canvas& c, const std::vector<Point>& points, TColor color);

TColor Mix(TColor a, TColor b, double t);

// A faceted crystal (a hexagonal prism with pointed ends) as a 3DS file
// with one coloured material.
std::vector<uint8_t> CrystalModel3ds();

} // namespace pc::probe
