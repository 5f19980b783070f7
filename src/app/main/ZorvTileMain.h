#pragma once
// The main window: the image and its copies, the undo ring, the menus, the tool bar, the status bar,
// the settings file and the window's life from creation to destruction.

#include <QFile>
#include <QPainter>
#include <memory>

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

#include "app/effects/EffectParams.h"
#include "app/effects/EffectRules.h"
#include "app/main/AppTypes.h"
#include "app/main/MainWidgets.h"
#include "app/main/UndoRing.h"
#include "app/main/WorkProgress.h"
#include "app/tools/ImageView.h"
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

class TfZorvTile : public QMainWindow, public TEffectParams {
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
    // The effect frame's two ends (TEffectFrame): hourglass and the picture kept aside before; the picture
    // shown after, with the kept picture pushed onto the undo ring or, when the work failed or was
    // stopped (PutBack), put back. A replacing frame moves the picture itself aside and gives z new
    // pixels of its size instead.
    void BeginEffect(TFastDIB& Before, bool Cursor = true, bool Replace = false);
    void EndEffect(TFastDIB& Before, bool PutBack, bool Cursor = true);
    // A result worked out aside becomes the picture and the picture itself the newest undo snapshot (no
    // copy, no allocation); Result is left empty.
    void SwapInResult(TFastDIB& Result);
    // z becomes a copy of Next (24 bits), and so does *Also when given, and the picture itself the newest
    // undo snapshot (no copy); when memory fails, the picture, *Also and the undo ring stay as they were.
    void KeepPictureForUndo(const TFastDIB& Next, TFastDIB* Also = nullptr);
    void SetToIm(TFastDIB& D);
    void ztobuf();
    void buftoz(int lightness, int contrast, int saturation, int red, int green, int blue);
    void bUndoClick();
    void UnDo1Click();
    void Reset1Click();
    void ChangeUndoQuantity1Click();

    // The current effect and the drawing state (the effect parameters come from TEffectParams).
    int lvl = -1;
    QString Effect;
    TMgradNfo Gradient;
    bool Fill = false, Texting = false, TextNow = false;
    TDrawTool Tool = TDrawTool::dtFreeHand;
    int Rop2Mode = 0;
    bool FlagB = false, DrawGFlag = false, DesnGFlag = true;

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
    TImageView* imSine = nullptr;
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
    // Edge Merge with the strips Width div Divisor and Height div Divisor.
    void EdgeMergeCommand(int Divisor);
    // The effect tree from the catalogue, with its events (ZorvTileMain_Menu.cpp).
    void FillEffectTree();
    void PaintGlyphs();
    void UpdateUndoButton();
    void WriteSections(IniFile& ini);
    // Connects an action to a member command run inside the error guard.
    void OnTriggered(QAction* a, void (TfZorvTile::*cmd)());
    std::unique_ptr<HourGlass> EffectCursor;
    bool Destroyed = false;

public:
    // Activity log and printing (ZorvTileMain_Log.cpp, ZorvTileMain_Print.cpp).
    bool Logging = false;           // the activity log is open for writing
    std::unique_ptr<QFile> LogFile; // the open log file while Logging
    // Writes one line when logging; a write failure ends logging with one message that says why.
    void LogLine(const QString& text);
    // The log file's path: the program's folder (or its writable data folder) + "ZorvLog.txt".
    QString LogPath() const;
    // Closes the log (if open) whatever happens; used by destruction.
    void CloseLogFile() noexcept;

    // File > Log commands.
    void LogthisSession1Click();
    void CloseLog1Click();
    void AppendtoLog1Click();
    void ViewLog1Click();
    void EditLog1Click();
    // Paints status panel 5 ("Logging" / "Not Logging") into rect r.
    void stBarDrawPanel(QPainter& painter, const QRect& r);

    // File > Print... and the tool bar's print button.
    void Print1Click();

    // Saves the image under the name proposed for a saved log (in DefDir) through the picture save dialog.
    void SaveImageWithLogName(const QString& name);
    // Tests: the folder of the log file ("" = the program's data folder, the default).
    static void SetLogFolder(const QString& folder);
    // Opens the log file for writing, replacing it or appending to it; throws with a clear text on
    // failure (LogFile is unchanged then).
    void OpenLogFile(bool append);
    // Opens the log again for appending after the viewer has read it; a failure ends logging and throws.
    void ReopenLogFile();

public:
    // File, clipboard and buffer commands (ZorvTileMain_File.cpp, ZorvTileMain_FileClipboard.cpp).
    // Finds the file, clipboard and buffer items and buttons by name, enables them and connects them
    // through the error guard; makes the image area accept dropped files. Called once by the
    // constructor after the menus and the tool bar exist.
    void WireFileCommands();

    // File menu.
    void New1Click();
    void Open1Click();
    // Saves the shown image under a name chosen in the save dialog (which proposes `proposedName`,
    // a bare name in DefDir, when given). True when a file was written; false when the dialog was
    // cancelled or the name's extension is not one the program reads back (a message says so). A failed
    // write raises and leaves any existing file as it was.
    bool SaveImageAs(const QString& proposedName = QString());
    // Save As with a GIF name: the transparency dialog when asked for, then the file; false on Cancel.
    bool SaveGIF(const TFastDIB& pic, const QString& name);
    static QStringList SavableExtensions(); // "bmp", "jpg", "jpeg", "gif"
    void SaveAs1Click();
    void Exit1Click();
    // The picture named on the command line: taken as the image without an undo snapshot or a log line.
    void OpenStartFile(const QString& fileName);

    // Files dropped on the image area: exactly one is accepted.
    void DropFiles(const QStringList& fileNames);
    void DropFile(const QString& fileName);

    // Edit menu: the clipboard.
    void Copy1Click();
    void AsSelection1Click();
    void ReplaceImage1Click();
    void Transparent1Click();

    // The floating pasted selection: a press starts dragging it, the first move after the drag ends
    // commits it to the image; Timer1Timer shows its offsets while it floats.
    void imPasteMouseDown(const QPoint& globalPos);
    void imPasteMouseDrag(const QPoint& globalPos);
    void imPasteMouseUp();
    void imPasteMouseMove();
    void Timer1Timer();
    bool Pasting = false;
    // The lower-left pixel of the last clipboard picture offered for a transparent paste.
    TColor AColor = 0;

    // Buffer menu.
    void CopyImagetoBuffer1Click();
    void PasteBuffertoImage1Click();
    void imBufferDblClick();
    void MergeBufferWithImage1Click();
    void LoadBufferfromFile1Click();
    void CopyBuffertoClipboard1Click();
    void PasteClipboardtoBuffer1Click();

    // Options > Set JPG Compression.
    void SetJPGCompression2Click();

    // The colours the tool box will provide; black until it exists.
    TColor ToolBoxBrushColor() const;
    TColor ToolBoxPenColor() const;

    // The file dialogs' filters as the program states them ("text|patterns|text|patterns"), and the
    // same in Qt's form ("text (patterns);;...").
    static const char* const OpenPictureFilter;
    static const char* const SavePictureFilter;
    static QString QtNameFilters(const QString& filter);

    // Tests answer the file dialogs through this seam: the hook gets the dialog's caption, folder,
    // filter and proposed name and returns the chosen file ("" = Cancel). An empty hook shows the
    // real dialogs again.
    using TFileDialogHook = std::function<QString(const QString& caption, const QString& folder,
                                                  const QString& filter, const QString& proposed)>;
    static void SetFileDialogHook(TFileDialogHook hook);

public:
    // The effect catalogue and its dispatch (effects/).
    QStringList Effects;    // the 66 effect names, index order
    QStringList fxShortCut; // the 66 shortcut texts, each after one blank
    std::array<QAction*, 66> EffectItems{}; // the Effects menu's items, index order
    QString MapBuf;         // the texture Map Texture used last
    TColor TintColor = 0;   // the colour Tint used last

    // Apply: checks and stores the tool box's values, runs the current effect and logs it.
    void bGoClick();
    // The current effect's log line, when logging.
    void WriteLog();
    // Shows the current effect's panel in the tool box and lets it repaint.
    void ShowEffectControls();
    // The effect tree's events. TreeView1KeyPress answers whether it consumed the key.
    void TreeView1MouseDown();
    void TreeView1Change();
    void TreeView1DblClick();
    bool TreeView1KeyPress(QChar key);
    void bExpandClick();
    // OnClick of the tool box's Use Peaks and Wrap boxes.
    void ckbxclk();

    // What the effects read besides their parameters, and the tool box's values for Apply.
    TEffectContext EffectContext() const;
    // The gradient designer's texts that the log line of Draw Gradient quotes.
    void GradientLogTexts(TEffectContext& c) const;
    TToolBoxInputs ToolBoxInputs() const;
    // True when the stored values let effect `index` run; otherwise its message is shown.
    bool EffectAllowed(int index);
    // What Apply runs for effect `index` with the stored values; true when the effect ran.
    bool RunEffect(int index);
    // The routine of an effect that runs a library routine inside its caller's frame.
    // Runs catalogue effect `index`'s library routine inside the caller's frame; `source` is the frame's
    // Source(). The frame replaces the picture when LibraryRoutineReplaces(index).
    void RunLibraryRoutine(int index, const TFastDIB& source);
    static bool LibraryRoutineReplaces(int index);
    // The menu command of effect `index` in its handler's order.
    void EffectMenuCommand(int index);

    // The 66 menu handlers.
    void SoftenMore1Click();
    void SoftenLess1Click();
    void EdgeEnhanceMore1Click();
    void EdgeEnhanceLess1Click();
    void EdgeEmbossMore1Click();
    void EdgeEmbossLess1Click();
    void ClassicEmboss1Click();
    void HiPass1Click();
    void Sharpen1Click();
    void Laplace1Click();
    void Blur1Click();
    void FindEdges1Click();
    void GaussianSoft1Click();
    void GaussianBlur1Click();
    void DesignYourOwn1Click();
    void SineWaveUD1Click();
    void SineWaveLR1Click();
    void SineWaveBoth1Click();
    void Twist1Click();
    void FishEye1Click();
    void Circular1Click();
    void Astroid1Click();
    void ConcentricRects1Click();
    void Mosaic1Click();
    void CircleMosaic1Click();
    void ColorNoise1Click();
    void Spray1Click();
    void ZorvSwizzle1Click();
    void MapTexture1Click();
    void Marble1Click();
    void ColorRotate1Click();
    void Negative1Click();
    void Brighten1Click();
    void Lighten1Click();
    void Tint1Click();
    void GrayScale1Click();
    void ErasetoBlack1Click();
    void ExchangeColor1Click();
    void ReSizeFast1Click();
    void ReSizeSmooth1Click();
    void Rotate901Click();
    void MirrorLR1Click();
    void MirrorUD1Click();
    void RotateAngle1Click();
    void RotateSeamless1Click();
    void Scroll1Click();
    void CycloidMosaic1Click();
    void GradientBars1Click();
    void Gradient2Click();
    void MergeGradient1Click();
    void MergeBuffer1Click();
    void Buttonize1Click();
    void PlasmaCloud1Click();
    void StretchBlurwithBuffer1Click();
    void StretchBlurwithSelf1Click();
    void WaterwithBuffer1Click();
    void WaterwithSelf1Click();
    void SuperNova1Click();
    void HeightMap1Click();
    void SplitBlur1Click();
    void SplitGauss1Click();
    void Trace1Click();
    void RippleTooth1Click();
    void SeamlessEdge1Click();
    void Waves1Click();
    void WhirlPinch1Click();

    // Effect methods: each says whether it ran (a cancelled dialog or a refused value: false).
    // The fixed filters, the seamless Gaussian blur and the user filter (effects/EffectFilters.cpp).
    bool DoSoftenMore();
    bool DoSoftenLess();
    bool DoEdgeEnhanceMore();
    bool DoEdgeEnhanceLess();
    bool DoEdgeEmbossMore();
    bool DoEdgeEmbossLess();
    bool DoHiPass();
    bool DoSharpen();
    bool DoLaplace();
    bool DoBlur();
    bool DoFindEdges();
    bool DoGaussianSoft();
    bool DoGaussianBlur(int Amount);
    // The user filter's dialog and filter; true when the filter ran.
    bool RunDesignYourOwn();
    // Geometric, mosaic and scrolling effects.
    bool DoTwist(int Amount);
    bool DoFishEye(float Amount);
    bool DoCircular();
    bool DoAstroid(int N);
    bool DoConcentricRects(int N);
    bool DoMosaic(int N);
    bool DoCircleMosaic(int N);
    bool DoSpray(int Amount);
    bool DoSwizzle(int N); // inside its caller's frame
    bool DoMapTexture(float M);
    bool DoReSizeFast();
    bool DoReSizeSmooth();
    bool DoRotate90();
    bool DoMirrorLR();
    bool DoMirrorUD();
    bool DoRotateAngle(int Degrees);
    bool DoRotateSeamless();
    bool DoCycloidMosaic(int R);
    void ScrollImLR(int Flag);
    void ScrollImUD(int Flag);
    // Colour, blend, plasma and merge effects.
    bool DoColorNoise(int Amount);
    bool DoMarble(int Roughness, int Turb, float Scale);
    bool DoColorRotate(int N);
    bool DoNegative();
    bool DoBrighten();
    bool DoLighten();
    bool DoTint();
    bool DoEraseToBlack();
    bool DoExchangeColor(TColor From, TColor To, std::uint16_t Tolerance);
    bool DoGradientBars(int N);
    bool DoDrawGradient();
    bool DoMergeGradient(int P);
    bool DoMergeBuffer(int P);
    bool DoPlasmaCloud(int Roughness);
    bool DoStretchBlur(int UD, int LR, TFastDIB& Src, int Reps);
    // The live preview of the tool box's six colour sliders: buf := z adjusted, shown; z unchanged.
    void ToolScroll();

    // Image > Test Tiles, Image > Seamless and the image pop-up menu's Color Wheel, Rainbow and Resize...
    // (effects/GeometricEffectCommands.cpp). WireImageCommands enables and connects their items; the
    // constructor calls it once.
    void WireImageCommands();
    void TestTiles1Click();
    void N4WayFlip1Click();
    void N1161Click();
    void N181Click();
    void N141Click();
    void Resize1Click();
    void ColorWheel1Click();
    void Rainbow1Click();
    // Tint's colour dialog. Tests answer through the hook: it gets the last colour and returns the
    // chosen one, or nothing for Cancel; an empty hook shows the real dialog again.
    using TColorDialogHook = std::function<std::optional<TColor>(TColor)>;
    static void SetColorDialogHook(TColorDialogHook hook);

    // Drawing tools chosen in the tool box, and the colour slider toggle.
    void SetTool(bool Fil, bool Txtn, TDrawTool Tewl, int crs);
    void bColorClick();

private:
    // The shared step of Open, the drop and the start-up file: `pic` (left empty) becomes the image
    // without a copy, a copy of it the last opened picture; with `undo` the image before goes on the
    // undo ring. The memory is had first: when it cannot be, nothing changes and EPictureTooLarge
    // names the file (`fileName`), the picture's size and the memory the open needs.
    void TakeLoadedPicture(TFastDIB& pic, const QString& fileName, bool undo);
    // Reads a picture file for Open, the drop, the start-up file and the buffer inside a work scope
    // ("Opening <file>"): a stop raises EWorkStopped with nothing changed.
    void ReadPictureFile(const QString& fileName, TFastDIB& pic, QStringList* warnings);
    // `pic` becomes the buffer: thumbnail, buffer image and the buffer items.
    void TakeBufferPicture(const TFastDIB& pic);
    void EnableBufferItems();
    // The shown picture as a 24-bit image.
    void ShownPicture(TFastDIB& out) const;
    QString RunFileDialog(bool save, const QString& caption, const QString& folder, const QString& filter,
                          const QString& proposed);
    void ShowPasteFrame();
    // The floating selection's picture and the drag in progress.
    TFastDIB PasteDIB;
    bool PasteDragging = false;
    QPoint PasteDragStart, PastePanelStart;

public:
    // Drawing tools (tools/DrawingTools.cpp, tools/TextTool.cpp). The tools draw into the view
    // (imSine's Canvas()); the view is copied into z once per finished action.
    bool Drawing = false;    // a drag is in progress
    bool Dragging = false;   // the floating text follows the pointer
    int aX = 0, aY = 0;      // anchor of the drag (press point)
    int zX = 0, zY = 0;      // current end of the drag
    int PenWidth = 1;        // the pen size taken at the press
    QRect TextRect;          // extent of the floating text
    int lcr = 0;             // text alignment: 0 left, 1 centre, 2 right
    void imSineMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void imSineMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y);
    void imSineMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // The view-to-image copy.
    void CopyViewToImage();
    // Ends a drag without finishing it: the band goes, the image stays as before the press.
    void CancelDrag();
    // The text tool: the floating text follows the pointer until a press places it.
    void PrepareTextImage();
    void imTextMouseMove(const QPoint& globalPos);
    void imTextMouseDown();
    void CancelFloatingText();

private:
    void WireDrawingTools();
    void FinishShape();
    void SelectionAction();
    void AutoScroll(int X, int Y);
    void TextPress(int X, int Y);
    Qt::MouseButton PressButton = Qt::NoButton; // the button of the press the view took last
    QPoint PenPos;                              // the free-hand pen position
    TColor DragPenColor = 0;
    std::unique_ptr<QObject> TextCapture;       // the floating text's application-wide mouse capture

public:
    // Gradient commands (ZorvTileMain_Gradient.cpp). Wiring finds the Gradient menu's items, the
    // tool-bar button, the thumbnail and the pop-up menu's Multi Gradient... by name.
    void WireGradientCommands();
    void Design1Click();
    void PasteToImage1Click();
    void MergeWithImage1Click();
    void imGradDblClick();
    void MultiGradient1Click();
    void MultiColor1Click();
    void About1Click();
    // The first show: the designer's default gradient becomes the thumbnail and the gradient
    // commands are enabled.
    void ShowFirstGradient();
    bool PasteGFlag = true;

private:
    // Opens the two-colour designer at the image size; true when it was closed with OK.
    bool DesignGradient();
    // The thumbnail, its label and the items that need a gradient, after a design was accepted.
    void TakeGradientThumbnail();
};

// The frames of a command that changes z. Before the work, the picture is kept aside (one undo
// snapshot); after it, the snapshot enters the undo ring and the picture is shown. When the work ends by
// an exception (the user stopped it, memory ran out, anything else), the picture is put back instead,
// the undo ring is left as it was and the exception goes on to its message. The memory a frame takes is
// the ring's spare (given back on failure) or new memory, never a snapshot's; the ring drops snapshots
// (for its slots or budget) only when the frame ends well, and that end allocates nothing, so it cannot
// fail. The outermost frame or command also watches the work (TWorkScope): progress and Esc or Cancel.
//
// A frame keeps a copy of the picture and the work changes z in place. A replacing frame (replace =
// true), for work that reads the picture and writes every pixel of a new one, keeps the picture itself
// (it becomes the undo snapshot without any copy) and gives z pixels of the same size whose content is
// unspecified: the work must write all of z from Source(), or give z a new size.
class TUndoFrame {
public:
    TUndoFrame(const TUndoFrame&) = delete;
    TUndoFrame& operator=(const TUndoFrame&) = delete;

    // The picture as it was before the work (read only): the kept copy, or the picture itself.
    const TFastDIB& Source() const { return Before; }

protected:
    TUndoFrame(TfZorvTile& w, const QString& name, bool cursor, bool replace);
    ~TUndoFrame();

private:
    TfZorvTile& W;
    TWorkScope Work;
    TFastDIB Before;
    int Unwinding; // exceptions in flight when the frame began
    bool Cursor;   // the frame shows the hourglass
};

// The effect frame: hourglass, snapshot, work, display.
class TEffectFrame : public TUndoFrame {
public:
    explicit TEffectFrame(TfZorvTile& w, const QString& name = QString(), bool replace = false)
        : TUndoFrame(w, name, true, replace) {}
};

// The light frame: the same without the hourglass.
class TLightFrame : public TUndoFrame {
public:
    explicit TLightFrame(TfZorvTile& w, const QString& name = QString(), bool replace = false)
        : TUndoFrame(w, name, false, replace) {}
};
extern TfZorvTile* fZorvTile;

// The menu handler of effect `index` (0 to 65).
using TEffectHandler = void (TfZorvTile::*)();
TEffectHandler EffectHandler(int index);
