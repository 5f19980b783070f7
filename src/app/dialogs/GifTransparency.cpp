#include "app/dialogs/GifTransparency.h"

TfGif* fGif = nullptr;
