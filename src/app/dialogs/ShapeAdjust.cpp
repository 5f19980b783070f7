#include "app/dialogs/ShapeAdjust.h"

TfAdjust* fAdjust = nullptr;
