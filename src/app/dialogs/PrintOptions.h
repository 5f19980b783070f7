#pragma once
// Print options dialog and the printing helpers the main window uses.

#include "platform/NumberText.h"

#include <QDialog>
#include <QGroupBox>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPrinter;
class QPushButton;
class QRadioButton;
class QToolButton;
class QImage;

// A radio group: a titled box of radio buttons with an item index.
class PrintOptionGroup : public QGroupBox {
    Q_OBJECT
public:
    PrintOptionGroup(const QString& caption, const QStringList& items, QWidget* parent);
    int ItemIndex() const;
    void SetItemIndex(int index); // does not emit clicked
    QRadioButton* Item(int index) const;
    int Count() const;

signals:
    void clicked(int index); // the user chose an item

private:
    std::vector<QRadioButton*> items_;
};

class TfPrint : public QDialog {
    Q_OBJECT
public:
    explicit TfPrint(QWidget* parent = nullptr);
    ~TfPrint() override;
    void FormCreate();

    PrintOptionGroup* rgSize = nullptr;
    PrintOptionGroup* rgAlign = nullptr;
    PrintOptionGroup* rgOrient = nullptr;
    QLabel* lScale = nullptr; // "Scaling Factor"
    QLineEdit* eScale = nullptr;
    QToolButton* SpeedButton1 = nullptr; // what the scaling factor is
    QLabel* lInches = nullptr;           // "Size in Inches"
    QLabel* lWide = nullptr;             // "Width"
    QLabel* lHigh = nullptr;             // "Height"
    QLineEdit* eWide = nullptr;
    QLineEdit* eHigh = nullptr;
    QCheckBox* cbAspect = nullptr;
    QPushButton* sbPrint = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* CDJacketFront1 = nullptr;
    QAction* CDJacketBack1 = nullptr;
    bool DrawBox = false; // frame the printed image
    QRect PrintedRect;    // where the last print job put the image, in printer pixels

    void FormShow();
    void rgSizeClick();
    void eWideExit();
    void eHighExit();
    void CDJacketFront1Click();
    void CDJacketBack1Click();
    void sbPrintClick();
    void SpeedButton1Click();

    // Runs the dialog modally (or the test hook); returns the modal result.
    int Execute();
    // Gives a fresh printer the choices made in the set-up dialog (printer, paper, output file).
    void ApplySetup(QPrinter& printer) const;
    // The screen's pixels per inch, as whole numbers.
    static int ScreenPpiX();
    static int ScreenPpiY();

    // Tests: when set, Execute shows nothing; the hook may change the controls and returns the result.
    using ExecHook = std::function<int(TfPrint& dialog)>;
    static void SetExecHook(ExecHook hook);

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showSizeControls();
    struct Setup;
    std::unique_ptr<Setup> setup_;
};

extern TfPrint* fPrint;

// A number with two decimals and a full stop ("5.33").
QString FloatStr2(double value);

// What fixes the printed image's place on the page, all in pixels or inches.
struct PrintLayout {
    int size = 0;  // rgSize item
    int align = 0; // 0 top left, 1 centre
    float scale = 1.0f;
    double wideInches = 0, highInches = 0;
    int imageWidth = 0, imageHeight = 0;
    int printerPpiX = 0, printerPpiY = 0;
    int screenPpiX = 96, screenPpiY = 96;
    int pageWidth = 0, pageHeight = 0;
};
// The target rectangle of the printed image on the page, in printer pixels. A null rectangle when the
// size comes out as zero, negative or beyond 2^24 pixels (nothing can be printed then).
QRect PrintTargetRect(const PrintLayout& layout);

// Stretches the bitmap into the rectangle on the canvas; with frame a one-pixel black frame is drawn on
// exactly that rectangle.
void PrintBitmap(QPainter& canvas, const QRect& rect, const QImage& bitmap, bool frame);

// The desktop's print dialog for a printer; false on Cancel. Tests answer it through the hook, which may
// set the printer up (for example to PDF output) and returns the answer.
using PrintDialogHook = std::function<bool(QPrinter& printer)>;
void SetPrintDialogHook(PrintDialogHook hook);
bool RunPrintDialog(QPrinter& printer, QWidget* parent);
