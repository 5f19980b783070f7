#pragma once
// TfrmSizer: the image size dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfrmSizer : public TPendingForm {
public:
    explicit TfrmSizer(QWidget* parent = nullptr) : TPendingForm("frmSizer", "Set Size", parent) {}
};

extern TfrmSizer* frmSizer;
