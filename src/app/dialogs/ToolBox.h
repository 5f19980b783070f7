#pragma once
// TfToolBox: the tool box: the eight drawing tools with pen and brush colour, pen size and fill, the
// parameter panel of the current effect with Apply, Default and Undo, the two scroll bars of the Scroll
// effect and the six colour sliders with their live preview. Settings in section [ToolBox].

#include "image/Color.h"

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class TColrBtn;
class TLbl3D;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolBar;
class QToolButton;
class QWidget;
class QWindow;

class TfToolBox : public QDialog {
public:
    explicit TfToolBox(QWidget* parent = nullptr);
    ~TfToolBox() override;

    void FormCreate();
    void FormDestroy();

    // The parameter panel of effect `lvl` (-1: none), the effect's name in lblEffect and status panel 4.
    void ShowEm(int lvl, const QString& effect);
    // lblEffect's text.
    void SetEffectCaption(const QString& effect);
    // The colour slider panel and the window's height that goes with it.
    void ShowColorSliders(bool show);
    bool ColorSlidersShown() const;
    // True while a slider preview waits for OK or Cancel.
    bool PreviewPending() const;

    // The pen and brush colours of bPen and bBrush.
    TColor PenColor() const;
    TColor BrushColor() const;
    void SetPenColor(TColor c);
    void SetBrushColor(TColor c);

    // Window heights (frame included) with the slider panel hidden and shown.
    static constexpr int HeightWithoutSliders = 270;
    static constexpr int HeightWithSliders = 446;

    QWidget* Panel1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton *bFree = nullptr, *bEllip = nullptr, *bRect = nullptr, *bLine = nullptr, *bFill = nullptr,
                *bText = nullptr, *bSelect = nullptr, *bEyeDrop = nullptr;
    QWidget* Panel2 = nullptr;
    TColrBtn *bPen = nullptr, *bBrush = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* ePenSize = nullptr;
    QCheckBox* cFill = nullptr;
    QWidget* Panel4 = nullptr;
    TLbl3D* lblEffect = nullptr;
    QLineEdit* eAmtMain = nullptr;
    QLabel* lblMain = nullptr;
    QLineEdit* eAmtSecond = nullptr;
    QLineEdit* ePeaks2 = nullptr;
    QLineEdit* eHeight2 = nullptr;
    QCheckBox* ckbxPeaks = nullptr;
    QLabel *lblHeight2 = nullptr, *lblBtn = nullptr, *lblSecond = nullptr;
    QCheckBox* ckbxWrap = nullptr;
    QLabel* lblHelp = nullptr;
    QToolButton* btnDefault = nullptr;
    QLabel* lblPeaks2 = nullptr;
    QPushButton* bGo2 = nullptr;
    QScrollBar *sbLR = nullptr, *sbUD = nullptr;
    QWidget* pnlColors = nullptr;
    TLbl3D *Lbl3D1 = nullptr, *Lbl3D2 = nullptr, *Lbl3D3 = nullptr, *Lbl3D4 = nullptr, *Lbl3D5 = nullptr,
           *Lbl3D6 = nullptr;
    QScrollBar *sbBright = nullptr, *sbContrast = nullptr, *sbSaturation = nullptr, *sbRed = nullptr,
               *sbGreen = nullptr, *sbBlue = nullptr;
    QPushButton *bGood = nullptr, *bBad = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* bCols2 = nullptr;
    QCheckBox* cbBump = nullptr;
    QLineEdit* eYPos = nullptr;
    QLabel* lYPos = nullptr;
    int LRPos = 0, UDPos = 0;

    // Event handlers.
    void bFreeClick();
    void bEllipClick();
    void bRectClick();
    void bLineClick();
    void bFillClick();
    void bTextClick();
    void bSelectClick();
    void bEyeDropClick();
    void bPenClick();
    void bBrushClick();
    void bGo2Click();
    void ckbxPeaksClick();
    void SpeedButton1Click();
    void bCols2Click();
    void btnDefaultClick();
    // One move of any colour slider; `end` when the move ended (the mouse let the slider go).
    void sbBrightScroll(bool end);
    void bGoodClick();
    void bBadClick();
    void sbLRScroll(int position);
    void sbUDScroll(int position);

    // Tests watch every ShowEm through this hook (called first, with its arguments).
    using TShowEmHook = std::function<void(int lvl, const QString& effect)>;
    static void SetShowEmHook(TShowEmHook hook);

    // The strip of the eight tool glyphs (128 x 16 on silver).
    static QImage ToolGlyphs();

    // True when the tool box is shown and the user sees it: at its centre and the corners of its client
    // area it is the window on top. Only X11 tells which window lies at a point; elsewhere a shown tool
    // box that is not minimised counts as seen.
    bool InView() const;
    // Shows the tool box on top of the main window: mapped again, so that the window manager takes the
    // main window for its owner and keeps it above that, and raised.
    void BringToFront();
    // Tests answer which window lies on top at a point of the screen (nullptr: another program's).
    using TWindowAtHook = std::function<QWindow*(const QPoint& global)>;
    static void SetWindowAtHook(TWindowAtHook hook);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Watches the main window's moves, sizes and state.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves the tool box off the main window's menu titles and tool bar buttons, where it covers any.
    void KeepClearOfBars();
    bool KeepClearQueued = false;
    void HideAll();
    void EndPreview();
    void SetPreviewControls(bool pending);
    void PlaceBesideMainWindow();
    void SetWindowHeight(int frameHeight);
    bool Destroyed = false;
    bool PlaceStored = false; // the settings gave a place: keep it (clamped onto the screen)
    bool Placed = false;
    bool PreviewQueued = false;
    bool FocusOkAfterPreview = false; // a move ended before its preview was drawn
};

extern TfToolBox* fToolBox;
