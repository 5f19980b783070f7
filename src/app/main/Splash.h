#pragma once
// The splash window shown while the program starts: the splash picture only, no frame or caption.

#include <QDialog>
#include <QRegion>

class QLabel;

class TfSplash : public QDialog {
public:
    explicit TfSplash(QWidget* parent = nullptr);
    void FormCreate();
    void FormDestroy() {}
    QRegion ClientRgn; // the visible part: the client area

private:
    QLabel* Image1 = nullptr;
};

extern TfSplash* fSplash;
