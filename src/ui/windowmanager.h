// TWindowManager: the window system's manager. So far it holds the window script, which it owns
// (SetScript), and is reachable through Get while it exists: native classes find the script
// state for their bindings through it (TWindowManager::Get()->GetScript()).
//
// Made and destroyed on the main thread; at most one exists at a time.
#pragma once

#include <memory>

class TWindowScript;

class TWindowManager {
public:
    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager, or null while none exists.
    static TWindowManager* Get();

    // Null until SetScript.
    TWindowScript* GetScript() const { return mScript.get(); }
    // Takes ownership; a previous script is deleted.
    void SetScript(TWindowScript* script);

private:
    std::unique_ptr<TWindowScript> mScript;
};
