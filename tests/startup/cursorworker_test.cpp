#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/system/clock.h"
#include "startupfixture.h"
#include "ui/screen.h"
#include "ui/windowmanager.h"

namespace startup_test {
namespace {

std::atomic<int> gDraws{0};
std::atomic<int> gAnswerX{-1};

POINT CountingDraw(TWin32Platform&) {
    ++gDraws;
    return POINT{gAnswerX.load(), 0};
}

// Reads everything the real cursor draw reads off the main thread.
std::atomic<long> gSink{0};
POINT ReadingDraw(TWin32Platform& platform) {
    long sum = static_cast<long>(platform.GetScaleX() * 10 + platform.GetScaleY() * 10);
    sum += platform.IsActive() ? 1 : 0;
    TWindowManager* manager = TWindowManager::Get();
    if (manager != nullptr) {
        sum += manager->IsDrawingSuspended() ? 1 : 0;
        if (TScreen* screen = manager->GetScreen()) {
            TScreen::TBounds rect = screen->GetRect();
            sum += rect.right - rect.left;
        }
    }
    sum += static_cast<long>(TPlatform::GetTimer() & 1);
    TPlatformData* display = platform.GetPlatformData();
    sum += display != nullptr && display->IsReady() ? 1 : 0;
    gSink += sum;
    ++gDraws;
    return POINT{1, 1};
}

class CursorWorkerTest : public StartupTest {
protected:
    void TearDown() override {
        TWin32Platform::SetCursorDraw(nullptr);
        StartupTest::TearDown();
    }
};

TEST_F(CursorWorkerTest, WaitsAfterADrawAndOtherwise) {
    gDraws = 0;
    TWin32Platform::SetCursorDraw(&CountingDraw);
    TPlatform application;
    TWin32Platform* platform = application.GetPlatform();
    platform->StopWorker();  // the turns below are the test's own

    EXPECT_EQ(platform->WorkerTurn(), 250u);  // no display
    auto display = std::make_unique<TPlatformData>();
    TPlatformData* shown = display.get();
    platform->SetPlatformData(std::move(display));
    EXPECT_EQ(platform->WorkerTurn(), 250u);  // not ready
    EXPECT_EQ(gDraws, 0);

    shown->SetReady(true);
    gAnswerX = 12;
    EXPECT_EQ(platform->WorkerTurn(), 16u);
    gAnswerX = -1;
    EXPECT_EQ(platform->WorkerTurn(), 250u);  // asked, nothing drawn
    EXPECT_EQ(gDraws, 2);

    gAnswerX = 12;
    application.GetWindowManager()->SetDrawingSuspended(true);
    EXPECT_EQ(platform->WorkerTurn(), 250u);
    application.GetWindowManager()->SetDrawingSuspended(false);
    shown->SetBroken(true);
    EXPECT_EQ(platform->WorkerTurn(), 250u);
    EXPECT_EQ(gDraws, 2);
}

TEST_F(CursorWorkerTest, AStopWakesTheWorkerAtOnce) {
    // The worker sleeps 250 ms between idle turns; a stop must not wait for that. The best of
    // three keeps a busy machine from failing the test.
    auto best = std::chrono::steady_clock::duration::max();
    for (int i = 0; i < 3; ++i) {
        TPlatform application;
        ::Sleep(0);
        auto start = std::chrono::steady_clock::now();
        application.GetPlatform()->StopWorker();
        best = std::min(best, std::chrono::steady_clock::now() - start);
    }
    EXPECT_LT(best, std::chrono::milliseconds(200));
}

TEST_F(CursorWorkerTest, DrawsBesideTheMainThreadAndStopsBeforeTheTeardown) {
    port::control::UseFakeClock(false);
    gDraws = 0;
    TWin32Platform::SetCursorDraw(&ReadingDraw);
    {
        TPlatform application;
        TWin32Platform* platform = application.GetPlatform();
        TWindowManager* manager = application.GetWindowManager();
        ASSERT_NE(manager, nullptr);
        manager->SetScreen(new TScreen);
        auto display = std::make_unique<TPlatformData>();
        display->SetReady(true);
        platform->SetPlatformData(std::move(display));

        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        int i = 0;
        while (std::chrono::steady_clock::now() < until || gDraws < 3) {
            platform->SetScale(1.0f, 1.0f);  // a render target
            platform->SetScale(1.5f, 1.5f);  // restored
            manager->GetScreen()->SetRect(TScreen::TBounds{0, 0, 800 + i % 2, 600});
            platform->SetActive(i % 2 == 0);
            manager->SetDrawingSuspended(i % 7 == 0);
            ++i;
            ::Sleep(1);
        }
        manager->SetDrawingSuspended(false);
    }  // the teardown stops the worker first, then deletes the manager and the display
    EXPECT_GE(gDraws.load(), 3);
    int after = gDraws.load();
    ::Sleep(40);
    EXPECT_EQ(gDraws.load(), after);
}

}  // namespace
}  // namespace startup_test
