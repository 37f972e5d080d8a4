#include "ui/windowmanager.h"

#include "ui/windowscript.h"

namespace {

std::atomic<TWindowManager*> gInstance{nullptr};

}  // namespace

TWindowManager::TWindowManager() {
    gInstance.store(this);
}

TWindowManager::~TWindowManager() {
    TWindowManager* self = this;
    gInstance.compare_exchange_strong(self, nullptr);
}

TWindowManager* TWindowManager::Get() {
    return gInstance.load();
}

void TWindowManager::SetScript(TWindowScript* script) {
    mScript.reset(script);
}
