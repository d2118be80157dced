#pragma once
// The cover pictures of the shipped templates, each drawn from gradients,
// simple shapes and titles in the installed fonts.
#include "platform/bitmap.h"

namespace pc::probe {

Bitmap SoftwareFront();
Bitmap SoftwareSpine();
Bitmap SoftwareTop();
Bitmap BookFront();
Bitmap BookSpine();
Bitmap Pages(int width, int height); // the page edges of a book
Bitmap DiscLabel();
Bitmap CaseCover();
Bitmap NoteCover();
Bitmap AtlasCover();
Bitmap AtlasSpine();
Bitmap TinCover();
Bitmap TinSide();

} // namespace pc::probe
