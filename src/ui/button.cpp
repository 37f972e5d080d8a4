#include "ui/button.h"

#include <algorithm>
#include <utility>

#include "audio/sound.h"
#include "foundation/saturate.h"
#include "platform/draw/drawspec.h"
#include "platform/texture/texture.h"
#include "script/lua/lua.h"
#include "script/luaobjectwrapper.h"
#include "script/luatable.h"
#include "ui/image.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/screen.h"
#include "ui/text.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"
#include "ui/windowspider.h"
#include "ui/windowstyle.h"

namespace {

// A mask pixel darker than this in red, green and blue alike is outside the button.
constexpr uint32_t kMaskThreshold = 20;
// The state images a push button's "graphics" names; the other types have one per state.
constexpr int kPushImages = 3;
constexpr int kStateImages = 4;

// Switches off the radio buttons of a button's group, over the parent's children from the oldest:
// phase 0 finds the group's start (the last kGroupStart up to the button), phase 1 switches off
// every other button from the start up to the next kGroupStart.
class TRadioButtonSpider : public TWindowSpider {
public:
    explicit TRadioButtonSpider(TButton* button) : mButton(button) {}

    bool Visit(TWindow* window) override {
        bool starts = (window->GetFlags() & TWindow::kGroupStart) != 0;
        if (mPhase == 0) {
            if (starts) mGroupStart = window;
            return window != mButton;
        }
        if (starts && mInGroup) return false;
        if (window == mGroupStart) mInGroup = true;
        if (mInGroup && window != mButton) {
            if (auto* other = TWindow::CastTo<TButton>(window)) other->SetToggleState(false);
        }
        return true;
    }
    // The second walk, once the first has found the start.
    void NextPhase() { mPhase = 1; }
    bool HasGroup() const { return mGroupStart != nullptr; }

private:
    TButton* mButton;
    int mPhase = 0;
    bool mInGroup = false;
    TWindow* mGroupStart = nullptr;
};

// The table's boolean field (nil and false are false).
bool TableBool(const TLuaTable& table, const char* key) {
    if (!table.PushField(key)) return false;
    lua_State* L = table.GetState();
    bool value = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
    return value;
}

// GetButtonName's body: the name held by the closure.
int PushHeldName(lua_State* L) {
    lua_pushvalue(L, lua_upvalueindex(1));
    return 1;
}

}  // namespace

TButton::LuaAction::LuaAction(TLuaFunction* function) : mFunction(function) {}

TButton::LuaAction::~LuaAction() = default;

void TButton::LuaAction::Run(TButton* button) {
    TWindowManager* manager = TWindowManager::Get();
    if (manager == nullptr) return;
    auto* message = new TMessage(TMessage::kCommandOnly, str("LuaAction:") + button->GetName());
    if (TWindowScript* script = manager->GetScript()) {
        // The name as a string value: no text of it is ever read as Lua.
        lua_State* L = script->GetState();
        const str& name = button->GetName();
        lua_pushstring(L, "GetButtonName");
        lua_pushlstring(L, name.c_str(), name.Length());
        lua_pushcclosure(L, &PushHeldName, 1);
        lua_settable(L, LUA_GLOBALSINDEX);
    }
    manager->QueueScriptMessage(message, mFunction.get());
}

TButton::TButton() : TLayeredWindow(kStateImages) {}

TButton::~TButton() {
    OnMouseLeave();
}

void* TButton::Create() {
    return static_cast<TWindow*>(new TButton);
}

int32_t TButton::GetState() const {
    int32_t bits = static_cast<int32_t>((mTypeAndState >> 4) & 0x7u);
    return bits >= 4 ? bits - 8 : bits;
}

void TButton::SetType(uint32_t type) {
    mTypeAndState = (mTypeAndState & ~0xFu) | (type & 0xFu);
}

void TButton::SetState(int32_t state) {
    int32_t previous = GetState();
    mTypeAndState = (mTypeAndState & ~0x70u) | ((static_cast<uint32_t>(state) & 0x7u) << 4);
    OnStateChanged(state, previous);
}

void TButton::OnStateChanged(int32_t newState, int32_t oldState) {
    if (newState != oldState && newState != kPressed && oldState != kActivated &&
        (newState == kNormal || newState == kRollover)) {
        const std::shared_ptr<TSound>& sound = mSounds[static_cast<size_t>(newState)];
        // The instance plays on by itself; nothing here stops it.
        if (sound != nullptr && (GetFlags() & kVisible) != 0) sound->Play(false);
    }
    if (newState < kNormal || newState > kRollover) return;
    if (GetType() == kPush) {
        SelectLayer(newState);
    } else if (GetType() == kToggle || GetType() == kRadio) {
        // Checked, the normal and the pressed pictures trade places, and the rollover has its own.
        int32_t checked = IsChecked() ? 1 : 0;
        SelectLayer(newState == kPressed ? 1 - checked : newState + checked);
    }
}

void TButton::SetOptions(uint8_t arguments) {
    if ((arguments & kArgBeginGroup) != 0) SetRawFlags(GetFlags() | kGroupStart);
    if ((arguments & kArgSendToParent) != 0) mOptions |= kSendToParent;
    mOptions |= arguments & (kClose | kDefault | kCancel);
}

void TButton::SetToggleState(bool on) {
    if (GetType() == kRadio && on && GetParent() != nullptr) {
        TRadioButtonSpider spider(this);
        GetParent()->ForEachChild(spider, true);
        if (spider.HasGroup()) {
            spider.NextPhase();
            GetParent()->ForEachChild(spider, true);
        }
    }
    mOptions = on ? mOptions | kChecked : mOptions & ~uint8_t{kChecked};
    SetState(GetState());
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}

void TButton::Toggle() {
    mOptions ^= kChecked;
    SetState(GetState());
}

void TButton::SetSound(const str& name, int entry) {
    if (name.Length() == 0 || entry < 1 || entry > 2) return;
    mSounds[static_cast<size_t>(entry)] = TSound::Get(name, false, 0);
}

void TButton::SetMask(const std::shared_ptr<TTexture>& texture) {
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (texture == nullptr || !texture->Lock(&pixels, &pitch)) return;
    int width = std::max(texture->GetWidth(), 0);
    int height = std::max(texture->GetHeight(), 0);
    if (pixels == nullptr || pitch < width) {
        texture->Unlock();
        return;
    }
    std::vector<uint32_t> copy(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        const uint32_t* source = pixels + static_cast<size_t>(row) * static_cast<size_t>(pitch);
        std::copy_n(source, width, copy.begin() + static_cast<ptrdiff_t>(row) * width);
    }
    texture->Unlock();
    mMask = std::move(copy);
    mMaskWidth = width;
    mMaskHeight = height;
}

void TButton::SetAction(Action* action) {
    mAction.reset(action);
}

void TButton::SetLabelText(const str& text) {
    if (auto* label = CastTo<TText>(FindChild("label"))) label->SetText(text);
}

str TButton::GetLabelText() {
    auto* label = CastTo<TText>(FindChild("label"));
    return label != nullptr ? label->GetText() : str();
}

bool TButton::IsOutsideMask(const TPoint& point) {
    if (!GetClientRect().Contains(point)) {
        OnMouseLeave();
        return true;
    }
    if (mMask.empty() || mMaskWidth <= 0 || mMaskHeight <= 0) return false;
    int32_t mx = TruncateToInt(static_cast<double>(point.x) * mMaskWidth / GetWidth());
    int32_t my = TruncateToInt(static_cast<double>(point.y) * mMaskHeight / GetHeight());
    if (mx >= 0 && mx < mMaskWidth && my >= 0 && my < mMaskHeight) {
        uint32_t pixel = mMask[static_cast<size_t>(my) * static_cast<size_t>(mMaskWidth) +
                               static_cast<size_t>(mx)];
        uint32_t red = (pixel >> 16) & 0xFFu;
        uint32_t green = (pixel >> 8) & 0xFFu;
        uint32_t blue = pixel & 0xFFu;
        if (red >= kMaskThreshold && green >= kMaskThreshold && blue >= kMaskThreshold)
            return false;
    }
    OnMouseLeave();
    return true;
}

bool TButton::OnActivate() {
    SetState(kNormal);
    return true;
}

void TButton::PostInit(TWindowStyle& style) {
    TLayeredWindow::PostInit(style);
    SetState(kNormal);
}

void TButton::Init(TWindowStyle& style) {
    TLayeredWindow::Init(style);
    str sound = style.GetString("sound", str());
    str rolloverSound = style.GetString("rolloversound", str());
    str mask = style.GetString("mask", str());
    SetType(static_cast<uint32_t>(style.GetInt("type", kPush)));
    float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    uint8_t options = 0;
    if (style.GetBool("sendToParent", false)) options |= kArgSendToParent;
    if (style.GetBool("beginGroup", false)) options |= kArgBeginGroup;
    if (style.GetBool("close", false)) options |= kArgClose;
    if (style.GetBool("default", false)) options |= kArgDefault;
    if (style.GetBool("cancel", false)) options |= kArgCancel;
    // Before the options: a button that begins its group is not yet its start here.
    if (style.GetBool("on", false)) SetToggleState(true);
    SetOptions(options);
    SetSound(sound, 1);
    SetSound(rolloverSound, 2);
    if (mask.Length() != 0) SetMask(TTexture::Get(mask, 0));
    mTooltip = style.GetString("tooltip", str());

    if (std::unique_ptr<TLuaTable> graphics{style.GetTable("graphics")};
        graphics != nullptr && graphics->IsTable()) {
        int count = GetType() == kPush ? kPushImages : kStateImages;
        uint32_t flips = (TableBool(*graphics, "hflip") ? TDrawSpec::kFlipHorizontal : 0u) |
                         (TableBool(*graphics, "vflip") ? TDrawSpec::kFlipVertical : 0u);
        bool rotate = TableBool(*graphics, "rotate");
        TImage* latest = nullptr;
        for (int i = 0; i < count; ++i) {
            str name = graphics->GetStringAt(i + 1, str());
            if (name.Length() != 0) {
                latest = new TImage(true);
                latest->SetTexture(TTexture::Get(name, 0), scale);
                latest->SetName(str::Format("image%d", i));
                latest->SetDrawFlags(flips);
                latest->SetRotated(rotate);
            }
            SelectLayer(i);
            if (latest != nullptr) AddChild(latest, true);
        }
        FitToChildren();
    }
    if (TLuaFunction* command = style.GetFunction("command")) SetAction(new LuaAction(command));
    SelectLayer(kAllLayers);
}

bool TButton::OnMouseDown(const TPoint& point) {
    if (GetState() == kNormal) {
        if (TWindowManager* manager = TWindowManager::Get()) manager->TrackMouse(this);
    }
    SetState(kPressed);
    IsOutsideMask(point);
    return true;
}

bool TButton::OnMouseMove(const TPoint& point) {
    if (IsOutsideMask(point)) return false;
    if (GetState() != kNormal) return true;
    SetState(kRollover);
    if (TWindowManager* manager = TWindowManager::Get()) manager->TrackMouse(this);
    return true;
}

bool TButton::OnMouseUp(const TPoint& point) {
    if (GetState() == kNormal || IsOutsideMask(point)) return true;
    if (GetState() == kPressed && !DoAction()) return true;
    if (!GetInheritedFlag()) {
        OnMouseLeave();
        return true;
    }
    SetState(kRollover);
    return true;
}

bool TButton::OnMouseLeave() {
    if (GetState() != kNormal) {
        if (TWindowManager* manager = TWindowManager::Get()) manager->UntrackMouse(this);
    }
    SetState(kNormal);
    return true;
}

bool TButton::DoAction() {
    OnStateChanged(kActivated, kPressed);
    if (mSounds[1] != nullptr && GetInheritedFlag()) mSounds[1]->Play(false);
    if (!Command()) {
        if (GetType() == kRadio)
            SetToggleState(true);
        else if (GetType() == kToggle)
            Toggle();
        TWindowManager* manager = TWindowManager::Get();
        if (manager != nullptr && GetModalParent() == manager->GetTopModal()) return true;
    }
    OnMouseLeave();
    return false;
}

bool TButton::Command() {
    TWindowManager* manager = TWindowManager::Get();
    if (manager == nullptr) return false;
    TModalWindow* modal = GetModalParent();
    if ((mOptions & kClose) != 0 && modal != nullptr) {
        manager->PostMessage(new TMessage(TMessage::kCloseWindow, modal->GetIdString()));
        if (TWindowScript* script = manager->GetScript())
            script->SetGlobalString("gReturnValue", GetName());
    }
    bool toParent = (mOptions & kSendToParent) != 0;
    auto message = std::make_unique<TMessage>(TMessage::kButtonPress, GetName());
    TModalWindow* top = manager->GetTopModal();
    message->SetTarget(toParent ? (top != nullptr ? top->GetParent() : nullptr) : GetParent());
    if (mAction != nullptr) {
        mAction->Run(this);
        TScreen* screen = manager->GetScreen();
        if (screen == nullptr || !IsWithin(screen)) {
            if (toParent) manager->PostMessage(message.release());
            return true;
        }
    }
    manager->PostMessage(message.release());
    return false;
}
