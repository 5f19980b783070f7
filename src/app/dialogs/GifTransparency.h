#pragma once
// TfGif: the GIF transparency dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfGif : public TPendingForm {
public:
    explicit TfGif(QWidget* parent = nullptr) : TPendingForm("fGif", "Set GIF Transparency", parent) {}
};

extern TfGif* fGif;
