// The JPEG quality dialog (its edit, slider, buttons and stored value) and the transparent paste
// options dialog.
#include "AppTestSupport.h"
#include "app/dialogs/JpegQuality.h"
#include "app/dialogs/TransparentPaste.h"
#include "platform/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <functional>

namespace {

class FileDialogs : public ProgramTest {
protected:
    FileDialogs() : ProgramTest(false) {}
    void SetUp() override {
        ProgramTest::SetUp();
        D = fJPGComp;
        ASSERT_NE(D, nullptr);
    }
    // Set JPG Compression with the dialog driven by `act`.
    void SetQuality(std::function<void(TfJPGComp&)> act) {
        TfJPGComp::SetExecuteHook([act](TfJPGComp& d) {
            act(d);
            return d.result();
        });
        W->findChild<QAction*>("SetJPGCompression2")->trigger();
    }
    void Restart() {
        Program.reset();
        Program = std::make_unique<TStartedProgram>(Ini.path(), QString(), false);
        W = fZorvTile;
    }
    TfJPGComp* D = nullptr;
};

} // namespace

TEST_F(FileDialogs, JpegQualityStartsAt90WithItsTexts) {
    EXPECT_EQ(D->windowTitle(), "Set JPG Compression Quality");
    EXPECT_EQ(D->eCVal->text(), "90");
    EXPECT_EQ(D->sbCVal->value(), 90);
    EXPECT_EQ(D->sbCVal->minimum(), 0);
    EXPECT_EQ(D->sbCVal->maximum(), 100);
    EXPECT_EQ(D->sbCVal->pageStep(), 10);
    EXPECT_EQ(D->myval, 90);
    EXPECT_EQ(W->jcv, 90);
}

TEST_F(FileDialogs, JpegQualityEditIsKeptWithin0To100AndMovesTheSlider) {
    D->eCVal->setText("150");
    EXPECT_EQ(D->eCVal->text(), "100");
    EXPECT_EQ(D->sbCVal->value(), 100);
    D->eCVal->setText("-5");
    EXPECT_EQ(D->eCVal->text(), "0");
    EXPECT_EQ(D->sbCVal->value(), 0);
    D->eCVal->setText("");
    EXPECT_EQ(D->sbCVal->value(), 0) << "an empty edit leaves the slider";
    D->eCVal->setText("37");
    EXPECT_EQ(D->sbCVal->value(), 37);
    D->sbCVal->setValue(64);
    EXPECT_EQ(D->eCVal->text(), "64");
    D->Button1->click();
    EXPECT_EQ(D->eCVal->text(), "90");
    EXPECT_EQ(D->sbCVal->value(), 90);
    // Text that is not a number: the conversion error, the slider stays.
    D->eCVal->setText("abc");
    ASSERT_EQ(Program->Asked.size(), 1u);
    EXPECT_EQ(Program->Asked[0].Type, TMsgDlgType::mtError);
    EXPECT_EQ(Program->Asked[0].Text, "'abc' is not a valid integer value");
    EXPECT_EQ(D->sbCVal->value(), 90);
}

TEST_F(FileDialogs, CancelRestoresTheLastAcceptedValueAndOkSetsTheSavingQuality) {
    SetQuality([](TfJPGComp& d) {
        d.eCVal->setText("150");
        EXPECT_EQ(d.eCVal->text(), "100");
        d.BitBtn2->click();
    });
    EXPECT_EQ(D->sbCVal->value(), 90);
    EXPECT_EQ(D->eCVal->text(), "90");
    EXPECT_EQ(W->jcv, 90);

    SetQuality([](TfJPGComp& d) {
        d.eCVal->setText("40");
        d.BitBtn1->click();
    });
    EXPECT_EQ(W->jcv, 40);
    EXPECT_EQ(D->myval, 40);

    // Cancel now returns to 40.
    SetQuality([](TfJPGComp& d) {
        d.sbCVal->setValue(5);
        d.BitBtn2->click();
    });
    EXPECT_EQ(D->sbCVal->value(), 40);
    EXPECT_EQ(D->eCVal->text(), "40");
    EXPECT_EQ(W->jcv, 40);
}

TEST_F(FileDialogs, AfterARestartTheStoredQualityIsShownUsedForSavingAndKeptByCancel) {
    SetQuality([](TfJPGComp& d) {
        d.eCVal->setText("55");
        d.BitBtn1->click();
    });
    Restart(); // the settings are written at exit: the dialog's key and the main window's sections
    EXPECT_EQ(IniFile(QDir(Ini.path()).filePath("ZorvTile.ini")).ReadString("MainForm", "JPGComp", "?"),
              "55");
    D = fJPGComp;
    EXPECT_EQ(D->eCVal->text(), "55");
    EXPECT_EQ(D->sbCVal->value(), 55);
    EXPECT_EQ(D->myval, 55);
    EXPECT_EQ(W->jcv, 55) << "saving uses the quality the dialog shows";

    // A cancelled dialog keeps the stored value, in the dialog and for saving.
    SetQuality([](TfJPGComp& d) {
        d.sbCVal->setValue(12);
        d.BitBtn2->click();
    });
    EXPECT_EQ(D->sbCVal->value(), 55);
    EXPECT_EQ(D->eCVal->text(), "55");
    EXPECT_EQ(W->jcv, 55);
    Restart();
    EXPECT_EQ(fJPGComp->eCVal->text(), "55") << "Cancel did not store 90 either";
}

TEST_F(FileDialogs, AStoredQualityIsIgnoredOnTheFirstRunAndWhenItIsNotANumber) {
    // No gate key: the file was not written by the program, so it is not read.
    const QString path = QDir(Ini.path()).filePath("ZorvTile.ini");
    for (const char* content : {"[MainForm]\r\nJPGComp=33\r\n",
                                "[EffectVals]\r\nEffectVals6=250\r\n[MainForm]\r\nJPGComp=lots\r\n"}) {
        Program.reset(); // writes the settings, overwritten below
        WriteAll(path, content);
        Program = std::make_unique<TStartedProgram>(Ini.path(), QString(), false);
        EXPECT_EQ(fJPGComp->eCVal->text(), "90") << content;
        EXPECT_TRUE(Program->Asked.empty());
    }
}

TEST_F(FileDialogs, TransparentPasteOptions) {
    TfTrans* t = fTrans;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->windowTitle(), "Transparent Paste Options");
    EXPECT_TRUE(t->cbReSize->isChecked());
    EXPECT_EQ(t->cbReSize->text(), "ReSize Clipboard Image before paste");
    EXPECT_TRUE(t->rbNorm->isChecked());
    EXPECT_EQ(t->rbNorm->text(), "Normal (Lower left pixel is transparent color)");
    EXPECT_EQ(t->rbPen->text(), "Use Pen Color for transparent color");
    EXPECT_EQ(t->rbCustom->text(), "Custom Color...");

    W->AColor = RGBColor(10, 20, 30);
    t->rbNorm->click();
    EXPECT_EQ(t->Shape1Color(), RGBColor(10, 20, 30));
    t->ColorDialog1Color = RGBColor(1, 2, 3);
    t->rbCustom->click();
    EXPECT_EQ(t->Shape1Color(), RGBColor(1, 2, 3));
    // A cancelled colour dialog keeps the colour; a click on the swatch without Custom opens nothing.
    int asked = 0;
    TfTrans::SetColorDialogHook([&](TColor&) {
        ++asked;
        return false;
    });
    t->Shape1MouseDown();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(t->Shape1Color(), RGBColor(1, 2, 3));
    t->rbPen->click();
    EXPECT_EQ(t->Shape1Color(), RGBColor(0, 0, 0));
    t->Shape1MouseDown();
    EXPECT_EQ(asked, 1);
}
