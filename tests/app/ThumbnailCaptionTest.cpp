// The main window's "Thumbnail Previews" caption is a 3-D label drawn inset: a white copy one pixel
// right of and below the black caption, on the left panel's own background.
#include "AppTestSupport.h"

#include "controls/Label3D.h"
#include "controls/QtColors.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

class ThumbnailCaption : public ProgramTest {};

} // namespace

TEST_F(ThumbnailCaption, IsAnInsetThreeDLabelAboveTheThumbnails) {
    auto* l = W->findChild<TLbl3D*>("Lbl3D3");
    ASSERT_NE(l, nullptr) << "a plain label is no 3-D caption";
    EXPECT_EQ(l->Caption(), "Thumbnail Previews");
    EXPECT_EQ(l->aTextStyle(), tsInset);
    EXPECT_EQ(l->aShadeType(), stLight);
    QWidget* panel = W->findChild<QWidget*>("Panel1");
    ASSERT_EQ(l->parentWidget(), panel);
    // Not cut: the caption and its copy fit, and it stands above both thumbnails.
    const QFontMetrics fm(l->font());
    EXPECT_GE(l->width(), fm.horizontalAdvance("Thumbnail Previews") + 2);
    EXPECT_GE(l->height(), fm.height() + 2);
    EXPECT_LE(l->geometry().bottom(), W->findChild<QWidget*>("imBuffer")->geometry().top());
}

TEST_F(ThumbnailCaption, FramePixels) {
    auto* l = W->findChild<TLbl3D*>("Lbl3D3");
    ASSERT_NE(l, nullptr);
    const QImage got = l->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(got.size(), l->size());

    // Worked from the painting rule: the panel's background, then the highlight (white) at (x+1, y+1),
    // then the caption in black at (x, y), x and y centring the caption's cell in the label.
    const QString text = "Thumbnail Previews";
    const QFontMetrics fm(l->font());
    const int x = (l->width() - fm.horizontalAdvance(text)) / 2, y = (l->height() - fm.height()) / 2;
    QImage expected(l->size(), QImage::Format_RGB32);
    expected.fill(l->parentWidget()->palette().color(QPalette::Window));
    {
        QPainter p(&expected);
        p.setFont(l->font());
        p.setPen(QColor(255, 255, 255));
        p.drawText(x + 1, y + 1 + fm.ascent(), text);
        p.setPen(QColor(0, 0, 0));
        p.drawText(x, y + fm.ascent(), text);
    }
    EXPECT_EQ(got, expected);

    // Both copies are there (the comparison above would also hold for an empty caption otherwise).
    int white = 0, black = 0;
    for (int py = 0; py < got.height(); ++py)
        for (int px = 0; px < got.width(); ++px) {
            const QRgb c = got.pixel(px, py) & 0xFFFFFF;
            white += c == 0xFFFFFF;
            black += c == 0x000000;
        }
    EXPECT_GT(white, 0);
    EXPECT_GT(black, 0);
}
