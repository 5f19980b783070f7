// The text tool: the text dialog, the floating text image and its placing.

#include "app/main/ZorvTileMain.h"

void TfZorvTile::TextPress(int, int) {}
void TfZorvTile::PrepareTextImage() {}
void TfZorvTile::imTextMouseMove(const QPoint&) {}
void TfZorvTile::imTextMouseDown() {}
void TfZorvTile::CancelFloatingText() {}
