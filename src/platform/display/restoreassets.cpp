// TPlatformData::RestoreAssets: after the display came back (a set-up or a restore), every asset
// makes its device objects again, the listeners run once (the cursor's among them, which rebuilds
// the cursor image) and the whole window tree is drawn again.
#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/windowsystemhooks.h"

void TPlatformData::RestoreAssets() {
    if (!IsWorking()) {
        LogPrintf("RestoreAssets: DX broken");
        return;
    }
    TPlatform* application = TPlatform::GetInstance();
    if (application == nullptr) return;
    if (TAssetManager* assets = application->GetAssetManager(); assets != nullptr) {
        assets->RestoreAll();
    }
    application->RunListeners();
    windowsystemhooks::MarkDirty(application->GetWindowManager());
}
