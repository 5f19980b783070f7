#include "app/dialogs/TextureDialog.h"

TfTexture* fTexture = nullptr;
