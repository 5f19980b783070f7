#pragma once
// TfText: the text dialog of the text tool: the text, its font family, style, size, colour and
// alignment, with a sample of the chosen font. Everything stays in the controls between uses; the
// text tool reads the text, the alignment and the sample's font after OK.

#include <QDialog>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TColrBtn;
class TTextPanel;

class TfText : public QDialog {
public:
    explicit TfText(QWidget* parent = nullptr);
    void FormCreate();

    // The chosen style: 0 regular, 1 bold, 2 italic, 3 bold italic.
    std::uint8_t StyleFlag = 0;

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* eFontName = nullptr;
    QListWidget* lbFonts = nullptr; // font families, sorted; scalable ones carry the TrueType mark
    QLineEdit* eStyle = nullptr;    // display only
    QListWidget* lbStyle = nullptr;
    QLineEdit* eSize = nullptr;
    QListWidget* lbSize = nullptr;
    TTextPanel* tPnl1 = nullptr; // the sample; its font is the drawing font
    QPlainTextEdit* Memo1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr; // "Text Alignment": Left, Center, Right
    TColrBtn* ColrBtn1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    // RadioGroup1's chosen item: 0 left, 1 centre, 2 right.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // The sample's font follows the three edits. A size that is not a whole number keeps the size
    // the sample had; sizes are kept within 1 to 1000 points.
    void UpdateSample();
    void lbFontsClick();
    void lbStyleClick();
    void lbSizeClick();
    void eFontNameChange();
    void eSizeChange();
    void Memo1Change();
    void RadioGroup1Click();
    void ColrBtn1Changed();

    static constexpr int MinSize = 1, MaxSize = 1000;
    // The 54 sizes of the size list.
    static const int Sizes[54];

    // Shows the dialog modally and returns mrOk or mrCancel; tests answer through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfText&)>;
    static void SetExecuteHook(TExecuteHook hook);

private:
    // Widens the three lists (and the edits above them) to their longest items.
    void FitLists();
    // Selects a list row from code: the list's click handler does not run.
    void SelectRow(QListWidget* list, int row);
    bool Selecting = false;
    QButtonGroup* Alignments = nullptr;
};

extern TfText* fText;
