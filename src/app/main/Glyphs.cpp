#include "app/main/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace {

const QColor Silver(0xC0, 0xC0, 0xC0);

void Folder(QPainter& p) {
    p.setPen(QColor(120, 90, 0));
    p.setBrush(QColor(240, 200, 60));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 5, 2);
    p.setBrush(QColor(255, 230, 120));
    p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 14}, {1, 14}}));
}

void Disk(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 60, 160));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(4, 9, 7, 5);
}

void Pages(QPainter& p, bool clipboard) {
    p.setPen(Qt::black);
    if (clipboard) {
        p.setBrush(QColor(150, 100, 40));
        p.drawRect(1, 2, 10, 13);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 1, 4, 2);
        p.setBrush(Qt::white);
        p.drawRect(6, 6, 9, 9);
    } else {
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 8, 10);
        p.drawRect(6, 5, 8, 10);
    }
    p.setPen(QColor(0, 0, 128));
    for (int y = 8; y < 14; y += 2) p.drawLine(8, y, 12, y);
}

void ToolBox(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(1, 5, 13, 9);
    p.setBrush(Qt::NoBrush);
    p.drawRect(5, 2, 5, 3);
    p.drawLine(1, 9, 14, 9);
}

void Sliders(QPainter& p) {
    const QColor c[3] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::black);
        p.drawLine(2 + 5 * i, 1, 2 + 5 * i, 14);
        p.setBrush(c[i]);
        p.drawRect(0 + 5 * i, 3 + 4 * i, 4, 3);
    }
}

void UndoArrow(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 160), 2));
    QPainterPath path;
    path.moveTo(4, 6);
    path.cubicTo(10, 2, 15, 6, 13, 11);
    path.lineTo(10, 14);
    p.drawPath(path);
    p.setBrush(QColor(0, 0, 160));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({{1, 6}, {7, 2}, {7, 10}}));
}

void Printer(QPainter& p) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 6);
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(1, 6, 14, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 8, 5);
}

void GradientSquare(QPainter& p) {
    QLinearGradient g(0, 0, 15, 0);
    g.setColorAt(0, QColor(0, 0, 255));
    g.setColorAt(1, QColor(255, 255, 0));
    p.setPen(Qt::black);
    p.setBrush(g);
    p.drawRect(1, 1, 13, 13);
}

void BufferArrow(QPainter& p, bool toBuffer) {
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 128, 0));
    p.drawRect(toBuffer ? 1 : 9, 3, 5, 5);
    p.setBrush(QColor(128, 0, 128));
    p.drawRect(toBuffer ? 9 : 1, 8, 5, 5);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(4, 13, 11, 3);
}

void Tiles(QPainter& p) {
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            p.setPen(Qt::black);
            p.setBrush((x + y) % 2 ? QColor(255, 160, 0) : QColor(0, 160, 255));
            p.drawRect(1 + 7 * x, 1 + 7 * y, 6, 6);
        }
}

} // namespace

QImage PaintGlyphStrip() {
    QImage strip(192, 16, QImage::Format_RGB32);
    strip.fill(Silver);
    QPainter p(&strip);
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(16 * i, 0);
        p.setClipRect(0, 0, 16, 16);
        switch (i) {
        case 0:
            Folder(p);
            break;
        case 1:
            Disk(p);
            break;
        case 2:
            Pages(p, false);
            break;
        case 3:
            Pages(p, true);
            break;
        case 4:
            ToolBox(p);
            break;
        case 5:
            Sliders(p);
            break;
        case 6:
            UndoArrow(p);
            break;
        case 7:
            Printer(p);
            break;
        case 8:
            GradientSquare(p);
            break;
        case 9:
            BufferArrow(p, true);
            break;
        case 10:
            BufferArrow(p, false);
            break;
        default:
            Tiles(p);
            break;
        }
        p.restore();
    }
    return strip;
}

QImage PaintApplyGlyph() {
    QImage g(16, 16, QImage::Format_ARGB32);
    g.fill(Qt::transparent);
    QPainter p(&g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 140, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygon({{2, 8}, {6, 13}, {14, 3}}));
    return g;
}

QCursor DrawingCursor(int number) {
    QImage c(32, 32, QImage::Format_ARGB32);
    c.fill(Qt::transparent);
    QPainter p(&c);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    QPoint hot(0, 0);
    // A small cross marks the hot spot of the shape tools.
    auto cross = [&](int x, int y) {
        p.setPen(Qt::black);
        p.drawLine(x - 4, y, x + 4, y);
        p.drawLine(x, y - 4, x, y + 4);
        hot = QPoint(x, y);
    };
    switch (number) {
    case 10: // brush
        p.setBrush(QColor(150, 100, 40));
        p.drawPolygon(QPolygon({{8, 16}, {20, 4}, {24, 8}, {12, 20}}));
        p.setBrush(Qt::black);
        p.drawPolygon(QPolygon({{1, 27}, {6, 16}, {12, 22}}));
        hot = QPoint(1, 27);
        break;
    case 11: // ellipse
        cross(4, 4);
        p.drawEllipse(10, 10, 18, 12);
        break;
    case 12: // rectangle
        cross(4, 4);
        p.drawRect(10, 10, 18, 12);
        break;
    case 13: // line
        cross(4, 4);
        p.drawLine(10, 24, 28, 10);
        break;
    case 14: // fill: a tipped bucket
        p.setBrush(QColor(200, 200, 200));
        p.drawPolygon(QPolygon({{8, 8}, {20, 4}, {26, 16}, {14, 22}}));
        p.setBrush(Qt::black);
        p.drawEllipse(2, 22, 6, 8);
        hot = QPoint(4, 29);
        break;
    case 15: // crop (select)
        cross(4, 4);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(10, 10, 18, 16);
        break;
    default: // eye-dropper
        p.setBrush(QColor(80, 80, 80));
        p.drawPolygon(QPolygon({{3, 28}, {18, 13}, {20, 15}, {5, 30}}));
        p.setBrush(Qt::black);
        p.drawEllipse(18, 6, 8, 8);
        hot = QPoint(3, 29);
        break;
    }
    p.end();
    return QCursor(QPixmap::fromImage(c), hot.x(), hot.y());
}

QImage PaintSplashPicture() {
    QImage img(400, 200, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A seamless pattern of tiles behind the name.
    for (int y = 0; y < 200; y += 25)
        for (int x = 0; x < 400; x += 25) {
            QRadialGradient g(x + 12.5, y + 12.5, 18);
            const int k = (x / 25 + y / 25) % 3;
            g.setColorAt(0, k == 0   ? QColor(250, 190, 60)
                            : k == 1 ? QColor(90, 180, 240)
                                     : QColor(160, 90, 200));
            g.setColorAt(1, QColor(20, 20, 40));
            p.fillRect(x, y, 25, 25, g);
        }
    p.fillRect(40, 55, 320, 90, QColor(0, 0, 0, 170));
    QFont f = p.font();
    f.setPointSize(34);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(42, 52, 320, 70), Qt::AlignCenter, "Mozaro");
    p.setPen(Qt::white);
    p.drawText(QRect(40, 50, 320, 70), Qt::AlignCenter, "Mozaro");
    f.setPointSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(40, 108, 320, 30), Qt::AlignCenter, "Seamless tiles and textures");
    p.setPen(QColor(255, 255, 255, 200));
    p.drawRect(0, 0, 399, 199);
    return img;
}
