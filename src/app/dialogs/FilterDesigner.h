#pragma once
// TfFilter: the user filter designer. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfFilter : public TPendingForm {
public:
    explicit TfFilter(QWidget* parent = nullptr) : TPendingForm("fFilter", "Create-A-Filter", parent) {}
};

extern TfFilter* fFilter;
