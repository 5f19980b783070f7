#pragma once
// TfMultGrad: the multi-colour gradient designer. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfMultGrad : public TPendingForm {
public:
    explicit TfMultGrad(QWidget* parent = nullptr) : TPendingForm("fMultGrad", "Multi-Gradient Designer", parent) {}
};

extern TfMultGrad* fMultGrad;
