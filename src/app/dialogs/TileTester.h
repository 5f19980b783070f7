#pragma once
// TfTester: the "Test Tiles" window. It fills the screen with copies of the image, optionally with
// sample text over them, while the main window and the tool box are hidden; OK, Ctrl+Z or closing it
// brings them back.

#include <QDialog>

class QPushButton;

class TfTester : public QDialog {
public:
    explicit TfTester(QWidget* parent = nullptr);
    void FormCreate() {}

    QPushButton* Button1 = nullptr; // OK

    // Shows the window maximized.
    void Show();
    void Button1Click();
    // Writes "Sample Text" at (x, y) in the colour c ($00BBGGRR) with the painter's font.
    void DrawSample(QPainter& p, int x, int y, unsigned c);
    void FormPaint(QPainter& p);
    void FormHide();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // Sees the keys of every control of the window first, as the window's own keys.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Ctrl+Z released: true when it hid the window.
    bool CtrlZ(const QKeyEvent* e);
};

extern TfTester* fTester;
