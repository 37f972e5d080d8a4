// The tick's passes over the tribe: the idle pass (creatures without a task are given one), the
// feeding cycle (places grow, the tribe eats and drinks, each creature lives its cycle) and the
// threat pass (creatures flee from hyenas or fight them, hyenas choose their prey). So far they
// do nothing: they come with the feeding rules.
#include "simulation/world.h"

void GWorld::RunIdlePass() {}

void GWorld::RunFeedingCycle() {}

void GWorld::RunThreatPass() {}
