// Stand-ins for the colour, blend, plasma and merge effects until they are built: each refuses with a
// message and says it did not run; their menu items stay disabled and Apply refuses them.

#include "app/effects/EffectCatalogue.h"
#include "app/main/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

namespace {

const TPendingEffects Pending{25, 29, 30, 31, 32, 33, 34, 36, 37, 47, 50, 52, 53, 54};

bool Refuse(int index) {
    ShowMessage(PendingEffectMessage(index));
    return false;
}

} // namespace

bool TfZorvTile::DoColorNoise(int) {
    return Refuse(25);
}
bool TfZorvTile::DoMarble(int, int, float) {
    return Refuse(29);
}
bool TfZorvTile::DoColorRotate(int) {
    return Refuse(30);
}
bool TfZorvTile::DoNegative() {
    return Refuse(31);
}
bool TfZorvTile::DoBrighten() {
    return Refuse(32);
}
bool TfZorvTile::DoLighten() {
    return Refuse(33);
}
bool TfZorvTile::DoTint() {
    return Refuse(34);
}
bool TfZorvTile::DoEraseToBlack() {
    return Refuse(36);
}
bool TfZorvTile::DoExchangeColor(TColor, TColor, std::uint16_t) {
    return Refuse(37);
}
bool TfZorvTile::DoGradientBars(int) {
    return Refuse(47);
}
bool TfZorvTile::DoMergeBuffer(int) {
    return Refuse(50);
}
bool TfZorvTile::DoPlasmaCloud(int) {
    return Refuse(52);
}
bool TfZorvTile::DoStretchBlur(int, int, TFastDIB&, int) {
    return Refuse(lvl == 53 ? 53 : 54);
}
