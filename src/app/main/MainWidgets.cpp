#include "app/main/MainWidgets.h"

#include <QEvent>
#include <QPainter>

#include <QStyle>
#include <algorithm>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!Picture.isNull()) p.drawImage(0, 0, Picture);
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
