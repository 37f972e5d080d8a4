#include "online/onlineservices.h"

#include "online/computerid.h"
#include "online/portal.h"
#include "platform/onlinehooks.h"

void RegisterOnlineServices() {
    onlinehooks::THooks hooks;
    hooks.getPortalPauseTime = &GetPortalPauseTime;
    hooks.isZylomMode = &IsZylomMode;
    hooks.getComputerId = &GetComputerId;
    hooks.enableMsnMode = &EnableMsnMode;
    hooks.enableZylomMode = &EnableZylomMode;
    onlinehooks::Install(hooks);
}
