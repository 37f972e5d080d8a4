// After a restore the assets come back, the listeners run once and the window tree is redrawn;
// a broken display touches nothing. And the low-memory choice kept in "common:display.xml".
#include <gtest/gtest.h>

#include <memory>

#include "foundation/asset.h"
#include "foundation/assetmanager.h"
#include "foundation/task/task.h"
#include "platform/display/display.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

struct CountingAsset : TAsset {
    void Release() override { ++releases; }
    void Restore() override { ++restores; }
    int releases = 0;
    int restores = 0;
};

// A listener that counts its runs and stays in the list.
struct CountingListener : TTask {
    explicit CountingListener(int* runs) : mRuns(runs) {}
    bool Execute() override {
        ++*mRuns;
        return true;
    }
    int* mRuns;
};

class RestoreAssetsTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        Start();
        MakeDisplay();
        mAsset = std::make_shared<CountingAsset>();
        mApp->GetAssetManager()->AddAsset("counted", mAsset);
        mApp->AddListener(new CountingListener(&mListenerRuns));
    }

    // The display made in the main window directly, with its interfaces in the record.
    void MakeWorking() {
        TDXContext& context = Context();
        ASSERT_TRUE(context.Create(mWindow, false, 320, 240, 32, 1 | CDisplay::kFlagKeepWindow));
        Record().mDirectDraw = context.GetDirectDraw();
        Record().mDirect3D = context.GetDirect3D();
        Record().mDevice = context.GetDevice();
    }

    std::shared_ptr<CountingAsset> mAsset;
    int mListenerRuns = 0;
};

TEST_F(RestoreAssetsTest, WorkingRestoresEveryAssetRunsTheListenersOnceAndRedraws) {
    MakeWorking();
    mDisplay->RestoreAssets();
    EXPECT_EQ(mAsset->restores, 1);
    EXPECT_EQ(mAsset->releases, 0);
    EXPECT_EQ(mListenerRuns, 1);
    EXPECT_EQ(gSystem.dirtyMarks, 1);
    EXPECT_FALSE(Logged("RestoreAssets: DX broken"));
}

TEST_F(RestoreAssetsTest, BrokenOrWithoutDeviceOnlyLogs) {
    MakeWorking();
    mDisplay->MarkBroken();
    mDisplay->RestoreAssets();
    // Without a device the working test marks the display broken itself.
    mDisplay->SetBroken(false);
    Record().mDevice = nullptr;
    mDisplay->RestoreAssets();
    EXPECT_TRUE(mDisplay->IsBroken());
    EXPECT_EQ(mAsset->restores, 0);
    EXPECT_EQ(mListenerRuns, 0);
    EXPECT_EQ(gSystem.dirtyMarks, 0);
    int lines = 0;
    for (const std::string& line : LogLines())
        lines += line == "RestoreAssets: DX broken";
    EXPECT_EQ(lines, 2);
}

class DisplaySettingsFileTest : public SetDisplayTest {};

TEST_F(DisplaySettingsFileTest, LowMemoryVideoIsReadWhenTheDisplayIsMade) {
    struct Case {
        const char* text;
        bool lowMemory;
        bool logged;
    } cases[] = {
        {"<Settings LowMemoryVideo=\"1\"/>", true, true},
        {"<Settings LowMemoryVideo=\"7\"></Settings>", true, true},
        {"<Settings LowMemoryVideo=\"0\"/>", false, true},
        {"<Settings/>", false, true},
        {"<Other LowMemoryVideo=\"1\"/>", false, false},
        {"", false, false},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        mLog.Clear();
        WriteDisplaySettings(c.text);
        MakeDisplay();
        EXPECT_EQ(Record().mLowMemoryVideo, c.lowMemory);
        EXPECT_EQ(Logged("Low memory video card setting enabled!"), c.logged);
    }
}

TEST_F(DisplaySettingsFileTest, HostedModeDoesNotReadTheFile) {
    Start("-pq=1");
    WriteDisplaySettings("<Settings LowMemoryVideo=\"1\"/>");
    MakeDisplay();
    EXPECT_FALSE(Record().mLowMemoryVideo);
    EXPECT_FALSE(Logged("Low memory video card setting enabled!"));
}

}  // namespace
}  // namespace setdisplay_testing
