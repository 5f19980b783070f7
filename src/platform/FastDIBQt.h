#pragma once
// The bridge between TFastDIB and Qt: a QImage view over an image's own bytes (so QPainter draws
// straight into it), loading from a QImage, a file or a resource, and drawing onto any QPainter.

#include "image/FastDIB.h"

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// A QImage that shares the image's pixel bytes without copying: 24 bits as Format_BGR888, 32 bits as
// Format_RGB32, 16 bits as Format_RGB16 (565) or Format_RGB555, 8 bits as Format_Indexed8 and 1 bit as
// Format_Mono (both with a copy of the colour table). Painting on it (QPainter paints on the 16-, 24-
// and 32-bit views) changes the image and never touches the row padding. A null QImage for an unsized
// image or a 4-bit one.
// The view points into the image's memory: it must not be used after the next SetSize (or a load, or
// the image's destruction), which frees that memory.
QImage DIBView(TFastDIB& dib);

// Gives `dib` the size and pixels of `img` at `bpp` bits per pixel (1, 4, 8, 16, 24 or 32; 0 takes the
// depth of `img`). Palette depths get a colour table: 1 and 8 bits the one Qt builds, 4 bits the
// standard 16-colour table. A null image, or a depth the image type does not handle, leaves `dib`
// unchanged. Throws std::bad_alloc (leaving `dib` unchanged) when the pixels cannot be allocated.
void LoadFromQImage(TFastDIB& dib, const QImage& img, int bpp = 24);

// Reads a picture file through QImageReader. Pictures over the program's size limit (CheckPictureSize
// in Picture.h) are refused before they are decoded. On failure returns false, leaves `dib` unchanged and,
// when `error` is given, stores a message for the user there.
bool LoadFromFile(TFastDIB& dib, const QString& fileName, int bpp = 24, QString* error = nullptr);
// The same for a picture compiled into the program (":/name" or "qrc:/name"; a bare "name" is taken
// as ":/name").
bool LoadFromRes(TFastDIB& dib, const QString& qrcPath, int bpp = 24, QString* error = nullptr);

// Draws the whole image with its top-left corner at (x, y).
void DrawDIB(QPainter& painter, const TFastDIB& dib, int x, int y);
// Draws the whole image stretched into `target` (nearest neighbour).
void StretchDIB(QPainter& painter, const TFastDIB& dib, const QRect& target);
// Fills `target` with copies of the image, the image's top-left corner at the rect's top-left corner;
// the copies on the right and bottom edges are cut.
void TileDrawDIB(QPainter& painter, const TFastDIB& dib, const QRect& target);
