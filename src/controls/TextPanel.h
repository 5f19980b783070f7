#pragma once
// TTextPanel: a sunken panel showing a text in its font and alignment (the font sample of the text
// dialog). Text is laid out from the top of a one-line box, breaking only at line breaks, tabs expanded
// and '&' drawn as it stands.

#include "controls/SystemColors.h"

#include <QWidget>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TTextPanel : public QWidget {
    Q_OBJECT
public:
    explicit TTextPanel(QWidget* parent = nullptr);

    QString Text() const { return FText; }
    void SetText(const QString& text);
    int BevelWidth() const { return FBevelWidth; }
    // Taken only when it fits: at most Width div 2 - 5 and Height div 2 - 5; otherwise ignored.
    void SetBevelWidth(int value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value);

    // The distance between tab stops: eight average character widths of the font.
    int TabStop() const;
    QSize sizeHint() const override { return QSize(75, 25); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
    TColor FColor = clBtnFace;
    TColor FFontColor = clBlack;
    QString FText;
};
