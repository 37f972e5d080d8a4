// TModalWindow's keys: the hot keys that press a named button, and Enter and Escape, which press
// the dialog's default and cancel buttons.
#include "foundation/log.h"
#include "platform/platformevent.h"
#include "ui/button.h"
#include "ui/hotkeylabel.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"

namespace {

constexpr uint8_t kEnter = 13;
constexpr uint8_t kEscape = 27;

// Finds the default and the cancel button shown in a modal, depth first in child order (newest
// first); a later find replaces an earlier one, and the walk stops once both are known.
class FindDefault : public TWindowSpider {
public:
    bool Visit(TWindow* window) override {
        if (auto* button = TWindow::CastTo<TButton>(window);
            button != nullptr && button->GetInheritedFlag()) {
            if ((button->GetOptions() & TButton::kDefault) != 0) mDefault = button;
            if ((button->GetOptions() & TButton::kCancel) != 0) mCancel = button;
        }
        if (BothKnown()) return false;
        window->ForEachChild(*this);
        return !BothKnown();
    }
    TButton* GetDefault() const { return mDefault; }
    TButton* GetCancel() const { return mCancel; }

private:
    bool BothKnown() const { return mDefault != nullptr && mCancel != nullptr; }

    TButton* mDefault = nullptr;
    TButton* mCancel = nullptr;
};

}  // namespace

void TModalWindow::SetHotKey(const str& key, const str& buttonName) {
    str canonical = NormalizeHotKey(key);
    if (canonical.Length() == 0) return;
    if (buttonName.Length() == 0)
        mHotKeys.erase(canonical);
    else
        mHotKeys[canonical] = buttonName;
}

void TModalWindow::PressHotKeyButton(const str& buttonName) {
    if (auto* button = CastTo<TButton>(FindChild(buttonName)))
        button->DoAction();
    else
        LogPrintf("ERROR: Hot key button not found. Button:'%s'", buttonName.c_str());
}

bool TModalWindow::OnKeyDown(uint8_t key, int modifiers) {
    str text;
    if ((modifiers & kKeyModShift) != 0) text += "shift-";
    if ((modifiers & kKeyModCtrl) != 0) text += "ctrl-";
    if ((modifiers & kKeyModAlt) != 0) text += "alt-";
    text += static_cast<char>(key);
    auto found = mHotKeys.find(NormalizeHotKey(text));
    if (found == mHotKeys.end()) found = mHotKeys.find(str("@") + static_cast<char>(key));
    if (found == mHotKeys.end()) return false;
    // A copy: the press may change the map.
    str buttonName = found->second;
    PressHotKeyButton(buttonName);
    return true;
}

bool TModalWindow::OnChar(uint8_t ch) {
    if (ch != kEnter && ch != kEscape) return false;
    FindDefault finder;
    ForEachChild(finder);
    TButton* button = ch == kEnter ? finder.GetDefault() : finder.GetCancel();
    if (button != nullptr && button->Command()) return true;
    TWindowManager* manager = TWindowManager::Get();
    TWindow* focus = manager != nullptr ? manager->GetFocusWindow() : nullptr;
    (focus != nullptr ? focus : this)->SendMessage(new TMessage(TMessage::kDefaultAction, str()));
    return true;
}
