#include "app/dialogs/GradientPointOptions.h"

TfMultOpt* fMultOpt = nullptr;
