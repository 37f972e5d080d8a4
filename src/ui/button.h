// TButton: the push, toggle and radio button. A layered window with one layer per visual state
// (0 normal, 1 pressed, 2 rollover, 3 activated): the state images of its "Button" table, made as
// image children, each show in their layer, and a state change selects the layer for the state,
// the button's type and whether it is checked. A press tracks the pointer; a release on the
// button activates it (DoAction): the click sound, then Command, which closes the dialog when the
// button is a "close" button and sends kButtonPress named with the button's name, or runs the
// button's action (a Lua function, LuaAction) first. Radio buttons switch off the other buttons
// of their group, the siblings from the nearest kGroupStart before them up to the next one. A
// mask, when set, limits hits to its bright pixels.
//
// The button owns its action and its copy of the mask's pixels; it holds shares of its sounds.
// The state images are children (the window tree owns them). Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/layeredwindow.h"

class TLuaFunction;
class TSound;
class TTexture;

class TButton : public TLayeredWindow {
public:
    enum Type : uint32_t { kPush = 0, kToggle = 1, kRadio = 2 };
    enum State : int32_t { kNormal = 0, kPressed = 1, kRollover = 2, kActivated = 3 };
    // The options word.
    enum Option : uint8_t {
        kSendToParent = 0x1,
        kChecked = 0x2,
        kClose = 0x4,
        kDefault = 0x8,
        kCancel = 0x10,
    };
    // The bits of SetOptions' argument, as the table's booleans give them.
    enum OptionArgument : uint8_t {
        kArgBeginGroup = 0x1,
        kArgSendToParent = 0x2,
        kArgClose = 0x4,
        kArgDefault = 0x8,
        kArgCancel = 0x10,
    };

    // What a button runs when it is activated, before its message goes.
    class Action {
    public:
        virtual ~Action() = default;
        virtual void Run(TButton* button) = 0;
    };
    // A Lua function, run from the window script's command queue with a kCommandOnly message
    // "LuaAction:<name>"; while it runs, the Lua function GetButtonName answers the name.
    class LuaAction : public Action {
    public:
        // Takes the function over (null allowed: nothing is queued then).
        explicit LuaAction(TLuaFunction* function);
        ~LuaAction() override;
        void Run(TButton* button) override;

    private:
        std::unique_ptr<TLuaFunction> mFunction;
    };

    TButton();
    ~TButton() override;

    const char* GetClassName() const override { return "TButton"; }
    bool IsKindOf(TClassId id) const override {
        return id == TypeId() || TLayeredWindow::IsKindOf(id);
    }
    static TClassId TypeId() { return &Create; }
    static void* Create();

    // State 0.
    bool OnActivate() override;
    // The table's keys in their order: sounds, mask, type, scale, options ("on" first), the
    // "graphics" images (image0 to image3, each in its layer), "command"; then later children
    // join every layer.
    void Init(TWindowStyle& style) override;
    // State 0 after the geometry.
    void PostInit(TWindowStyle& style) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    // Untracked and back to state 0.
    bool OnMouseLeave() override;

    // Announces state 3, plays the click sound when shown and runs Command. When the button
    // stays on the top modal (Command answered false), a radio button checks itself and a toggle
    // flips, and the answer is true; otherwise the button leaves its state and answers false.
    virtual bool DoAction();
    // Plays the new state's sound (entering 0 or 2 from a state other than 3, when the button
    // is visible) and selects the layer of the state.
    virtual void OnStateChanged(int32_t newState, int32_t oldState);
    // Stores the state, then OnStateChanged.
    virtual void SetState(int32_t state);

    // The low 4 bits.
    void SetType(uint32_t type);
    uint32_t GetType() const { return mTypeAndState & 0xFu; }
    // Bits 4 to 6 read as a signed 3-bit number.
    int32_t GetState() const;
    // Adds options from the OptionArgument bits; never clears one. kArgBeginGroup sets the window
    // flag kGroupStart.
    void SetOptions(uint8_t arguments);
    uint8_t GetOptions() const { return mOptions; }
    bool IsChecked() const { return (mOptions & kChecked) != 0; }
    // A radio button switched on switches off the rest of its group; then the checked option,
    // the layer again, and a redraw.
    void SetToggleState(bool on);
    void Toggle();
    // The close message and "gReturnValue" for a close button, the action, kButtonPress. True
    // when the action took the button out of the screen.
    bool Command();
    // Entry 1 the click, 2 the rollover sound; an empty name or another entry sets nothing.
    void SetSound(const str& name, int entry);
    // Copies the texture's pixels; the old mask stays when the texture cannot be locked.
    void SetMask(const std::shared_ptr<TTexture>& texture);
    // Takes the action over and deletes the previous one.
    void SetAction(Action* action);
    Action* GetAction() const { return mAction.get(); }
    // The text of the child named "label" (at any depth) when it is a text window; otherwise
    // nothing and an empty text.
    void SetLabelText(const str& text);
    str GetLabelText();
    // Outside the rectangle, or on a dark mask pixel (red, green and blue all below 20): the
    // pointer has left (OnMouseLeave) and the answer is true.
    bool IsOutsideMask(const TPoint& point);
    int32_t GetMaskWidth() const { return mMaskWidth; }
    int32_t GetMaskHeight() const { return mMaskHeight; }

private:
    uint32_t mTypeAndState = 0;
    uint8_t mOptions = 0;
    std::unique_ptr<Action> mAction;
    // Indexed by state: 0 normal, 1 the click, 2 the rollover.
    std::array<std::shared_ptr<TSound>, 3> mSounds;
    str mTooltip;
    std::vector<uint32_t> mMask;
    int32_t mMaskWidth = 0;
    int32_t mMaskHeight = 0;
};
