#pragma once
// TfSelect: the selection action dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfSelect : public TPendingForm {
public:
    explicit TfSelect(QWidget* parent = nullptr) : TPendingForm("fSelect", "Selection Action", parent) {}
};

extern TfSelect* fSelect;
