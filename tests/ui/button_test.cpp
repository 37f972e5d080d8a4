// TButton: state images per layer through real pointer events sent to the window manager, toggle
// and radio groups, the mask, the close button's messages, a command that pops its own modal,
// the sounds (counted by the sound engine's log line, as no sound manager exists here), the Lua
// command and GetButtonName, and later children in every layer. Buttons are made from "Button"
// tables in a dialog away from the screen's origin.
#include "ui/button.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "imagefiles.h"
#include "oggwriter.h"
#include "platform/texture/texture.h"
#include "script/lua/lua.h"
#include "scriptfixture.h"
#include "support/logcapture.h"
#include "textfixture.h"
#include "ui/image.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Plays without a sound manager log this line: each counts one play.
constexpr char kPlayLine[] = "No Sound Manager";
// A tenth of a second of silence, as an Ogg file.
const std::string& SoundBytes() {
    static const std::string bytes = [] {
        oggfile::OggSound sound;
        sound.samples = oggfile::Silence(sound.channels, 4410);
        return oggfile::WriteOgg(sound);
    }();
    return bytes;
}

class ButtonTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mFiles.PutSolid("a.png", 40, 20, 0xFFFF0000u);
        mFiles.PutSolid("b.png", 40, 20, 0xFF00FF00u);
        mFiles.PutSolid("c.png", 40, 20, 0xFF0000FFu);
        mFiles.PutSolid("d.png", 40, 20, 0xFFFFFFFFu);
        // Left half dark, right half bright.
        mFiles.Put("mask.png", 4, 2, false,
                   [](int x, int) { return x < 2 ? 0xFF101010u : 0xFFC0C0C0u; });
        for (const char* name : {"click.ogg", "roll.ogg"}) {
            RegisterMemoryFile(name, SoundBytes().data(),
                               static_cast<uint32_t>(SoundBytes().size()));
        }
        mDialog = Push("dialog", {20, 30, 620, 470});
    }
    void TearDown() override {
        ScriptTest::TearDown();
        for (const char* name : {"click.ogg", "roll.ogg"})
            RegisterMemoryFile(name, nullptr, 0);
    }

    // A button made by the factory in the top modal from the table's fields.
    TButton* Make(const std::string& name, const std::string& fields) {
        EXPECT_EQ(Run("Button{ name = '" + name + "', " + fields + " }()"), "");
        auto* button = TWindow::CastTo<TButton>(mManager->GetTopModal()->FindChild(name.c_str()));
        EXPECT_NE(button, nullptr) << fields;
        return button;
    }
    // A pointer event at the button's own point.
    void Pointer(int32_t type, TWindow* window, int x, int y) {
        TPoint point{x, y};
        window->ClientToScreen(point);
        Send(Event(type, point.x, point.y));
    }
    void Click(TWindow* window, int x = 5, int y = 5) {
        Pointer(kEventLeftDown, window, x, y);
        Pointer(kEventLeftUp, window, x, y);
    }
    // The names of the button's shown children.
    static std::vector<std::string> Shown(const TButton* button) {
        std::vector<std::string> names;
        for (TWindow* child = button->GetFirstChild(); child != nullptr;
             child = child->GetNextSibling()) {
            if ((child->GetFlags() & TWindow::kVisible) != 0)
                names.push_back(child->GetName().c_str());
        }
        return names;
    }
    bool Tracked(const TWindow* window) const {
        for (TWindow* tracked : mManager->GetTrackedWindows()) {
            if (tracked == window) return true;
        }
        return false;
    }
    // The posted messages as "type:name", oldest first.
    std::vector<std::string> Posted() const {
        std::vector<std::string> seen;
        for (const auto& message : mManager->GetPostedMessages())
            seen.push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        return seen;
    }
    static size_t Plays(const testing_support::LogCapture& log) {
        size_t plays = 0;
        for (const std::string& line : log.Messages())
            plays += line.find(kPlayLine) != std::string::npos;
        return plays;
    }

    TImageFiles mFiles;
    TTestModal* mDialog = nullptr;
};

TEST_F(ButtonTest, IdentityAndLayers) {
    TButton* button = Make("b", "x = 10, y = 10");
    EXPECT_STREQ(button->GetClassName(), "TButton");
    EXPECT_TRUE(button->IsKindOf(TLayeredWindow::TypeId()));
    EXPECT_TRUE(button->IsKindOf(TWindow::TypeId()));
    EXPECT_EQ(button->GetLayerCount(), 4);
}

TEST_F(ButtonTest, APushButtonShowsItsThreeImagesForNormalPressedAndRollover) {
    TButton* button = Make("b", "x = 10, y = 10, graphics = { 'a.png', 'b.png', 'c.png' }");
    EXPECT_EQ(button->GetWidth(), 40);
    EXPECT_EQ(button->GetHeight(), 20);
    EXPECT_THAT(Shown(button), ElementsAre("image0"));
    Pointer(kEventMouseMove, button, 5, 5);
    EXPECT_EQ(button->GetState(), TButton::kRollover);
    EXPECT_TRUE(Tracked(button));
    EXPECT_THAT(Shown(button), ElementsAre("image2"));
    Pointer(kEventLeftDown, button, 5, 5);
    EXPECT_EQ(button->GetState(), TButton::kPressed);
    EXPECT_THAT(Shown(button), ElementsAre("image1"));
    Pointer(kEventLeftUp, button, 5, 5);
    EXPECT_EQ(button->GetState(), TButton::kRollover);
    EXPECT_THAT(Shown(button), ElementsAre("image2"));
    EXPECT_THAT(Entries("message("), ElementsAre("dialog.message(b)"));
    Pointer(kEventMouseMove, button, 100, 100);
    EXPECT_EQ(button->GetState(), TButton::kNormal);
    EXPECT_FALSE(Tracked(button));
    EXPECT_THAT(Shown(button), ElementsAre("image0"));
}

TEST_F(ButtonTest, EmptyEntriesShowTheLatestEarlierImage) {
    TButton* push = Make("push", "x = 10, y = 10, graphics = { 'a.png' }");
    for (int32_t state : {1, 2, 0}) {
        push->SetState(state);
        EXPECT_THAT(Shown(push), ElementsAre("image0")) << state;
    }
    TButton* toggle = Make("toggle", "x = 10, y = 40, type = 1, graphics = { 'a.png', 'b.png' }");
    for (int32_t layer : {1, 2, 3}) {
        EXPECT_THAT(toggle->GetLayer(layer), ElementsAre(toggle->FindChild("image1"))) << layer;
    }
    EXPECT_THAT(toggle->GetLayer(0), ElementsAre(toggle->FindChild("image0")));
}

TEST_F(ButtonTest, ACheckedToggleTradesTheNormalAndPressedPictures) {
    TButton* button = Make(
        "b",
        "x = 10, y = 10, type = 1, on = true, graphics = { 'a.png', 'b.png', 'c.png', 'd.png' }");
    EXPECT_TRUE(button->IsChecked());
    const struct {
        int32_t state;
        const char* image;
    } cases[] = {{0, "image1"}, {1, "image0"}, {2, "image3"}};
    for (const auto& c : cases) {
        button->SetState(c.state);
        EXPECT_THAT(Shown(button), ElementsAre(c.image)) << c.state;
    }
    // A click unchecks it and leaves it rolled over.
    Click(button);
    EXPECT_FALSE(button->IsChecked());
    EXPECT_THAT(Shown(button), ElementsAre("image2"));
}

TEST_F(ButtonTest, ARadioPressSwitchesOffItsGroupUpToTheNextGroupStart) {
    std::vector<TButton*> buttons;
    // r0 begins the first group, r3 the second; oldest first.
    for (int i = 0; i < 5; ++i) {
        std::string fields =
            "x = 10, y = " + std::to_string(10 + 30 * i) +
            ", type = 2, on = true, graphics = { 'a.png', 'b.png', 'c.png', 'd.png' }";
        if (i == 0 || i == 3) fields += ", beginGroup = true";
        buttons.push_back(Make("r" + std::to_string(i), fields));
    }
    // Each "on" switched off the earlier ones of its group; r3, not yet a start, those of r0's.
    std::vector<bool> checked;
    for (TButton* button : buttons)
        checked.push_back(button->IsChecked());
    EXPECT_THAT(checked, ElementsAre(false, false, false, false, true));
    buttons[2]->SetToggleState(true);
    buttons[3]->SetToggleState(true);
    buttons[4]->SetToggleState(false);
    Click(buttons[1]);
    EXPECT_TRUE(buttons[1]->IsChecked());
    EXPECT_FALSE(buttons[0]->IsChecked());
    EXPECT_FALSE(buttons[2]->IsChecked());
    // The next group is left alone.
    EXPECT_TRUE(buttons[3]->IsChecked());
    EXPECT_TRUE((buttons[0]->GetFlags() & TWindow::kGroupStart) != 0);
}

TEST_F(ButtonTest, RadioButtonsWithoutAGroupStartLeaveEachOtherAlone) {
    TButton* first = Make("r0", "x = 10, y = 10, type = 2, on = true, graphics = { 'a.png' }");
    TButton* second = Make("r1", "x = 10, y = 40, type = 2, graphics = { 'a.png' }");
    Click(second);
    EXPECT_TRUE(second->IsChecked());
    EXPECT_TRUE(first->IsChecked());
}

TEST_F(ButtonTest, OnIsAppliedBeforeTheOptions) {
    TButton* first = Make("r0", "x = 10, y = 10, type = 2, beginGroup = true");
    TButton* later = Make("r1", "x = 10, y = 40, type = 2, on = true");
    EXPECT_FALSE(first->IsChecked());
    EXPECT_TRUE(later->IsChecked());
    TButton* starter = Make("r2", "x = 10, y = 70, type = 2, beginGroup = true, on = true");
    // When r2 came on it did not yet start a group of its own: it was in r0's and switched r1 off.
    EXPECT_FALSE(later->IsChecked());
    EXPECT_TRUE(starter->IsChecked());
    EXPECT_TRUE((starter->GetFlags() & TWindow::kGroupStart) != 0);
}

TEST_F(ButtonTest, AReleaseOnADarkMaskPixelLeavesTheButtonUntouched) {
    TButton* button =
        Make("b", "x = 10, y = 10, type = 1, mask = 'mask.png', graphics = { 'a.png' }");
    EXPECT_EQ(button->GetMaskWidth(), 4);
    EXPECT_EQ(button->GetMaskHeight(), 2);
    // The mask is stretched over 40 x 20: x below 20 is dark.
    Pointer(kEventLeftDown, button, 30, 5);
    EXPECT_EQ(button->GetState(), TButton::kPressed);
    Pointer(kEventLeftUp, button, 5, 5);
    EXPECT_EQ(button->GetState(), TButton::kNormal);
    EXPECT_FALSE(button->IsChecked());
    EXPECT_TRUE(Posted().empty());
    EXPECT_FALSE(Tracked(button));
    // No rollover over the dark half; the bright half works.
    Pointer(kEventMouseMove, button, 5, 5);
    EXPECT_EQ(button->GetState(), TButton::kNormal);
    Click(button, 30, 5);
    EXPECT_TRUE(button->IsChecked());
}

TEST_F(ButtonTest, AMaskThatCannotBeLoadedKeepsTheOldOne) {
    TButton* button = Make("b", "x = 10, y = 10, mask = 'mask.png'");
    button->SetMask(nullptr);
    button->SetMask(TTexture::Get("missing.png", 0));
    EXPECT_EQ(button->GetMaskWidth(), 4);
    EXPECT_TRUE(button->IsOutsideMask(TPoint{0, 0}));
}

TEST_F(ButtonTest, ACloseButtonPostsTheCloseAndSetsTheReturnValueBeforeItsPress) {
    TButton* button = Make("ok", "x = 10, y = 10, close = true, graphics = { 'a.png' }");
    // The release straight to the button: the manager would deliver the posted messages.
    Pointer(kEventLeftDown, button, 5, 5);
    button->OnMouseUp(TPoint{5, 5});
    EXPECT_THAT(Posted(), ElementsAre("1:" + std::string(mDialog->GetIdString().c_str()), "3:ok"));
    EXPECT_EQ(mManager->GetPostedMessages().back()->GetTarget(), mDialog);
    EXPECT_EQ(Global("gReturnValue"), "ok");
}

TEST_F(ButtonTest, SendToParentTargetsTheCoveredModal) {
    TTestModal* top = Push("top");
    TButton* button = Make("b", "x = 10, y = 10, sendToParent = true, graphics = { 'a.png' }");
    ASSERT_EQ(button->GetParent(), top);
    Pointer(kEventLeftDown, button, 5, 5);
    button->OnMouseUp(TPoint{5, 5});
    ASSERT_THAT(Posted(), ElementsAre("3:b"));
    EXPECT_EQ(mManager->GetPostedMessages().back()->GetTarget(), top->GetParent());
}

// An action that pops the button's modal, as a dialog's "Close" function would.
class TPopAction : public TButton::Action {
public:
    void Run(TButton* button) override {
        TWindowManager::Get()->DoPopModal(button->GetModalParent()->GetName());
    }
};

TEST_F(ButtonTest, ACommandThatPopsItsOwnModalAnswersFalseAndLeavesStateZero) {
    TButton* button = Make("b", "x = 10, y = 10, type = 1, graphics = { 'a.png' }");
    button->SetAction(new TPopAction);
    Pointer(kEventLeftDown, button, 5, 5);
    EXPECT_FALSE(button->DoAction());
    EXPECT_EQ(mManager->GetTopModal(), mManager->GetScreen());
    EXPECT_EQ(button->GetState(), TButton::kNormal);
    EXPECT_FALSE(button->IsChecked());
    // The press message is dropped: it was not for the parent.
    EXPECT_TRUE(Posted().empty() || Posted().back() != "3:b");
}

TEST_F(ButtonTest, RolloverSoundOnlyWhenVisibleAndTheClickFromDoAction) {
    TButton* button = Make(
        "b",
        "x = 10, y = 10, sound = 'click.ogg', rolloversound = 'roll.ogg', graphics = { 'a.png' }");
    {
        testing_support::LogCapture log;
        button->SetState(TButton::kRollover);
        EXPECT_EQ(Plays(log), 1u);
    }
    {
        testing_support::LogCapture log;
        button->SetState(TButton::kPressed);  // entering state 1 is silent
        EXPECT_EQ(Plays(log), 0u);
        EXPECT_TRUE(button->DoAction());  // the click
        EXPECT_EQ(Plays(log), 1u);
    }
    button->SetState(TButton::kNormal);
    button->SetFlags(button->GetFlags() & ~uint32_t{TWindow::kVisible});
    testing_support::LogCapture log;
    button->SetState(TButton::kRollover);
    button->SetState(TButton::kPressed);
    button->DoAction();
    EXPECT_EQ(Plays(log), 0u);
}

TEST_F(ButtonTest, ALaterChildIsShownInEveryState) {
    TButton* button =
        Make("b", "x = 10, y = 10, type = 1, graphics = { 'a.png', 'b.png', 'c.png', 'd.png' }");
    // Set by Init, but the state set since has selected a layer of its own.
    button->SelectLayer(TLayeredWindow::kAllLayers);
    auto* label = new TWindow("label");
    ASSERT_TRUE(button->AddChild(label, true));
    for (int32_t state : {0, 1, 2}) {
        for (bool checked : {false, true}) {
            button->SetToggleState(checked);
            button->SetState(state);
            EXPECT_TRUE((label->GetFlags() & TWindow::kVisible) != 0) << state << checked;
        }
    }
}

TEST_F(ButtonTest, ALuaCommandIsQueuedWithItsMessageAndGetButtonNameAnswersTheName) {
    for (const char* name : {"plain", "x]]; Hacked = 1; --[[", "q'\"]]"}) {
        ASSERT_EQ(Run("gCommandQueue = {} gSeen = nil"), "");
        lua_pushstring(L, "gName");
        lua_pushstring(L, name);
        lua_settable(L, LUA_GLOBALSINDEX);
        ASSERT_EQ(Run("Button{ name = gName, x = 10, y = 10, graphics = { 'a.png' },"
                      " command = function() gSeen = GetButtonName() end }()"),
                  "");
        auto* button = TWindow::CastTo<TButton>(mDialog->FindChild(name));
        ASSERT_NE(button, nullptr);
        Click(button);
        EXPECT_EQ(Run("return table.getn(gCommandQueue)"), "1") << name;
        EXPECT_EQ(Run("gCommandQueue[1]() return gSeen"), name);
        EXPECT_EQ(Global("Hacked"), "nil");
        // The press nobody in the dialog took follows the command's own message.
        EXPECT_THAT(TakeScriptQueue(), ElementsAre(std::string("LuaAction:") + name, name));
        mDialog->RemoveChild(button);
        mManager->DeleteWindowLater(button);
    }
}

TEST_F(ButtonTest, TeardownOfAPressedTrackedButtonWithMaskAndAction) {
    TButton* button = Make("b",
                           "x = 10, y = 10, mask = 'mask.png', graphics = { 'a.png' },"
                           " command = function() end");
    Pointer(kEventLeftDown, button, 30, 5);
    ASSERT_TRUE(Tracked(button));
    mDialog->RemoveChild(button);
    delete button;
    EXPECT_TRUE(mManager->GetTrackedWindows().empty());
}

TEST_F(ButtonTest, TheToggleFunctionsAndEnableWindowInATwoModalChain) {
    TButton* below = Make("low", "x = 10, y = 10, type = 1, graphics = { 'a.png' }");
    Push("top");
    TButton* above = Make("t", "x = 10, y = 10, type = 1, graphics = { 'a.png' }");
    // The covered modal is searched too.
    EXPECT_EQ(Run("SetButtonToggleState('low', true) SetButtonToggleState('t', true)\n"
                  "return GetButtonToggleState('low'), GetButtonToggleState('t')"),
              "true, true");
    EXPECT_TRUE(below->IsChecked());
    EXPECT_TRUE(above->IsChecked());
    above->SetToggleState(false);
    EXPECT_EQ(Run("return GetButtonToggleState('t'), GetButtonToggleState('none')"),
              "false, false");

    Pointer(kEventMouseMove, above, 5, 5);
    ASSERT_TRUE(Tracked(above));
    EXPECT_EQ(Run("return EnableWindow('t', false)"), "true");
    EXPECT_EQ(above->GetState(), TButton::kNormal);
    EXPECT_FALSE(Tracked(above));
    EXPECT_EQ(Run("return EnableWindow('t', true)"), "true");
    EXPECT_TRUE((above->GetFlags() & TWindow::kVisible) != 0);
}

TEST_F(ButtonTest, SetCommandGivesTheTopModalsButtonALuaAction) {
    TButton* button = Make("b", "x = 10, y = 10, graphics = { 'a.png' }");
    EXPECT_EQ(Run("SetCommand('b', function() gRan = GetButtonName() end)"
                  " SetCommand('nobody', function() end)"),
              "");
    ASSERT_NE(dynamic_cast<TButton::LuaAction*>(button->GetAction()), nullptr);
    Click(button);
    EXPECT_EQ(Run("gCommandQueue[1]() return gRan"), "b");
}

TEST_F(ButtonTest, DoSelectLayerActsOnALayeredCurrentWindowAndLogsALayerOutOfRange) {
    TButton* button = Make("b", "x = 10, y = 10, type = 1, graphics = { 'a.png', 'b.png' }");
    ASSERT_EQ(Run("GenericCreate({ typename = 'Button', name = 'made' })"), "");
    auto* made = TWindow::CastTo<TButton>(mDialog->FindChild("made"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Run("DoSelectLayer(2)"), "");
    EXPECT_EQ(made->GetCurrentLayer(), 2);
    testing_support::LogCapture log;
    EXPECT_EQ(Run("DoSelectLayer(7)"), "");
    EXPECT_EQ(made->GetCurrentLayer(), 2);
    EXPECT_THAT(log.Messages(), ElementsAre(HasSubstr("'made'")));
    EXPECT_EQ(Run("PopWindow()"), "");
    EXPECT_THAT(Shown(button), ElementsAre("image0"));
}

// Buttons with text windows: a label child, and links that press buttons.
class ButtonTextTest : public TextWindowTest {
protected:
    void SetUp() override {
        TextWindowTest::SetUp();
        mFiles.PutSolid("a.png", 40, 20, 0xFFFF0000u);
        RegisterMemoryFile("click.ogg", SoundBytes().data(),
                           static_cast<uint32_t>(SoundBytes().size()));
    }
    void TearDown() override {
        TextWindowTest::TearDown();
        RegisterMemoryFile("click.ogg", nullptr, 0);
    }

    TImageFiles mFiles;
};

TEST_F(ButtonTextTest, TheLabelFunctionsReachTheButtonsLabelText) {
    ASSERT_EQ(Run("Button{ name = 'b', graphics = { 'a.png' },"
                  " Text{ name = 'label', w = 100, h = 20, font = { 'fonts/mono.mvec', 20 } } }()"
                  " Button{ name = 'bare', graphics = { 'a.png' } }()"),
              "");
    auto* label = TWindow::CastTo<TText>(mDialog->FindChild("label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Run("SetLabel('b', 'Ok') SetLabel('bare', 'Lost')"
                  " return GetLabel('b'), GetLabel('bare')"),
              "Ok, ");
    EXPECT_EQ(label->GetText(), str("Ok"));
}

TEST_F(ButtonTextTest, ALinkPressesItsButtonWithoutTheClickSound) {
    ASSERT_EQ(Run("Button{ name = 'ok', sound = 'click.ogg', graphics = { 'a.png' } }()"), "");
    auto* text = Make(
        "Text{ name = 'links', w = 200, h = 40, font = { 'fonts/mono.mvec', 20 },"
        " label = \"<a id='ok'>ab</a>\" }",
        "links");
    ASSERT_NE(text, nullptr);
    testing_support::LogCapture log;
    EXPECT_TRUE(text->OnMouseDown({5, 10}));
    EXPECT_TRUE(text->OnMouseUp({5, 10}));
    ASSERT_EQ(mManager->GetPostedMessages().size(), 1u);
    EXPECT_EQ(mManager->GetPostedMessages().front()->GetName(), str("ok"));
    EXPECT_THAT(log.Messages(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace uitest
