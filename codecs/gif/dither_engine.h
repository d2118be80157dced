#pragma once
// Dither engines sit between the pixels of a row and a colour lookup. Rows
// are visited in serpentine order: left to right, then right to left.
//
// Use: for each row, while 0 <= Column() < width, read the source pixel at
// Column(), store DitherPixel's index there; then NextLine().
#include <cstdint>
#include <memory>

#include "codecs/gif/color_lookup.h"

namespace pc::gif {

enum class TDitherMode { dmNearest, dmFloydSteinberg, dmStucki, dmSierra, dmJaJuNI, dmSteveArche, dmBurkes };

inline TDitherMode GIFImageDefaultDitherMode = TDitherMode::dmNearest;

// The plain engine: every pixel maps by its own colour.
class TDitherEngine {
public:
    // The lookup is not owned and must outlive the engine.
    TDitherEngine(int width, TColorLookup& lookup) : width_(width > 0 ? width : 0), lookup_(lookup) {}
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    int Width() const { return width_; }
    int Direction() const { return direction_; }
    int Column() const { return column_; }

    // Index for the pixel at Column() and the chosen entry's colour; then
    // moves Column() by Direction().
    virtual uint8_t DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b);
    // Moves past the pixel at Column() without output (a transparent pixel):
    // it spreads no error, and what it received is dropped.
    virtual void StepOver() { column_ += direction_; }
    virtual void NextLine();

protected:
    int width_;
    int direction_ = 1;
    int column_ = 0;
    TColorLookup& lookup_;
};

// Raises "Invalid dither mode" for a value outside TDitherMode.
std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherMode mode, int width, TColorLookup& lookup);

} // namespace pc::gif
