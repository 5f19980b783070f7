#pragma once
// TLbl3D: a label whose caption is drawn centred as normal, raised or inset text. A QLabel underneath,
// so code that looks for labels finds it; only the painting is its own.

#include "controls/SystemColors.h"

#include <QLabel>

#include <cstdint>

enum TTextStyle : std::uint8_t { tsNormal, tsRaised, tsInset };
enum TShadeType : std::uint8_t { stLight, stHeavy };

class TLbl3D : public QLabel {
    Q_OBJECT
public:
    explicit TLbl3D(QWidget* parent = nullptr);
    TLbl3D(const QString& caption, QWidget* parent = nullptr);

    TTextStyle aTextStyle() const { return FTextStyle; }
    TShadeType aShadeType() const { return FShadeType; }
    TColor aHiliteClr() const { return FHiLiteClr; }
    TColor aShadowClr() const { return FShadowClr; }
    void SetTextStyle(TTextStyle value);
    void SetShadeType(TShadeType value);
    void SetHiliteClr(TColor value);
    void SetShadowClr(TColor value);

    QString Caption() const { return text(); }
    // Sets the text; with AutoSize the label then takes the size of its caption.
    void SetCaption(const QString& caption);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    // The background: `Color` unless ParentColor is set, when the parent's own background shows.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    // A transparent label paints only its text.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // The colour of the caption itself.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value);

    // The caption's size with room for the copies one pixel to each side.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The top-left corner of the caption as the painter places it (centred; Alignment never moves it).
    QPoint TextOrigin() const;

signals:
    void OnClick(TLbl3D* sender);
    void OnDblClick(TLbl3D* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TTextStyle FTextStyle = tsInset;
    TShadeType FShadeType = stLight;
    TColor FHiLiteClr = clBtnHighlight;
    TColor FShadowClr = clBtnShadow;
    TColor FColor = clWindow;
    TColor FFontColor = clWindowText;
    bool FParentColor = true;
    bool FTransparent = false;
    bool FAutoSize = true;
    bool leftDown_ = false;

    void DrawNormal(QPainter& p, QPoint at);
    void DrawRaised(QPainter& p, QPoint at);
    void DrawInset(QPainter& p, QPoint at);
};
