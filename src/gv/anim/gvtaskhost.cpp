#include "gv/anim/gvtaskhost.h"

#include "gv/gvscene.h"
#include "platform/platform.h"

namespace {

GVWindowHook* gHook = nullptr;

}  // namespace

void SetWindowHook(GVWindowHook* hook) {
    gHook = hook;
}

GVWindowHook* GetWindowHook() {
    return gHook;
}

bool AddTimerTask(GVScene* scene, TTask* task) {
    TModalWindow* host = scene != nullptr ? scene->GetTaskHost() : nullptr;
    if (host != nullptr && gHook != nullptr) {
        gHook->AddTask(host, task);
        return true;
    }
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr) return false;
    platform->AddTask(task);
    return true;
}
