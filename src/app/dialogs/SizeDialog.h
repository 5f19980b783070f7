#pragma once
// TfrmSizer: the "Set Size" window. It chooses the size ReSize Fast and ReSize Smooth resize the image
// to, in pixels, in percent of the current size, from a list of screen sizes or from the CD cover
// sizes of its pop-up menu. The result is Wide x High, read after OK.

#include <QDialog>

#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

class TfrmSizer : public QDialog {
public:
    explicit TfrmSizer(QWidget* parent = nullptr);
    void FormCreate() {}

    // The chosen size; both stay between 1 and MaxSide after OK.
    int Wide = 0;
    int High = 0;
    static constexpr int MaxSide = 9999;

    QGroupBox* rgSizer = nullptr;
    QButtonGroup* rgSizerItems = nullptr;
    QLineEdit* meWidth = nullptr;
    QLineEdit* meHeight = nullptr;
    QRadioButton* rbPix = nullptr;
    QRadioButton* rbPct = nullptr;
    QLineEdit* mePctWidth = nullptr;
    QLineEdit* mePctHeight = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QMenu* PopupMenu1 = nullptr;

    // The selected item of "Select Size" (0..3); setting it runs rgSizerClick when it changes.
    int ItemIndex() const;
    void SetItemIndex(int i);

    void FormShow();
    void rgSizerClick();
    void meWidthExit();
    void meHeightExit();
    void meHeightEnter();
    void rbPixClick();
    void rbPctClick();
    void mePctWidthChange();
    void mePctHeightChange();
    void mePctWidthExit();
    void mePctHeightExit();
    // The pop-up menu's CD sizes.
    void CDFront1Click();
    void CDBack1Click();
    void CDFrontHalf1Click();
    // OK: takes the edits' values; refuses (with a message, the window staying open) a width or
    // height that is empty or below 1.
    void btnOKClick();

    // Shows the window modally and returns mrOk or mrCancel. Tests answer through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfrmSizer&)>;
    static void SetExecuteHook(TExecuteHook hook);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FirstShow = true;
    bool KeepPct = false;
    int ImageWidth() const;
    int ImageHeight() const;
    // Percent of the image side, kept to 0..MaxSide; the current value when the text holds no digit.
    int FromPercent(const QLineEdit* e, int side, int current) const;
    void SetPixels(int w, int h);
    void ChooseCD(int w, int h);
};

extern TfrmSizer* frmSizer;
