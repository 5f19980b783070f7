// The main window's menu tree and tool bar.

#include "app/effects/EffectCatalogue.h"
#include "app/main/Glyphs.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

// The Pen menu's raster modes, index = Rop2Mode.
const char* const PenItemNames[12][2] = {
    {"Normal1", "Normal"},           {"MaskNotPen1", "MaskNotPen"},   {"MaskPen1", "MaskPen"},
    {"MaskPenNot1", "MaskPenNot"},   {"MergeNotPen1", "MergeNotPen"}, {"MergePen1", "MergePen"},
    {"MergePenNot1", "MergePenNot"}, {"NotCopyPen1", "NotCopyPen"},   {"NotMaskPen1", "NotMaskPen"},
    {"NotMergePen1", "NotMergePen"}, {"NotXORPen1", "NotXORPen"},     {"XORPen1", "XORPen"},
};

QMenu* AddMenu(QWidget* parent, QMenuBar* bar, QMenu* into, const char* name, const QString& caption) {
    auto* m = new QMenu(caption, parent);
    m->setObjectName(name);
    m->menuAction()->setObjectName(QString(name) + "Item");
    if (bar)
        bar->addMenu(m);
    else
        into->addMenu(m);
    return m;
}

// Adds an item. An item that needs a state first (a buffer, a gradient) is created disabled.
QAction* AddItem(QMenu* m, const char* name, const QString& caption, const QKeySequence& keys = {},
                 bool enabled = true) {
    auto* a = m->addAction(caption);
    a->setObjectName(name);
    if (!keys.isEmpty()) a->setShortcut(keys);
    a->setEnabled(enabled);
    return a;
}

QAction* AddOption(QMenu* m, const char* name, const QString& caption, bool ticked) {
    auto* a = AddItem(m, name, caption);
    a->setCheckable(true);
    a->setChecked(ticked);
    return a;
}

} // namespace

void TfZorvTile::OnTriggered(QAction* a, void (TfZorvTile::*cmd)()) {
    connect(a, &QAction::triggered, this, [this, cmd] { Guarded([this, cmd] { (this->*cmd)(); }); });
}

void TfZorvTile::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* file = AddMenu(this, bar, nullptr, "File1", "&File");
    AddItem(file, "Open1", "&Open");
    AddItem(file, "New1", "&New");
    AddItem(file, "SaveAs1", "&Save As...");
    OnTriggered(AddItem(file, "Print1", "&Print..."), &TfZorvTile::Print1Click);
    QMenu* log = AddMenu(this, nullptr, file, "Log1", "&Log");
    OnTriggered(AddItem(log, "LogthisSession1", "Start &New Log"), &TfZorvTile::LogthisSession1Click);
    OnTriggered(AddItem(log, "CloseLog1", "&Close Log"), &TfZorvTile::CloseLog1Click);
    OnTriggered(AddItem(log, "AppendtoLog1", "&Append to Log"), &TfZorvTile::AppendtoLog1Click);
    OnTriggered(AddItem(log, "ViewLog1", "&View Log"), &TfZorvTile::ViewLog1Click);
    OnTriggered(AddItem(log, "EditLog1", "&Edit Log"), &TfZorvTile::EditLog1Click);
    file->addSeparator();
    // Closing goes through the close question like the window's own close box.
    connect(AddItem(file, "Exit1", "E&xit"), &QAction::triggered, this, [this] { close(); });

    QMenu* edit = AddMenu(this, bar, nullptr, "Edit1", "&Edit");
    UnDo1 = AddItem(edit, "UnDo1", "UnDo", QKeySequence("Ctrl+Z"));
    OnTriggered(UnDo1, &TfZorvTile::UnDo1Click);
    AddItem(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"));
    QMenu* paste = AddMenu(this, nullptr, edit, "Paste1", "&Paste");
    AddItem(paste, "AsSelection1", "As &Selection");
    AddItem(paste, "ReplaceImage1", "Re&place Image", QKeySequence("Ctrl+V"));
    AddItem(paste, "Transparent1", "&Transparent");
    Reset1 = AddItem(edit, "Reset1", "&Reset");
    OnTriggered(Reset1, &TfZorvTile::Reset1Click);

    QMenu* grad = AddMenu(this, bar, nullptr, "Gradient1", "&Gradient");
    AddItem(grad, "Design1", "&Two-Color...");
    PasteToImage1 = AddItem(grad, "PasteToImage1", "&Paste To Image", {}, false);
    MergeWithImage1 = AddItem(grad, "MergeWithImage1", "&Merge With Image", {}, false);
    AddItem(grad, "MultiColor1", "&Multi-Color...", QKeySequence("Shift+Ctrl+F7"));

    QMenu* buffer = AddMenu(this, bar, nullptr, "Buffer1", "&Buffer");
    AddItem(buffer, "CopyImagetoBuffer1", "Copy Image to Buffer");
    PasteBuffertoImage1 = AddItem(buffer, "PasteBuffertoImage1", "&Paste Buffer to Image", {}, false);
    MergeBufferWithImage1 =
        AddItem(buffer, "MergeBufferWithImage1", "&Merge Buffer With Image...", {}, false);
    AddItem(buffer, "LoadBufferfromFile1", "Load Buffer from File");
    CopyBuffertoClipboard1 =
        AddItem(buffer, "CopyBuffertoClipboard1", "Cop&y Buffer to Clipboard", {}, false);
    AddItem(buffer, "PasteClipboardtoBuffer1", "Paste Clipboard to Buffer");

    QMenu* image = AddMenu(this, bar, nullptr, "Image1", "&Image");
    AddItem(image, "TestTiles1", "&Test Tiles");
    QMenu* seamless = AddMenu(this, nullptr, image, "Seamless1", "&Seamless");
    QMenu* merge = AddMenu(this, nullptr, seamless, "EdgeMerge1", "Edge &Merge");
    AddItem(merge, "N1161", "1/16");
    AddItem(merge, "N181", "1/8");
    AddItem(merge, "N141", "1/4");
    AddItem(seamless, "N4WayFlip1", "4 Way &Flip");
    OnTriggered(AddItem(image, "SetAsWallpaper1", "Set As &Wallpaper"), &TfZorvTile::SetAsWallpaper1Click);

    // Effects: five groups, each in alphabetical order of caption.
    QMenu* effects = AddMenu(this, bar, nullptr, "Effects1", "Effec&ts");
    const char* const groups[5][2] = {{"Color1", "&Color"},
                                      {"Distortions1", "&Distortions"},
                                      {"Draw1", "Dra&w"},
                                      {"Filters1", "&Filters"},
                                      {"SizeAspect1", "&Size/Aspect"}};
    for (std::size_t g = 0; g < 5; ++g) {
        QMenu* gm = AddMenu(this, nullptr, effects, groups[g][0], groups[g][1]);
        int count = 0;
        const auto order = SortedGroup(EffectGroups[g], true, count);
        for (int k = 0; k < count; ++k) {
            const int i = order[static_cast<std::size_t>(k)];
            const TEffectInfo& e = EffectCatalogue[static_cast<std::size_t>(i)];
            QAction* a = AddItem(gm, e.ItemName, e.Caption, QKeySequence(e.Keys));
            EffectItems[static_cast<std::size_t>(i)] = a;
            OnTriggered(a, EffectHandler(i));
        }
    }

    QMenu* pen = AddMenu(this, bar, nullptr, "Pen1", "Pen");
    auto* penGroup = new QActionGroup(this);
    penGroup->setExclusive(true);
    for (int i = 0; i < 12; ++i) {
        QAction* a = AddOption(pen, PenItemNames[i][0], PenItemNames[i][1], i == 0);
        penGroup->addAction(a);
        PenItems[static_cast<std::size_t>(i)] = a;
        connect(a, &QAction::triggered, this, [this, i] { NormalPenClick(i); });
    }

    QMenu* options = AddMenu(this, bar, nullptr, "Options1", "&Options");
    AddItem(options, "SetJPGCompression2", "Set &JPG Compression");
    QMenu* gif = AddMenu(this, nullptr, options, "GIFTransparency1", "&GIF Transparency...");
    auto* gifGroup = new QActionGroup(this);
    ShowDialogDuringSave1 = AddOption(gif, "ShowDialogDuringSave1", "&Show Dialog During Save", false);
    HideDialogDuringSave1 = AddOption(gif, "HideDialogDuringSave1", "&Hide Dialog During Save", true);
    gifGroup->addAction(ShowDialogDuringSave1);
    gifGroup->addAction(HideDialogDuringSave1);
    OnTriggered(ShowDialogDuringSave1, &TfZorvTile::ShowDialogDuringSave1Click);
    OnTriggered(HideDialogDuringSave1, &TfZorvTile::HideDialogDuringSave1Click);
    QMenu* logFile = AddMenu(this, nullptr, options, "LogFile1", "&Log File");
    SaveImagewithLogFileName1 =
        AddOption(logFile, "SaveImagewithLogFileName1", "Save Image with Log File Name", false);
    OnTriggered(AddItem(options, "ChangeUndoQuantity1", "Change &Undo Quantity"),
                &TfZorvTile::ChangeUndoQuantity1Click);
    PromptforSaveAtTermination1 =
        AddOption(options, "PromptforSaveAtTermination1", "&Prompt for Save At Termination", false);
    OnTriggered(AddItem(options, "PrintShortcutKeyList1", "Print &Shortcut Key List"),
                &TfZorvTile::PrintShortcutKeyList1Click);
    OnTriggered(AddItem(options, "ChangeINIlocation1", "Change INI location"),
                &TfZorvTile::ChangeINIlocation1Click);
    ShowSampleTextonTestPage1 =
        AddOption(options, "ShowSampleTextonTestPage1", "Show Sample &Text on Test Page", false);
    ShowAdj = AddOption(options, "ShowAdj", "Show Adjustment Dialog When Drawing", true);
    CenterShapes = AddOption(options, "CenterShapes", "Center Shapes When Drawing", false);
    // The plain switches: Qt ticks or unticks the item before the handler runs.
    OnTriggered(SaveImagewithLogFileName1, &TfZorvTile::SaveImagewithLogFileName1Click);
    OnTriggered(PromptforSaveAtTermination1, &TfZorvTile::PromptforSaveAtTermination1Click);
    OnTriggered(ShowSampleTextonTestPage1, &TfZorvTile::ShowSampleTextonTestPage1Click);
    OnTriggered(ShowAdj, &TfZorvTile::ShowAdjClick);
    OnTriggered(CenterShapes, &TfZorvTile::CenterShapesClick);

    QMenu* help = AddMenu(this, bar, nullptr, "Help1", "&Help");
    OnTriggered(AddItem(help, "Contents1", "&Contents"), &TfZorvTile::Contents1Click);
    AddItem(help, "About1", "&About");
}

void TfZorvTile::BuildToolBar() {
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));

    // The glyph strip: silver is transparent.
    auto glyph = [this](int i) {
        QImage g = Image2.copy(16 * i, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 16; ++y) {
            auto* row = reinterpret_cast<QRgb*>(g.scanLine(y));
            for (int x = 0; x < 16; ++x)
                if ((row[x] & 0xFFFFFF) == 0xC0C0C0) row[x] = 0;
        }
        return QIcon(QPixmap::fromImage(g));
    };
    auto button = [&](const char* name, int glyphIndex, const QString& hint, bool enabled = true) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setIcon(glyph(glyphIndex));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setEnabled(enabled);
        ToolBar1->addWidget(b);
        return b;
    };
    button("bOpen", 0, "Open a File...");
    button("bSave", 1, "Save File As...");
    ToolBar1->addSeparator();
    button("bCopy", 2, "Copy To Clipboard");
    button("bPaste", 3, "Paste From Clipboard");
    ToolBar1->addSeparator();
    connect(button("bTools", 4, "Show/Hide Toolbox", true), &QToolButton::clicked, this,
            [this] { Guarded([this] { bToolsClick(); }); });
    button("bColor", 5, "Show/Hide Color Sliders on Toolbox");
    ToolBar1->addSeparator();
    // Apply: a text button with its glyph on the right.
    auto* apply = new QToolButton(ToolBar1);
    apply->setObjectName("bGo");
    apply->setText("Apply");
    apply->setToolTip("Apply Current Effect");
    apply->setLayoutDirection(Qt::RightToLeft);
    apply->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    apply->setIcon(QIcon(QPixmap::fromImage(PaintApplyGlyph())));
    connect(apply, &QToolButton::clicked, this, [this] { Guarded([this] { bGoClick(); }); });
    ToolBar1->addWidget(apply);
    ToolBar1->addSeparator();
    bUndo = button("bUndo", 6, "UnDo ", false);
    connect(bUndo, &QToolButton::clicked, this, [this] { Guarded([this] { bUndoClick(); }); });
    ToolBar1->addSeparator();
    connect(button("bPrint", 7, "Print...", true), &QToolButton::clicked, this,
            [this] { Guarded([this] { Print1Click(); }); });
    ToolBar1->addSeparator();
    button("bPstGrad", 8, "Paste Gradient to Image", false);
    ToolBar1->addSeparator();
    button("bCpyBufr", 9, "Copy Image to Buffer");
    button("bPstBufr", 10, "Paste Buffer to Image", false);
    ToolBar1->addSeparator();
    button("bTest", 11, "Test Tiles");
}

namespace {

// Passes Enter in the effect tree to the tree's key handler; other keys go on.
class TTreeKeys : public QObject {
public:
    TTreeKeys(QObject* parent, std::function<bool(QChar)> press) : QObject(parent), Press(std::move(press)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(event);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) return Press(QChar(13));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QChar)> Press;
};

} // namespace

void TfZorvTile::FillEffectTree() {
    TreeView1->clear();
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const char* group : EffectGroups) {
        auto* node = new QTreeWidgetItem(TreeView1, QStringList(QString::fromLatin1(group)));
        int count = 0;
        const auto order = SortedGroup(group, false, count);
        for (int k = 0; k < count; ++k)
            new QTreeWidgetItem(
                node,
                QStringList(
                    EffectCatalogue[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].Name));
    }
    connect(TreeView1, &QTreeWidget::itemPressed, this,
            [this] { Guarded([this] { TreeView1MouseDown(); }); });
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this] { Guarded([this] { TreeView1Change(); }); });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { TreeView1DblClick(); }); });
    TreeView1->installEventFilter(new TTreeKeys(TreeView1, [this](QChar key) {
        bool consumed = false;
        Guarded([&] { consumed = TreeView1KeyPress(key); });
        return consumed;
    }));
    if (auto* expand = findChild<QToolButton*>("bExpand"))
        connect(expand, &QToolButton::clicked, this, [this] { Guarded([this] { bExpandClick(); }); });
}
