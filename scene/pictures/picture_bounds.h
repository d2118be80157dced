#pragma once
// How large a picture entering the scene is kept.

namespace pc {

// A face, floor or background picture becomes a texture of at most a power of
// two on a side; none needs more than this on its longer side. Larger
// pictures are shrunk to it while they are read, never held at full size.
inline constexpr int kScenePictureSide = 4096;

} // namespace pc
