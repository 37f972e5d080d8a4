#include "ui/text.h"

#include <memory>

#include "foundation/log.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/saturate.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "script/luatable.h"
#include "ui/button.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowstyle.h"

namespace {

const float kDefaultColor[4] = {0.0f, 1.0f, 0.0f, 1.0f};

void MarkDirty() {
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}

bool IsNumberText(const str& text) {
    for (size_t i = 0; i < text.Length(); ++i) {
        char c = text.GetAt(i);
        if ((c < '0' || c > '9') && c != '.') return false;
    }
    return true;
}

// In the script's UTF-8 mode a label is a string-table label, unless "#" makes it literal or it
// is a number; outside it every label is shown as it is.
str ResolveLabel(const str& label) {
    TWindowManager* manager = TWindowManager::Get();
    if (label.Length() == 0 || manager == nullptr || !manager->IsScriptUtf8()) return label;
    if (label.GetAt(0) == '#') return label.Substring(1);
    if (IsNumberText(label)) return label;
    TPlatform* application = TPlatform::GetInstance();
    TStringTable* table = application != nullptr ? application->GetStringTable() : nullptr;
    return table != nullptr ? table->GetString(label) : label;
}

}  // namespace

TText::TText(bool firstPass) {
    if (firstPass) SetRawFlags(GetFlags() | kDrawInPass1);
}

TText::~TText() {
    TTextLayout::Delete(mLayout);
}

void* TText::Create() {
    return static_cast<TWindow*>(new TText(false));
}

void TText::Init(TWindowStyle& style) {
    str face = "__DEFAULT";
    int32_t size = 16;
    float color[4] = {kDefaultColor[0], kDefaultColor[1], kDefaultColor[2], kDefaultColor[3]};
    if (std::unique_ptr<TLuaTable> font{style.GetTable("font")}) {
        face = font->GetStringAt(1, face);
        size = TruncateToInt(font->GetNumberAt(2, size));
        TVec4 rgba = font->GetColor(3, TVec4{color[0], color[1], color[2], color[3]});
        color[0] = rgba.x;
        color[1] = rgba.y;
        color[2] = rgba.z;
        color[3] = rgba.w;
    }
    if (size == 0) size = 12;
    str name = style.GetString("name", str());
    str label = ResolveLabel(style.GetString("label", str()));
    int32_t defFlags = style.GetInt("defflags", 0);
    auto flags = static_cast<uint32_t>(style.GetInt("flags", defFlags));
    int32_t padding = style.GetInt("padding", 0);
    auto rotation = static_cast<float>(style.GetNumber("rotation", 0.0));
    int32_t originX = style.GetInt("rotationOriginX", 0);
    int32_t originY = style.GetInt("rotationOriginY", 0);
    int32_t rotationAlign = style.GetInt("rotationAlign", 0);

    TWindow::Init(style);
    if (GetWidth() == 0 || GetHeight() == 0) {
        LogPrintf("ERROR: Attempting to create text window of size(0,0): named '%s', label '%s'",
                  name.c_str(), label.c_str());
        return;
    }
    mPadding = padding;
    CreateLayout(label, GetWidth(), GetHeight(), flags, face, size, color);
    if (rotation != 0.0f) {
        int width = GetWidth();
        int height = GetHeight();
        ResolveCoordinate(originX, width, rotationAlign, false);
        ResolveCoordinate(originY, height, rotationAlign, true);
        SetRotation(rotation, originX, originY);
    }
}

bool TText::CreateLayout(const str& text, int32_t width, int32_t height, uint32_t flags,
                         const str& fontName, int32_t fontSize, const float* color) {
    if (width == 0 || height == 0) return false;
    TTextLayout::Delete(mLayout);
    mLayout = TTextLayout::Create(text, width, height, flags, fontName.c_str(), fontSize, color);
    SetSize(width, height);
    SetText(text);
    return true;
}

void TText::SetText(str text) {
    if (mLayout == nullptr) return;
    str old = mLayout->GetText();
    if (text == old) return;
    if (old.Length() != 0) MarkDirty();
    mLayout->SetText(text);
}

str TText::GetText() {
    return mLayout != nullptr ? mLayout->GetText() : str();
}

void TText::SetRotation(float degrees, int32_t originX, int32_t originY) {
    if (mLayout != nullptr) mLayout->SetRotation(degrees, originX, originY);
}

void TText::GetTextBounds(TRect& bounds) const {
    if (mLayout == nullptr) {
        bounds = TRect{};
        return;
    }
    mLayout->GetBounds(bounds, 1.0f);
}

void TText::Draw() {
    if (mLayout == nullptr) return;
    TRenderer* renderer = TRenderer::GetInstance();
    if (renderer == nullptr) return;
    renderer->Begin2d();
    DrawStringAt(mLayout, GetClientRect(), mScale, static_cast<uint32_t>(mPadding), mAlpha);
    renderer->End2d();
}

void TText::SetScroll(float fraction, uint32_t /*unused*/) {
    if (mLayout == nullptr) return;
    int overflow = mLayout->GetOverflowLines(mScale, mPadding);
    float lines = (mScrollBias + static_cast<float>(overflow)) * fraction;
    if (lines == static_cast<float>(mLayout->GetLineCount())) return;
    mLayout->SetScroll(lines);
    MarkDirty();
}

bool TText::OnMouseDown(const TPoint& point) {
    if (mLayout == nullptr) return false;
    mCommand = mLayout->GetLinkAt(point, mPadding);
    return mCommand.Length() != 0;
}

bool TText::OnMouseUp(const TPoint& point) {
    if (mCommand.Length() == 0) return false;
    if (mLayout != nullptr && mLayout->GetLinkAt(point, mPadding) == mCommand) PressCommand();
    mCommand = str();
    return true;
}

void TText::PressCommand() {
    // A text under no modal (or already detached) has nowhere to look.
    TModalWindow* modal = GetModalParent();
    TWindow* target = modal != nullptr ? modal->FindChild(mCommand) : nullptr;
    if (target == nullptr) {
        LogPrintf("ERROR: Command window %s not found", mCommand.c_str());
        return;
    }
    // Buttons are the only windows a link presses, as a click does but without the click sound.
    if (auto* button = CastTo<TButton>(target))
        button->Command();
    else
        LogPrintf("ERROR: Command window %s not a derived class of TButton", mCommand.c_str());
}

bool TText::OnMouseMove(const TPoint& point) {
    if (mLayout == nullptr) return false;
    if (!mLayout->SetHoverPoint(&point, mPadding)) return false;
    if (TWindowManager* manager = TWindowManager::Get()) {
        manager->MarkDirty();
        manager->TrackMouse(this);
    }
    return true;
}

bool TText::OnMouseLeave() {
    if (mLayout != nullptr) {
        mLayout->SetHoverPoint(nullptr, mPadding);
        MarkDirty();
    }
    if (TWindowManager* manager = TWindowManager::Get()) manager->UntrackMouse(this);
    return true;
}
