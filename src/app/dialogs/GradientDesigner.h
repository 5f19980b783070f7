#pragma once
// TfGradient: the two-colour gradient designer. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfGradient : public TPendingForm {
public:
    explicit TfGradient(QWidget* parent = nullptr) : TPendingForm("fGradient", "Gradient Designer", parent) {}
};

extern TfGradient* fGradient;
