#include "port/system/control.h"

namespace port::control {

void ResetSystem() {
    UseFakeClock(false);
    SetTime(0);
    SetSleepAdvancesClock(false);
    SetCalendarTime(kDefaultCalendarTime);
    SetOsVersion(kDefaultOsMajor, kDefaultOsMinor, kDefaultOsBuild);
    ClearSpecialFolders();
    SetModulePath("");
    SetInstanceLockFolder("");
    SetVersionInfoHidden(false);
    SetExitHandler(nullptr);
    SetLinkLauncher(nullptr);
}

}  // namespace port::control
