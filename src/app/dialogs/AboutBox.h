#pragma once
// TfAbout: the About box. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfAbout : public TPendingForm {
public:
    explicit TfAbout(QWidget* parent = nullptr) : TPendingForm("fAbout", "Do It with Mozaro", parent) {}
};

extern TfAbout* fAbout;
