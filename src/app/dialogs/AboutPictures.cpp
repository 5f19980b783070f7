#include "app/dialogs/AboutPictures.h"

#include "image/Color.h"
#include "image/FastDIB.h"
#include "image/ZorvFX_Generators.h"
#include "platform/FastDIBQt.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace AboutPictures {

namespace {

TFColor Rgb(int r, int g, int b) {
    return ColorToFColor(RGBColor(r, g, b));
}

// Text centred in `box`, with a dark shadow one pixel down and right, so it reads on any background.
void Caption(QImage& img, const QRect& box, const QString& text, int pixelSize, const QColor& colour,
             bool bold = true) {
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f = p.font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0));
    p.drawText(box.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

QImage Copy(TFastDIB& d) {
    return DIBView(d).convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage Scene(int index) {
    TFastDIB d;
    d.SetSize(SceneWidth, SceneHeight, 24, 0);
    const QRect all(0, 0, SceneWidth, SceneHeight);
    if (index == 0) {
        FourCornerGradient(d, 0, 0, SceneWidth - 1, SceneHeight - 1, Rgb(0, 0, 255), Rgb(255, 0, 255),
                           Rgb(0, 255, 0), Rgb(64, 80, 148));
        QImage img = Copy(d);
        Caption(img, all.adjusted(0, 0, 0, -40), "Mozaro", 44, QColor(255, 255, 255));
        Caption(img, all.adjusted(0, 90, 0, 0), "tiles without seams", 16, QColor(255, 255, 210), false);
        return img;
    }
    if (index == 1) {
        FourCornerGradient(d, 0, 0, SceneWidth - 1, SceneHeight - 1, Rgb(20, 10, 60), Rgb(60, 10, 40),
                           Rgb(10, 40, 60), Rgb(0, 0, 0));
        TFastDIB wheel;
        wheel.SetSize(256, 256, 24, 0);
        ColorWheel(wheel);
        // The wheel, shrunk to 150 x 150, in the middle of the dark blend; its black surround is left out.
        constexpr int side = 150, left = (SceneWidth - side) / 2, top = 15;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const TFColor c = wheel.GetPixel(y * 256 / side, x * 256 / side);
                if (c.r | c.g | c.b) d.SetPixel(top + y, left + x, c);
            }
        QImage img = Copy(d);
        Caption(img, all.adjusted(0, 140, 0, 0), "every colour you like", 15, QColor(255, 255, 255), false);
        return img;
    }
    TFastDIB sky;
    sky.SetSize(SceneWidth, SceneHeight, 24, 0);
    FourCornerGradient(sky, 0, 0, SceneWidth - 1, SceneHeight - 1, Rgb(0, 0, 40), Rgb(0, 0, 80),
                       Rgb(20, 0, 60), Rgb(0, 20, 50));
    superNovaWithSeed(sky, d, 255, 200, 120, SceneWidth / 2, SceneHeight / 2, 30, 200, 40, 20261207u);
    QImage img = Copy(d);
    Caption(img, all.adjusted(0, 130, 0, 0), "and textures that glow", 15, QColor(255, 240, 200), false);
    return img;
}

QImage Plate(bool lit) {
    TFastDIB d;
    d.SetSize(PlateWidth, PlateHeight, 24, 0);
    if (lit)
        FourCornerGradient(d, 0, 0, PlateWidth - 1, PlateHeight - 1, Rgb(255, 230, 120), Rgb(255, 150, 60),
                           Rgb(255, 120, 40), Rgb(200, 60, 20));
    else
        FourCornerGradient(d, 0, 0, PlateWidth - 1, PlateHeight - 1, Rgb(150, 150, 170), Rgb(110, 110, 130),
                           Rgb(110, 110, 130), Rgb(70, 70, 90));
    QImage img = Copy(d);
    Caption(img, img.rect(), "Mozaro", 24, lit ? QColor(255, 255, 255) : QColor(220, 220, 230));
    return img;
}

QImage CloseButton(bool lit) {
    TFastDIB d;
    d.SetSize(CloseWidth, CloseHeight, 24, 0);
    if (lit)
        FourCornerGradient(d, 0, 0, CloseWidth - 1, CloseHeight - 1, Rgb(140, 255, 140), Rgb(60, 200, 60),
                           Rgb(60, 200, 60), Rgb(0, 120, 0));
    else
        FourCornerGradient(d, 0, 0, CloseWidth - 1, CloseHeight - 1, Rgb(200, 200, 200), Rgb(160, 160, 160),
                           Rgb(160, 160, 160), Rgb(110, 110, 110));
    QImage img = Copy(d);
    {
        // A raised edge: light top and left, dark bottom and right.
        QPainter p(&img);
        p.setPen(QColor(255, 255, 255));
        p.drawLine(0, 0, CloseWidth - 1, 0);
        p.drawLine(0, 0, 0, CloseHeight - 1);
        p.setPen(QColor(40, 40, 40));
        p.drawLine(0, CloseHeight - 1, CloseWidth - 1, CloseHeight - 1);
        p.drawLine(CloseWidth - 1, 0, CloseWidth - 1, CloseHeight - 1);
    }
    Caption(img, img.rect(), "Close", 18, lit ? QColor(255, 255, 255) : QColor(235, 235, 235));
    return img;
}

} // namespace AboutPictures
