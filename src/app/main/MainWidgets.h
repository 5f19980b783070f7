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

// A status bar of panels of fixed widths; a panel may be painted by its owner. A panel is as wide as
// given, and wider when the texts it must show (its samples) need it in the bar's font.
class TStatusBar : public QWidget {
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    struct TPanel {
        QString Text;
        int Width = 50;                                         // the width in use
        std::function<void(QPainter&, const QRect&)> OwnerDraw; // empty: the text is drawn
        int MinWidth = 50;                                      // the width asked for
        std::vector<std::pair<int, QString>> Samples;           // (offset in the content, text)
    };
    // Pixels a panel takes around its content (frame and text margins).
    static constexpr int PanelPadding = 6;

    void AddPanel(const QString& text, int width);
    int PanelCount() const { return static_cast<int>(Panels.size()); }
    QString PanelText(int i) const;
    void SetPanelText(int i, const QString& text);
    void SetOwnerDraw(int i, std::function<void(QPainter&, const QRect&)> draw);
    // The longest texts panel i shows, each drawn `offset` pixels into the content (0 for the text of
    // a plain panel); the panel widens to hold every one of them.
    void FitPanel(int i, std::vector<std::pair<int, QString>> samples);
    QRect PanelRect(int i) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;

private:
    void UpdateWidths();
    std::vector<TPanel> Panels;
};
