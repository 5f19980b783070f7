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

    // Shows the splash and keeps the event loop running until the window system has had it painted
    // (at most `paintWaitMs`), then for `keepMs` more: the splash is seen for that long under any
    // window manager, and repaints while it stays up.
    void ShowFor(int keepMs, int paintWaitMs = 5000);
    bool Painted = false; // the splash has been painted on the screen at least once

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QLabel* Image1 = nullptr;
};

extern TfSplash* fSplash;
