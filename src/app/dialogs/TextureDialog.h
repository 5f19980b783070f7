#pragma once
// TfTexture: the "Map Texture" window. It holds the grey texture Map Texture lights the image with,
// taken from a file, the buffer or the clipboard, and kept for the whole run.

#include "image/FastDIB.h"

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;

class TfTexture : public QDialog {
public:
    explicit TfTexture(QWidget* parent = nullptr);
    void FormCreate() {}

    // The texture (24 bits, grey once a source has been chosen); it starts as a 2 x 2 checker.
    TFastDIB Texture;

    QLabel* imTexture = nullptr;
    QPushButton* bLoadTexur = nullptr;
    QPushButton* bUseBufr = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    // "Load New Texture...": a picture file as the texture.
    void bLoadTexurClick();
    // "Use Buffer as Texture": the buffer as the texture, when one exists.
    void bUseBufrClick();
    // Right button: the clipboard's picture as the texture; left button: the texture to the clipboard.
    void imTextureMouseDown(Qt::MouseButton button);
    // Takes a copy of `pic` as the texture, turned grey, and shows it.
    void SetTexture(const TFastDIB& pic);

    // Shows the window modally and returns mrOk or mrCancel. Tests answer through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfTexture&)>;
    static void SetExecuteHook(TExecuteHook hook);
    // The file dialog of "Load New Texture..." (tests): gets the filter, returns the file or "".
    using TOpenHook = std::function<QString(const QString& filter)>;
    static void SetOpenHook(TOpenHook hook);
    static const char* const TextureFilter;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowTexture();
};

extern TfTexture* fTexture;
