#pragma once
// Small widgets of the main window: the image control and the status bar with fixed-width panels.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

// Shows a 24-bit bitmap (Picture) at the widget's own size, top left.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent = nullptr);
    QImage Picture; // Format_BGR888, the same byte order as the pixel buffers

protected:
    void paintEvent(QPaintEvent*) override;
};

// A status bar of panels of fixed widths; a panel may be painted by its owner.
class TStatusBar : public QWidget {
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    struct TPanel {
        QString Text;
        int Width = 50;
        std::function<void(QPainter&, const QRect&)> OwnerDraw; // empty: the text is drawn
    };

    void AddPanel(const QString& text, int width);
    int PanelCount() const { return static_cast<int>(Panels.size()); }
    QString PanelText(int i) const;
    void SetPanelText(int i, const QString& text);
    void SetOwnerDraw(int i, std::function<void(QPainter&, const QRect&)> draw);
    QRect PanelRect(int i) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<TPanel> Panels;
};
