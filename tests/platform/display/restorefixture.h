// The loss-and-restore tests' world on the headless backend: the application object with its main
// window in front (pumpfixture.h: the fake clock, which Sleep moves, and the window system's
// stand-in counting redraw marks), the program's log captured, the DirectDraw call log kept, a
// "common:" folder of the test's own, and a display set up by SetDisplay whose textures are the
// display's. Helpers lose every surface as the frame begin finds them lost, stand in for the
// scenes the frame begin counts, and read what a restore did.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../pumpfixture.h"
#include "foundation/file/fileindex.h"
#include "math/rect.h"
#include "platform/display/displayrecord.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texturedata.h"
#include "platform/texture/texturedatasource.h"
#include "port/control.h"
#include "port/display/ddresult.h"
#include "support/logcapture.h"
#include "support/tempdir.h"

namespace restore_testing {

// Textures get the display's data, as once the screen is set up.
inline std::unique_ptr<TTextureData> DisplayTextureData() {
    return TPlatform::GetInstance()->GetPlatform()->CreateTextureData();
}

class RestoreTest : public pump_testing::PumpTest {
protected:
    void SetUp() override {
        PumpTest::SetUp();
        Start();
        SetCommonDataRoot(mCommon.Path().c_str());
        SetTextureDataMaker(&DisplayTextureData);
    }

    void TearDown() override {
        SetTextureDataMaker(nullptr);
        PumpTest::TearDown();
        port::control::ClearFailures();
    }

    // A working display, windowed at 640 x 480 unless asked otherwise; the call log and the log
    // start empty after it. The display handler is made once and set up again on later calls: the
    // cursor worker reads it, so it is never replaced while the application runs.
    TPlatformData* SetUpDisplay(bool fullscreen = false, int width = 640, int height = 480) {
        // The root window's rectangle, as the window system has it once the screen is made.
        pump_testing::gSystem.hasScreen = true;
        pump_testing::gSystem.screen = RECT{0, 0, width, height};
        // The game's viewport, as the screen set-up pushes it: the window is held to its size.
        TRenderer* renderer = TRenderer::GetInstance();
        while (renderer->GetViewportCount() > 1)
            renderer->PopViewport();
        renderer->PushViewport(TRect{0, 0, width, height});
        if (mPlatform->GetPlatformData() == nullptr) {
            mPlatform->SetPlatformData(std::make_unique<TPlatformData>());
        }
        mDisplay = mPlatform->GetPlatformData();
        mDisplay->SetDisplay(width, height, fullscreen, true, true, false);
        EXPECT_TRUE(mDisplay->IsWorking());
        EXPECT_TRUE(mDisplay->IsReady());
        StartLogs();
        return mDisplay;
    }

    void StartLogs() {
        port::control::KeepCallLog(false);
        port::control::KeepCallLog(true);
        mLog.Clear();
    }

    // The scenes run since the last set-up, as the frame begin counts them.
    void RunScenes(uint32_t scenes) { Record().mWorkingCount = scenes; }

    // Every surface lost and the display marked broken, as a frame begin that finds its front
    // buffer lost leaves it.
    void LoseDisplay() {
        port::control::LoseAllSurfaces();
        mDisplay->MarkBroken();
    }

    // Restore once; answers the fake milliseconds it took.
    DWORD TimedRestore() {
        DWORD start = TPlatform::GetTimer();
        mDisplay->Restore();
        return TPlatform::GetTimer() - start;
    }

    TDisplayRecord& Record() { return *mDisplay->GetRecord(); }

    static int CountCalls(const char* operation) {
        int count = 0;
        for (const auto& call : port::control::CallLog()) {
            if (call.operation == operation) ++count;
        }
        return count;
    }
    // A set-up makes a new DirectDraw object; a restore in place never does.
    static int SetUps() { return CountCalls("DirectDrawCreateEx"); }

    std::vector<std::string> LogLines() const { return mLog.Messages(); }
    bool Logged(const std::string& text) const {
        for (const std::string& line : mLog.Messages()) {
            if (line == text) return true;
        }
        return false;
    }
    // The index of the first message that starts with the text; -1 when none does.
    int LogIndex(const std::string& prefix) const {
        std::vector<std::string> lines = mLog.Messages();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
        }
        return -1;
    }
    // The log as one text, for failure messages.
    std::string LogText() const {
        std::string text;
        for (const std::string& line : mLog.Messages())
            text += line + "\n";
        return text;
    }

    static str Broken() { return TPlatform::GetConfig("dxbroken", "(absent)"); }

    std::string CommonFile(const std::string& name) const { return mCommon.File(name); }

    testing_support::TempDir mCommon;
    testing_support::LogCapture mLog;
    TPlatformData* mDisplay = nullptr;
};

}  // namespace restore_testing
