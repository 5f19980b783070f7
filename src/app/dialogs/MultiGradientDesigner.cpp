#include "app/dialogs/MultiGradientDesigner.h"

#include "app/dialogs/DesignerSupport.h"
#include "app/dialogs/GradientPointOptions.h"
#include "app/dialogs/MultiGradientModel.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

#include <algorithm>
#include <stdexcept>

TfMultGrad* fMultGrad = nullptr;

namespace {

TfMultGrad::TExecuteHook& executeHook() {
    static TfMultGrad::TExecuteHook hook;
    return hook;
}
TfMultGrad::TColorHook& colorHook() {
    static TfMultGrad::TColorHook hook;
    return hook;
}

void Colour(QWidget* w, TColor c) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    w->update();
}

// Shows the designer's gradient picture at its own size, top left.
class TGradPaintBox : public QWidget {
public:
    TGradPaintBox(TfMultGrad& owner, QWidget* parent) : QWidget(parent), Owner(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        DrawDIB(p, Owner.grad, 0, 0);
    }

private:
    TfMultGrad& Owner;
};

constexpr int BarTop = 0; // the bar's place on the scrolled canvas
constexpr int BarThick = 25;
constexpr int PictureGap = 40; // from the bar's outer edge to the picture

} // namespace

// --- markers ---------------------------------------------------------------------------------------

TGradientMarker::TGradientMarker(TfMultGrad& owner, QWidget* bar, int index)
    : QFrame(bar), Tag(index), Owner(owner) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
    setCursor(Qt::SizeAllCursor);
}

void TGradientMarker::SetColor(TColor c) {
    FColor = c & 0xFFFFFF;
    Colour(this, FColor);
}

void TGradientMarker::Place(int pos, bool vert) {
    FPos = pos;
    if (vert)
        setGeometry(pos, -24, 5, 98);
    else
        setGeometry(-24, pos, 98, 5);
}

void TGradientMarker::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        Dragging = true;
        DragStartPos = FPos;
        DragStartMouse = e->globalPosition().toPoint();
        return;
    }
    TfMultGrad& owner = Owner; // the marker may be gone when the handler returns
    const Qt::MouseButton button = e->button();
    Guarded([&] { owner.MarkerMouseDown(*this, button); });
}

void TGradientMarker::mouseMoveEvent(QMouseEvent* e) {
    if (!Dragging) return;
    const QPoint d = e->globalPosition().toPoint() - DragStartMouse;
    const int along = Owner.vert ? d.x() : d.y();
    Guarded([&] { Owner.MarkerDragged(*this, DragStartPos + along); });
}

void TGradientMarker::mouseReleaseEvent(QMouseEvent* e) {
    if (!Dragging || e->button() != Qt::LeftButton) return;
    Dragging = false;
    Guarded([&] { Owner.MarkerDragEnd(*this); });
}

void TGradientMarker::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    Dragging = false;
    Guarded([&] { Owner.MarkerDblClick(*this); });
}

void TGradientMarker::enterEvent(QEnterEvent*) {
    Owner.MarkerMouseEnter(*this);
}

// --- the designer ----------------------------------------------------------------------------------

TfMultGrad::TfMultGrad(QWidget* parent) : QDialog(parent) {
    setObjectName("fMultGrad");
    setWindowTitle("Multi-Gradient Designer");
    auto* v = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto edit = [this, top](const char* name, const char* label) {
        auto* l = new QLabel(label, this);
        auto* e = new QLineEdit("512", this);
        e->setObjectName(name);
        e->setFixedWidth(56);
        top->addWidget(l);
        top->addWidget(e);
        return e;
    };
    eWide = edit("eWide", "Width");
    eHigh = edit("eHigh", "Height");
    top->addSpacing(12);
    auto button = [this, top](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        top->addWidget(b);
        return b;
    };
    Button1 = button("Button1", "OK");
    Button1->setDefault(true);
    Button2 = button("Button2", "Cancel");
    Button3 = button("Button3", "Clear");
    Button4 = button("Button4", "Default");
    bRotate = button("bRotate", "Rotate");
    top->addStretch(1);
    v->addLayout(top);

    auto* middle = new QHBoxLayout;
    Label3 =
        new QLabel(" Usage:\nRight-Click top bar add a color marker.\nDrag markers to desired positions.\n"
                   "Double-Click top bar to change color.\nDouble-Click markers to change color.\n"
                   "Right-Click marker to delete.",
                   this);
    Label3->setObjectName("Label3");
    middle->addWidget(Label3);
    cbShowOpts = new QCheckBox("Show positioning options", this);
    cbShowOpts->setObjectName("cbShowOpts");
    middle->addWidget(cbShowOpts, 0, Qt::AlignTop);
    middle->addStretch(1);
    v->addLayout(middle);

    // The bar and the picture scroll together, so that markers stay over their places.
    Scroller = new QScrollArea(this);
    Scroller->setObjectName("sbGrad");
    Scroller->setWidgetResizable(false);
    Scroller->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Canvas = new QWidget;
    pBack = new QFrame(Canvas);
    pBack->setObjectName("pBack");
    pBack->setToolTip("Right-Click to add marker");
    pBack->installEventFilter(this);
    pb = new TGradPaintBox(*this, Canvas);
    pb->setObjectName("pb");
    Scroller->setWidget(Canvas);
    v->addWidget(Scroller, 1, Qt::AlignLeft | Qt::AlignTop);

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(Button3, &QPushButton::clicked, this, [this] { Guarded([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { Guarded([this] { Button4Click(); }); });
    connect(bRotate, &QPushButton::clicked, this, [this] { Guarded([this] { bRotateClick(); }); });
    connect(eWide, &QLineEdit::textChanged, this, [this] { Guarded([this] { eWideChange(); }); });
    connect(eHigh, &QLineEdit::textChanged, this, [this] { Guarded([this] { eHighChange(); }); });
    eWide->installEventFilter(this);
    eHigh->installEventFilter(this);
}

TfMultGrad::~TfMultGrad() = default;

void TfMultGrad::FormCreate() {
    mrkSize = 0;
    vert = true;
    SetBySwap = false;
    SizeGrad(512, 512);
    DrawGradient(); // black: no markers, black end colour
}

void TfMultGrad::SetpBackColor(TColor c) {
    FBackColor = c & 0xFFFFFF;
    Colour(pBack, FBackColor);
}

void TfMultGrad::SizeGrad(int w, int h) {
    TFastDIB sized;
    sized.SetSize(w, h, 24, 0);
    grad.Swap(sized);
}

int TfMultGrad::AxisLength() const {
    return vert ? grad.Width : grad.Height;
}

void TfMultGrad::LayOut() {
    if (vert) {
        pBack->setGeometry(0, BarTop, grad.Width, BarThick);
        pb->setGeometry(0, BarTop + PictureGap, grad.Width, grad.Height);
    } else {
        pBack->setGeometry(0, BarTop, BarThick, grad.Height);
        pb->setGeometry(PictureGap, BarTop, grad.Width, grad.Height);
    }
    Canvas->resize(pb->geometry().right() + 1, pb->geometry().bottom() + 1);
    // The window fits its contents, but never grows past the screen: larger pictures scroll.
    FitWindowAroundPicture(*this, *Scroller, Canvas->size());
}

void TfMultGrad::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

void TfMultGrad::FormShow() {
    LoadGradient();
    DrawGradient();
    LayOut();
    repaint();
}

bool TfMultGrad::eventFilter(QObject* watched, QEvent* event) {
    // Leaving a size edit checks its text, unless the focus goes to OK (which checks it) or Cancel, or
    // to another window (the message box among them).
    if (event->type() == QEvent::FocusOut && (watched == eWide || watched == eHigh)) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        const QWidget* next = QApplication::focusWidget();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason && next != Button1 &&
            next != Button2)
            CheckIntegerEdit(*static_cast<QLineEdit*>(watched));
    }
    if (watched == pBack) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(event);
            const QPoint p = m->position().toPoint();
            Guarded([&] { pBackMouseDown(m->button(), p.x(), p.y()); });
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                Guarded([this] { pBackDblClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfMultGrad::pBackMouseDown(Qt::MouseButton button, int X, int Y) {
    if (button == Qt::RightButton) AddMarker(vert ? X : Y);
}

void TfMultGrad::pBackDblClick() {
    TColor c = pBackColor();
    if (!ExecuteColorDialog(c)) return;
    SetpBackColor(c);
    DrawGradient();
    repaint();
}

void TfMultGrad::MarkerMouseDown(TGradientMarker& m, Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    DeleteMarker(m.Tag);
    DrawGradient();
}

void TfMultGrad::MarkerDragged(TGradientMarker& m, int pos) {
    // The marker moves along the bar only and stays on it.
    m.Place(std::clamp(pos, 0, std::max(AxisLength() - 1, 0)), vert);
}

void TfMultGrad::MarkerDragEnd(TGradientMarker& m) {
    m.Place(m.Pos(), vert);
    DrawGradient();
    repaint();
}

void TfMultGrad::MarkerDblClick(TGradientMarker& m) {
    TColor c = m.Color();
    if (!ExecuteColorDialog(c)) return;
    m.SetColor(c);
    DrawGradient();
    repaint();
}

void TfMultGrad::MarkerMouseEnter(TGradientMarker& m) {
    const TColor c = m.Color();
    m.setToolTip(QString("%1%2 R: %3 G: %4 B: %5")
                     .arg(vert ? "Left: " : "Top: ")
                     .arg(m.Pos())
                     .arg(GetRValue(c))
                     .arg(GetGValue(c))
                     .arg(GetBValue(c)));
}

void TfMultGrad::Button3Click() {
    if (mrkSize == 0) return;
    FreeMarkers();
    DrawGradient();
    repaint();
}

void TfMultGrad::Button4Click() {
    SetDefaultGradient();
    DrawGradient();
    LayOut();
    repaint();
}

void TfMultGrad::FreeMarkers() {
    // A marker may be freed from inside its own mouse handler: it is hidden now and deleted later.
    for (TGradientMarker* m : mrkPnl) {
        m->hide();
        m->deleteLater();
    }
    mrkPnl.clear();
    mrkSize = 0;
}

void TfMultGrad::AppendMarker(int pos, TColor c) {
    auto* m = new TGradientMarker(*this, pBack, static_cast<int>(mrkPnl.size()));
    m->setObjectName(QString("Marker%1").arg(mrkPnl.size()));
    m->SetColor(c);
    m->Place(pos, vert);
    m->show();
    mrkPnl.push_back(m);
    mrkSize = static_cast<int>(mrkPnl.size());
}

void TfMultGrad::AddMarker(int Pos) {
    TColor c = CDColor;
    int pos = Pos;
    if (cbShowOpts->isChecked()) {
        TfMultOpt& o = *fMultOpt;
        o.Prepare(Pos, AxisLength(), vert, CDColor);
        if (o.Execute() != mrOk) return;
        c = o.ChosenColor();
        CDColor = c;
        pos = o.pixLeft;
    } else {
        if (!ExecuteColorDialog(c)) return;
        CDColor = c;
    }
    AppendMarker(std::clamp(pos, 0, std::max(AxisLength() - 1, 0)), c);
    DrawGradient();
    repaint();
}

void TfMultGrad::DeleteMarker(int k) {
    if (k < 0 || k >= mrkSize) return;
    // The markers after k move down one place, so tags stay equal to indices; the last panel goes.
    for (int j = k; j + 1 < mrkSize; ++j) {
        TGradientMarker* next = mrkPnl[static_cast<std::size_t>(j + 1)];
        mrkPnl[static_cast<std::size_t>(j)]->Place(next->Pos(), vert);
        mrkPnl[static_cast<std::size_t>(j)]->SetColor(next->Color());
    }
    TGradientMarker* last = mrkPnl.back();
    last->hide();
    last->deleteLater();
    mrkPnl.pop_back();
    mrkSize = static_cast<int>(mrkPnl.size());
    DrawGradient();
    repaint();
}

void TfMultGrad::SetDefaultGradient() {
    FreeMarkers();
    Gradient.bars = 3;
    Gradient.pos = {45, 90, 135};
    Gradient.color = {Trgb{235, 150, 50}, Trgb{0, 0, 0}, Trgb{150, 125, 225}};
    Gradient.bkcolor = Trgb{0, 0, 0};
    Gradient.width = 512;
    Gradient.height = 512;
    Gradient.vertical = vert;
    LoadGradient();
}

void TfMultGrad::LoadGradient() {
    FreeMarkers();
    // The record may come from a settings file or a caller: make it safe to draw first.
    CheckGradient(Gradient);
    SizeGrad(Gradient.width, Gradient.height);
    vert = Gradient.vertical;
    {
        const QSignalBlocker bw(eWide), bh(eHigh);
        eWide->setText(QString::number(grad.Width));
        eHigh->setText(QString::number(grad.Height));
    }
    SetpBackColor(TrgbToColor(Gradient.bkcolor));
    for (const TGradientStop& s : StopsOf(Gradient)) AppendMarker(s.Pos, s.Color);
    LayOut();
}

void TfMultGrad::DrawGradient() {
    std::vector<TGradientStop> stops;
    stops.reserve(mrkPnl.size());
    for (const TGradientMarker* m : mrkPnl) stops.push_back({m->Pos(), m->Color()});
    ::DrawGradient(grad, stops, pBackColor(), vert);
    pb->update();
}

int TfMultGrad::MarkersRight() const {
    int r = 1;
    for (const TGradientMarker* m : mrkPnl) r = std::max(r, m->x() + m->width());
    return r;
}

int TfMultGrad::MarkersBottom() const {
    int b = 1;
    for (const TGradientMarker* m : mrkPnl) b = std::max(b, m->y() + m->height());
    return b;
}

// A text that is not (yet) a whole number changes nothing while it is typed; OK and leaving the edit
// refuse it. Sizes below the markers' extent or above the largest picture are ignored.
void TfMultGrad::eWideChange() {
    int w = 0;
    if (SetBySwap || !TextToInt(eWide->text(), w)) return;
    if (w < MarkersRight() || w > MaxGradientSide || w == grad.Width) return;
    SizeGrad(w, grad.Height);
    DrawGradient();
    LayOut();
    repaint();
}

void TfMultGrad::eHighChange() {
    int h = 0;
    if (SetBySwap || !TextToInt(eHigh->text(), h)) return;
    if (h < MarkersBottom() || h > MaxGradientSide || h == grad.Height) return;
    SizeGrad(grad.Width, h);
    DrawGradient();
    LayOut();
    repaint();
}

void TfMultGrad::Button1Click() {
    // A size edit whose text is no number keeps the dialog open, with the edit ready to correct.
    for (QLineEdit* e : {eWide, eHigh})
        if (!CheckIntegerEdit(*e)) {
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
            return;
        }
    done(mrOk);
}

void TfMultGrad::bRotateClick() {
    vert = !vert;
    SetBySwap = true;
    SizeGrad(grad.Height, grad.Width);
    {
        const QString w = eWide->text();
        eWide->setText(eHigh->text());
        eHigh->setText(w);
    }
    SetBySwap = false;
    // A marker keeps its number: its former Top becomes its Left and the other way round.
    for (TGradientMarker* m : mrkPnl) m->Place(m->Pos(), vert);
    DrawGradient();
    LayOut();
    repaint();
}

int TfMultGrad::Execute() {
    if (executeHook()) {
        FormShow();
        return executeHook()(*this);
    }
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfMultGrad::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}

bool TfMultGrad::ExecuteColorDialog(TColor& c) {
    if (colorHook()) return colorHook()(c);
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(c), GetGValue(c), GetBValue(c)), this);
    if (!chosen.isValid()) return false;
    c = RGBColor(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

void TfMultGrad::SetColorDialogHook(TColorHook hook) {
    colorHook() = std::move(hook);
}
