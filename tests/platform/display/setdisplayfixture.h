// The display set-up's world: the application object with its main window shown and in front on
// the headless backend, the fake clock (Sleep moves it), the window system replaced by a
// recording stand-in (redraws, drawing suspended), exits caught as exceptions, and helpers that
// run SetDisplay and read what it left: the boxes, a posted quit, the main window's styles.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dxfixture.h"
#include "port/window/control.h"
#include "support/tempdir.h"

class TDXContext;
class TPlatform;
class TPlatformData;
class TWin32Platform;
struct TDisplayRecord;

namespace setdisplay_testing {

// What the port's exit hook was asked: thrown out of the exit so that the test goes on.
struct ExitCalled {
    int code;
};

// What the window system was asked, and how it answers.
struct WindowSystem {
    int dirtyMarks = 0;
    bool suspended = false;
};
extern WindowSystem gSystem;

constexpr int kNoExit = 1000;

class SetDisplayTest : public dx_testing::DxTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the application object and its main window (shown, in front). host: embedded in
    // that window of another program (unless ownHost, "--axtest").
    void Start(const std::string& commandLine = "", HWND host = nullptr, bool ownHost = false);
    // "common:display.xml" with the text; written before the display is made.
    void WriteDisplaySettings(const std::string& text);
    // Makes the display handler (reading "common:display.xml") and gives it to the platform; a
    // second one stops the cursor worker first.
    TPlatformData* MakeDisplay();

    // SetDisplay on the display; the exit code when it ended the process, else kNoExit.
    int SetDisplay(int width, int height, bool fullscreen, bool force = false, bool quiet = false,
                   bool childOfHost = false);

    TDisplayRecord& Record() const;
    TDXContext& Context() const;
    static std::vector<port::MessageBoxRecord> Boxes() { return port::control::MessageBoxes(); }
    // The texts of the boxes shown, in order.
    static std::vector<std::string> BoxTexts();
    // Whether a quit message waits in the queue (taken out), with its code.
    static bool TakeQuit(int* code = nullptr);
    LONG_PTR Style() const;
    LONG_PTR ExStyle() const;
    // The setting's value ("<none>" when absent).
    static std::string Setting(const char* key);

    std::unique_ptr<TPlatform> mApp;
    TWin32Platform* mPlatform = nullptr;
    HWND mWindow = nullptr;
    TPlatformData* mDisplay = nullptr;
    testing_support::TempDir mCommon;
};

// A window of another program at the size, top-level.
HWND MakeHost(int width = 640, int height = 480);

}  // namespace setdisplay_testing
