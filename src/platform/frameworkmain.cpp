#include "platform/frameworkmain.h"

#include <string>

#include "foundation/file/fileindex.h"
#include "foundation/log.h"
#include "platform/commandline.h"
#include "platform/onlinehooks.h"
#include "platform/platform.h"
#include "platform/draw/renderer.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/system/module.h"
#include "port/system/process.h"
#include "port/system/shell.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"

namespace {

HWND gHarnessWindow = nullptr;

// The test-hook library: when it loads and exports "TestHook", the hook is handed the address of
// the command-line pointer (it may replace the line) and answers the harness window.
void LoadTestHook(const char** commandLine) {
    HMODULE library = LoadLibraryA("bvHarness.dll");
    if (library == nullptr) {
        return;
    }
    using TestHook = HWND (*)(const char** commandLine);
    auto hook = reinterpret_cast<TestHook>(GetProcAddress(library, "TestHook"));
    if (hook != nullptr) {
        gHarnessWindow = hook(commandLine);
    }
}

// Every file at the top of the asset index whose name contains ".bvmod" is offered to the window
// system as a module plug-in, by its real path: a bare name would be looked for on the library
// path. A name that resolves to no file on disk (an archive member) is dropped.
void LoadPlugins() {
    str name;
    while (FindIndexedFile("", name, false)) {
        if (name.Find(".bvmod") == str::npos) {
            continue;
        }
        // An archive member's location begins with "@"; only a file of its own can be loaded.
        str path = ResolvePath(name, true);
        if (path.Length() == 0 || path.c_str()[0] == '@' || path.FindChar('/') == str::npos) {
            continue;
        }
        windowsystemhooks::LoadPlugin(path);
    }
}

}  // namespace

HWND GetHarnessWindow() {
    return gHarnessWindow;
}

void FrameworkMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, const char* commandLine,
                   int showCommand, GameMainFunction gameMain, bool severalInstances) {
    gHarnessWindow = nullptr;
    if (commandLine == nullptr) {
        commandLine = "";
    }
    LoadTestHook(&commandLine);

    bool hostGiven = commandline::HasOption(commandLine, "-wnd=");
    if (hostGiven || commandline::HasOption(commandLine, "--multiple")) {
        severalInstances = true;
    }
    TWin32Platform* platform =
        TWin32Platform::Create(commandLine, severalInstances, showCommand, instance);

    if (hostGiven) {
        auto host = reinterpret_cast<HWND>(
            static_cast<uintptr_t>(commandline::HostWindow(commandLine)));
        platform->SetHostWindow(host);
        platform->SetEmbedded(true);
        TPlatform::SetConfig("activex", "1");
        if (host == nullptr || !IsWindow(host)) {
            delete platform;
            ExitProcess(static_cast<UINT>(-1));
        }
    }
    if (commandline::HasOption(commandLine, "-msn")) {
        onlinehooks::EnableMsnMode();
    }
    if (commandline::HasOption(commandLine, "-zylom")) {
        onlinehooks::EnableZylomMode();
    }
    if (commandline::HasOption(commandLine, "--axtest")) {
        platform->SetEmbedded(true);
        platform->SetOwnWindowHost(true);
    }

    platform->SetWorkingDirectory(platform->GetTitle());
    // No log file when embedded without hosted mode, nor when the user data folder could not be
    // made (it would land at the root of the file system).
    if ((!platform->IsEmbedded() || platform->IsHostedMode()) &&
        platform->GetUserDataFolder().Length() > 0) {
        SetLogFile(platform->GetUserDataFolder().c_str());
    }

    auto* application = new TPlatform(platform);

    application->CreateMainWindow();
    if (platform->IsOwnWindowHost()) {
        platform->SetHostWindow(platform->GetMainWindow());
        TPlatform::SetConfig("activex", "1");
    }

    application->CreateSoundManager();
    TRenderer::GetInstance();

    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA(platform->GetProgramFolder().c_str(), shortPath, MAX_PATH);
    TPlatform::SetConfig(settingkey::kInstallKey, length > 0 && length < MAX_PATH
                                                      ? str(shortPath)
                                                      : platform->GetProgramFolder());
    TPlatform::SetConfig("startupdir", platform->GetStartupDirectory());

    if (commandline::HasOption(commandLine, "--cheat")) {
        TPlatform::SetConfig("cheatcode", commandline::CheatCode(commandLine));
    }
    for (const auto& [key, value] : commandline::OptionPairs(commandLine)) {
        TPlatform::SetConfig(key, value);
    }
    if (platform->IsHostedMode()) {
        onlinehooks::EnableMsnMode();
    }

    LoadPlugins();
    windowsystemhooks::SetGameState("cmdline", commandLine);
    windowsystemhooks::SetGameState("commondatadir", platform->GetCommonDataFolder());
    windowsystemhooks::SetGameState("userdatadir", platform->GetUserDataFolder());

    if (gameMain != nullptr) {
        gameMain(application, commandLine);
    }

    if (gHarnessWindow != nullptr) {
        PostMessageA(gHarnessWindow, WM_QUIT, 0, 0);
    } else {
        PostQuitMessage(0);
    }
    delete application;
}
