// TTextEdit: the one-line text field, the window type "TextEdit". Its TText part shows a text
// rebuilt from the edit text, the caret and a blinking caret mark; keys and characters edit it.
// Every accepted character posts a kTextEditChanged message named after the field. The fields of
// one modal form a group that Tab walks through.
//
// Virtual operations after TText's: CanEdit, CanEditChar (a game's field overrides them to accept
// Enter or Tab itself, or to answer a refusal, operation kRefused, with a sound).
//
// Ownership: the group's list is shared by its members and goes with the last of them. The
// window's timer (200 ms, on the modal's clock) refreshes the caret; it stops while the modal is
// covered. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "foundation/task/clock.h"
#include "ui/text.h"

class TTextEdit : public TText {
public:
    // The operations the permission hooks are asked about.
    enum Operation : int {
        kInsert = 0,
        kMove = 1,  // Left, Right, Backspace
        kEnter = 2,
        kTab = 3,
        kPaste = 4,
        kRefused = 5,  // a notice only: an insertion or a move was refused
    };
    // The framework's key codes the field reads.
    enum Key : uint8_t { kKeyLeft = 0x82, kKeyRight = 0x83, kKeyInsert = 0x84, kKeyDelete = 0xFF };
    // The caret's blink: the period, and the part of it in which the caret is hidden.
    static constexpr uint32_t kBlinkPeriod = 800;
    static constexpr uint32_t kBlinkDark = 400;
    static constexpr uint32_t kRefreshInterval = 200;

    TTextEdit();

    const char* GetClassName() const override { return "TTextEdit"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TText::IsKindOf(id); }
    ~TTextEdit() override;
    bool OnActivate() override;
    // Reads "password", "length", "ignore" and "utf8"; the initial "label" is never a string
    // table label.
    void Init(TWindowStyle& style) override;
    void Draw() override;
    bool OnTimer() override;
    bool OnChar(uint8_t ch) override;
    bool OnTextInput(str utf8) override;
    bool OnKeyDown(uint8_t key, int modifiers) override;
    // The caret to the end; nothing is posted.
    void SetText(str text) override;
    // The edit text, without caret mark or mask.
    str GetText() override;
    virtual bool CanEdit(int operation, uint8_t ch);
    virtual bool CanEditChar(int operation, uint32_t codePoint);

    static void* Create();
    static TClassId TypeId() { return &Create; }

    void SetPassword(bool password);
    void SetUtf8(bool utf8) { mUtf8 = utf8; }
    void SetIgnore(const str& ignore) { mIgnore = ignore; }
    void SetMaxLength(int32_t length) { mMaxLength = length; }
    uint32_t GetCaret() const { return mCaret; }
    bool IsCaretShown() const { return mCaretShown; }
    const std::shared_ptr<std::vector<TTextEdit*>>& GetGroup() const { return mGroup; }

private:
    class TTextSpider;

    // Rebuilds the shown text from the edit text, the caret and the blink phase.
    void UpdateDisplay();
    // Takes a share of the modal's group (or starts one) and starts the refresh timer; nothing
    // when already in a group or under no modal.
    void JoinGroup();
    void LeaveGroup();
    void DeleteBackward();
    // Focuses the member after this one (the first after the last).
    void FocusNextInGroup();
    // Replaces the text with the clipboard's; false when nothing was pasted.
    bool Paste();
    // CanEditChar with the input's first character decoded.
    bool AskCanEditChar(int operation, const str& utf8);
    // The number of bytes of the character at the caret, never past the end.
    uint32_t CharLengthAtCaret() const;
    void PostChanged();

    int32_t mMaxLength = 10;
    std::shared_ptr<std::vector<TTextEdit*>> mGroup;
    str mEditText;
    uint32_t mCaret = 0;
    bool mEditable = true;
    bool mUtf8 = false;
    bool mPassword = false;
    bool mCaretShown = false;
    str mIgnore;
    TClock mBlinkClock;
};
