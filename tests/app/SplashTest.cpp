// The splash: shown until it has been painted, then kept up while the event loop goes on running.
#include "AppTestSupport.h"

#include "app/main/Splash.h"

#include <QElapsedTimer>
#include <QTimer>

TEST(Splash, IsPaintedThenKeptForItsTimeWithoutBlockingTheEventLoop) {
    EnsureQtApplication();
    TfSplash splash;
    splash.FormCreate();
    EXPECT_EQ(splash.size(), QSize(400, 200));
    EXPECT_EQ(splash.ClientRgn, QRegion(0, 0, 400, 200));
    // Timers fire while the splash is up: the wait is the event loop's, not a sleep.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    QElapsedTimer t;
    t.start();
    splash.ShowFor(300);
    const qint64 elapsed = t.elapsed();
    EXPECT_TRUE(splash.Painted);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 3000);
    EXPECT_GE(ticks, 5) << "the event loop ran during the wait";
    splash.hide();
}
