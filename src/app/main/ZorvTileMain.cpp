// The main window: layout, creation, first show, hiding, closing and destruction.

#include "app/main/ZorvTileMain.h"

#include "app/effects/EffectCatalogue.h"
#include "app/dialogs/LogViewer.h"
#include "app/main/Glyphs.h"
#include "app/main/SharedShortcuts.h"
#include "app/main/WorkProgress.h"
#include "controls/Label3D.h"
#include "app/dialogs/AllForms.h"
#include "platform/Cursor.h"
#include "platform/DialogWidth.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/Folders.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>

TfZorvTile* fZorvTile = nullptr;
int UndoLevels = 15;

namespace {

// A thumbnail's 3-D label: inset until its thumbnail receives a picture of its own, then raised.
TLbl3D* InsetLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new TLbl3D(text, parent);
    l->setObjectName(name);
    l->SetTextStyle(tsInset);
    return l;
}

QLabel* Thumbnail(QWidget* parent, const char* name, const QString& hint) {
    auto* t = new QLabel(parent);
    t->setObjectName(name);
    t->setFixedSize(65, 65);
    t->setScaledContents(true);
    t->setFrameShape(QFrame::Box);
    t->setToolTip(hint);
    return t;
}

// The width the effect tree needs to show every item whole with every branch open: the deepest
// indentation, the text with the item's margins, the frame and a vertical scroll bar.
int EffectTreeWidth(QTreeWidget& tree) {
    const QFontMetrics fm(tree.font());
    int widest = 0;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        int depth = tree.rootIsDecorated() ? 1 : 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++depth;
        widest = std::max(widest, tree.indentation() * depth + fm.horizontalAdvance((*it)->text(0)));
    }
    const QStyle* style = tree.style();
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1;
    return widest + 2 * textMargin + 2 * tree.frameWidth() +
           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &tree) + 2;
}

} // namespace

TfZorvTile::TfZorvTile(QWidget* parent) : QMainWindow(parent) {
    setObjectName("fZorvTile");
    setWindowTitle("Mozaro");
    resize(541, 446);
    move(195, 1);
    Image2 = PaintGlyphStrip();
    // Every dialog the program shows is at least as wide as its title.
    WidenDialogsToTitles();
    BuildMenus();
    BuildToolBar();
    BuildClient();
    WireFileCommands();
    WireImageCommands();
    WireDrawingTools();
    WireGradientCommands();
}

void TfZorvTile::BuildClient() {
    auto* client = new QWidget(this);
    client->setObjectName("Client");
    auto* outer = new QVBoxLayout(client);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    outer->addLayout(row, 1);

    // Left panel: thumbnails of the gradient and the buffer, and the effect tree.
    auto* left = new QWidget(client);
    left->setObjectName("Panel1");
    left->setFixedWidth(185);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(4, 4, 4, 4);
    lv->addWidget(InsetLabel(left, "Lbl3D3", "Thumbnail Previews"));
    auto* thumbs = new QGridLayout;
    imGrad = Thumbnail(left, "imGrad", "Current Gradient (Dbl-Click to Paste into Image)");
    imGrad->setVisible(false);
    imBuffer = Thumbnail(left, "imBuffer", "Current Buffer Image (Dbl-Click to Paste into Image)");
    thumbs->addWidget(imGrad, 0, 0, Qt::AlignCenter);
    thumbs->addWidget(imBuffer, 0, 1, Qt::AlignCenter);
    thumbs->addWidget(InsetLabel(left, "Lbl3D1", "Gradient"), 1, 0);
    thumbs->addWidget(InsetLabel(left, "Lbl3D2", "Buffer"), 1, 1);
    thumbs->setRowMinimumHeight(0, 67);
    lv->addLayout(thumbs);
    auto* expand = new QToolButton(left);
    expand->setObjectName("bExpand");
    expand->setText("E");
    expand->setToolTip("Expand/Collapse Tree branches");
    lv->addWidget(expand, 0, Qt::AlignLeft);
    TreeView1 = new QTreeWidget(left);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    // Long names scroll rather than being cut.
    TreeView1->setIndentation(14);
    TreeView1->setTextElideMode(Qt::ElideNone);
    TreeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeView1->header()->setStretchLastSection(false);
    lv->addWidget(TreeView1, 1);
    FillEffectTree();
    // Wide enough for the longest effect name with every branch open, in the running font.
    const QMargins m = lv->contentsMargins();
    left->setFixedWidth(std::max(185, EffectTreeWidth(*TreeView1) + m.left() + m.right()));
    row->addWidget(left);

    // The image area: a borderless scroll box holding pnlSine with the image control.
    ScrollBox1 = new QScrollArea(client);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pnlSine = new QWidget;
    pnlSine->setObjectName("pnlSine");
    imSine = new TImageView(pnlSine);
    imSine->setObjectName("imSine");
    imSine->move(0, 0);
    // The floating text image and the floating pasted selection, hidden until used.
    auto* imText = new QLabel(pnlSine);
    imText->setObjectName("imText");
    imText->hide();
    auto* pPaste = new QWidget(pnlSine);
    pPaste->setObjectName("pPaste");
    auto* imPaste = new QLabel(pPaste);
    imPaste->setObjectName("imPaste");
    pPaste->hide();
    ScrollBox1->setWidget(pnlSine);
    row->addWidget(ScrollBox1, 1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    for (const auto& [name, caption] :
         {std::pair{"ColorWheel1", "Color Wheel"}, std::pair{"Rainbow1", "Rainbow"},
          std::pair{"MultiGradient1", "Multi Gradient..."}, std::pair{"Resize1", "Resize..."},
          std::pair{"Copy2", "Copy"}, std::pair{"Paste2", "Paste"}}) {
        QAction* a = PopupMenu1->addAction(caption);
        a->setObjectName(name);
        a->setEnabled(false); // their commands come with the effects, gradients and clipboard
    }
    imSine->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(imSine, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(imSine->mapToGlobal(p)); });

    auto* timer = new QTimer(this);
    timer->setObjectName("Timer1");
    timer->setInterval(100);

    stBar = new TStatusBar(client);
    stBar->setObjectName("stBar");
    // The small font the panel widths were made for (as in the tool box): in the larger default font
    // the effect and its shortcut ("StretchBlur with Buffer Ctrl-F6") do not fit panel 4.
    QFont small = stBar->font();
    small.setPointSize(8);
    stBar->setFont(small);
    stBar->AddPanel("Width: 512", 75);
    stBar->AddPanel("Height: 512", 75);
    stBar->AddPanel("X:", 50);
    stBar->AddPanel("Y:", 50);
    stBar->AddPanel("Idle...", 175);
    stBar->AddPanel(QString(), 50);
    stBar->SetOwnerDraw(5, [this](QPainter& p, const QRect& r) { stBarDrawPanel(p, r); });
    // Wide enough for five-digit sizes and positions and for every text the panels show.
    stBar->FitPanel(0, {{0, "Width: 00000"}});
    stBar->FitPanel(1, {{0, "Height: 00000"}});
    stBar->FitPanel(2, {{0, "X: -00000"}});
    stBar->FitPanel(3, {{0, "Y: -00000"}});
    stBar->FitPanel(4, {{0, "Left: -00000 Top: -00000"}});
    stBar->FitPanel(5, {{5, "Not Logging"}, {18, "Logging"}});
    outer->addWidget(stBar);

    setCentralWidget(client);
}

void TfZorvTile::FormCreate() {
    INIDir = DocumentsFolder();
    if (INIDir.isEmpty()) INIDir = SettingsFallbackFolder();
    jcv = 90;
    WeShowed = false;
    cb = QImage(16, 16, QImage::Format_BGR888);

    // The image: 512 x 512 black (a new pixel buffer is zero-filled), and its copies.
    z.SetSize(512, 512, 24, 0);
    CopyDIB(z, buf);
    CopyDIB(z, bufr);
    SetToIm(z);
    CopyDIB(z, orig);

    Effects = EffectNames();
    fxShortCut = EffectShortCuts();
    SetEffectDefaults();
    Fill = Texting = TextNow = false;
    Tool = TDrawTool::dtFreeHand;
    Rop2Mode = 0;
    FlagB = false;
    DrawGFlag = false;
    DesnGFlag = true;
    Logging = false;

    LoadSettings();
    lvl = -1;
    imSine->setCursor(DrawingCursor(10));

    Ring.Reset(UndoLevels);
    UpdateUndoButton();

    // The menu shortcuts act also while the tool box or the log viewer is the active window.
    if (fToolBox) ShareShortcuts(*this, *fToolBox);
    if (fLog) ShareShortcuts(*this, *fLog);
}

void TfZorvTile::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

void TfZorvTile::hideEvent(QHideEvent* e) {
    QMainWindow::hideEvent(e);
    if (!e->spontaneous() && !Destroyed) Guarded([this] { FormHide(); });
}

void TfZorvTile::FormShow() {
    if (TBFlag && fToolBox) fToolBox->show();
    setEnabled(true);
    if (!WeShowed) {
        WeShowed = true;
        // It opens the start-up file: never inside work that is running meanwhile.
        QMetaObject::invokeMethod(
            this, [this] { TWorkScope::AfterWork(this, [this] { Guarded([this] { AfterShow(); }); }); },
            Qt::QueuedConnection);
    }
}

void TfZorvTile::AfterShow() {
    QApplication::processEvents();
    ShowFirstGradient();
    if (fToolBox) fToolBox->show();
    if (StartFile.isEmpty()) return;
    // The picture named on the command line: no undo step and no log line.
    OpenStartFile(StartFile);
}

void TfZorvTile::FormHide() {
    if (fToolBox && fToolBox->isVisible()) {
        TBFlag = true;
        fToolBox->hide();
    }
}

void TfZorvTile::bToolsClick() {
    if (!fToolBox) return;
    // The button acts on what the user sees: a tool box that is shown but covered comes to the front;
    // only one in view is hidden.
    if (fToolBox->isVisible() && !fToolBox->InView()) {
        fToolBox->BringToFront();
        TBFlag = true;
        return;
    }
    fToolBox->setVisible(!fToolBox->isVisible());
    TBFlag = fToolBox->isVisible();
}

void TfZorvTile::FormClose(TCloseAction& Action) {
    if (!PromptforSaveAtTermination1->isChecked()) {
        Action = TCloseAction::caFree;
        return;
    }
    const int answer = MessageDlg(
        "Save the Current Image?\r\r(To avoid this prompt, uncheck the menu item under the Options menu)",
        TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel);
    if (answer == mrYes)
        // A cancelled or failed save keeps the window open, so the image is never lost (a failure
        // raises, and the guard around the close shows it and keeps the window).
        Action = SaveImageAs() ? TCloseAction::caFree : TCloseAction::caNone;
    else if (answer == mrNo)
        Action = TCloseAction::caFree;
    else
        Action = TCloseAction::caNone;
}

void TfZorvTile::closeEvent(QCloseEvent* e) {
    TCloseAction action = TCloseAction::caNone;
    Guarded([&] { FormClose(action); });
    if (action == TCloseAction::caNone) {
        e->ignore();
        return;
    }
    e->accept();
    if (fToolBox) fToolBox->hide();
    QCoreApplication::quit();
}

TfZorvTile::~TfZorvTile() {
    FormDestroy();
}

void TfZorvTile::FormDestroy() {
    if (Destroyed) return;
    Destroyed = true;
    // The log is closed whatever happens before.
    struct LogCloser {
        TfZorvTile* W;
        ~LogCloser() {
            try {
                W->CloseLogFile();
            } catch (const std::exception& e) {
                ShowException(e);
            } catch (...) {
            }
        }
    } closer{this};
    Guarded([this] { SaveSettings(); });
    z.SetSize(0, 0, 0, 0);
    buf.SetSize(0, 0, 0, 0);
    bufr.SetSize(0, 0, 0, 0);
    orig.SetSize(0, 0, 0, 0);
    cb = QImage();
    if (fZorvTile == this) fZorvTile = nullptr;
}
