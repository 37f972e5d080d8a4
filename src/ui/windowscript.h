// TWindowScript: the window system's script, the one TScript of the running game; every native
// binding is registered in its state. It hands commands to its waiting coroutine: the
// coroutine's yield gets nil and the command (a function of no arguments) as its results. Its
// state has the window functions "GetConfig" (key, fallback), "GetTimer" (application
// milliseconds), "IsEnabled" (key) and "StringToClipboard" (text; whether it was put there), bound
// to the application object's operations.
//
// Main thread only.
#pragma once

#include "script/script.h"

class TWindowScript : public TScript {
public:
    // A null state: the script makes its own.
    explicit TWindowScript(lua_State* state = nullptr);

    bool DeliverCommand() override;
    // Stops a playing movie and resumes the waiting script; nothing while none plays (movies come
    // with the media player).
    void EndMovie() {}
};
