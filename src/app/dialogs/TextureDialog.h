#pragma once
// TfTexture: the texture mapping window. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

class TfTexture : public TPendingForm {
public:
    explicit TfTexture(QWidget* parent = nullptr) : TPendingForm("fTexture", "Map Texture", parent) {}
};

extern TfTexture* fTexture;
