#pragma once
// TfGif: the GIF transparency dialog ("Set GIF Transparency"). Shows the 256 entries of a GIF's global
// colour table as swatches; a click chooses the transparent index (ndex). OK answers mrOk, None mrNo,
// Cancel mrCancel.

#include <QDialog>

#include <array>
#include <functional>

class QFrame;
class QPushButton;
class TGIFImage;

class TfGif : public QDialog {
public:
    explicit TfGif(QWidget* parent = nullptr);
    void FormCreate() {}

    std::array<QFrame*, 256> Clr{}; // the swatches, 16 to a row
    int ndex = 256;                 // the chosen index; 256 = none chosen yet
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // None
    QPushButton* BitBtn3 = nullptr; // Cancel

    // Swatch i shows entry i of the GIF's global colour table (past its end, the table's rule for a
    // missing entry: entry 0).
    void DoColors(TGIFImage& giff);
    // A press at (x, y) in form coordinates chooses the swatch there.
    void SwatchMouseDown(int x, int y);

    // Shows the dialog modally: mrOk, mrNo or mrCancel (closing the window is Cancel). Tests answer
    // through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfGif&)>;
    static void SetExecuteHook(TExecuteHook hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetOutline(int i, bool solid);
};

extern TfGif* fGif;
