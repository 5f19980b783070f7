#pragma once
// Windows that exist from start-up to exit but whose contents come later: each is created in its
// place in the start-up order with its caption, and stays empty until its own unit fills it.

#include <QDialog>

// The JPEG quality and transparent paste dialogs have their own units.
#include "app/JpgCval1.h"
#include "app/Trans1.h"

// Base of the windows that are still empty.
class TPendingForm : public QDialog {
public:
    TPendingForm(const QString& objectName, const QString& caption, QWidget* parent);
    void FormCreate() {}
};

#define MOZARO_PENDING_FORM(Class, Var, Caption)                                                             \
    class Class : public TPendingForm {                                                                      \
    public:                                                                                                  \
        explicit Class(QWidget* parent = nullptr) : TPendingForm(#Var, Caption, parent) {}                   \
    };

// The tool box: a small stay-on-top tool window beside the main window.
class TfToolBox : public TPendingForm {
public:
    explicit TfToolBox(QWidget* parent = nullptr);
};

MOZARO_PENDING_FORM(TfGradient, fGradient, "Gradient Designer")
MOZARO_PENDING_FORM(TfFilter, fFilter, "Create-A-Filter")
MOZARO_PENDING_FORM(TfSelect, fSelect, "Selection Action")
MOZARO_PENDING_FORM(TfText, fText, "Add Text")
MOZARO_PENDING_FORM(TfTexture, fTexture, "Map Texture")
MOZARO_PENDING_FORM(TfrmSizer, frmSizer, "Set Size")
MOZARO_PENDING_FORM(TfTester, fTester, "Test Tiles")
MOZARO_PENDING_FORM(TfAbout, fAbout, "Do It with Mozaro")
MOZARO_PENDING_FORM(TfGif, fGif, "Set GIF Transparency")
MOZARO_PENDING_FORM(TfMultGrad, fMultGrad, "Multi-Gradient Designer")
MOZARO_PENDING_FORM(TfAdjust, fAdjust, "Adjust Size and Location")
MOZARO_PENDING_FORM(TfMultOpt, fMultOpt, "Gradient Point Options")

#undef MOZARO_PENDING_FORM

extern TfToolBox* fToolBox;
extern TfGradient* fGradient;
extern TfFilter* fFilter;
extern TfSelect* fSelect;
extern TfText* fText;
extern TfTexture* fTexture;
extern TfrmSizer* frmSizer;
extern TfTester* fTester;
extern TfAbout* fAbout;
extern TfGif* fGif;
extern TfMultGrad* fMultGrad;
extern TfAdjust* fAdjust;
extern TfMultOpt* fMultOpt;
