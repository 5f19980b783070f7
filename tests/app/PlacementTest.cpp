// The main window on the screen: a stored place from another screen layout comes back into view, the
// first start shows the whole start image where the screen allows, and the status bar's panels hold
// their longest texts in the running font.
#include "AppTestSupport.h"

#include "app/main/WindowPlacement.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>

TEST(WindowPlacement, FitIntoAreaKeepsTheFrameInside) {
    // A 1280 x 1000 area below a 24-pixel panel; a frame of 4 at the sides and 30 on top.
    const QRect area(0, 24, 1280, 1000);
    const QMargins frame(4, 30, 4, 4);
    struct Case {
        const char* why;
        QRect client, want;
    };
    const Case cases[] = {
        {"inside: unchanged", QRect(200, 100, 541, 446), QRect(200, 100, 541, 446)},
        // Frame left 5000 - 4 must end by 1280: 1280 - (541 + 8) = 731, client at 735.
        {"far right", QRect(5000, 100, 541, 446), QRect(735, 100, 541, 446)},
        // The title bar above the area: the frame's top goes to 24, the client to 54.
        {"above the top", QRect(100, -3000, 541, 446), QRect(100, 54, 541, 446)},
        // Frame bottom 2000 + 446 + 4 beyond 1024: frame top 1024 - 480 = 544, client 574.
        {"below", QRect(-900, 2000, 541, 446), QRect(4, 574, 541, 446)},
        // Larger than the area: 1280 - 8 by 1000 - 34, placed at the area's corner.
        {"too large", QRect(10, 10, 4000, 3000), QRect(4, 54, 1272, 966)},
    };
    for (const Case& c : cases) EXPECT_EQ(FitIntoArea(c.client, frame, area), c.want) << c.why;
}

TEST(WindowPlacement, PlaceClearOfLeavesTheBarsFree) {
    // Menu titles along the top and tool bar buttons below them: together 0..399 by 0..49.
    const std::vector<QRect> bars{QRect(0, 0, 300, 22), QRect(0, 24, 400, 26)};
    const QRect screen(0, 0, 1280, 1000), short_(0, 0, 1280, 300), tiny(0, 0, 500, 300);
    struct Case {
        const char* why;
        QRect frame, available;
        std::vector<QRect> keep;
        QPoint want;
    };
    const Case cases[] = {
        {"clear already: unchanged", QRect(500, 0, 190, 300), screen, bars, QPoint(500, 0)},
        // The far right: 1280 - 190 = 1090, level with where it was.
        {"over the titles: far right", QRect(3, 1, 190, 300), screen, bars, QPoint(1090, 1)},
        {"low screen: far right", QRect(300, 5, 190, 270), short_, bars, QPoint(1090, 5)},
        // A title bar across the top (0..19): the far right just below it, 19 + 1 + 2 = 22.
        {"under a title bar: far right",
         QRect(3, 1, 190, 300),
         screen,
         {QRect(0, 0, 1280, 20), QRect(0, 22, 300, 22), QRect(0, 46, 400, 26)},
         QPoint(1090, 22)},
        // The far right (500 - 190 = 310) reaches over the tool bar at 1 and at 24 (below the titles):
        // below the tool bar, 49 + 1 + a gap of 2 = 52.
        {"narrow screen: far right below the tool bar", QRect(3, 1, 190, 200), tiny, bars, QPoint(310, 52)},
        // A bar from 100 to the right edge, a tall box: neither the far right nor below (42 + 290 passes
        // 300) fits; left of the bar, 100 - 2 - 90 = 8, does.
        {"left of them", QRect(150, 5, 90, 290), tiny, {QRect(100, 0, 400, 40)}, QPoint(8, 5)},
        // No place fits: below, pulled up onto the screen (300 - 270 = 30).
        {"no room anywhere", QRect(100, 5, 190, 270), tiny, bars, QPoint(100, 30)},
        // A tool bar across the whole width: the far right is over it; below it, kept inside on the right.
        {"at the right edge", QRect(1200, 0, 190, 300), screen, {QRect(0, 24, 1280, 26)}, QPoint(1090, 52)},
        {"nothing to keep clear", QRect(3, 1, 190, 300), screen, {}, QPoint(3, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceClearOf(c.frame, c.keep, c.available), c.want) << c.why;
}

namespace {

class Placement : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApplication();
        ASSERT_TRUE(Dir.isValid());
    }
    QRect Available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QTemporaryDir Dir;
};

} // namespace

TEST_F(Placement, AStoredPlaceOffTheScreenComesBackIntoView) {
    for (const char* place : {"Top=-3000\nLeft=5000\n", "Top=90000\nLeft=-9000\n", "Top=5\nLeft=3\n"}) {
        WriteAll(QDir(Dir.path()).filePath("ZorvTile.ini"),
                 QByteArray("[EffectVals]\nEffectVals6=250\n[MainForm]\nWidth=541\nHeight=446\n") + place);
        TStartedProgram p(Dir.path(), QString(), false);
        TfZorvTile* w = fZorvTile;
        const QMargins frame = WindowFrameMargins(w);
        const QRect frameRect(w->pos(), w->size().grownBy(frame));
        EXPECT_TRUE(Available().contains(frameRect)) << place;
        EXPECT_EQ(w->size(), QSize(541, 446)) << place;
        p.Destroy();
        // What is written back is the place in view.
        const IniFile ini(QDir(Dir.path()).filePath("ZorvTile.ini"));
        EXPECT_EQ(ini.ReadInteger("MainForm", "Left", -1), frameRect.left()) << place;
        EXPECT_EQ(ini.ReadInteger("MainForm", "Top", -1), frameRect.top()) << place;
    }
}

TEST_F(Placement, TheFirstStartShowsTheWholeStartImageWhereTheScreenAllows) {
    TStartedProgram p(Dir.path(), QString(), true);
    TfZorvTile* w = fZorvTile;
    const QSize view = w->ScrollBox1->viewport()->size();
    const QMargins frame = WindowFrameMargins(w);
    const QSize room = Available().size().shrunkBy(frame);
    // Either the 512 x 512 image is wholly in view, or the window takes all the room there is.
    EXPECT_TRUE(view.width() >= 512 || w->width() >= room.width()) << view.width();
    EXPECT_TRUE(view.height() >= 512 || w->height() >= room.height()) << view.height();
    EXPECT_TRUE(Available().contains(QRect(w->pos(), w->size().grownBy(frame))));
}

TEST_F(Placement, StatusPanelsHoldFiveDigitSizesAndTheLogTextsInTheRunningFont) {
    TStartedProgram p(Dir.path(), QString(), false);
    TfZorvTile* w = fZorvTile;
    for (int pointSize : {9, 14, 22}) {
        QFont f = w->stBar->font();
        f.setPointSize(pointSize);
        w->stBar->setFont(f);
        const QFontMetrics fm(f);
        // A 2013 x 2241 picture, and the largest one the program opens.
        for (const QSize& size : {QSize(2013, 2241), QSize(16384, 16384)}) {
            w->z.SetSize(size.width(), size.height(), 24, 0);
            w->SetToIm(w->z);
            for (int i : {0, 1}) {
                const QString text = w->stBar->PanelText(i);
                EXPECT_TRUE(text.endsWith(QString::number(i == 0 ? size.width() : size.height())));
                EXPECT_LE(fm.horizontalAdvance(text) + TStatusBar::PanelPadding,
                          w->stBar->PanelRect(i).width())
                    << text.toStdString() << " at " << pointSize << " pt";
            }
        }
        const int log = w->stBar->PanelRect(5).width();
        EXPECT_LE(5 + fm.horizontalAdvance("Not Logging") + TStatusBar::PanelPadding, log) << pointSize;
        EXPECT_LE(18 + fm.horizontalAdvance("Logging") + TStatusBar::PanelPadding, log) << pointSize;
        const int minimum[6] = {75, 75, 50, 50, 175, 50};
        for (int i = 0; i < 6; ++i) EXPECT_GE(w->stBar->PanelRect(i).width(), minimum[i]);
    }
    w->z.SetSize(512, 512, 24, 0);
}
