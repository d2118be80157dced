#pragma once
// What kind of picture a file holds: by the signature of its first bytes
// where it has one, else by its extension.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pc {

// Gif: a kind the program writes but does not read as a picture.
enum class PictureKind { Unknown, Bmp, Jpeg, Png, Tga, Metafile, Icon, Gif };

// How many leading bytes PictureKindOf looks at (an EMF's signature ends there).
inline constexpr size_t kPictureSignatureBytes = 44;

// By the upper-cased extension: .BMP, .JPG and .JPEG, .PNG, .TGA, .WMF and
// .EMF, .ICO and .CUR, .GIF; Unknown for anything else.
PictureKind PictureKindOfName(const std::string& path);
// By the file's leading bytes whatever its name, else by its name. A TGA has
// no signature: a header that looks like one gives Tga, and a .tga name wins
// over leading bytes that also pass for a cursor's.
PictureKind PictureKindOf(const std::string& path, std::span<const uint8_t> head);
// The same of the file at path, reading only its first bytes; throws
// FileError when it cannot be read.
PictureKind PictureKindOfFile(const std::string& path);

} // namespace pc
