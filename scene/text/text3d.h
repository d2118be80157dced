#pragma once
// 3D text: UTF-8 text drawn as extruded glyphs from the glyph cache at the
// current modelview position, one em per unit, lines going down along -y.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_outline.h"

namespace pc {

// Code points of UTF-8 text; invalid and cut-off sequences are skipped.
std::u32string DecodeUtf8(std::string_view text);

// The outline face for a family name, opened once and then shared; null
// when fontconfig finds no outline face at all.
std::shared_ptr<OutlineFont> SelectGLFont(const std::string& faceName);

// Draws the text with the face named faceName on the current GL context.
// CR returns to the line start, LF goes down 1.2 line heights; a lone LF
// counts as CR LF. Characters the face cannot give come from "Arial".
void Draw3DText(std::string_view text, const std::string& faceName);

// Forget every cached glyph (lists untouched), or delete the current
// context's lists and forget every glyph.
void ResetGlyphCache();
void FreeGlyphCache();

} // namespace pc
