#pragma once
// Small widgets of the main window: the image control and the status bar with fixed-width panels.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;
class QRegion;
class TFastDIB;

// Shows a 24-bit picture at the widget's own size, top left; beyond the picture the window colour.
// The picture is either a shown image (a long-lived TFastDIB painted straight from its rows, no copy)
// or the control's own canvas, the surface the drawing tools paint on.
class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent = nullptr);

    // Shows D's pixels from now on, painted from D's rows as they are at each paint (D may change
    // size in between). Cheap: no copy and no repaint; the caller repaints. D must outlive its being
    // shown, that is until the next ShowImage or Canvas().
    void ShowImage(const TFastDIB& D);
    // The image being shown, or nullptr when the control shows its own canvas.
    const TFastDIB* ShownImage() const { return Shown; }

    // The canvas (Format_BGR888, the control's size): every reader and writer of the control's
    // pixels goes through it. A shown image is first copied into it, and the control then shows the
    // canvas until the next ShowImage.
    QImage& Canvas();

protected:
    void paintEvent(QPaintEvent* e) override;
    // Paints what is shown within `region`: the picture where it lies, the window colour beyond.
    void PaintPicture(QPainter& p, const QRegion& region) const;

private:
    QImage Picture;                  // the canvas; stale while an image is shown
    const TFastDIB* Shown = nullptr; // the shown image, or nullptr when Picture is shown
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
