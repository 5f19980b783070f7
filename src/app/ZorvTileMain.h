#pragma once
// The main window: the image and its copies, the undo ring, the menus, the tool bar, the status bar,
// the settings file and the window's life from creation to destruction.

#include <QFile>
#include <QPainter>
#include <memory>

#include <QMainWindow>
#include <QString>

#include <array>
#include <optional>

#include "app/AppTypes.h"
#include "app/AppWidgets.h"
#include "app/UndoRing.h"
#include "image/FastDIB.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;
class QToolButton;
class QTreeWidget;
class HourGlass;
class IniFile;

// Number of undo slots; settings key UndoLevels.
extern int UndoLevels;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// Dst := Src (size and pixels) at 24 bits per pixel.
void CopyDIB(const TFastDIB& Src, TFastDIB& Dst);
// Any picture as a 24-bit bitmap (bytes b, g, r).
void CopyMe(QImage& Dest, const QImage& Src);
// Dest := a 24-bit bitmap copy of Src.
void CopyFB(QImage& Dest, const TFastDIB& Src);

class TfZorvTile : public QMainWindow {
public:
    explicit TfZorvTile(QWidget* parent = nullptr);
    ~TfZorvTile() override;

    // Life cycle. The constructor builds the layout; FormCreate sets up the state and reads the settings
    // (run after every form has been constructed).
    void FormCreate();
    void FormShow();
    void AfterShow();
    void FormHide();
    void FormClose(TCloseAction& Action);
    void FormDestroy();

    // The picture file named on the command line, opened by AfterShow.
    QString StartFile;

    // Window state.
    bool WeShowed = false;
    bool TBFlag = false;
    int jcv = 90;
    QString INIDir;
    QString DefDir;

    // Images. z is the image; buf scratch; bufr the Buffer; orig the last opened image; cb the
    // conversion bitmap.
    TFastDIB z, buf, bufr, orig;
    QImage cb;

    // Undo ring.
    TUndoRing Ring;
    void CopyUnDo();
    void DoUnDo();
    void BeginEffect();
    void EndEffect();
    void SetToIm(TFastDIB& D);
    void ztobuf();
    void buftoz(int lightness, int contrast, int saturation, int red, int green, int blue);
    void bUndoClick();
    void UnDo1Click();
    void Reset1Click();
    void ChangeUndoQuantity1Click();

    // Effect parameters (their meaning belongs to the effect catalogue) and drawing state.
    std::array<int, 66> EffectVals{};
    std::array<int, 66> EffectDefs{};
    float UDPeakVal = 0, LRPeakVal = 0, UDPeakDef = 3.0f, LRPeakDef = 2.0f;
    float UDWavVal = 0, LRWavVal = 0, UDWavDef = 32.0f, LRWavDef = 17.0f;
    float FishVal = 0, FishDef = 0.75f, ScaleVal = 0, ScaleDef = 2.0f;
    int TurbVal = 0, TurbDef = 120;
    int UDWatSelf = 0, UDWatBuf = 0, UDSBlurSelf = 0, UDSBlurBuf = 0, SBlurReps = 0;
    int UDWatSelfDef = -128, UDWatBufDef = 100, UDSBlurSelfDef = 1, UDSBlurBufDef = 1, SBlurRepsDef = 32;
    int NovaSpokVal = 0, NovaHueVal = 0, NovaSpokDef = 64, NovaHueDef = 32;
    int NovaXVal = 0, NovaYVal = 0, NovaXDef = 24, NovaYDef = 36;
    int HytElVal = 0, HytDpVal = 0, HytElDef = 20, HytDpDef = 16;
    bool HytBmVal = true, HytBmDef = true;
    TColor TrColVal = 0, TrColDef = 0;
    bool TrUseVal = false, TrUseDef = false;
    int WvLenVal = 0, WvLenDef = 10;
    double WvPhsVal = 0, WvPhsDef = 8.0;
    bool WvRflVal = false, WvRflDef = false;
    float WhPchVal = 0, WhPchDef = 0.5f, WhRadVal = 0, WhRadDef = 1.0f;
    int lvl = -1;
    QString Effect;
    TMgradNfo Gradient;
    bool Fill = false, Texting = false, TextNow = false;
    TDrawTool Tool = TDrawTool::dtFreeHand;
    int Rop2Mode = 0;
    bool FlagB = false, DrawGFlag = false, DesnGFlag = true;
    // Sets every effect parameter to its built-in default.
    void SetEffectDefaults();

    // Settings file.
    QString SettingsFileName() const; // INIDir + "/ZorvTile.ini"
    void LoadSettings();
    void SaveSettings();
    void ChangeINIlocation1Click();

    // Options and small commands.
    void ShowDialogDuringSave1Click();
    void HideDialogDuringSave1Click();
    void SaveImagewithLogFileName1Click();
    void PromptforSaveAtTermination1Click();
    void ShowSampleTextonTestPage1Click();
    void ShowAdjClick();
    void CenterShapesClick();
    void PrintShortcutKeyList1Click();
    void SetAsWallpaper1Click();
    void Contents1Click();
    void bToolsClick();
    void NormalPenClick(int index); // the Pen menu's twelve items
    // Where Set As Wallpaper writes its bitmap.
    QString WallpaperPath() const;

    // Widgets (named as the layout names them).
    QToolBar* ToolBar1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* pnlSine = nullptr;
    TImage* imSine = nullptr;
    TStatusBar* stBar = nullptr;
    QLabel* imGrad = nullptr;
    QLabel* imBuffer = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QToolButton* bUndo = nullptr;
    QImage Image2; // the tool bar's glyph strip, 12 glyphs of 16 x 16

    // Menu items the window reads or changes (every item is also found by its object name).
    QAction* UnDo1 = nullptr;
    QAction* Reset1 = nullptr;
    QAction* PasteToImage1 = nullptr;
    QAction* MergeWithImage1 = nullptr;
    QAction* PasteBuffertoImage1 = nullptr;
    QAction* MergeBufferWithImage1 = nullptr;
    QAction* CopyBuffertoClipboard1 = nullptr;
    QAction* ShowDialogDuringSave1 = nullptr;
    QAction* HideDialogDuringSave1 = nullptr;
    QAction* SaveImagewithLogFileName1 = nullptr;
    QAction* PromptforSaveAtTermination1 = nullptr;
    QAction* ShowSampleTextonTestPage1 = nullptr;
    QAction* ShowAdj = nullptr;
    QAction* CenterShapes = nullptr;
    std::array<QAction*, 12> PenItems{};
    QMenu* PopupMenu1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildClient();
    void PaintGlyphs();
    void UpdateUndoButton();
    void WriteSections(IniFile& ini);
    // Connects an action to a member command run inside the error guard.
    void OnTriggered(QAction* a, void (TfZorvTile::*cmd)());
    std::unique_ptr<HourGlass> EffectCursor;
    bool Destroyed = false;

#include "app/ZorvTileMain_LogPrint.inc"
#include "app/ZorvTileMain_File.inc"
};

// Brackets an effect: hourglass and one undo snapshot before, the image shown after (also when the
// effect throws).
class TEffectFrame {
public:
    explicit TEffectFrame(TfZorvTile& w) : W(w) { W.BeginEffect(); }
    ~TEffectFrame();
    TEffectFrame(const TEffectFrame&) = delete;
    TEffectFrame& operator=(const TEffectFrame&) = delete;

private:
    TfZorvTile& W;
};

// The light frame: one undo snapshot before, the image shown after, no hourglass.
class TLightFrame {
public:
    explicit TLightFrame(TfZorvTile& w) : W(w) { W.CopyUnDo(); }
    ~TLightFrame();
    TLightFrame(const TLightFrame&) = delete;
    TLightFrame& operator=(const TLightFrame&) = delete;

private:
    TfZorvTile& W;
};
extern TfZorvTile* fZorvTile;
