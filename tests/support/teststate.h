// The process-wide state that tests change, put back around every test of every test program.
// testmain.cpp installs it: each test starts, and ends, with
//   - the port layer as a process starts (port/control.h: Reset): the real clock, no failures
//     armed, no folder, version or exit overrides, no windows, the headless backend, no log sink;
//     but with internet requests kept on this machine (SetHttpLoopbackOnly);
//   - the file layer empty: no indexed files, archives, hidden names or data roots;
//   - no settings and no settings observer, no log file, the system clock as the application
//     clock, no asset manager, the online and sound hooks' defaults, no renderer, texture
//     surfaces made as asked, no string table for the world's texts, the world's silent sound
//     scheme and music and its default window system;
//   - the working folder and the environment as the program started with them.
// A fixture only sets up what its tests need; it never has to undo it, except where it hands the
// program a pointer to one of its own members (an asset manager, a render sink): that it takes
// back in TearDown, before the member goes.
//
// Each test program also runs in a home folder of its own (HOME and the XDG folders point into a
// fresh temporary folder, removed at exit), so that test programs running side by side never
// share the user's data, configuration or single-instance locks, and never touch the real ones.
#pragma once

#include <map>
#include <string>

namespace testing_support {

// Empties the file layer: no indexed files, hidden names, archives or data roots.
void ForgetFiles();

class ProcessState {
public:
    // Makes the private home, then remembers the working folder and the environment.
    ProcessState();
    ~ProcessState();
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

    void Reset() const;

private:
    void RestoreEnvironment() const;

    std::string mHome;
    std::string mWorkingFolder;
    std::map<std::string, std::string> mEnvironment;
};

}  // namespace testing_support
