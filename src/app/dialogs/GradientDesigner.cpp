#include "app/dialogs/GradientDesigner.h"

TfGradient* fGradient = nullptr;
