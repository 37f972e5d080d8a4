// The player's hands: the selected object and the creature held in hand. So far the selection
// only keeps what it is given and nothing can be held: the rules of selecting, hovering and
// taking come with the player's controls.
#include "simulation/world.h"

void GWorld::SelectObject(GObject* object) {
    mSelected = object;
}

bool GWorld::TakeCreature(GObject*) {
    mHeld = nullptr;
    return false;
}
