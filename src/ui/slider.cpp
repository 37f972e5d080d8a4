#include "ui/slider.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "foundation/saturate.h"
#include "math/vec2.h"
#include "platform/draw/quadvertices.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "platform/texture/texture.h"
#include "ui/image.h"
#include "ui/message.h"
#include "ui/windowmanager.h"
#include "ui/windowstyle.h"

namespace {

// A texture by name with load options 0; an empty name gives no texture.
std::shared_ptr<TTexture> LoadTexture(const str& name) {
    return name.Length() != 0 ? TTexture::Get(name, 0) : nullptr;
}

int TextureHeight(const std::shared_ptr<TTexture>& texture) {
    return texture != nullptr ? texture->GetHeight() : 0;
}

}  // namespace

TSlider::TSlider() : mThumb(new TImage(true)) {}

TSlider::~TSlider() {
    // A thumb that never joined is the slider's alone; a child goes with the window tree.
    TWindow* thumb = mThumb.Get();
    if (thumb != nullptr && thumb->GetParent() == nullptr) delete thumb;
}

void* TSlider::Create() {
    return static_cast<TWindow*>(new TSlider);
}

TImage* TSlider::GetThumb() const {
    return static_cast<TImage*>(mThumb.Get());
}

void TSlider::SendUp(int32_t type) {
    if (TWindow* parent = GetParent()) parent->SendMessage(new TMessage(type, GetName()));
}

void TSlider::SetValue(float value, bool silent) {
    // NaN fails both comparisons' true sides and gives 0.
    mValue = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
    PositionThumb();
    if (!silent) SendUp(TMessage::kSliderValChanged);
}

void TSlider::SetRailTextures(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                              std::shared_ptr<TTexture> bottom) {
    mRailTop = std::move(top);
    mRailMiddle = std::move(middle);
    mRailBottom = std::move(bottom);
}

void TSlider::AdoptThumb() {
    TImage* thumb = GetThumb();
    if (thumb != nullptr && thumb->GetParent() == nullptr) AddChild(thumb, true);
}

void TSlider::SetThumbTextures(std::shared_ptr<TTexture> normal,
                               std::shared_ptr<TTexture> rollover) {
    mThumbNormal = std::move(normal);
    mThumbRollover = std::move(rollover);
    if (TImage* thumb = GetThumb()) thumb->SetTexture(mThumbNormal, mScale);
    AdoptThumb();
    UpdateThickness();
}

void TSlider::PositionThumb() {
    TImage* thumb = GetThumb();
    if (thumb == nullptr) return;
    if (mHorizontal) {
        double room = static_cast<double>(GetWidth()) - thumb->GetWidth();
        thumb->MoveTo(TruncateToInt(mValue * room), mYOffset);
    } else {
        double room = static_cast<double>(GetHeight()) - thumb->GetHeight();
        thumb->MoveTo(mYOffset, TruncateToInt(mValue * room));
    }
}

void TSlider::UpdateThickness() {
    int widest = 0;
    for (const std::shared_ptr<TTexture>* rail : {&mRailTop, &mRailMiddle, &mRailBottom}) {
        if (*rail != nullptr) widest = std::max(widest, (*rail)->GetWidth());
    }
    int32_t thickness = TruncateToInt(static_cast<double>(widest) * mScale);
    if (TImage* thumb = GetThumb()) {
        int64_t across = mHorizontal ? thumb->GetHeight() : thumb->GetWidth();
        thickness = std::max(thickness, SaturateToInt(std::abs(int64_t{mYOffset}) + across));
    }
    mThickness = thickness;
    if (mHorizontal)
        SetSize(GetWidth(), mThickness);
    else
        SetSize(mThickness, GetHeight());
}

void TSlider::Init(TWindowStyle& style) {
    TWindow::Init(style);
    if (mInitialised) return;
    mInitialised = true;

    int width = style.GetInt("w", 0);
    int height = style.GetInt("h", 0);
    if (style.GetNumber("hslider", -1.0) >= 0.0)
        mHorizontal = style.GetBool("hslider", false);
    else
        mHorizontal = width > height;
    str railTop = style.GetString("railtop", str());
    str railMiddle = style.GetString("railmid", str());
    str railBottom = style.GetString("railbot", str());
    str thumbImage = style.GetString("sliderimage", str());
    str thumbRollover = style.GetString("sliderrollimage", str());
    str name = style.GetString("name", str());
    float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    mYOffset = style.GetInt("yoffset", 0);
    float value = static_cast<float>(style.GetNumber("value", 0.0));

    SetValue(value, true);
    std::shared_ptr<TTexture> normal = LoadTexture(thumbImage);
    std::shared_ptr<TTexture> rollover = LoadTexture(thumbRollover);
    SetName(name);
    mScale = scale;
    SetRailTextures(LoadTexture(railTop), LoadTexture(railMiddle), LoadTexture(railBottom));
    SetThumbTextures(std::move(normal), std::move(rollover));
    PositionThumb();
}

int TSlider::DrawRailPiece(const std::shared_ptr<TTexture>& texture, int offset, bool stretch) {
    if (texture == nullptr) return 0;
    int allocatedWidth = 0;
    int allocatedHeight = 0;
    texture->GetAllocatedSize(&allocatedWidth, &allocatedHeight);
    // A texture without a surface has nothing to draw (and no size to divide by).
    if (allocatedWidth <= 0 || allocatedHeight <= 0) return 0;

    int64_t railLength = mHorizontal ? GetWidth() : GetHeight();
    int64_t across = mHorizontal ? GetHeight() : GetWidth();
    int textureWidth = texture->GetWidth();
    int64_t length = texture->GetHeight();
    if (stretch) {
        length =
            std::max<int64_t>(0, railLength - TextureHeight(mRailTop) - TextureHeight(mRailBottom));
    }
    float near = static_cast<float>((across - textureWidth) / 2);
    float far = near + static_cast<float>(textureWidth);
    float start = static_cast<float>(offset);
    float end = static_cast<float>(offset + length);

    // Corner i takes the texture's (left, top), (right, top), (right, bottom), (left, bottom).
    // Vertical: the texture stands upright. Horizontal: turned a quarter, its top along the
    // rail's left end and its left edge along the rail's bottom.
    TVec2 corners[4];
    if (mHorizontal) {
        corners[0] = TVec2(start, far);
        corners[1] = TVec2(start, near);
        corners[2] = TVec2(end, near);
        corners[3] = TVec2(end, far);
    } else {
        corners[0] = TVec2(near, start);
        corners[1] = TVec2(far, start);
        corners[2] = TVec2(far, end);
        corners[3] = TVec2(near, end);
    }
    const TVec2 textureCoords[2] = {
        TVec2(0.0f, 0.0f),
        TVec2(static_cast<float>(textureWidth) / static_cast<float>(allocatedWidth),
              static_cast<float>(texture->GetHeight()) / static_cast<float>(allocatedHeight))};
    TLVertex vertices[4];
    BuildQuadVertices(TVec2(), vertices, corners, textureCoords, TMat3(), mRailAlpha, 1.0f, 1.0f,
                      1.0f);
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetTexture(texture);
    TVertexBatch batch = TVertexBatch::Kind2(vertices, 4);
    renderer->DrawVertices(TRenderer::kTriangleFan, &batch);
    return SaturateToInt(length);
}

void TSlider::Draw() {
    TRenderer* renderer = TRenderer::GetInstance();
    bool entered = !renderer->IsIn2d();
    if (entered && !renderer->Begin2d()) return;
    renderer->SetCullMode(1);
    renderer->DrawTexturedQuad(0);
    int64_t offset = DrawRailPiece(mRailTop, 0, false);
    offset += DrawRailPiece(mRailMiddle, SaturateToInt(offset), true);
    DrawRailPiece(mRailBottom, SaturateToInt(offset), false);
    if (entered) renderer->End2d();
}

void TSlider::ShowThumbTexture(const std::shared_ptr<TTexture>& texture) {
    if (TImage* thumb = GetThumb()) thumb->SetTexture(texture, mScale);
}

bool TSlider::OnMouseDown(const TPoint& point) {
    TImage* thumb = GetThumb();
    if (thumb == nullptr) return false;
    TRect thumbRect = thumb->GetRect();
    if (thumbRect.Contains(point)) {
        mDragState = 1;
        if (TWindowManager* manager = TWindowManager::Get()) manager->TrackMouse(this);
        return true;
    }
    bool before = mHorizontal ? point.x < thumbRect.left : point.y < thumbRect.top;
    SendUp(before ? TMessage::kSliderPageUp : TMessage::kSliderPageDown);
    return true;
}

bool TSlider::OnMouseMove(const TPoint& point) {
    TImage* thumb = GetThumb();
    bool onThumb = thumb != nullptr && thumb->GetRect().Contains(point);
    ShowThumbTexture(onThumb || IsDragging() ? mThumbRollover : mThumbNormal);
    TWindowManager* manager = TWindowManager::Get();
    if (!GetClientRect().Contains(point) && !IsDragging()) {
        if (manager != nullptr) manager->UntrackMouse(this);
        ShowThumbTexture(mThumbNormal);
    } else if (manager != nullptr) {
        manager->TrackMouse(this);
    }
    if (!IsDragging()) return false;
    // The pointer's place along the rail in the slider's own coordinates, so that the far edge
    // gives 1; a rail of no length gives 0.
    int extent = mHorizontal ? GetWidth() : GetHeight();
    int along = mHorizontal ? point.x : point.y;
    SetValue(extent > 0 ? static_cast<float>(static_cast<double>(along) / extent) : 0.0f, false);
    return true;
}

bool TSlider::OnMouseUp(const TPoint& point) {
    if (!IsDragging()) return false;
    mDragState = 0;
    TImage* thumb = GetThumb();
    bool onThumb = thumb != nullptr && thumb->GetRect().Contains(point);
    ShowThumbTexture(onThumb ? mThumbRollover : mThumbNormal);
    if (!GetClientRect().Contains(point)) {
        if (TWindowManager* manager = TWindowManager::Get()) manager->UntrackMouse(this);
        ShowThumbTexture(mThumbNormal);
    }
    SendUp(TMessage::kSliderMouseUp);
    return true;
}

bool TSlider::OnMouseLeave() {
    if (IsDragging()) return true;
    ShowThumbTexture(mThumbNormal);
    if (TWindowManager* manager = TWindowManager::Get()) manager->UntrackMouse(this);
    return true;
}
