#pragma once
// BMP files: the decoder of every depth the format has (1, 4, 8 bits with a colour table, run-length
// coded 4 and 8 bits, 16 and 32 bits with or without bit masks, 24 bits), and the writer of 24-bit
// and 16-bit (565) files. Input is untrusted: the size is checked against the picture limits (and the
// free memory) before anything is allocated, and no read passes the end of the data.

#include "image/FastDIB.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

class TPictureSource;

// Decodes a BMP into `dib` at 24 bits per pixel. Throws EInvalidGraphic for a file that is not a
// bitmap, is over the limits, or ends before its first row. A file that ends later loads the rows it
// holds, the rest in MissingPixelsColor (Picture.h), and the result is false; true for a complete file.
// `dib` is unchanged when an exception is thrown.
bool DecodeBMP(const std::uint8_t* data, std::size_t size, TFastDIB& dib);
// The same from a source: rows are read in chunks straight into the picture's rows (the whole file is
// never in memory), with a stop check (EWorkStopped) between chunks. A source that ends early (a file
// that shrinks while it is read) is a file cut short.
bool DecodeBMP(TPictureSource& source, TFastDIB& dib);

// The picture (any depth; converted to 24 bits first) as a BMP file of `bitsPerPixel` 24 (BI_RGB) or
// 16 (bit masks 565).
QByteArray EncodeBMP(const TFastDIB& dib, int bitsPerPixel = 24);
// The same file written to `fileName` row block by row block through a temporary file (SafeFile.h),
// never held in memory whole. Throws std::runtime_error "Cannot write <name>: <reason>" (the target
// untouched) when the system refuses the file, EWorkStopped when a stop was asked for.
void WriteBMPFile(const TFastDIB& dib, const QString& fileName, int bitsPerPixel = 24);
