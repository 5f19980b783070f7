#include "app/dialogs/ToolBox.h"

#include "app/effects/EffectRules.h"
#include "app/main/SettingsFile.h"
#include "app/main/WorkProgress.h"
#include "app/main/WindowPlacement.h"
#include "app/main/ZorvTileMain.h"
#include "controls/ColourButton.h"
#include "controls/Label3D.h"
#include "platform/ErrorGuard.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

TfToolBox* fToolBox = nullptr;

namespace {

const QColor Silver(0xC0, 0xC0, 0xC0);
// The frame's share of the window heights the tool box is given (title bar and borders).
constexpr int FrameExtra = 32;
constexpr int ClientWidth = 181;

// The edits' rows in the parameter panel.
constexpr int RowTop = 32, RowStep = 20;

void PaintGlyph(QPainter& p, int i) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    switch (i) {
    case 0: { // free hand: a wavy stroke
        QPainterPath path(QPointF(1, 12));
        path.cubicTo(4, 2, 8, 16, 14, 4);
        p.setPen(QPen(Qt::black, 2));
        p.drawPath(path);
        break;
    }
    case 1:
        p.drawEllipse(1, 3, 13, 9);
        break;
    case 2:
        p.drawRect(1, 3, 13, 9);
        break;
    case 3:
        p.drawLine(1, 14, 14, 1);
        break;
    case 4: // fill: a tilted bucket with paint running out
        p.setBrush(QColor(200, 200, 200));
        p.drawPolygon(QPolygon({{2, 6}, {8, 1}, {14, 7}, {8, 13}}));
        p.setPen(QColor(0, 0, 200));
        p.setBrush(QColor(0, 0, 200));
        p.drawRect(12, 9, 2, 5);
        break;
    case 5: { // text: a capital A
        QFont f = p.font();
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 6: // select: a dashed frame
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(1, 2, 13, 11);
        break;
    case 7: // eye-dropper: a pipette
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(3, 13, 10, 6);
        p.setPen(Qt::black);
        p.setBrush(Qt::black);
        p.drawEllipse(10, 2, 4, 4);
        break;
    default:
        break;
    }
}

QIcon GlyphIcon(const QImage& strip, int i) {
    QImage g = strip.copy(16 * i, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        auto* row = reinterpret_cast<QRgb*>(g.scanLine(y));
        for (int x = 0; x < 16; ++x)
            if ((row[x] & 0xFFFFFF) == 0xC0C0C0) row[x] = 0;
    }
    return QIcon(QPixmap::fromImage(g));
}

// A small glyph drawn on a transparent background.
QIcon SmallIcon(const std::function<void(QPainter&)>& paint) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    paint(p);
    p.end();
    return QIcon(QPixmap::fromImage(img));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& r) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(r);
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, const QRect& r) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setGeometry(r);
    return e;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, bool ticked, const QRect& r) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(ticked);
    c->setGeometry(r);
    return c;
}

QRect LabelRect(int row) {
    return {4, RowTop + row * RowStep + 2, 98, 16};
}
QRect EditRect(int row) {
    return {104, RowTop + row * RowStep, 74, 19};
}

} // namespace

QImage TfToolBox::ToolGlyphs() {
    QImage strip(128, 16, QImage::Format_RGB32);
    strip.fill(Silver);
    QPainter p(&strip);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(16 * i, 0);
        PaintGlyph(p, i);
        p.restore();
    }
    return strip;
}

TfToolBox::TfToolBox(QWidget* parent) : QDialog(parent) {
    setObjectName("fToolBox");
    setWindowTitle("Tool Box");
    // A tool window of the main window: it stays above its owner only (made its transient parent when
    // shown), not above every window of the desktop.
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, ClientWidth, HeightWithSliders - FrameExtra);

    // The eight tool buttons, one of them down.
    ToolBar1 = new QToolBar(Panel1);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setGeometry(0, 0, ClientWidth, 26);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setContentsMargins(1, 1, 1, 1);
    ToolBar1->layout()->setSpacing(0);
    const QImage strip = ToolGlyphs();
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const char* const names[8] = {"bFree", "bEllip", "bRect",   "bLine",
                                  "bFill", "bText",  "bSelect", "bEyeDrop"};
    const char* const hints[8] = {"Free Hand",  "Ellipse", "Rectangle", "Line",
                                  "Flood Fill", "Text",    "Select",    "Eye Dropper"};
    QToolButton** buttons[8] = {&bFree, &bEllip, &bRect, &bLine, &bFill, &bText, &bSelect, &bEyeDrop};
    void (TfToolBox::*clicks[8])() = {
        &TfToolBox::bFreeClick, &TfToolBox::bEllipClick, &TfToolBox::bRectClick,   &TfToolBox::bLineClick,
        &TfToolBox::bFillClick, &TfToolBox::bTextClick,  &TfToolBox::bSelectClick, &TfToolBox::bEyeDropClick};
    for (int i = 0; i < 8; ++i) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(names[i]);
        b->setIcon(GlyphIcon(strip, i));
        b->setToolTip(hints[i]);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(22, 22);
        ToolBar1->addWidget(b);
        auto* a = new QAction(b);
        a->setCheckable(true);
        group->addAction(a);
        connect(b, &QToolButton::toggled, a, &QAction::setChecked);
        connect(a, &QAction::toggled, b, &QToolButton::setChecked);
        const auto click = clicks[i];
        connect(b, &QToolButton::clicked, this,
                [this, click] { Guarded([this, click] { (this->*click)(); }); });
        *buttons[i] = b;
    }
    bFree->setChecked(true);

    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(0, 26, ClientWidth, 34);
    bPen = new TColrBtn(Panel2);
    bPen->setObjectName("bPen");
    bPen->SetCaption("Pen Color");
    bPen->setGeometry(3, 2, 86, 30);
    bBrush = new TColrBtn(Panel2);
    bBrush->setObjectName("bBrush");
    bBrush->SetCaption("Brush Color");
    bBrush->setGeometry(92, 2, 86, 30);
    SetPenColor(0);
    SetBrushColor(0xFFFFFF);
    // The button has run its colour dialog by the time it reports the click.
    connect(bPen, &TColrBtn::OnClick, this, [this] { Guarded([this] { bPenClick(); }); });
    connect(bBrush, &TColrBtn::OnClick, this, [this] { Guarded([this] { bBrushClick(); }); });

    Panel3 = new QWidget(Panel1);
    Panel3->setObjectName("Panel3");
    Panel3->setGeometry(0, 60, ClientWidth, 24);
    Label1 = MakeLabel(Panel3, "Label1", "Pen Size", {4, 4, 50, 16});
    ePenSize = MakeEdit(Panel3, "ePenSize", "2", {56, 2, 34, 20});
    ePenSize->setToolTip("Set Width of Pen");
    cFill = MakeCheck(Panel3, "cFill", "Fill Shape", true, {96, 2, 84, 20});
    cFill->setToolTip("Fill Ellipses and rectangles with brush color");

    // The parameter panel.
    Panel4 = new QWidget(Panel1);
    Panel4->setObjectName("Panel4");
    Panel4->setGeometry(0, 84, ClientWidth, 154);
    lblEffect = new TLbl3D(Panel4);
    lblEffect->setObjectName("lblEffect");
    lblEffect->setGeometry(2, 0, 150, 17);
    lblEffect->setToolTip("Currently selected effect");
    btnDefault = new QToolButton(Panel4);
    btnDefault->setObjectName("btnDefault");
    btnDefault->setText("D");
    btnDefault->setToolTip("Reset to Default");
    btnDefault->setGeometry(156, 0, 22, 18);
    lblHelp = MakeLabel(Panel4, "lblHelp", "Choose an effect...", {4, 17, 174, 15});

    lblMain = MakeLabel(Panel4, "lblMain", QString(), LabelRect(0));
    eAmtMain = MakeEdit(Panel4, "eAmtMain", "250", EditRect(0));
    lblSecond = MakeLabel(Panel4, "lblSecond", QString(), LabelRect(1));
    eAmtSecond = MakeEdit(Panel4, "eAmtSecond", "64", EditRect(1));
    lblPeaks2 = MakeLabel(Panel4, "lblPeaks2", QString(), LabelRect(2));
    ePeaks2 = MakeEdit(Panel4, "ePeaks2", "3", EditRect(2));
    lblHeight2 = MakeLabel(Panel4, "lblHeight2", QString(), LabelRect(3));
    eHeight2 = MakeEdit(Panel4, "eHeight2", "64", EditRect(3));
    lYPos = MakeLabel(Panel4, "lYPos", "Y Pos", LabelRect(4));
    eYPos = MakeEdit(Panel4, "eYPos", "24", EditRect(4));
    ckbxPeaks = MakeCheck(Panel4, "ckbxPeaks", "Use Peaks", true, {4, RowTop + 2 * RowStep, 90, 19});
    ckbxWrap = MakeCheck(Panel4, "ckbxWrap", "Wrap", true, {100, RowTop + 2 * RowStep, 78, 19});
    cbBump = MakeCheck(Panel4, "cbBump", "Bump Map", true, {4, RowTop + 3 * RowStep, 174, 19});
    lblBtn = MakeLabel(Panel4, "lblBtn", "Uses Brush color for HiLite and PenColor for Shadow",
                       {4, RowTop + RowStep, 174, 38});
    lblBtn->setWordWrap(true);
    sbLR = new QScrollBar(Qt::Horizontal, Panel4);
    sbLR->setObjectName("sbLR");
    sbLR->setGeometry(4, RowTop + 2 * RowStep + 2, 148, 16);
    sbUD = new QScrollBar(Qt::Vertical, Panel4);
    sbUD->setObjectName("sbUD");
    sbUD->setGeometry(160, RowTop + RowStep, 16, 4 * RowStep - 2);
    for (QScrollBar* s : {sbLR, sbUD}) {
        s->setRange(-100, 100);
        s->setPageStep(16);
        s->setValue(0);
    }

    bGo2 = new QPushButton("Apply", Panel4);
    bGo2->setObjectName("bGo2");
    bGo2->setToolTip("Apply Current effect");
    bGo2->setGeometry(2, 133, 72, 20);
    SpeedButton1 = new QToolButton(Panel4);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setToolTip("UnDo");
    SpeedButton1->setGeometry(78, 133, 24, 20);
    SpeedButton1->setIcon(SmallIcon([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 160), 2));
        p.drawArc(QRectF(3, 4, 10, 9), 90 * 16, -250 * 16);
        p.setBrush(QColor(0, 0, 160));
        p.drawPolygon(QPolygonF({{1, 6}, {7, 2}, {7, 9}}));
    }));
    bCols2 = new QToolButton(Panel4);
    bCols2->setObjectName("bCols2");
    bCols2->setToolTip("Show/Hide Color Sliders on Toolbox");
    bCols2->setGeometry(106, 133, 24, 20);
    bCols2->setIcon(SmallIcon([](QPainter& p) {
        const QColor cols[3] = {Qt::red, Qt::green, Qt::blue};
        for (int i = 0; i < 3; ++i) {
            p.fillRect(2, 3 + 4 * i, 12, 2, cols[i]);
            p.fillRect(4 + 3 * i, 2 + 4 * i, 2, 4, Qt::black);
        }
    }));

    // The colour sliders.
    pnlColors = new QWidget(Panel1);
    pnlColors->setObjectName("pnlColors");
    pnlColors->setGeometry(0, 238, ClientWidth, HeightWithSliders - HeightWithoutSliders);
    const char* const lblNames[6] = {"Lbl3D1", "Lbl3D2", "Lbl3D3", "Lbl3D4", "Lbl3D5", "Lbl3D6"};
    const char* const captions[6] = {"Lightness", "Contrast", "Saturation", "Red", "Green", "Blue"};
    const char* const barNames[6] = {"sbBright", "sbContrast", "sbSaturation", "sbRed", "sbGreen", "sbBlue"};
    TLbl3D** labels[6] = {&Lbl3D1, &Lbl3D2, &Lbl3D3, &Lbl3D4, &Lbl3D5, &Lbl3D6};
    QScrollBar** bars[6] = {&sbBright, &sbContrast, &sbSaturation, &sbRed, &sbGreen, &sbBlue};
    for (int i = 0; i < 6; ++i) {
        auto* l = new TLbl3D(captions[i], pnlColors);
        l->setObjectName(lblNames[i]);
        l->setGeometry(2, 4 + 23 * i, 66, 18);
        *labels[i] = l;
        auto* s = new QScrollBar(Qt::Horizontal, pnlColors);
        s->setObjectName(barNames[i]);
        s->setGeometry(70, 5 + 23 * i, 108, 16);
        s->setRange(0, 510);
        s->setPageStep(20);
        s->setValue(255);
        connect(s, &QScrollBar::valueChanged, this, [this] { Guarded([this] { sbBrightScroll(false); }); });
        // A move ends when the thumb is let go, and with every arrow, page or key step (reported before
        // the value changes, so it is handled on the next pass).
        connect(s, &QScrollBar::sliderReleased, this, [this] { Guarded([this] { sbBrightScroll(true); }); });
        connect(
            s, &QScrollBar::actionTriggered, this,
            [this](int action) {
                if (action != QAbstractSlider::SliderMove)
                    TWorkScope::AfterWork(this, [this] { Guarded([this] { sbBrightScroll(true); }); });
            },
            Qt::QueuedConnection);
        *bars[i] = s;
    }
    bGood = new QPushButton("OK", pnlColors);
    bGood->setObjectName("bGood");
    bGood->setGeometry(20, 144, 66, 24);
    bBad = new QPushButton("Cancel", pnlColors);
    bBad->setObjectName("bBad");
    bBad->setGeometry(96, 144, 66, 24);
    bGood->hide();
    bBad->hide();
    pnlColors->hide();

    const auto wire = [this](auto* sender, auto signal, void (TfToolBox::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    wire(bGo2, &QPushButton::clicked, &TfToolBox::bGo2Click);
    // Only Use Peaks and Wrap re-show the panel: a click on cbBump must keep its new tick.
    wire(ckbxPeaks, &QCheckBox::clicked, &TfToolBox::ckbxPeaksClick);
    wire(ckbxWrap, &QCheckBox::clicked, &TfToolBox::ckbxPeaksClick);
    wire(SpeedButton1, &QToolButton::clicked, &TfToolBox::SpeedButton1Click);
    wire(bCols2, &QToolButton::clicked, &TfToolBox::bCols2Click);
    wire(btnDefault, &QToolButton::clicked, &TfToolBox::btnDefaultClick);
    wire(bGood, &QPushButton::clicked, &TfToolBox::bGoodClick);
    wire(bBad, &QPushButton::clicked, &TfToolBox::bBadClick);
    connect(sbLR, &QScrollBar::valueChanged, this, [this](int v) { Guarded([this, v] { sbLRScroll(v); }); });
    connect(sbUD, &QScrollBar::valueChanged, this, [this](int v) { Guarded([this, v] { sbUDScroll(v); }); });

    HideAll();
    setMinimumHeight(HeightWithoutSliders - FrameExtra);
    setFixedWidth(ClientWidth);
    SetWindowHeight(HeightWithoutSliders);
    move(3, 1);
}

TfToolBox::~TfToolBox() {
    FormDestroy();
}

void TfToolBox::SetWindowHeight(int frameHeight) {
    resize(ClientWidth, frameHeight - FrameExtra);
}

TColor TfToolBox::PenColor() const {
    return bPen->Color();
}

TColor TfToolBox::BrushColor() const {
    return bBrush->Color();
}

void TfToolBox::SetPenColor(TColor c) {
    bPen->SetColor(c & 0xFFFFFFu);
}

void TfToolBox::SetBrushColor(TColor c) {
    bBrush->SetColor(c & 0xFFFFFFu);
}

void TfToolBox::FormCreate() {
    LRPos = 0;
    UDPos = 0;
    if (!fZorvTile) return;
    // Moves, sizes and maximising of the main window may bring its bars under the tool box.
    fZorvTile->installEventFilter(this);
    const IniFile ini(SettingsPath(fZorvTile->INIDir));
    if (!SettingsGateOpen(ini)) return;
    const int top = ini.ReadInteger("ToolBox", "Top", 1);
    const int left = ini.ReadInteger("ToolBox", "Left", 3);
    move(left, top);
    PlaceStored = true;
    SetPenColor(static_cast<TColor>(ini.ReadInteger("ToolBox", "Pen Color", 0)));
    SetBrushColor(static_cast<TColor>(ini.ReadInteger("ToolBox", "Brush Color", 0xFFFFFF)));
    ePenSize->setText(ini.ReadString("ToolBox", "Pen Size", "2"));
    cFill->setChecked(ini.ReadBool("ToolBox", "Fill Shape", true));
}

void TfToolBox::FormDestroy() {
    if (Destroyed) return;
    Destroyed = true;
    if (!fZorvTile) return;
    const QPoint place = pos();
    const TColor pen = PenColor(), brush = BrushColor();
    const QString size = ePenSize->text();
    const bool fill = cFill->isChecked();
    WriteSettings(SettingsPath(fZorvTile->INIDir), [&](IniFile& ini) {
        ini.WriteInteger("ToolBox", "Top", place.y());
        ini.WriteInteger("ToolBox", "Left", place.x());
        ini.WriteInteger("ToolBox", "Pen Color", static_cast<int>(pen));
        ini.WriteInteger("ToolBox", "Brush Color", static_cast<int>(brush));
        ini.WriteString("ToolBox", "Pen Size", size);
        ini.WriteBool("ToolBox", "Fill Shape", fill);
    });
}

void TfToolBox::PlaceBesideMainWindow() {
    const QScreen* screen = fZorvTile ? fZorvTile->screen() : this->screen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    // move() and pos() place the frame. Until the window manager has framed the tool box, its frame is
    // taken to be like the main window's (title bar and borders).
    QMargins frame(0, 0, 0, 0);
    if (fZorvTile && fZorvTile->isVisible()) {
        const QRect outer = fZorvTile->frameGeometry(), inner = fZorvTile->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const int fw = std::max(frameGeometry().width(), width() + frame.left() + frame.right());
    const int fh = std::max(frameGeometry().height(), height() + frame.top() + frame.bottom());
    int fx = x(), fy = y();
    if (!PlaceStored && fZorvTile && fZorvTile->isVisible()) {
        // First start: beside the main window, left of it when there is room, else right of it, level
        // with its top; never over its menu bar.
        const QRect main = fZorvTile->frameGeometry();
        fx = main.left() - fw - 2;
        if (fx < avail.left()) fx = main.right() + 3;
        fy = main.top();
    }
    // Onto the screen: the whole frame when it fits.
    fx = std::max(avail.left(), std::min(fx, avail.right() + 1 - fw));
    fy = std::max(avail.top(), std::min(fy, avail.bottom() + 1 - fh));
    // The client's place: the frame's place plus the frame's own margins once known, else the estimate.
    const QRect outer = frameGeometry(), inner = geometry();
    const bool framed = outer != inner;
    const int ox = framed ? inner.left() - outer.left() : frame.left();
    const int oy = framed ? inner.top() - outer.top() : frame.top();
    setGeometry(QRect(QPoint(fx + ox, fy + oy), size()));
}

bool TfToolBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fZorvTile && !KeepClearQueued) {
        const QEvent::Type t = event->type();
        if (t == QEvent::Move || t == QEvent::Resize || t == QEvent::WindowStateChange || t == QEvent::Show) {
            // After the main window's bars were laid out for the new size.
            KeepClearQueued = true;
            QTimer::singleShot(0, this, [this] {
                KeepClearQueued = false;
                KeepClearOfBars();
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfToolBox::KeepClearOfBars() {
    if (!fZorvTile || !isVisible() || !fZorvTile->isVisible() || fZorvTile->isMinimized()) return;
    const QMargins margins = WindowFrameMargins(this);
    const QRect frame(pos(), size().grownBy(margins));
    std::vector<QRect> keep = BarItemRects(*fZorvTile);
    // The main window's title bar with its buttons, once the window manager has framed it.
    const QRect mainFrame = fZorvTile->frameGeometry(), mainClient = fZorvTile->geometry();
    if (mainClient.top() > mainFrame.top())
        keep.emplace_back(mainFrame.left(), mainFrame.top(), mainFrame.width(),
                          mainClient.top() - mainFrame.top());
    const QPoint place = PlaceClearOf(frame, keep, AvailableAreaAt(frame.center()));
    if (place != frame.topLeft()) move(place);
}

void TfToolBox::showEvent(QShowEvent* e) {
    // The owner is known to the window system before the tool box is mapped.
    if (fZorvTile && fZorvTile->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(fZorvTile->windowHandle());
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    // Shown from the main window's own show handler, before the main window is mapped: the window
    // manager then takes the tool box for a window without owner and stacks the main window over it.
    // Once the main window is mapped, the tool box is mapped again.
    if (fZorvTile && fZorvTile->isVisible() && fZorvTile->windowHandle() &&
        !fZorvTile->windowHandle()->isVisible())
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && fZorvTile && fZorvTile->windowHandle() &&
                fZorvTile->windowHandle()->isVisible())
                BringToFront();
        });
    if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
    if (!Placed) {
        Placed = true;
        PlaceBesideMainWindow();
        KeepClearOfBars();
        // Window managers frame a window after it is shown: place it again once the frame is known
        // (windows without a window manager have no frame).
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QTimer::singleShot(150, this, [this] {
                PlaceBesideMainWindow();
                KeepClearOfBars();
            });
    }
}

namespace {
TfToolBox::TWindowAtHook& windowAtHook() {
    static TfToolBox::TWindowAtHook hook;
    return hook;
}
} // namespace

void TfToolBox::SetWindowAtHook(TWindowAtHook hook) {
    windowAtHook() = std::move(hook);
}

bool TfToolBox::InView() const {
    if (!isVisible() || isMinimized() || !windowHandle()) return false;
    const bool asked = bool(windowAtHook());
    if (!asked && QGuiApplication::platformName() != QLatin1String("xcb")) return true;
    const QRect client = geometry().adjusted(2, 2, -2, -2);
    for (const QPoint p :
         {client.center(), client.topLeft(), client.topRight(), client.bottomLeft(), client.bottomRight()}) {
        if (!QGuiApplication::screenAt(p)) continue; // off every screen: nobody sees it there
        if ((asked ? windowAtHook()(p) : QGuiApplication::topLevelAt(p)) != windowHandle()) return false;
    }
    return true;
}

void TfToolBox::BringToFront() {
    if (isVisible()) hide();
    show();
    raise();
}

void TfToolBox::closeEvent(QCloseEvent* e) {
    // Closed by its close box (the program itself only hides it): the main window does not show it
    // again when it is shown itself. A pending preview is cancelled first: the main window takes no input
    // until OK or Cancel, and both go with the tool box.
    if (PreviewPending()) Guarded([this] { bBadClick(); });
    if (fZorvTile) fZorvTile->TBFlag = false;
    QDialog::closeEvent(e);
}

void TfToolBox::keyPressEvent(QKeyEvent* e) {
    // Escape is the preview's Cancel while it is shown; otherwise it does nothing (a dialog would hide).
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (PreviewPending()) Guarded([this] { bBadClick(); });
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfToolBox::HideAll() {
    for (QWidget* w : std::initializer_list<QWidget*>{eAmtMain, eAmtSecond, lblMain, lblSecond, ckbxWrap,
                                                      ckbxPeaks, ePeaks2, eHeight2, lblPeaks2, lblHeight2,
                                                      btnDefault, sbUD, sbLR, lblBtn, cbBump, eYPos, lYPos})
        w->hide();
    lblHelp->show();
}

void TfToolBox::SetEffectCaption(const QString& effect) {
    lblEffect->setText(effect);
}

namespace {
TfToolBox::TShowEmHook& showEmHook() {
    static TfToolBox::TShowEmHook hook;
    return hook;
}
} // namespace

void TfToolBox::SetShowEmHook(TShowEmHook hook) {
    showEmHook() = std::move(hook);
}

void TfToolBox::ShowEm(int lvl, const QString& effect) {
    if (showEmHook()) showEmHook()(lvl, effect);
    if (!fZorvTile) return;
    const TEffectPanel panel = EffectPanel(lvl, *fZorvTile, ckbxPeaks->isChecked());
    lblHelp->setText(panel.Help);
    HideAll();
    const auto put = [](const TPanelEdit& e, QLineEdit* edit, QLabel* label) {
        if (!e.Visible) return;
        edit->setText(e.Text);
        label->setText(e.Label);
        edit->show();
        label->show();
    };
    put(panel.Main, eAmtMain, lblMain);
    put(panel.Second, eAmtSecond, lblSecond);
    put(panel.Peaks2, ePeaks2, lblPeaks2);
    put(panel.Height2, eHeight2, lblHeight2);
    put(panel.YPos, eYPos, lYPos);
    if (panel.PeaksWrap) {
        ckbxPeaks->show();
        ckbxWrap->show();
    }
    if (panel.ButtonHint) lblBtn->show();
    if (panel.Bump) {
        cbBump->setText(panel.BumpCaption);
        cbBump->setChecked(panel.BumpChecked);
        cbBump->show();
    }
    if (panel.ScrollBars) {
        const QSignalBlocker lr(sbLR), ud(sbUD);
        const int w = fZorvTile->imSine->width(), h = fZorvTile->imSine->height();
        sbLR->setRange(-w, w);
        sbUD->setRange(-h, h);
        LRPos = sbLR->value();
        UDPos = sbUD->value();
        sbLR->show();
        sbUD->show();
    }
    btnDefault->setVisible(panel.Default);
    lblEffect->setText(effect);
    if (!effect.isEmpty()) {
        QString text = effect;
        for (int i = 0; i < fZorvTile->Effects.size(); ++i)
            if (fZorvTile->Effects[i].compare(effect, Qt::CaseInsensitive) == 0) {
                text += fZorvTile->fxShortCut.value(i);
                break;
            }
        fZorvTile->stBar->SetPanelText(4, text);
    } else {
        fZorvTile->stBar->SetPanelText(4, "Idle...");
    }
}

void TfToolBox::bFreeClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtFreeHand, 10);
}
void TfToolBox::bEllipClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtEllipse, 11);
}
void TfToolBox::bRectClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtRectangle, 12);
}
void TfToolBox::bLineClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtLine, 13);
}
void TfToolBox::bFillClick() {
    fZorvTile->SetTool(true, false, TDrawTool::dtFill, 14);
}
void TfToolBox::bTextClick() {
    fZorvTile->SetTool(false, true, TDrawTool::dtText, 0);
}
void TfToolBox::bSelectClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtSelect, 15);
}
void TfToolBox::bEyeDropClick() {
    fZorvTile->SetTool(false, false, TDrawTool::dtEyeDrop, 16);
}

void TfToolBox::bPenClick() {
    // The drawing tools read the pen colour from the button when they draw.
}

void TfToolBox::bBrushClick() {
    // The drawing tools read the brush colour from the button when they draw.
}

void TfToolBox::bGo2Click() {
    fZorvTile->bGoClick();
}

void TfToolBox::ckbxPeaksClick() {
    fZorvTile->ckbxclk();
}

void TfToolBox::SpeedButton1Click() {
    fZorvTile->bUndoClick();
}

void TfToolBox::bCols2Click() {
    fZorvTile->bColorClick();
}

void TfToolBox::btnDefaultClick() {
    const int lvl = fZorvTile->lvl;
    if (lvl < 0 || lvl >= EffectCount) return;
    fZorvTile->ResetEffectToDefault(lvl);
    ShowEm(lvl, fZorvTile->Effects.value(lvl));
}

bool TfToolBox::ColorSlidersShown() const {
    return !pnlColors->isHidden();
}

void TfToolBox::ShowColorSliders(bool show) {
    pnlColors->setVisible(show);
    SetWindowHeight(show ? HeightWithSliders : HeightWithoutSliders);
}

bool TfToolBox::PreviewPending() const {
    return !bGood->isHidden();
}

void TfToolBox::SetPreviewControls(bool pending) {
    // While a preview waits for OK or Cancel nothing else may change the image.
    for (QWidget* w : std::initializer_list<QWidget*>{bGo2, SpeedButton1, bCols2, sbLR, sbUD, btnDefault})
        w->setEnabled(!pending);
    bGood->setVisible(pending);
    bBad->setVisible(pending);
}

void TfToolBox::sbBrightScroll(bool end) {
    if (end) {
        if (PreviewQueued)
            FocusOkAfterPreview = true;
        else if (PreviewPending())
            bGood->setFocus();
        return;
    }
    // Moves come faster than a large image can be adjusted: one render per pass of the event loop,
    // always with the sliders' latest positions.
    if (PreviewQueued) return;
    PreviewQueued = true;
    // Queued: it changes the picture, so never inside work that runs meanwhile.
    QTimer::singleShot(0, this, [this] {
        TWorkScope::AfterWork(this, [this] {
            PreviewQueued = false;
            Guarded([this] {
                if (!fZorvTile) return;
                if (!PreviewPending()) fZorvTile->ztobuf();
                fZorvTile->ToolScroll();
                fZorvTile->setEnabled(false);
                SetPreviewControls(true);
                if (FocusOkAfterPreview) bGood->setFocus();
                FocusOkAfterPreview = false;
            });
        });
    });
}

void TfToolBox::EndPreview() {
    for (QScrollBar* s : {sbBright, sbContrast, sbSaturation, sbRed, sbGreen, sbBlue}) {
        const QSignalBlocker block(s);
        s->setValue(255);
    }
    fZorvTile->setEnabled(true);
    SetPreviewControls(false);
    fZorvTile->activateWindow();
    fZorvTile->setFocus();
}

void TfToolBox::bGoodClick() {
    if (!PreviewPending()) return;
    fZorvTile->CopyUnDo();
    // buf holds the preview: it becomes the image, and the positions are logged.
    struct TEnd {
        TfToolBox* T;
        ~TEnd() { T->EndPreview(); }
    } end{this};
    fZorvTile->buftoz(sbBright->value(), sbContrast->value(), sbSaturation->value(), sbRed->value(),
                      sbGreen->value(), sbBlue->value());
    fZorvTile->SetToIm(fZorvTile->z);
}

void TfToolBox::bBadClick() {
    if (!PreviewPending()) return;
    fZorvTile->SetToIm(fZorvTile->z);
    EndPreview();
}

void TfToolBox::sbLRScroll(int position) {
    fZorvTile->Val(45) = StrToInt(eAmtMain->text());
    if (position > LRPos) fZorvTile->ScrollImLR(1);
    if (position < LRPos) fZorvTile->ScrollImLR(0);
    LRPos = position;
}

void TfToolBox::sbUDScroll(int position) {
    fZorvTile->Val(45) = StrToInt(eAmtMain->text());
    if (position > UDPos) fZorvTile->ScrollImUD(1);
    if (position < UDPos) fZorvTile->ScrollImUD(0);
    UDPos = position;
}
