#pragma once
// TfText: the text dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfText : public TPendingForm {
public:
    explicit TfText(QWidget* parent = nullptr) : TPendingForm("fText", "Add Text", parent) {}
};

extern TfText* fText;
