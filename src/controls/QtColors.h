#pragma once
// Conversions between the program's $00BBGGRR colours and Qt's.

#include "image/Color.h"

#include <QColor>

inline QColor ToQColor(TColor c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}
