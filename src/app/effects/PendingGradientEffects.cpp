// Stand-ins for the two gradient effects until they are built: each refuses with a message and says it
// did not run; their menu items stay disabled and Apply refuses them.

#include "app/effects/EffectCatalogue.h"
#include "app/main/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

namespace {

const TPendingEffects Pending{48, 49};

} // namespace

bool TfZorvTile::DoDrawGradient() {
    ShowMessage(PendingEffectMessage(48));
    return false;
}

bool TfZorvTile::DoMergeGradient(int) {
    ShowMessage(PendingEffectMessage(49));
    return false;
}
