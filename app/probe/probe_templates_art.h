#pragma once
// Artwork for the shipped templates and the sample pictures, drawn here so
// every picture in them is our own: smooth (anti-aliased) gradients, shapes
// and titles in the installed fonts, and small 3DS models written from meshes
// we build.
#include <QColor>
#include <QPainter>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc::probe {

// The long side of every cover front, in pixels.
inline constexpr int kCoverLongSide = 1024;

// A picture designed on a width x height grid and painted `scale` times
// larger, anti-aliased; the painter draws in design units.
Bitmap Paint(double width, double height, double scale, const std::function<void(QPainter&)>& draw);
// The scale that brings a design's long side to kCoverLongSide.
double CoverScale(double width, double height);

QColor Rgb(int r, int g, int b);
QColor Mix(const QColor& a, const QColor& b, double t);

// The whole design area from one colour at the top to the other at the bottom.
void VerticalGradient(QPainter& p, double width, double height, const QColor& top, const QColor& bottom);

struct TitleStyle {
    std::string font = "Liberation Sans";
    double height = 24; // pixel size of the font, design units
    int weight = 700;
    QColor color = Qt::white;
    bool italic = false;
    double spacing = 0; // extra letter spacing, design units
};

// Text centred on x with its top at y.
void CentredTitle(QPainter& p, double x, double y, const std::string& text, const TitleStyle& style);
// Text starting at x with its top at y.
void LeftTitle(QPainter& p, double x, double y, const std::string& text, const TitleStyle& style);
// Text running down a spine width x height, centred in it.
void SpineTitle(QPainter& p, double width, double height, const std::string& text, const TitleStyle& style);

// A 3DS file of one mesh with flat-shaded faces, one material and, when
// mapFile is not empty, texture coordinates and the material's map file.
struct MeshPart {
    std::vector<std::array<float, 3>> corners; // three per face, y up
    std::vector<std::array<float, 2>> uv;      // one per corner, or empty
};
std::vector<uint8_t> Model3ds(const std::string& name, const MeshPart& mesh, const QColor& colour,
                              const std::string& mapFile);

// A faceted crystal: a hexagonal prism with pointed ends, coloured.
std::vector<uint8_t> CrystalModel3ds();
// A gift box with its lid, textured by the picture named mapFile.
std::vector<uint8_t> GiftBoxModel3ds(const std::string& mapFile);

} // namespace pc::probe
