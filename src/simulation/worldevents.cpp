// The world's story: the events history, the one-time world events, the game-over record,
// diseases breaking out, and the timed treasure map, hidden bonus and hyena waves. So far these
// do nothing: they come with the world's rules.
#include "simulation/world.h"

void GWorld::AddEvent(GEventRecord) {}

void GWorld::AddGameOverEvent() {}

void GWorld::HandleWorldEvent(int) {}

void GWorld::StepTreasureMap() {}

void GWorld::StepHiddenObject() {}

void GWorld::SpawnHyena() {}

void GWorld::InfectCreature(int, bool) {}
