#include "app/dialogs/AboutBox.h"

TfAbout* fAbout = nullptr;
