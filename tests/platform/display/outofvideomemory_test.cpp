// The low-memory video mode: the first out-of-video-memory error of a run switches the display
// to it, marks the display broken with the notice pending and writes "common:display.xml" whole
// (which a new display handler reads back); a second error changes nothing; the next restore
// shows "Reconfiguring" and sets up a 16-bit full-screen display, after which windows are refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "foundation/xml/xmlnode.h"
#include "platform/display/dxerror.h"
#include "port/display/ddraw.h"
#include "port/window/control.h"
#include "port/window/messagebox.h"
#include "restorefixture.h"

namespace restore_testing {
namespace {

class OutOfVideoMemoryTest : public RestoreTest {
protected:
    std::string SettingsFile() const { return CommonFile("display.xml"); }
    bool SettingsFileExists() const { return std::filesystem::exists(SettingsFile()); }
    int Triggered() const {
        int count = 0;
        for (const std::string& line : LogLines()) {
            if (line == "OutOfVideoMemory triggered!") ++count;
        }
        return count;
    }
    static int Reconfiguring() {
        int count = 0;
        for (const auto& box : port::control::MessageBoxes()) {
            if (box.caption == "Reconfiguring") ++count;
        }
        return count;
    }
};

TEST_F(OutOfVideoMemoryTest, TheFirstErrorSwitchesModeAndWritesTheFileWhole) {
    SetUpDisplay();
    // Whatever the file held before is replaced.
    ASSERT_TRUE(testing_support::WriteFileBytes(
        SettingsFile(), "<Other Keep=\"1\">\n" + std::string(4000, 'x') + "\n</Other>\n"));
    port::control::SetTime(250000);

    TPlatform::OutOfVideoMemory();

    EXPECT_EQ(Triggered(), 1);
    EXPECT_TRUE(Record().mLowMemoryVideo);
    EXPECT_TRUE(Record().mLowMemoryNoticePending);
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_FALSE(mDisplay->IsReady());
    EXPECT_EQ(Broken(), str("1"));
    EXPECT_EQ(Record().mLastBrokenTime, TPlatform::GetTimer());

    std::string text = testing_support::ReadFileBytes(SettingsFile());
    TXmlNode document;
    document.ParseString(text.c_str(), text.size());
    ASSERT_EQ(document.GetChildren().size(), 1u) << text;
    TXmlNode* settings = document.FindChild("Settings");
    ASSERT_NE(settings, nullptr) << text;
    EXPECT_EQ(settings->GetAttribute("LowMemoryVideo"), str("1"));
    EXPECT_EQ(text.find("Other"), std::string::npos) << text;

    // Every later start begins in the mode: a new display handler reads it back.
    TPlatformData next;
    EXPECT_TRUE(next.GetRecord()->mLowMemoryVideo);
    EXPECT_TRUE(Logged("Low memory video card setting enabled!")) << LogText();
}

TEST_F(OutOfVideoMemoryTest, ASecondErrorInTheRunChangesNothing) {
    SetUpDisplay();
    LOG_DX_ERROR(DDERR_OUTOFVIDEOMEMORY);
    ASSERT_TRUE(SettingsFileExists());
    std::filesystem::remove(SettingsFile());
    DWORD firstMark = Record().mLastBrokenTime;
    port::control::AdvanceTime(5000);
    Record().mLowMemoryNoticePending = false;

    LOG_DX_ERROR(DDERR_OUTOFVIDEOMEMORY);
    TPlatform::OutOfVideoMemory();

    EXPECT_EQ(Triggered(), 1);
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(Record().mLastBrokenTime, firstMark);
    EXPECT_FALSE(Record().mLowMemoryNoticePending);
}

TEST_F(OutOfVideoMemoryTest, WithoutADirect3DObjectNothingHappens) {
    SetUpDisplay();
    Record().mDirect3D = nullptr;

    TPlatform::OutOfVideoMemory();

    EXPECT_EQ(Triggered(), 0);
    EXPECT_FALSE(Record().mLowMemoryVideo);
    EXPECT_FALSE(Record().mLowMemoryNoticePending);
    EXPECT_FALSE(SettingsFileExists());
    EXPECT_EQ(Broken(), str("0"));
}

// A "common:" folder that cannot be made (a file stands in its way): nothing is reported, and
// the mode holds for the run.
TEST_F(OutOfVideoMemoryTest, AFileThatCannotBeOpenedIsNotReported) {
    SetUpDisplay();
    ASSERT_TRUE(testing_support::WriteFileBytes(CommonFile("blocker"), "x"));
    SetCommonDataRoot((CommonFile("blocker") + "/common").c_str());

    TPlatform::OutOfVideoMemory();

    EXPECT_TRUE(Record().mLowMemoryVideo);
    EXPECT_TRUE(Record().mLowMemoryNoticePending);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"OutOfVideoMemory triggered!"});
}

// The next restore finds the notice pending: "Reconfiguring" once, then a 16-bit full-screen
// display; a window is refused from then on.
TEST_F(OutOfVideoMemoryTest, TheNextRestoreReconfiguresToSixteenBitFullScreen) {
    SetUpDisplay();
    RunScenes(10);
    TPlatform::OutOfVideoMemory();
    port::control::ClearMessageBoxes();
    StartLogs();

    mDisplay->Restore();

    EXPECT_TRUE(Logged("TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()"))
        << LogText();
    EXPECT_EQ(CountCalls("TestCooperativeLevel"), 0);
    EXPECT_EQ(Reconfiguring(), 1);
    EXPECT_FALSE(Record().mLowMemoryNoticePending);
    EXPECT_TRUE(mDisplay->IsWorking());
    EXPECT_TRUE(mDisplay->IsFullscreen());
    EXPECT_EQ(Record().mBitDepth, 16);

    EXPECT_FALSE(mDisplay->SetFullscreen(false));
    EXPECT_TRUE(mDisplay->IsFullscreen());

    // A later loss restores without the box.
    RunScenes(5);
    LoseDisplay();
    mDisplay->Restore();
    EXPECT_EQ(Reconfiguring(), 1);
    EXPECT_TRUE(mDisplay->IsWorking());
}

// RestoreAllSurfaces out of video memory: the failure line, the DirectX line (after the switch to
// the low-memory mode) and a set-up again, which reconfigures at once.
TEST_F(OutOfVideoMemoryTest, RestoreAllSurfacesOutOfVideoMemorySwitchesTheMode) {
    SetUpDisplay();
    RunScenes(3);
    LoseDisplay();
    port::control::SetRestoreAllSurfacesResult(DDERR_OUTOFVIDEOMEMORY);
    port::control::ClearMessageBoxes();
    StartLogs();

    mDisplay->Restore();
    port::control::SetRestoreAllSurfacesResult(DD_OK);

    int failed = LogIndex("RestoreAllSurfaces failed!");
    int triggered = LogIndex("OutOfVideoMemory triggered!");
    int error = LogIndex("DX Error:  (0x8876017c), File restore.cpp, Line ");
    ASSERT_NE(failed, -1) << LogText();
    EXPECT_LT(failed, triggered);
    EXPECT_LT(triggered, error);
    EXPECT_TRUE(Record().mLowMemoryVideo);
    EXPECT_TRUE(SettingsFileExists());
    EXPECT_EQ(SetUps(), 1);
    EXPECT_EQ(Reconfiguring(), 1);
    EXPECT_TRUE(mDisplay->IsFullscreen());
}

}  // namespace
}  // namespace restore_testing
