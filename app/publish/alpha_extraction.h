#pragma once
// Straight alpha from two renders of one scene, on black and on white.
#include "platform/bitmap.h"

namespace pc {

// Returns false, and leaves out untouched, when the two renders differ in size.
// Otherwise out becomes a 32-bit picture: colour in the first three bytes,
// alpha in the fourth.
bool AlphaFromWhiteBlack(const Bitmap& white, const Bitmap& black, Bitmap& out);

} // namespace pc
