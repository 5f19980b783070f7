#include "app/dialogs/SelectionAction.h"

TfSelect* fSelect = nullptr;
