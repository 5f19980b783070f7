#pragma once
// TfAdjust: the shape adjustment dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfAdjust : public TPendingForm {
public:
    explicit TfAdjust(QWidget* parent = nullptr) : TPendingForm("fAdjust", "Adjust Size and Location", parent) {}
};

extern TfAdjust* fAdjust;
