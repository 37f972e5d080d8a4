// The modal's keys through the window manager's key events: hot keys registered from Lua that
// press their button (exact combinations before "@" keys), a key removed by an empty button name,
// a missing button, and Enter and Escape pressing the shown default and cancel buttons or sending
// kDefaultAction. A press shows as the dialog's journal entry of its kButtonPress message.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagefiles.h"
#include "scriptfixture.h"
#include "support/logcapture.h"
#include "ui/button.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kShift = kKeyModShift;
constexpr int kControl = kKeyModCtrl;
constexpr int kAlt = kKeyModAlt;
constexpr int kExtended = kKeyModExtended;

class ModalKeysTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mFiles.PutSolid("a.png", 40, 20, 0xFFFF0000u);
        mDialog = Push("dialog");
    }
    void Make(const std::string& name, const std::string& fields = "") {
        ASSERT_EQ(Run("Button{ name = '" + name + "', graphics = { 'a.png' }" + fields + " }()"),
                  "");
    }
    void Key(char key, int modifiers) {
        TPlatformEvent event = Event(kEventKeyDown, 0, 0, static_cast<uint8_t>(key));
        event.extra = modifiers;
        Send(event);
    }
    void Char(uint8_t ch) { Send(Event(kEventChar, 0, 0, ch)); }
    // The messages the dialog heard since the last call, but the notices of unhandled keys.
    std::vector<std::string> Heard() {
        std::vector<std::string> heard;
        for (const std::string& entry : Entries("dialog.message(")) {
            if (entry.find("(raw:") == std::string::npos) heard.push_back(entry);
        }
        mJournal.clear();
        return heard;
    }

    TImageFiles mFiles;
    TTestModal* mDialog = nullptr;
};

TEST_F(ModalKeysTest, AControlKeyIsPressedByExactlyItsCombination) {
    Make("ok");
    ASSERT_EQ(Run("_RegisterHotkey('ctrl-a', 'ok')"), "");
    Key('A', kShift | kControl);
    EXPECT_THAT(Heard(), IsEmpty());
    // The extended-key bit does not count.
    Key('A', kControl | kExtended);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message(ok)"));
}

TEST_F(ModalKeysTest, AnAtKeyTakesAnyModifiersUnlessAnExactOneIsRegistered) {
    Make("any");
    Make("exact");
    // "@a" is kept as "@A": the lookup's "@" and the key code as it is.
    ASSERT_EQ(Run("_RegisterHotkey('@a', 'any') _RegisterHotkey('alt-control-a', 'exact')"), "");
    for (int modifiers : {0, kShift, kControl | kShift}) {
        Key('A', modifiers);
        EXPECT_THAT(Heard(), ElementsAre("dialog.message(any)")) << modifiers;
    }
    Key('A', kControl | kAlt);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message(exact)"));
}

TEST_F(ModalKeysTest, AnEmptyButtonNameRemovesTheKeyAndAMissingButtonIsLogged) {
    Make("ok");
    ASSERT_EQ(Run("_RegisterHotkey('x', 'ok') _RegisterHotkey('y', 'gone')"
                  " _RegisterHotkey('', 'ok')"),
              "");
    Key('X', 0);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message(ok)"));
    ASSERT_EQ(Run("_RegisterHotkey('X', '')"), "");
    Key('X', 0);
    EXPECT_THAT(Heard(), IsEmpty());
    testing_support::LogCapture log;
    Key('Y', 0);
    EXPECT_THAT(log.Messages(),
                ElementsAre(HasSubstr("ERROR: Hot key button not found. Button:'gone'")));
}

TEST_F(ModalKeysTest, EnterAndEscapePressTheShownDefaultAndCancelButtons) {
    // Walked newest first: ok, hidden, cancel. The walk goes on past ok until the cancel button
    // is known, and a later find would replace ok, but the hidden default is ignored.
    Make("cancel", ", cancel = true");
    Make("hidden", ", default = true");
    Make("ok", ", default = true");
    ASSERT_EQ(Run("EnableWindow('hidden', false)"), "");
    // The press does not close the dialog: kDefaultAction is sent as well, at once, before the
    // posted press arrives.
    Char(13);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message()", "dialog.message(ok)"));
    Char(27);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message()", "dialog.message(cancel)"));
    Char('a');
    EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(ModalKeysTest, EnterWithoutADefaultButtonOrFocusSendsDefaultActionFromTheModal) {
    Char(13);
    EXPECT_THAT(Heard(), ElementsAre("dialog.message()"));
}

TEST_F(ModalKeysTest, ADefaultButtonThatClosesItsDialogStopsThere) {
    Make("ok", ", default = true, command = function() end");
    auto* button = TWindow::CastTo<TButton>(mDialog->FindChild("ok"));
    ASSERT_NE(button, nullptr);
    // An action that takes the button off the screen, as closing the dialog does.
    class TDetach : public TButton::Action {
    public:
        void Run(TButton* pressed) override {
            pressed->GetParent()->RemoveChild(pressed);
            TWindowManager::Get()->DeleteWindowLater(pressed);
        }
    };
    button->SetAction(new TDetach);
    Char(13);
    EXPECT_THAT(Heard(), IsEmpty());
    EXPECT_EQ(mDialog->FindChild("ok"), nullptr);
}

}  // namespace
}  // namespace uitest
