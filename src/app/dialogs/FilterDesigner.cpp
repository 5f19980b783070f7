#include "app/dialogs/FilterDesigner.h"

TfFilter* fFilter = nullptr;
