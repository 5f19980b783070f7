#pragma once
// TfMultOpt: the gradient point options dialog. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfMultOpt : public TPendingForm {
public:
    explicit TfMultOpt(QWidget* parent = nullptr) : TPendingForm("fMultOpt", "Gradient Point Options", parent) {}
};

extern TfMultOpt* fMultOpt;
