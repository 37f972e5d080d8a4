// The text field: typing, the length limits, the caret and its blink, the password mask, the
// ignore set, Tab through the modal's fields, Enter, the keys, paste, and the Lua label functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/prefs/stringtable.h"
#include "port/window/control.h"
#include "textfixture.h"
#include "ui/textedit.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Notes the refusal notices (the character handed with them) and may accept Enter itself.
class TRecordingEdit : public TTextEdit {
public:
    static inline bool sAcceptEnter = false;

    static void* Create() { return static_cast<TWindow*>(new TRecordingEdit); }
    bool CanEdit(int operation, uint8_t ch) override {
        if (operation == kRefused) notices.push_back(ch);
        if (operation == kEnter && sAcceptEnter) return true;
        return TTextEdit::CanEdit(operation, ch);
    }

    std::vector<int> notices;
};

class TextEditTest : public TextWindowTest {
protected:
    void SetUp() override {
        mFallback = testing_support::FallbackFont();
        RegisterMemoryFile("fonts/default.mvec", mFallback.data(),
                           static_cast<uint32_t>(mFallback.size()));
        TextWindowTest::SetUp();
        TRecordingEdit::sAcceptEnter = false;
        mManager->RegisterWindowType("RecordingEdit", &TRecordingEdit::Create);
    }

    // A field in the monospace font with the keys given, under the dialog.
    TRecordingEdit* Field(const char* name, const std::string& keys = "") {
        std::string table = std::string("RecordingEdit{ name = '") + name +
                            "', w = 300, h = 20, font = { 'fonts/mono.mvec', 20 }" +
                            (keys.empty() ? "" : ", " + keys) + " }";
        return Make<TRecordingEdit>(table, name);
    }
    // Each UTF-8 character of the text typed; how many were accepted.
    static int Type(TTextEdit* field, const std::string& text) {
        int accepted = 0;
        for (size_t at = 0; at < text.size();) {
            size_t length = 1;
            while (at + length < text.size() && (text[at + length] & 0xC0) == 0x80)
                ++length;
            accepted += field->OnTextInput(str(text.c_str() + at, static_cast<int>(length)));
            at += length;
        }
        return accepted;
    }
    // The text the field shows (the layout's, with markup).
    static std::string Shown(TTextEdit* field) { return field->GetLayout()->GetText().c_str(); }
    std::vector<std::string> Posted() const {
        std::vector<std::string> posted;
        for (const auto& message : mManager->GetPostedMessages())
            posted.push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        return posted;
    }
    // The field focused, at a time of the blink period (from the field's making).
    void FocusAtBlink(TTextEdit* field, uint32_t blink) {
        mManager->SetFocusWindow(field);
        Advance(blink);
        field->OnTimer();
    }
    static void SetClipboard(const std::string& text) { port::control::SetClipboardText(text); }

    std::vector<uint8_t> mFallback;
};

TEST_F(TextEditTest, MaximumTenInSingleByteMode) {
    TRecordingEdit* field = Field("name");
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->GetClassName(), "TTextEdit");
    EXPECT_NE(field->GetFlags() & TWindow::kFocusable, 0u);
    // Typing stops one short of the maximum; the refusal is a notice.
    EXPECT_EQ(Type(field, "abcdefghij"), 9);
    EXPECT_EQ(field->GetText(), str("abcdefghi"));
    EXPECT_THAT(field->notices, ElementsAre('j'));
    EXPECT_EQ(Posted().size(), 9u);
    EXPECT_EQ(Posted().front(), "7:name");
    // A paste admits the whole maximum.
    SetClipboard("0123456789AB");
    EXPECT_TRUE(field->OnKeyDown('V', 2));
    EXPECT_EQ(field->GetText(), str("0123456789"));
    EXPECT_EQ(field->GetCaret(), 10u);
    EXPECT_EQ(Posted().size(), 9u);
}

TEST_F(TextEditTest, Utf8MaximumCountsCharacters) {
    TRecordingEdit* field = Field("name", "utf8 = true, length = 3");
    EXPECT_EQ(Type(field, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"), 3);
    EXPECT_EQ(field->GetText(), str("\xC3\xA9\xC3\xA9\xC3\xA9"));
    // The refused character is above 127: its notice carries a space.
    EXPECT_THAT(field->notices, ElementsAre(' '));
    EXPECT_TRUE(field->OnTextInput("\b"));
    EXPECT_EQ(field->GetText(), str("\xC3\xA9\xC3\xA9"));
    EXPECT_EQ(field->GetCaret(), 4u);
    // A character that neither the field's font nor the fallback has is refused.
    field->notices.clear();
    EXPECT_FALSE(field->OnTextInput("\xC3\x9F"));
    EXPECT_THAT(field->notices, ElementsAre(' '));
    // Outside UTF-8 mode high bytes are refused at once.
    TRecordingEdit* plain = Field("plain");
    EXPECT_FALSE(plain->OnTextInput("\xC3\xA9"));
    EXPECT_EQ(plain->GetText(), str());
}

TEST_F(TextEditTest, PasswordFieldShowsStarsAroundTheCaret) {
    TRecordingEdit* field = Field("secret", "password = true");
    EXPECT_EQ(Type(field, "ab"), 2);
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyLeft, 0));
    FocusAtBlink(field, 500);
    EXPECT_EQ(Shown(field), "*<cursor>*");
    EXPECT_EQ(field->GetText(), str("ab"));
    EXPECT_EQ(Run("return GetLabel('secret')"), "ab");
    // SetLabel replaces the text without posting.
    size_t posted = Posted().size();
    EXPECT_EQ(Run("SetLabel('secret', 'xyz') return GetLabel('secret')"), "xyz");
    EXPECT_EQ(Posted().size(), posted);
    EXPECT_EQ(field->GetCaret(), 3u);
}

TEST_F(TextEditTest, TheCaretBlinks) {
    TRecordingEdit* field = Field("name");
    field->SetText("ab");
    // Unfocused: no caret.
    field->OnTimer();
    EXPECT_EQ(Shown(field), "ab");
    const struct {
        uint32_t advance;
        bool shown;
    } steps[] = {{0, false}, {400, false}, {1, true}, {398, true}, {1, false}, {401, true}};
    mManager->SetFocusWindow(field);
    for (const auto& step : steps) {
        Advance(step.advance);
        mManager->SetRedrawNeeded(false);
        bool before = field->IsCaretShown();
        field->OnTimer();
        EXPECT_EQ(Shown(field), step.shown ? "ab<cursor>" : "ab") << step.advance;
        EXPECT_EQ(field->IsCaretShown(), step.shown);
        EXPECT_EQ(mManager->IsRedrawNeeded(), before != step.shown);
    }
}

TEST_F(TextEditTest, TheTimerRefreshesTheCaretAndFreezesWhileTheModalIsCovered) {
    TRecordingEdit* field = Field("name");
    mManager->SetFocusWindow(field);
    std::vector<bool> phases;
    auto tick = [&] {
        Advance(200);
        Idle();
        phases.push_back(Shown(field) == "<cursor>");
    };
    // At 200, 400, 600 and 800 ms of the blink.
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_THAT(phases, ElementsAre(false, false, true, false));
    tick();
    tick();
    tick();
    ASSERT_TRUE(phases.back());
    // Covered at 1400 ms, shown: it stays so.
    Push("cover", {0, 0, 100, 100});
    phases.clear();
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_THAT(phases, ElementsAre(true, true, true, true));
    mManager->DoPopModal("cover");
    mManager->SetFocusWindow(field);
    phases.clear();
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_THAT(phases, ::testing::Contains(false));
    EXPECT_THAT(phases, ::testing::Contains(true));
}

TEST_F(TextEditTest, IgnoredCharactersAreSwallowedYetPost) {
    TRecordingEdit* field = Field("name", "ignore = 'x-'");
    EXPECT_TRUE(field->OnTextInput("x"));
    EXPECT_TRUE(field->OnTextInput("a"));
    EXPECT_TRUE(field->OnTextInput("-"));
    EXPECT_EQ(field->GetText(), str("a"));
    EXPECT_THAT(Posted(), ElementsAre("7:name", "7:name", "7:name"));
    // A paste loses them too, and the control bytes.
    SetClipboard("b-x\tc");
    EXPECT_TRUE(field->OnKeyDown('V', 2));
    EXPECT_EQ(field->GetText(), str("bc"));
}

TEST_F(TextEditTest, TabWalksTheFieldsOfOneModal) {
    // A field of a covered modal is never reached.
    mManager->PopModal();
    TTestModal* other = Push("other", {0, 0, 400, 300});
    mDialog = other;
    TRecordingEdit* elsewhere = Field("elsewhere");
    mDialog = Push("dialog", {0, 0, 400, 300});
    TRecordingEdit* first = Field("first");
    TRecordingEdit* second = Field("second");
    TRecordingEdit* third = Field("third");
    ASSERT_NE(first->GetGroup(), nullptr);
    EXPECT_EQ(first->GetGroup(), third->GetGroup());
    EXPECT_NE(first->GetGroup(), elsewhere->GetGroup());
    EXPECT_THAT(*first->GetGroup(), ElementsAre(first, second, third));
    mManager->SetFocusWindow(second);
    EXPECT_FALSE(second->OnTextInput("\t"));
    EXPECT_EQ(mManager->GetFocusWindow(), third);
    EXPECT_FALSE(third->OnTextInput("\t"));
    EXPECT_EQ(mManager->GetFocusWindow(), first);
    EXPECT_THAT(Posted(), IsEmpty());
    // A field that goes leaves the group; a group of one tabs to itself.
    mDialog->RemoveChild(second);
    delete second;
    EXPECT_THAT(*first->GetGroup(), ElementsAre(first, third));
    mManager->SetFocusWindow(elsewhere);
    EXPECT_FALSE(elsewhere->OnTextInput("\t"));
    EXPECT_EQ(mManager->GetFocusWindow(), elsewhere);
}

TEST_F(TextEditTest, EnterTravelsOnUnlessTheFieldAcceptsIt) {
    TRecordingEdit* field = Field("name");
    EXPECT_FALSE(field->OnTextInput("\r"));
    EXPECT_THAT(Posted(), IsEmpty());
    TRecordingEdit::sAcceptEnter = true;
    EXPECT_TRUE(field->OnTextInput("\r"));
    EXPECT_THAT(Posted(), ElementsAre("7:name"));
    EXPECT_EQ(field->GetText(), str());
    // Other control bytes are refused; Backspace at the start is a refusal.
    EXPECT_FALSE(field->OnTextInput("\x01"));
    EXPECT_FALSE(field->OnTextInput("\b"));
    EXPECT_THAT(field->notices, ElementsAre(8));
}

TEST_F(TextEditTest, CtrlVReplacesTheWholeText) {
    TRecordingEdit* field = Field("name");
    field->SetText("abc");
    field->OnKeyDown(TTextEdit::kKeyLeft, 0);
    field->OnKeyDown(TTextEdit::kKeyLeft, 0);
    EXPECT_EQ(field->GetCaret(), 1u);
    SetClipboard("XY");
    EXPECT_TRUE(field->OnKeyDown('V', 2));
    EXPECT_EQ(field->GetText(), str("XY"));
    EXPECT_EQ(field->GetCaret(), 2u);
    EXPECT_THAT(Posted(), IsEmpty());
    // Shift+Insert pastes too.
    SetClipboard("Q");
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyInsert, 1));
    EXPECT_EQ(field->GetText(), str("Q"));
    // A lead byte refuses the whole paste in single-byte mode; an empty clipboard pastes
    // nothing. The key then goes on, as every control combination does.
    for (const char* clipboard : {"ok\xC3\xA9", ""}) {
        SetClipboard(clipboard);
        EXPECT_FALSE(field->OnKeyDown('V', 2)) << clipboard;
        EXPECT_EQ(field->GetText(), str("Q")) << clipboard;
    }
}

TEST_F(TextEditTest, KeysMoveAndDeleteByCharacters) {
    TRecordingEdit* field = Field("name", "utf8 = true");
    field->SetText("a\xC3\xA9z");
    const struct {
        uint8_t key;
        int modifiers;
        bool consumed;
        const char* text;
        uint32_t caret;
    } keys[] = {
        {TTextEdit::kKeyLeft, 0, true, "a\xC3\xA9z", 3},
        {TTextEdit::kKeyLeft, 0, true, "a\xC3\xA9z", 1},
        {TTextEdit::kKeyDelete, 0, true, "az", 1},
        {TTextEdit::kKeyRight, 0, true, "az", 2},
        {'A', 0, true, "az", 2},   // plain keys up to 'Z' are consumed
        {'A', 2, false, "az", 2},  // Ctrl+A and Alt+X reach the hot keys
        {'X', 4, false, "az", 2},
        {'a', 0, false, "az", 2},  // keys above 'Z' are not the field's
        {13, 0, true, "az", 2},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(field->OnKeyDown(k.key, k.modifiers), k.consumed) << int(k.key);
        EXPECT_EQ(field->GetText(), str(k.text)) << int(k.key);
        EXPECT_EQ(field->GetCaret(), k.caret) << int(k.key);
    }
    EXPECT_THAT(field->notices, IsEmpty());
    // At the ends: a notice each, consumed.
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyRight, 0));
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyDelete, 0));
    field->OnKeyDown(TTextEdit::kKeyLeft, 0);
    field->OnKeyDown(TTextEdit::kKeyLeft, 0);
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyLeft, 0));
    EXPECT_THAT(field->notices,
                ElementsAre(TTextEdit::kKeyRight, TTextEdit::kKeyDelete, TTextEdit::kKeyLeft));
}

TEST_F(TextEditTest, ABrokenSequenceAtTheEndKeepsTheCaretInside) {
    TRecordingEdit* field = Field("name", "utf8 = true");
    field->SetText("a\xF0");
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyLeft, 0));
    EXPECT_EQ(field->GetCaret(), 1u);
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyRight, 0));
    EXPECT_EQ(field->GetCaret(), 2u);
    field->OnKeyDown(TTextEdit::kKeyLeft, 0);
    EXPECT_TRUE(field->OnKeyDown(TTextEdit::kKeyDelete, 0));
    EXPECT_EQ(field->GetText(), str("a"));
    EXPECT_EQ(field->GetCaret(), 1u);
    field->SetText("\xE2\x82");
    EXPECT_TRUE(field->OnTextInput("\b"));
    EXPECT_EQ(field->GetText(), str());
}

TEST_F(TextEditTest, TypedMarkupIsShownLiterally) {
    TRecordingEdit* field = Field("name", "length = 20");
    EXPECT_EQ(Type(field, "<b>x\\y"), 6);
    EXPECT_EQ(field->GetText(), str("<b>x\\y"));
    EXPECT_EQ(Shown(field), "\\<b>x\\\\y");
    // One line of one style: the six characters drawn plainly, 10 pixels each.
    const auto& lines = field->GetLayout()->GetLines();
    ASSERT_EQ(lines.size(), 1u);
    int width = 0;
    for (const TTextRun& run : lines[0]->runs) {
        EXPECT_EQ(run.bold, 0);
        width += run.endX - run.x;
    }
    EXPECT_NEAR(width, 60, 1);
}

TEST_F(TextEditTest, TheInitialLabelIsNeverAStringTableLabel) {
    std::string sheet = "<Row><Data>TITLE</Data><Data>The title</Data></Row>";
    mApp->GetStringTable()->LoadText(sheet.data(), sheet.size());
    mManager->SetScriptUtf8(true);
    TRecordingEdit* field = Field("name", "label = 'TITLE'");
    EXPECT_EQ(field->GetText(), str("TITLE"));
    EXPECT_EQ(field->GetCaret(), 5u);
    EXPECT_TRUE(mManager->IsScriptUtf8());
    // The plain "TextEdit" type makes the same class.
    auto* made =
        Make<TTextEdit>("TextEdit{ name = 'made', w = 100, h = 20, label = 'TITLE' }", "made");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetText(), str("TITLE"));
    EXPECT_EQ(Run("return GetLabel('made')"), "TITLE");
}

}  // namespace
}  // namespace uitest
