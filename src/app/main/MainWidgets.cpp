#include "app/main/MainWidgets.h"

#include "app/tools/ImageView.h"
#include "platform/FastDIBQt.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <QStyle>
#include <algorithm>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::ShowImage(const TFastDIB& D) {
    Shown = &D;
    // Only 24-bit rows can be painted as they stand; other depths are converted into the canvas once.
    if (!D.Empty() && D.Bpp != 24) Canvas();
}

QImage& TImage::Canvas() {
    if (!Shown) return Picture;
    const TFastDIB& d = *Shown;
    Shown = nullptr;
    if (Picture.size() != size() || Picture.format() != QImage::Format_BGR888)
        Picture = QImage(size(), QImage::Format_BGR888);
    if (Picture.isNull()) return Picture;
    // Where the image does not reach, the canvas holds the window colour, as the screen shows.
    if (d.Empty() || d.Width < Picture.width() || d.Height < Picture.height())
        Picture.fill(palette().window().color());
    CopyDIBToView(d, Picture);
    return Picture;
}

void TImage::PaintPicture(QPainter& p, const QRegion& region) const {
    // The shown image is read from its rows as they are now: its size may have changed since
    // ShowImage, so only what exists now is painted.
    const TFastDIB* d = Shown;
    QImage rows;
    if (d && !d->Empty() && d->Bpp == 24)
        rows =
            QImage(static_cast<const uchar*>(d->Bits), d->Width, d->Height, d->BWidth, QImage::Format_BGR888);
    const bool otherDepth = d && !d->Empty() && d->Bpp != 24;
    const QImage& source = d ? rows : Picture;
    const QRect image = otherDepth ? QRect(0, 0, d->Width, d->Height) : source.rect();
    for (const QRect& r : region) {
        const QRect inside = r.intersected(image);
        if (!inside.isEmpty() && !otherDepth) p.drawImage(inside.topLeft(), source, inside);
        // Whatever lies beyond the picture shows the window colour.
        for (const QRect& rest : QRegion(r).subtracted(QRegion(inside))) p.fillRect(rest, palette().window());
    }
    if (otherDepth) {
        p.save();
        p.setClipRegion(region.intersected(QRegion(image)));
        DrawDIB(p, *d, 0, 0);
        p.restore();
    }
}

void TImage::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    PaintPicture(p, e->region());
}

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TStatusBar::AddPanel(const QString& text, int width) {
    Panels.push_back(TPanel{text, width, {}, width, {}});
    update();
}

void TStatusBar::FitPanel(int i, std::vector<std::pair<int, QString>> samples) {
    if (i < 0 || i >= PanelCount()) return;
    Panels[static_cast<std::size_t>(i)].Samples = std::move(samples);
    UpdateWidths();
}

void TStatusBar::UpdateWidths() {
    const QFontMetrics fm = fontMetrics();
    for (TPanel& p : Panels) {
        int need = p.MinWidth;
        for (const auto& [offset, text] : p.Samples)
            need = std::max(need, offset + fm.horizontalAdvance(text) + PanelPadding);
        p.Width = need;
    }
    updateGeometry();
    update();
}

void TStatusBar::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) UpdateWidths();
}

QString TStatusBar::PanelText(int i) const {
    return i >= 0 && i < PanelCount() ? Panels[static_cast<std::size_t>(i)].Text : QString();
}

void TStatusBar::SetPanelText(int i, const QString& text) {
    if (i < 0 || i >= PanelCount() || Panels[static_cast<std::size_t>(i)].Text == text) return;
    Panels[static_cast<std::size_t>(i)].Text = text;
    update(PanelRect(i));
}

void TStatusBar::SetOwnerDraw(int i, std::function<void(QPainter&, const QRect&)> draw) {
    if (i >= 0 && i < PanelCount()) Panels[static_cast<std::size_t>(i)].OwnerDraw = std::move(draw);
    update();
}

QRect TStatusBar::PanelRect(int i) const {
    int x = 0;
    for (int k = 0; k < i && k < PanelCount(); ++k) x += Panels[static_cast<std::size_t>(k)].Width;
    const int w = i >= 0 && i < PanelCount() ? Panels[static_cast<std::size_t>(i)].Width : 0;
    return QRect(x, 0, w, height());
}

QSize TStatusBar::sizeHint() const {
    int w = 0;
    for (const auto& p : Panels) w += p.Width;
    return QSize(w, fontMetrics().height() + 8);
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    for (int i = 0; i < PanelCount(); ++i) {
        const TPanel& panel = Panels[static_cast<std::size_t>(i)];
        // The last panel takes the rest of the bar.
        QRect r = PanelRect(i);
        if (i == PanelCount() - 1) r.setRight(width() - 1);
        const QRect inner = r.adjusted(1, 2, -2, -1);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(inner.topLeft(), inner.topRight());
        p.drawLine(inner.topLeft(), inner.bottomLeft());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(inner.bottomLeft(), inner.bottomRight());
        p.drawLine(inner.topRight(), inner.bottomRight());
        const QRect content = inner.adjusted(2, 1, -1, -1);
        if (panel.OwnerDraw) {
            p.save();
            p.setClipRect(content);
            panel.OwnerDraw(p, content);
            p.restore();
        } else {
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(content, Qt::AlignLeft | Qt::AlignVCenter, panel.Text);
        }
    }
}
