#include "app/dialogs/MultiGradientDesigner.h"

TfMultGrad* fMultGrad = nullptr;
