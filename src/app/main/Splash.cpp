#include "app/main/Splash.h"

#include "app/main/Glyphs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TfSplash* fSplash = nullptr;

TfSplash::TfSplash(QWidget* parent) : QDialog(parent) {
    setObjectName("fSplash");
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap::fromImage(PaintSplashPicture()));
    Image1->setGeometry(0, 0, 400, 200);
    setFixedSize(400, 200);
}

void TfSplash::FormCreate() {
    // Only the client area is shown; a frameless window is exactly that.
    ClientRgn = QRegion(0, 0, width(), height());
    setMask(ClientRgn);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}
