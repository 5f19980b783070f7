// Stand-ins for the geometric, mosaic and scrolling effects until they are built: each refuses with a
// message and says it did not run; their menu items stay disabled and Apply refuses them.

#include "app/effects/EffectCatalogue.h"
#include "app/main/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

namespace {

const TPendingEffects Pending{18, 19, 20, 21, 22, 23, 24, 26, 27, 28, 38, 39, 40, 41, 42, 43, 44, 46};

bool Refuse(int index) {
    ShowMessage(PendingEffectMessage(index));
    return false;
}

} // namespace

bool TfZorvTile::DoTwist(int) {
    return Refuse(18);
}
bool TfZorvTile::DoFishEye(float) {
    return Refuse(19);
}
bool TfZorvTile::DoCircular() {
    return Refuse(20);
}
bool TfZorvTile::DoAstroid(int) {
    return Refuse(21);
}
bool TfZorvTile::DoConcentricRects(int) {
    return Refuse(22);
}
bool TfZorvTile::DoMosaic(int) {
    return Refuse(23);
}
bool TfZorvTile::DoCircleMosaic(int) {
    return Refuse(24);
}
bool TfZorvTile::DoSpray(int) {
    return Refuse(26);
}
bool TfZorvTile::DoSwizzle(int) {
    return Refuse(27);
}
bool TfZorvTile::DoMapTexture(float) {
    return Refuse(28);
}
bool TfZorvTile::DoReSizeFast() {
    return Refuse(38);
}
bool TfZorvTile::DoReSizeSmooth() {
    return Refuse(39);
}
bool TfZorvTile::DoRotate90() {
    return Refuse(40);
}
bool TfZorvTile::DoMirrorLR() {
    return Refuse(41);
}
bool TfZorvTile::DoMirrorUD() {
    return Refuse(42);
}
bool TfZorvTile::DoRotateAngle(int) {
    return Refuse(43);
}
bool TfZorvTile::DoRotateSeamless() {
    return Refuse(44);
}
bool TfZorvTile::DoCycloidMosaic(int) {
    return Refuse(46);
}
void TfZorvTile::ScrollImLR(int) {
    Refuse(45);
}
void TfZorvTile::ScrollImUD(int) {
    Refuse(45);
}
