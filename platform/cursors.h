#pragma once
// The screen's cursor table: the program's own cursors under the numbers the
// editor uses, 1 "CnnPen" (pen), 2 "FangDa" (zoom in), 3 "SuoXiao" (zoom
// out), 4 "crHand", 5 "crFont" (text), 6 "crSobe" (colour picker),
// 7 "crPaint" (fill), 8 "crCro" (cross).
#include <QCursor>

namespace pc {

constexpr int kCursorCount = 8;

// Makes the eight cursors; safe to call more than once.
void LoadScreenCursors();
// Cursor n (1..8); the arrow for any other number or before loading.
QCursor ScreenCursor(int n);

} // namespace pc
