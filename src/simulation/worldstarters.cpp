// The task starters behind StartTask (worlddispatch.cpp). Each checks its task's conditions,
// schedules it and moves the parties' views; it answers whether a task was started. So far
// every one refuses: the starters come with the rules of the tasks they start.
#include "simulation/world.h"

bool GWorld::StartBreeding(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartWorkOnTarget(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartDoctoring(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartWander(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartStayAndAct(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartStoreWalk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartConsuming(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartTreatment(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartDevolving(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartProducing(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartHerbCollecting(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartJobTask(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartRunAway(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartFailing(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartShortPause(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartCarryArkPart(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartBushRepair(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartCarryToArk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartFrozenPause(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartGraveyardWalk(int, GObject*, GObject*) {
    return false;
}

bool GWorld::StartMonsterTask(int, GObject*, GObject*) {
    return false;
}
