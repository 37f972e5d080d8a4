#include "benchengine.h"

#include "audio/oggdatasource.h"
#include "audio/soundhooks.h"
#include "audio/soundmanager.h"
#include "port/control.h"
#include "port/window/window.h"

namespace {

TSoundManager* gManager = nullptr;
HWND gWindow = nullptr;

}  // namespace

Engine::Engine() {
    port::control::UseFakeClock(true);
    port::control::SetSoundPump(false);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "AUDIOBENCH";
    RegisterClassA(&windowClass);
    gWindow = CreateWindowExA(0, "AUDIOBENCH", "bench", 0, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
    mManager = std::make_unique<TSoundManager>();
    gManager = mManager.get();
    soundhooks::Install({[] { return gManager; }, [] { return gWindow; }, nullptr});
    mManager->SetWorkerPace({0, 500});
    mManager->StartThread();
    RegisterOggDataSourceBuilder();
}

Engine::~Engine() {
    mManager.reset();
    gManager = nullptr;
    soundhooks::Install({});
    DestroyWindow(gWindow);
    port::control::Reset();
}
