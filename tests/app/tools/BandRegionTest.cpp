// The part of the view a band repaints covers every pixel the band draws, so moving a band never
// leaves a piece of the old one on the screen; large bands repaint much less than their box.
#include "app/tools/ImageView.h"
#include "app/tools/ShapeDrawing.h"
#include "common/QtTestSupport.h"
#include "image/Numeric.h"

#include <QPainter>

#include <gtest/gtest.h>

TEST(BandRegion, CoversEveryPixelTheBandDraws) {
    EnsureQtApplication();
    SetRandSeed(777);
    QImage img(700, 600, QImage::Format_RGB32);
    for (int round = 0; round < 120; ++round) {
        const TBandShape shape = static_cast<TBandShape>(1 + round % 4);
        const TBand band{shape, QPoint(Random(700), Random(600)), QPoint(Random(700), Random(600)),
                         1 + Random(12)};
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.setPen(shape == TBandShape::Selection ? QPen(Qt::white, 1, Qt::DashLine)
                                                    : GdiPen(Qt::white, band.Width));
            DrawBandShape(p, band);
        }
        const QRegion region = TImageView::BandRegion(band);
        for (int y = 0; y < img.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((row[x] & 0xFFFFFF) != 0) {
                    ASSERT_TRUE(region.contains(QPoint(x, y)))
                        << "round " << round << " at " << x << "," << y << " band " << band.A.x() << ","
                        << band.A.y() << " " << band.B.x() << "," << band.B.y() << " w " << band.Width;
                }
        }
    }
}

TEST(BandRegion, LargeBandsRepaintAStripAlongThemselves) {
    for (TBandShape s : {TBandShape::Line, TBandShape::Rectangle, TBandShape::Ellipse}) {
        const QRegion r = TImageView::BandRegion({s, QPoint(0, 0), QPoint(4000, 3000), 3});
        qint64 area = 0;
        for (const QRect& q : r) area += static_cast<qint64>(q.width()) * q.height();
        EXPECT_LT(area, 4000LL * 3000 / 20) << static_cast<int>(s);
    }
}
