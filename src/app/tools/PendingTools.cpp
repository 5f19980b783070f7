// Stand-ins for the drawing tools' commands until they are built: the tool chosen in the tool box is
// recorded, and the colour slider toggle shows or hides the tool box's slider panel.

#include "app/dialogs/ToolBox.h"
#include "app/main/ZorvTileMain.h"

void TfZorvTile::SetTool(bool Fil, bool Txtn, TDrawTool Tewl, int crs) {
    Fill = Fil;
    Texting = Txtn;
    Tool = Tewl;
    (void)crs; // the drawing cursors come with the drawing tools
}

void TfZorvTile::bColorClick() {
    if (fToolBox) fToolBox->ShowColorSliders(!fToolBox->ColorSlidersShown());
}
