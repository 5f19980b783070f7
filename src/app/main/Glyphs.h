#pragma once
// The program's own small pictures, painted at start: the tool bar's glyph strip, the Apply glyph,
// the drawing cursors and the splash picture.

#include <QCursor>
#include <QImage>

// Twelve 16 x 16 glyphs side by side (192 x 16) on silver (0xC0C0C0), which is transparent:
// open, save, copy, paste, tool box, colour sliders, undo, print, gradient, image to buffer,
// buffer to image, test tiles.
QImage PaintGlyphStrip();
// The Apply button's glyph (16 x 16, transparent background).
QImage PaintApplyGlyph();
// The drawing cursors in the order of their numbers 10 to 16: brush, ellipse, rectangle, line, fill,
// crop, eye-dropper.
QCursor DrawingCursor(int number);
// The splash picture, 400 x 200.
QImage PaintSplashPicture();
