#include "ui/windowmanager.h"

#include "ui/windowscript.h"

namespace {

TWindowManager* gInstance = nullptr;

}  // namespace

TWindowManager::TWindowManager() {
    gInstance = this;
}

TWindowManager::~TWindowManager() {
    if (gInstance == this) gInstance = nullptr;
}

TWindowManager* TWindowManager::Get() {
    return gInstance;
}

void TWindowManager::SetScript(TWindowScript* script) {
    mScript.reset(script);
}
