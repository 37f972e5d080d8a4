// The control plane: what tests use to set up, drive and observe the port layer. The program
// never calls it; its start-up settings (the backend, the log sink) are in port/startup.h, and
// backends bring real input and desktop changes in through port/window/events.h.
//
// Each service keeps its part beside its code: system/control.h (clock, process, folders,
// version data, exit and links), window/control.h (desktop, monitors and metrics, injected
// input, foreign windows, message boxes, the clipboard, the reset), display/control.h
// (surfaces as images, the player's view, the surface list), device/control.h (the 3-D
// devices, their state, resident managed textures), sound/control.h (the null device's
// mixing, lost buffers, the buffers and the capture of the output) and http/control.h (keeping
// requests on this machine, trusted test certificates, time limits). This header gathers them
// with failure injection and the call log, which every service shares.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "port/failinjection.h"
#include "port/win32types.h"

namespace port::control {

// Failure injection (port/failinjection.h), by operation name: its Windows name ("CreateMutexA",
// "CreateSurface", "SetRenderTarget" ...). A method that shares its name with a Windows call or
// another interface's method carries its interface's name ("IDirectDrawSurface7::GetDC" beside
// the window system's "GetDC", "IDirectDraw7::QueryInterface"). One failure is armed per name;
// arming a name again replaces it.
struct Failure {
    // The last error of a Windows call, or the HRESULT a DirectDraw or Direct3D call answers.
    uint32_t code = 0;
    // How many matching calls fail; negative: every one until cleared; 0 disarms the name.
    int count = 1;
    // How many matching calls succeed first.
    int after = 0;
    // Which calls match (empty: all). Asked with the failure table locked: it must only look at
    // the call, never call the port layer.
    std::function<bool(const CallInfo&)> when;
};
void InjectFailure(const char* operation, Failure failure);
// The next count calls of the operation fail with error (as above, without predicate).
void InjectFailure(const char* operation, DWORD error, int count);
// Disarms every failure and stops and empties the call log.
void ClearFailures();

// The call log of the DirectDraw, Direct3D and DirectSound calls: every call with a few of its
// arguments and its result, in order, from the moment KeepCallLog(true) started it empty.
struct LoggedCall {
    std::string operation;
    std::string args;  // "name=value ...", as CallInfo::Brief writes them
    HRESULT result;
};
void KeepCallLog(bool on);
std::vector<LoggedCall> CallLog();

// Puts the whole port layer back as a process starts: no failures armed and no call log, the
// system service's overrides dropped (ResetSystem), the window system empty (ResetWindowing),
// the display's desktop memory and noise from the start (ResetDisplay), the default 3-D devices
// (ResetDevices), the sound device's settings (ResetSound), the internet service's standard
// settings and no internet handle (ResetHttp), the headless backend, no log sink. The test
// programs call it around every test.
void Reset();

}  // namespace port::control

#include "port/device/control.h"
#include "port/display/control.h"
#include "port/http/control.h"
#include "port/sound/control.h"
#include "port/system/control.h"
#include "port/window/control.h"
