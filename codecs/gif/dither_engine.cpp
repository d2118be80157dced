#include "codecs/gif/dither_engine.h"

#include "codecs/gif/dither_floyd_steinberg.h"
#include "codecs/gif/dither_kernels.h"
#include "codecs/gif/gif_errors.h"

namespace pc::gif {

uint8_t TDitherEngine::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    uint8_t index = lookup_.Lookup(red, green, blue, r, g, b);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextLine()
{
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

std::unique_ptr<TDitherEngine> CreateDitherEngine(TDitherMode mode, int width, TColorLookup& lookup)
{
    switch (mode) {
    case TDitherMode::dmNearest: return std::make_unique<TDitherEngine>(width, lookup);
    case TDitherMode::dmFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case TDitherMode::dmStucki: return std::make_unique<TStuckiDitherer>(width, lookup);
    case TDitherMode::dmSierra: return std::make_unique<TSierraDitherer>(width, lookup);
    case TDitherMode::dmJaJuNI: return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case TDitherMode::dmSteveArche: return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case TDitherMode::dmBurkes: return std::make_unique<TBurkesDitherer>(width, lookup);
    }
    RaiseGIFError("Invalid dither mode");
}

} // namespace pc::gif
