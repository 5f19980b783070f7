#pragma once
// TfToolBox: the tool box: drawing tools, colours, the effect parameter panel and the colour sliders. Created in its place at start-up; its contents are still to come.

#include "app/dialogs/PendingBase.h"

// The tool box: a small stay-on-top tool window beside the main window.
class TfToolBox : public TPendingForm {
public:
    explicit TfToolBox(QWidget* parent = nullptr);
};

extern TfToolBox* fToolBox;
