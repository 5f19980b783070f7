#include "app/dialogs/TileTester.h"

#include "app/main/ZorvTileMain.h"
#include "image/Color.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <array>

TfTester* fTester = nullptr;

namespace {
const QString SampleText = "Sample Text";
// The sixteen colours of the sample lines, top to bottom ($00BBGGRR).
constexpr std::array<unsigned, 16> SampleColors{0x000000, 0xFFFFFF, 0xFFFF00, 0xFF0000, 0x0000FF, 0xFF00FF,
                                                0x800080, 0x00FFFF, 0x008000, 0x800000, 0x00FF00, 0x000080,
                                                0x008080, 0x808080, 0x808000, 0xC0C0C0};
} // namespace

TfTester::TfTester(QWidget* parent) : QDialog(parent) {
    setObjectName("fTester");
    setWindowTitle("Test Tiles");
    setAttribute(Qt::WA_OpaquePaintEvent);
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(296, 56, 65, 41);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    resize(640, 480);
}

void TfTester::Show() {
    showMaximized();
    raise();
    activateWindow();
}

void TfTester::Button1Click() {
    hide();
}

void TfTester::DrawSample(QPainter& p, int x, int y, unsigned c) {
    p.setPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    // The text's top-left corner at (x, y), without a background.
    p.drawText(QRect(x, y, 100000, 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, SampleText);
}

void TfTester::FormPaint(QPainter& p) {
    const QRect client = rect();
    if (fZorvTile && !fZorvTile->z.Empty())
        TileDrawDIB(p, fZorvTile->z, client);
    else
        p.fillRect(client, Qt::black);
    if (!fZorvTile || !fZorvTile->ShowSampleTextonTestPage1 ||
        !fZorvTile->ShowSampleTextonTestPage1->isChecked())
        return;
    QFont big = font();
    big.setPointSize(28);
    big.setBold(true);
    p.setFont(big);
    for (int i = 0; i < 16; ++i) DrawSample(p, 8, 36 * i, SampleColors[i]);
    QFont small = font();
    small.setPointSize(12);
    small.setBold(false);
    p.setFont(small);
    const int x = client.width() - p.fontMetrics().horizontalAdvance(SampleText) - 12;
    for (int i = 0; i < 16; ++i) DrawSample(p, x, 36 * i, SampleColors[i]);
}

void TfTester::paintEvent(QPaintEvent*) {
    QPainter p(this);
    FormPaint(p);
}

void TfTester::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    update();
}

void TfTester::FormHide() {
    if (fZorvTile) fZorvTile->show();
}

void TfTester::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    qApp->installEventFilter(this);
}

bool TfTester::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Z ends the test on its press already: under X11 the release of a key pressed with Ctrl
    // does not always arrive.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
        CtrlZ(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TfTester::CtrlZ(const QKeyEvent* e) {
    if (e->key() != Qt::Key_Z || !(e->modifiers() & Qt::ControlModifier) || !isVisible()) return false;
    hide();
    return true;
}

void TfTester::hideEvent(QHideEvent* e) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormHide(); });
}

void TfTester::closeEvent(QCloseEvent* e) {
    // Closing the window only hides it, so the program never ends from here.
    e->ignore();
    hide();
}

void TfTester::keyPressEvent(QKeyEvent* e) {
    // Escape would reject the dialog: it hides the window the same way.
    if (e->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfTester::keyReleaseEvent(QKeyEvent* e) {
    if (CtrlZ(e)) return;
    QDialog::keyReleaseEvent(e);
}
