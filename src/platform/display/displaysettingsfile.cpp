#include "platform/display/displaysettingsfile.h"

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "platform/platform.h"
#include "platform/win32platform.h"

bool ReadLowMemoryVideoSetting() {
    TPlatform* application = TPlatform::GetInstance();
    if (application != nullptr && application->GetPlatform()->IsHostedMode()) return false;
    TXmlNode document;
    document.LoadFile(kDisplaySettingsFile);
    TXmlNode* settings = document.FindChild("Settings");
    if (settings == nullptr) return false;
    LogPrintf("Low memory video card setting enabled!");
    return settings->GetAttribute("LowMemoryVideo").ToInt() != 0;
}
