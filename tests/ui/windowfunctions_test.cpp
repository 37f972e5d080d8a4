// The window functions of the window script over a small tree: a dialog covering another one,
// both with a few named windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "foundation/prefs/stringtable.h"
#include "scriptfixture.h"
#include "support/logcapture.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowFunctionsTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mCovered = Push("covered", {0, 0, 640, 480});
        mDeep = Add(mCovered, {5, 5, 25, 25}, "deep");
        mDialog = Push("dialog", {20, 10, 420, 310});
        mBox = Add(mDialog, {0, 0, 100, 50}, "box");
        mInner = Add(mBox, {1, 1, 4, 4}, "inner");
        mJournal.clear();
    }

    TTestModal* mCovered = nullptr;
    TTestWindow* mDeep = nullptr;
    TTestModal* mDialog = nullptr;
    TTestWindow* mBox = nullptr;
    TTestWindow* mInner = nullptr;
};

TEST_F(WindowFunctionsTest, SetPositionResolvesAgainstTheParent) {
    const struct {
        const char* call;
        TRect rect;
    } cases[] = {
        {"SetPosition('box', 80000, 80000)", {150, 125, 250, 175}},  // centred in 400 x 300
        {"SetPosition('box', 80010, 7)", {160, 7, 260, 57}},
        {"SetPosition('box', -10, 159990)", {390, 290, 490, 340}},  // from the far edges
        {"SetPosition('box', 12.9, -0.5)", {12, 0, 112, 50}},
        {"SetPosition('nobody', 1, 1)", {12, 0, 112, 50}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c.call), "") << c.call;
        EXPECT_EQ(mBox->GetRect(), c.rect) << c.call;
    }
}

TEST_F(WindowFunctionsTest, EnableWindowSearchesTheModalChain) {
    EXPECT_EQ(Run("return EnableWindow('deep', false), EnableWindow('box', false)"), "true, true");
    EXPECT_FALSE(mDeep->GetFlags() & TWindow::kVisible);
    EXPECT_FALSE(mBox->GetFlags() & TWindow::kVisible);
    mManager->SetRedrawNeeded(false);
    EXPECT_EQ(Run("return EnableWindow('deep', true), EnableWindow('nobody', true)"),
              "true, false");
    EXPECT_TRUE(mDeep->GetFlags() & TWindow::kVisible);
    EXPECT_TRUE(mManager->IsRedrawNeeded());
}

TEST_F(WindowFunctionsTest, RealSetFocusLooksUnderTheCurrentWindow) {
    EXPECT_EQ(Run("RealSetFocus('inner')"), "");
    EXPECT_EQ(mManager->GetFocusWindow(), mInner);
    EXPECT_THAT(Entries("focus"), ElementsAre("inner.focus(from dialog)"));
    // Outside the current window: no window has the focus then.
    EXPECT_EQ(Run("RealSetFocus('deep')"), "");
    EXPECT_EQ(mManager->GetFocusWindow(), nullptr);
}

TEST_F(WindowFunctionsTest, PushModalAnswersItsIdAndMakesItTheOnlyCurrentWindow) {
    std::string id = Run("return PushModal('fresh')");
    TModalWindow* top = mManager->GetTopModal();
    EXPECT_EQ(top->GetName(), str("fresh"));
    EXPECT_EQ(id, top->GetIdString().c_str());
    EXPECT_EQ(id.size(), 8u);
    EXPECT_EQ(top->GetParent(), mDialog);
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(top));
    EXPECT_EQ(Run("return GetWindowDepth()"), "4");  // fresh, dialog, covered, the screen
    EXPECT_EQ(Run("DoPopModal('" + id + "') return GetWindowDepth()"), "3");
    EXPECT_THAT(Stack(), ElementsAre("dialog", "covered", "_screen_"));
    EXPECT_EQ(Run("DoPopModal('covered') return GetWindowDepth()"), "1");
}

TEST_F(WindowFunctionsTest, ClearModalChildren) {
    EXPECT_EQ(Run("ClearModalChildren()"), "");
    EXPECT_EQ(mDialog->GetFirstChild(), nullptr);
    EXPECT_EQ(mDialog->GetRect(), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(TTestWindow::sLive, 3);  // deleted at the next event
    Idle();
    EXPECT_EQ(TTestWindow::sLive, 1);
}

TEST_F(WindowFunctionsTest, DestroyWindowRefusesModalsAndWindowsBeingCreatedIn) {
    testing_support::LogCapture log;
    // From the screen every window is under the current window.
    mScript->ResetWindowStack(mManager->GetScreen());
    EXPECT_EQ(Run("DestroyWindow('dialog')"), "");
    mScript->PushCurrentWindow(mBox);
    EXPECT_EQ(Run("DestroyWindow('box')"), "");
    // A window the script was creating in, below the current one.
    mScript->ResetWindowStack(mInner);
    mScript->PushCurrentWindow(mDialog);
    EXPECT_EQ(Run("DestroyWindow('box')"), "");
    EXPECT_THAT(
        log.Messages(),
        ElementsAre("DestroyWindow refused: 'dialog' is a modal window, closed through "
                    "DoPopModal",
                    "DestroyWindow refused: 'box' holds a window the script is creating in",
                    "DestroyWindow refused: 'box' holds a window the script is creating in"));
    EXPECT_EQ(mBox->GetParent(), mDialog);

    mScript->ResetWindowStack(mDialog);
    EXPECT_EQ(Run("DestroyWindow('box') DestroyWindow('nobody')"), "");
    EXPECT_EQ(mDialog->GetFirstChild(), nullptr);
    Idle();
    EXPECT_EQ(TTestWindow::sLive, 1);
}

TEST_F(WindowFunctionsTest, FitToChildrenAndNames) {
    mScript->PushCurrentWindow(mBox);
    mBox->SetSize(1, 1);
    EXPECT_EQ(Run("DoFitToChildren() SetWindowName('renamed')"), "");
    EXPECT_EQ(mBox->GetRect(), (TRect{0, 0, 4, 4}));
    EXPECT_EQ(mBox->GetName(), str("renamed"));
}

TEST_F(WindowFunctionsTest, FillRectIsClippedToTheScreenInsideAViewportOfItsOwn) {
    size_t viewports = mSink.mViewports.size();
    // Whatever the display's viewport is before, the fill counts from the rectangle's corner.
    mSink.mClipRect = TRect{100, 100, 200, 200};
    EXPECT_EQ(Run("FillRect({600, 400, 700.7, 500}, {1, 0.5, 0.25, 1})"), "");
    ASSERT_EQ(mSink.mFills.size(), 1u);
    EXPECT_EQ(mSink.mFills[0].rect, (TRect{600, 400, 640, 480}));
    const TVec4& colour = mSink.mFills[0].colour;
    EXPECT_EQ(std::vector<float>({colour.x, colour.y, colour.z, colour.w}),
              std::vector<float>({1.0f, 0.5f, 0.25f, 1.0f}));
    EXPECT_EQ(mSink.mFills[0].texture, nullptr);
    // Pushed, then the one below again.
    EXPECT_THAT(std::vector<TRect>(mSink.mViewports.begin() + viewports, mSink.mViewports.end()),
                ElementsAre(TRect{600, 400, 640, 480}, TRect{0, 0, 640, 480}));
    EXPECT_EQ(TRenderer::GetInstance()->GetViewportCount(), 1u);
    // The display's viewport is set for the fill and given back.
    EXPECT_EQ(mSink.mClipRect, (TRect{100, 100, 200, 200}));
    EXPECT_TRUE(mSink.mSavedStates.empty());

    // Missing entries are 0; a rectangle off the screen fills nothing.
    EXPECT_EQ(Run("FillRect({nil, nil, 10, 20}, {}) FillRect({700, 0, 800, 10}, {1})"), "");
    ASSERT_EQ(mSink.mFills.size(), 2u);
    EXPECT_EQ(mSink.mFills[1].rect, (TRect{0, 0, 10, 20}));
    EXPECT_EQ(mSink.mFills[1].colour.w, 0.0f);
}

TEST_F(WindowFunctionsTest, LabelsStringsAndHotKeys) {
    std::string sheet =
        "<Row><Data>SCORE</Data><Data>%1% of %5%</Data></Row>"
        "<Row><Data>PLAIN</Data><Data>plain text</Data></Row>";
    mApp->GetStringTable()->LoadText(sheet.data(), sheet.size());
    const LuaCase cases[] = {
        {"return GetLabel('nobody')", "nobody_is_not_found"},
        {"return GetLabel('box')", "box_is_not_a_TText_window_or_TButton"},
        {"return _GetString('#Hello')", "Hello"},
        {"return _GetString('#')", ""},
        {"return _GetString('PLAIN')", "plain text"},
        {"return _GetString('SCORE', 3, 'b', 'c', 'd', 'ten')", "3 of ten"},
        {"return StripKeyFromLabel('Save &as')", "Save as, @a"},
        {"return StripKeyFromLabel(nil)", ", "},
        {"return TagHotKey('@s', 'Save', 'unused')", "<u>S</u>ave"},
        {"return GetConfig('nokey', 'fallback'), IsEnabled('nokey')", "fallback, false"},
        {"return type(GetTimer()), StringToClipboard('copied')", "number, true"},
        {"return ImageLoaded('box'), GetButtonToggleState('box')", "false, false"},
    };
    for (const LuaCase& c : cases)
        EXPECT_EQ(Run(c.code), c.result) << c.code;
    EXPECT_EQ(mApp->GetClipboardText(), str("copied"));
}

TEST_F(WindowFunctionsTest, FunctionsForOtherWidgetsLeaveWindowsAlone) {
    EXPECT_EQ(Run("SetLabel('box', 'text') _SetBitmap('box', 'image', 2) DoSelectLayer(3)\n"
                  "SetButtonToggleState('box', true) _RegisterHotkey('@b', 'box')\n"
                  "SetCommand('box', function() end) UpdateWindow()"),
              "");
    EXPECT_EQ(mBox->GetName(), str("box"));
    EXPECT_EQ(mBox->GetRect(), (TRect{0, 0, 100, 50}));
    EXPECT_TRUE(mManager->IsRedrawNeeded());
}

TEST_F(WindowFunctionsTest, TheUtf8ModeGoesToTheScript) {
    EXPECT_FALSE(mManager->SetScriptUtf8(true));
    EXPECT_TRUE(mScript->IsUtf8());
    EXPECT_TRUE(mManager->SetScriptUtf8(false));
    EXPECT_FALSE(mScript->IsUtf8());
}

TEST_F(WindowFunctionsTest, SetTopModalOnly) {
    EXPECT_EQ(Run("return SetTopModalOnly(true)"), "");
    EXPECT_TRUE(mManager->IsTopModalOnly());
    EXPECT_EQ(Run("SetTopModalOnly(false)"), "");
    EXPECT_FALSE(mManager->IsTopModalOnly());
}

// Every function, called as a dialog would, changes nothing it cannot reach.
const char kEveryCall[] =
    "PostCreate({ w = 5, h = 5 }, 'Window')\n"
    "_RegisterHotkey('@a', 'b') SetLabel('a', 'b') _SetBitmap('a', 'b', 1)\n"
    "SetPosition('box', 1, 1) SetCommand('a', function() end) SetWindowName('named')\n"
    "DoSelectLayer(1) SetButtonToggleState('a', true) PopWindow() RealSetFocus('box')\n"
    "UpdateWindow() ClearModalChildren() DestroyWindow('box') DoFitToChildren()\n"
    "GenericCreate({ typename = 'Window', w = 1, h = 1 })\n"
    "PostMessage(CreateNamedMessage(0, 'x')) PostMessageToParent(CreateNamedMessage(0, 'y'))\n"
    "return GetLabel('box'), EnableWindow('box', false), GetButtonToggleState('box'),\n"
    "  GetWindowDepth(), ImageLoaded('box'), CreateCloseMessage(), IsMoviePlaying(),\n"
    "  StartMovie('intro', false, false)";

TEST(WindowFunctionsAloneTest, WithoutATopModalNothingHappens) {
    TWindowManager manager;
    auto* script = new TWindowScript;
    manager.SetScript(script);
    EXPECT_THAT(script->GetWindowStack(), IsEmpty());
    EXPECT_EQ(RunLuaChunk(script->GetState(), kEveryCall),
              ", false, false, 0, false, nil, false, false");
    // Posting needs no window.
    EXPECT_EQ(manager.GetPostedMessages().size(), 2u);
}

TEST_F(WindowFunctionsTest, WithoutACurrentWindowOnlyTheTopModalIsReached) {
    mScript->ResetWindowStack(nullptr);
    mManager->SetRedrawNeeded(false);
    // ClearModalChildren took the box before it was asked for; nothing else moved.
    EXPECT_EQ(Run(kEveryCall), "box_is_not_found, false, false, 3, false, nil, false, false");
    EXPECT_EQ(mDialog->GetFirstChild(), nullptr);
    EXPECT_EQ(mDialog->GetName(), str("dialog"));
    EXPECT_EQ(mManager->GetPostedMessages().size(), 2u);
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(nullptr));
}

}  // namespace
}  // namespace uitest
