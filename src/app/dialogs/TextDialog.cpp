#include "app/dialogs/TextDialog.h"

TfText* fText = nullptr;
