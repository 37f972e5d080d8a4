#include "ui/textedit.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "foundation/utf8.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/text/textlayout.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"
#include "ui/windowstyle.h"

namespace {

constexpr const char* kFallbackFont = "fonts/default.mvec";
constexpr int kControl = 2;
constexpr int kAlt = 4;
constexpr int kExtended = 8;

std::string_view View(const str& text) {
    return {text.c_str(), text.Length()};
}

// The layout reads markup: "\" and "<" of what was typed are made literal.
void AppendLiteral(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\' || c == '<') out += '\\';
        out += c;
    }
}

// Removes every occurrence of each character (UTF-8 sequence) of the set from the text.
void RemoveCharacters(std::string& text, std::string_view set) {
    for (size_t at = 0; at < set.size();) {
        size_t length = std::max<size_t>(1, Utf8CharOffset(set.substr(at), 1));
        std::string_view character = set.substr(at, length);
        for (size_t found = text.find(character); found != std::string::npos;
             found = text.find(character, found))
            text.erase(found, character.size());
        at += length;
    }
}

}  // namespace

// Finds the first other field of the modal that is in a group, depth first.
class TTextEdit::TTextSpider : public TWindowSpider {
public:
    explicit TTextSpider(TTextEdit* edit) : mEdit(edit) {}
    bool Visit(TWindow* window) override {
        auto* other = TWindow::CastTo<TTextEdit>(window);
        if (other != nullptr && other != mEdit && other->mGroup != nullptr) {
            found = other;
            return false;
        }
        window->ForEachChild(*this);
        return found == nullptr;
    }

    TTextEdit* found = nullptr;

private:
    TTextEdit* mEdit;
};

TTextEdit::TTextEdit() : TText(false) {
    SetRawFlags(GetFlags() | kFocusable);
    mBlinkClock.Reset();
    mBlinkClock.Start();
}

TTextEdit::~TTextEdit() {
    LeaveGroup();
}

void* TTextEdit::Create() {
    return static_cast<TWindow*>(new TTextEdit);
}

bool TTextEdit::OnActivate() {
    JoinGroup();
    return true;
}

void TTextEdit::Init(TWindowStyle& style) {
    JoinGroup();
    bool password = style.GetBool("password", false);
    int32_t length = style.GetInt("length", 10);
    str ignore = style.GetString("ignore", str());
    SetUtf8(style.GetBool("utf8", false));
    // The initial text is the field's own, never a string-table label.
    TWindowManager* manager = TWindowManager::Get();
    bool scriptUtf8 = manager != nullptr && manager->SetScriptUtf8(false);
    if (password) SetPassword(true);
    TText::Init(style);
    if (manager != nullptr) manager->SetScriptUtf8(scriptUtf8);
    SetMaxLength(length);
    SetIgnore(ignore);
}

void TTextEdit::Draw() {
    JoinGroup();
    TText::Draw();
}

bool TTextEdit::OnTimer() {
    UpdateDisplay();
    return true;
}

void TTextEdit::SetText(str text) {
    mEditText = text;
    mCaret = mEditText.Length();
    UpdateDisplay();
}

str TTextEdit::GetText() {
    return mEditText;
}

void TTextEdit::SetPassword(bool password) {
    mPassword = password;
    UpdateDisplay();
}

void TTextEdit::UpdateDisplay() {
    TWindowManager* manager = TWindowManager::Get();
    bool focused = manager != nullptr && manager->GetFocusWindow() == this;
    std::string shown =
        mPassword ? std::string(mEditText.Length(), '*') : std::string(View(mEditText));
    std::string display;
    bool caretShown = focused && mBlinkClock.GetTime() % kBlinkPeriod > kBlinkDark;
    if (focused && caretShown != mCaretShown) {
        mCaretShown = caretShown;
        manager->MarkDirty();
    }
    if (caretShown) {
        size_t caret = std::min<size_t>(mCaret, shown.size());
        AppendLiteral(display, std::string_view(shown).substr(0, caret));
        if (mEditable) display += "<cursor>";
        AppendLiteral(display, std::string_view(shown).substr(caret));
    } else {
        AppendLiteral(display, shown);
    }
    TText::SetText(str(display.c_str(), static_cast<int>(display.size())));
}

void TTextEdit::JoinGroup() {
    if (mGroup != nullptr) return;
    TModalWindow* modal = GetModalParent();
    if (modal == nullptr) return;
    SetTimer(kRefreshInterval, true, true, false);
    TTextSpider spider(this);
    modal->ForEachChild(spider);
    if (spider.found != nullptr) {
        mGroup = spider.found->mGroup;
        mGroup->push_back(this);
    } else {
        mGroup = std::make_shared<std::vector<TTextEdit*>>(1, this);
    }
}

void TTextEdit::LeaveGroup() {
    if (mGroup != nullptr) {
        mGroup->erase(std::remove(mGroup->begin(), mGroup->end(), this), mGroup->end());
        mGroup.reset();
    }
    ReleaseTimer();
}

void TTextEdit::FocusNextInGroup() {
    if (mGroup == nullptr) return;
    auto self = std::find(mGroup->begin(), mGroup->end(), this);
    if (self == mGroup->end()) return;
    ++self;
    TTextEdit* next = self != mGroup->end() ? *self : mGroup->front();
    if (TWindowManager* manager = TWindowManager::Get()) manager->SetFocusWindow(next);
}

bool TTextEdit::CanEdit(int operation, uint8_t ch) {
    switch (operation) {
        case kInsert:
            if (mUtf8 || static_cast<int64_t>(mEditText.Length()) + 1 < mMaxLength) return true;
            CanEdit(kRefused, ch);
            return false;
        case kMove:
        case kPaste:
            return true;
        default:
            return false;
    }
}

bool TTextEdit::CanEditChar(int operation, uint32_t codePoint) {
    bool refused = false;
    if (operation == kInsert) {
        if (mUtf8 && static_cast<int64_t>(Utf8CharCount(View(mEditText))) >= mMaxLength)
            refused = true;
        TTextLayout* layout = GetLayout();
        TVecFont* font = layout != nullptr ? GetVecFont(layout->GetFontName()) : nullptr;
        if (!refused && font != nullptr && font->FindGlyph(codePoint) < 0) {
            TVecFont* fallback = GetVecFont(kFallbackFont);
            refused = fallback == nullptr || fallback->FindGlyph(codePoint) < 0;
        }
    }
    if (refused) {
        if (codePoint < 128)
            CanEdit(kRefused, static_cast<uint8_t>(codePoint));
        else
            CanEditChar(kRefused, codePoint);
        return false;
    }
    return CanEdit(operation, codePoint < 128 ? static_cast<uint8_t>(codePoint) : ' ');
}

bool TTextEdit::AskCanEditChar(int operation, const str& utf8) {
    return CanEditChar(operation, Utf8Decode(utf8.c_str()));
}

void TTextEdit::PostChanged() {
    if (TWindowManager* manager = TWindowManager::Get())
        manager->PostMessage(new TMessage(TMessage::kTextEditChanged, GetName()));
}

bool TTextEdit::OnChar(uint8_t ch) {
    return OnTextInput(str(reinterpret_cast<const char*>(&ch), 1));
}

bool TTextEdit::OnTextInput(str utf8) {
    if (!mEditable) return false;
    auto c = static_cast<unsigned char>(utf8.GetAt(0));
    if (c == 8) {
        if (mCaret > 0) {
            if (!CanEdit(kMove, c)) return false;
            DeleteBackward();
        } else if (!AskCanEditChar(kRefused, utf8)) {
            return false;
        }
    } else if (c == 9) {
        if (!CanEditChar(kTab, 9)) {
            FocusNextInGroup();
            return false;
        }
    } else if (c == 13) {
        if (!CanEditChar(kEnter, 13)) return false;
    } else if (c < 32) {
        return false;
    } else if (c >= 128 && !mPassword && !mUtf8) {
        return false;
    } else if (mIgnore.Find(utf8) == str::npos) {
        if (!AskCanEditChar(kInsert, utf8)) return false;
        std::string text(View(mEditText));
        text.insert(mCaret, utf8.c_str(), utf8.Length());
        mEditText = str(text.c_str(), static_cast<int>(text.size()));
        mCaret += utf8.Length();
        UpdateDisplay();
    }
    PostChanged();
    return true;
}

void TTextEdit::DeleteBackward() {
    auto length = static_cast<uint32_t>(Utf8PrevCharLength(View(mEditText), mCaret));
    length = std::min(length, mCaret);
    mEditText.Erase(mCaret - length, length);
    mCaret -= length;
    UpdateDisplay();
}

uint32_t TTextEdit::CharLengthAtCaret() const {
    auto length = static_cast<uint32_t>(
        Utf8SequenceLength(static_cast<unsigned char>(mEditText.GetAt(mCaret))));
    // A broken sequence at the end is cut by the end.
    return std::clamp<uint32_t>(length, 1, mEditText.Length() - mCaret);
}

bool TTextEdit::OnKeyDown(uint8_t key, int modifiers) {
    JoinGroup();
    bool consumed = (modifiers & (kControl | kAlt | kExtended)) == 0;
    switch (key) {
        case kKeyLeft:
            if (mCaret == 0) {
                CanEdit(kRefused, key);
                return true;
            }
            if (!CanEdit(kMove, key)) return consumed;
            mCaret -= std::min<uint32_t>(
                static_cast<uint32_t>(Utf8PrevCharLength(View(mEditText), mCaret)), mCaret);
            UpdateDisplay();
            return true;
        case kKeyRight:
            if (mCaret >= mEditText.Length()) {
                CanEdit(kRefused, key);
                return true;
            }
            if (!CanEdit(kMove, key)) return consumed;
            mCaret += CharLengthAtCaret();
            UpdateDisplay();
            return true;
        case kKeyDelete:
            if (mCaret < mEditText.Length()) {
                mEditText.Erase(mCaret, CharLengthAtCaret());
                UpdateDisplay();
            } else {
                CanEdit(kRefused, key);
            }
            return true;
        default:
            break;
    }
    if (key > 'Z' && key < 128) return false;
    if ((key == 'V' && (modifiers & kControl) != 0) || key == kKeyInsert) {
        if (CanEditChar(kPaste, 0) && Paste()) return true;
    }
    return consumed;
}

bool TTextEdit::Paste() {
    TPlatform* application = TPlatform::GetInstance();
    str clipboard = application != nullptr ? application->GetClipboardText() : str();
    if (clipboard.Length() == 0) return false;
    if (!mUtf8 && !IsSingleByteText(View(clipboard))) return false;
    std::string text(View(clipboard));
    text.resize(Utf8CharOffset(text, static_cast<size_t>(std::max(mMaxLength, 0))));
    RemoveCharacters(text, View(mIgnore));
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return static_cast<unsigned char>(c) < 32; }),
               text.end());
    SetText(str());
    if (!text.empty()) {
        CanEditChar(kInsert, ' ');
        SetText(str(text.c_str(), static_cast<int>(text.size())));
    }
    return true;
}
