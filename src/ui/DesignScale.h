#pragma once
// Helpers that let the windows keep their designed pixel layout and still
// fit their texts when the desktop font is larger than the design font.

#include <QFont>

class QWidget;

namespace ui {

// The survey window's rows stand this many design pixels apart; the scale
// below keeps a line of text inside one row.
inline constexpr int kDesignRowPitch = 24;

// Design pixels to screen pixels: 1 while a line of text in `font` leaves
// a clear gap between the 24-pixel rows of the design, larger beyond.
double designScale(const QFont& font);

int scaled(int designPixels, double scale);

// A push button's height: the design's 25 pixels, scaled, or more where the
// font's text needs it.
int buttonHeight(const QFont& font, double scale);

// Widens `window` (never narrows it) until every direct child lies inside
// it with `rightMargin` to spare, and keeps that as its minimum width.
void growToFit(QWidget& window, int rightMargin);

}  // namespace ui
