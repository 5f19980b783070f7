#include "app/main/Splash.h"

#include "app/main/Glyphs.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

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

void TfSplash::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    Painted = true;
}

void TfSplash::ShowFor(int keepMs, int paintWaitMs) {
    show();
    raise();
    QEventLoop loop;
    QElapsedTimer waited;
    waited.start();
    // A window is painted only once the window manager has mapped it: wait for that, bounded (a
    // display that never exposes it must not stop the start).
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Painted || waited.elapsed() >= paintWaitMs) loop.quit();
    });
    poll.start();
    loop.exec();
    poll.stop();
    QTimer::singleShot(keepMs, &loop, &QEventLoop::quit);
    loop.exec();
}
