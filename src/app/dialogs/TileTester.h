#pragma once
// TfTester: the tile tester. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfTester : public TPendingForm {
public:
    explicit TfTester(QWidget* parent = nullptr) : TPendingForm("fTester", "Test Tiles", parent) {}
};

extern TfTester* fTester;
