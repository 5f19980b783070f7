// The main window's menu tree and tool bar.

#include "app/main/Glyphs.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

// One entry of the Effects menu: the item's name, its caption and its key combination.
struct TEffectItem {
    const char* Name;
    const char* Caption;
    const char* Group;
    const char* Keys;
};

// The 66 effects in index order.
const TEffectItem EffectItems[66] = {
    {"SoftenMore1", "Soften More", "Filters", "Ctrl+Alt+Y"},
    {"SoftenLess1", "Soften Less", "Filters", "Ctrl+Y"},
    {"EdgeEnhanceMore1", "Edge Enhance More", "Filters", "Ctrl+Alt+A"},
    {"EdgeEnhanceLess1", "Edge Enhance Less", "Filters", "Ctrl+Alt+B"},
    {"EdgeEmbossMore1", "Edge Emboss More", "Filters", "Ctrl+Alt+C"},
    {"EdgeEmbossLess1", "Edge Emboss Less", "Filters", "Ctrl+Alt+D"},
    {"ClassicEmboss1", "Classic Emboss", "Filters", "Ctrl+Alt+E"},
    {"HiPass1", "HiPass", "Filters", "Ctrl+I"},
    {"Sharpen1", "Sharpen", "Filters", "Ctrl+S"},
    {"Laplace1", "Laplace", "Filters", "Ctrl+P"},
    {"Blur1", "Blur", "Filters", "Ctrl+Alt+H"},
    {"FindEdges1", "Find Edges", "Filters", "Ctrl+Alt+F"},
    {"GaussianSoft1", "Gaussian Soft", "Filters", "Ctrl+Alt+G"},
    {"GaussianBlur1", "Gaussian Blur", "Filters", "Ctrl+G"},
    {"DesignYourOwn1", "Design Your Own", "Filters", "Ctrl+F5"},
    {"SineWaveUD1", "SineWave U/D", "Distortions", "Ctrl+D"},
    {"SineWaveLR1", "SineWave L/R", "Distortions", "Ctrl+E"},
    {"SineWaveBoth1", "SineWave Both", "Distortions", "Ctrl+X"},
    {"Twist1", "Twist", "Distortions", "Ctrl+T"},
    {"FishEye1", "FishEye", "Distortions", "Ctrl+F"},
    {"Circular1", "Circular", "Distortions", "Ctrl+W"},
    {"Astroid1", "Astroid", "Distortions", "Ctrl+A"},
    {"ConcentricRects1", "Concentric Rects", "Distortions", "Ctrl+Alt+O"},
    {"Mosaic1", "Mosaic", "Distortions", "Ctrl+Alt+M"},
    {"CircleMosaic1", "Circle Mosaic", "Distortions", "Ctrl+Alt+N"},
    {"ColorNoise1", "Color Noise", "Distortions", "Ctrl+Alt+P"},
    {"Spray1", "Spray", "Distortions", "Ctrl+Alt+Q"},
    {"ZorvSwizzle1", "ZorvSwizzle", "Distortions", "Ctrl+H"},
    {"MapTexture1", "Map Texture", "Distortions", "Ctrl+F2"},
    {"Marble1", "Marble", "Distortions", "Ctrl+F3"},
    {"ColorRotate1", "Color Rotate", "Color", "Ctrl+O"},
    {"Negative1", "Negative", "Color", "Ctrl+N"},
    {"Brighten1", "Brighten", "Color", "Ctrl+B"},
    {"Lighten1", "Lighten", "Color", "Ctrl+Alt+T"},
    {"Tint1", "Tint", "Color", "Ctrl+Alt+U"},
    {"GrayScale1", "Gray Scale", "Color", "Ctrl+Alt+V"},
    {"ErasetoBlack1", "Erase to Black", "Color", "Ctrl+K"},
    {"ExchangeColor1", "Exchange Color", "Color", "Ctrl+Alt+Z"},
    {"ReSizeFast1", "ReSize Fast", "Size/Aspect", "Ctrl+Q"},
    {"ReSizeSmooth1", "ReSize Smooth", "Size/Aspect", "Ctrl+R"},
    {"Rotate901", "Rotate 90", "Size/Aspect", "Ctrl+Alt+X"},
    {"MirrorLR1", "Mirror L/R", "Size/Aspect", "Ctrl+L"},
    {"MirrorUD1", "Mirror U/D", "Size/Aspect", "Ctrl+M"},
    {"RotateAngle1", "Rotate Angle", "Size/Aspect", "Ctrl+Alt+R"},
    {"RotateSeamless1", "Rotate Seamless", "Size/Aspect", "Ctrl+Alt+S"},
    {"Scroll1", "Scroll", "Size/Aspect", "Ctrl+Alt+K"},
    {"CycloidMosaic1", "Cycloid Mosaic", "Draw", "Ctrl+Alt+L"},
    {"GradientBars1", "Gradient Bars", "Draw", "Ctrl+Alt+W"},
    {"Gradient2", "Gradient", "Draw", "Ctrl+J"},
    {"MergeGradient1", "Merge Gradient", "Draw", "Ctrl+Alt+I"},
    {"MergeBuffer1", "Merge Buffer", "Draw", "Ctrl+Alt+J"},
    {"Buttonize1", "Buttonize", "Draw", "Ctrl+U"},
    {"PlasmaCloud1", "Plasma Cloud", "Draw", "Ctrl+F4"},
    {"StretchBlurwithBuffer1", "StretchBlur with Buffer", "Distortions", "Ctrl+F6"},
    {"StretchBlurwithSelf1", "StretchBlur with Self", "Distortions", "Ctrl+F7"},
    {"WaterwithBuffer1", "Water with Buffer", "Distortions", "Ctrl+F8"},
    {"WaterwithSelf1", "Water with Self", "Distortions", "Ctrl+F9"},
    {"SuperNova1", "SuperNova", "Draw", "Ctrl+F10"},
    {"HeightMap1", "HeightMap", "Distortions", "Ctrl+F11"},
    {"SplitBlur1", "Split Blur", "Filters", "Ctrl+F12"},
    {"SplitGauss1", "Split Gauss", "Filters", "Shift+Ctrl+F12"},
    {"Trace1", "Trace", "Distortions", "Shift+F1"},
    {"RippleTooth1", "RippleTooth", "Distortions", "Shift+F2"},
    {"SeamlessEdge1", "Seamless Edge", "Distortions", "Shift+F3"},
    {"Waves1", "Waves", "Distortions", "Shift+F4"},
    {"WhirlPinch1", "Whirl/Pinch", "Distortions", "Shift+F5"},
};

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

// Adds an item. Items whose command comes with a later part of the program stay disabled.
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
    constexpr bool later = false; // the command comes with a later part of the program

    QMenu* file = AddMenu(this, bar, nullptr, "File1", "&File");
    AddItem(file, "Open1", "&Open", {}, later);
    AddItem(file, "New1", "&New", {}, later);
    AddItem(file, "SaveAs1", "&Save As...", {}, later);
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
    AddItem(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"), later);
    QMenu* paste = AddMenu(this, nullptr, edit, "Paste1", "&Paste");
    AddItem(paste, "AsSelection1", "As &Selection", {}, later);
    AddItem(paste, "ReplaceImage1", "Re&place Image", QKeySequence("Ctrl+V"), later);
    AddItem(paste, "Transparent1", "&Transparent", {}, later);
    Reset1 = AddItem(edit, "Reset1", "&Reset");
    OnTriggered(Reset1, &TfZorvTile::Reset1Click);

    QMenu* grad = AddMenu(this, bar, nullptr, "Gradient1", "&Gradient");
    AddItem(grad, "Design1", "&Two-Color...", {}, later);
    PasteToImage1 = AddItem(grad, "PasteToImage1", "&Paste To Image", {}, false);
    MergeWithImage1 = AddItem(grad, "MergeWithImage1", "&Merge With Image", {}, false);
    AddItem(grad, "MultiColor1", "&Multi-Color...", QKeySequence("Shift+Ctrl+F7"), later);

    QMenu* buffer = AddMenu(this, bar, nullptr, "Buffer1", "&Buffer");
    AddItem(buffer, "CopyImagetoBuffer1", "Copy Image to Buffer", {}, later);
    PasteBuffertoImage1 = AddItem(buffer, "PasteBuffertoImage1", "&Paste Buffer to Image", {}, false);
    MergeBufferWithImage1 =
        AddItem(buffer, "MergeBufferWithImage1", "&Merge Buffer With Image...", {}, false);
    AddItem(buffer, "LoadBufferfromFile1", "Load Buffer from File", {}, later);
    CopyBuffertoClipboard1 =
        AddItem(buffer, "CopyBuffertoClipboard1", "Cop&y Buffer to Clipboard", {}, false);
    AddItem(buffer, "PasteClipboardtoBuffer1", "Paste Clipboard to Buffer", {}, later);

    QMenu* image = AddMenu(this, bar, nullptr, "Image1", "&Image");
    AddItem(image, "TestTiles1", "&Test Tiles", {}, later);
    QMenu* seamless = AddMenu(this, nullptr, image, "Seamless1", "&Seamless");
    QMenu* merge = AddMenu(this, nullptr, seamless, "EdgeMerge1", "Edge &Merge");
    AddItem(merge, "N1161", "1/16", {}, later);
    AddItem(merge, "N181", "1/8", {}, later);
    AddItem(merge, "N141", "1/4", {}, later);
    AddItem(seamless, "N4WayFlip1", "4 Way &Flip", {}, later);
    OnTriggered(AddItem(image, "SetAsWallpaper1", "Set As &Wallpaper"), &TfZorvTile::SetAsWallpaper1Click);

    // Effects: five groups, each in alphabetical order of caption.
    QMenu* effects = AddMenu(this, bar, nullptr, "Effects1", "Effec&ts");
    const char* const groups[5][3] = {{"Color1", "&Color", "Color"},
                                      {"Distortions1", "&Distortions", "Distortions"},
                                      {"Draw1", "Dra&w", "Draw"},
                                      {"Filters1", "&Filters", "Filters"},
                                      {"SizeAspect1", "&Size/Aspect", "Size/Aspect"}};
    for (const auto& g : groups) {
        QMenu* gm = AddMenu(this, nullptr, effects, g[0], g[1]);
        std::vector<const TEffectItem*> items;
        for (const auto& e : EffectItems)
            if (qstrcmp(e.Group, g[2]) == 0) items.push_back(&e);
        std::sort(items.begin(), items.end(), [](const TEffectItem* a, const TEffectItem* b) {
            return QString::compare(a->Caption, b->Caption, Qt::CaseInsensitive) < 0;
        });
        for (const TEffectItem* e : items) AddItem(gm, e->Name, e->Caption, QKeySequence(e->Keys), later);
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
    AddItem(options, "SetJPGCompression2", "Set &JPG Compression", {}, later);
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
    AddItem(help, "About1", "&About", {}, later);
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
    auto button = [&](const char* name, int glyphIndex, const QString& hint, bool enabled) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(name);
        b->setIcon(glyph(glyphIndex));
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setEnabled(enabled);
        ToolBar1->addWidget(b);
        return b;
    };
    constexpr bool later = false;
    button("bOpen", 0, "Open a File...", later);
    button("bSave", 1, "Save File As...", later);
    ToolBar1->addSeparator();
    button("bCopy", 2, "Copy To Clipboard", later);
    button("bPaste", 3, "Paste From Clipboard", later);
    ToolBar1->addSeparator();
    connect(button("bTools", 4, "Show/Hide Toolbox", true), &QToolButton::clicked, this,
            [this] { Guarded([this] { bToolsClick(); }); });
    button("bColor", 5, "Show/Hide Color Sliders on Toolbox", later);
    ToolBar1->addSeparator();
    // Apply: a text button with its glyph on the right.
    auto* apply = new QToolButton(ToolBar1);
    apply->setObjectName("bGo");
    apply->setText("Apply");
    apply->setToolTip("Apply Current Effect");
    apply->setLayoutDirection(Qt::RightToLeft);
    apply->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    apply->setIcon(QIcon(QPixmap::fromImage(PaintApplyGlyph())));
    apply->setEnabled(later);
    ToolBar1->addWidget(apply);
    ToolBar1->addSeparator();
    bUndo = button("bUndo", 6, "UnDo ", false);
    connect(bUndo, &QToolButton::clicked, this, [this] { Guarded([this] { bUndoClick(); }); });
    ToolBar1->addSeparator();
    connect(button("bPrint", 7, "Print...", true), &QToolButton::clicked, this,
            [this] { Guarded([this] { Print1Click(); }); });
    ToolBar1->addSeparator();
    button("bPstGrad", 8, "Paste Gradient to Image", later);
    ToolBar1->addSeparator();
    button("bCpyBufr", 9, "Copy Image to Buffer", later);
    button("bPstBufr", 10, "Paste Buffer to Image", later);
    ToolBar1->addSeparator();
    button("bTest", 11, "Test Tiles", later);
}
