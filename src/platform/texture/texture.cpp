#include "platform/texture/texture.h"

#include <cinttypes>
#include <utility>

#include "foundation/assetmanager.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/quadvertices.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "platform/texture/texturedata.h"
#include "platform/texture/texturedatasource.h"

TTexture::TTexture() : mData(CreateTextureData()) {}

TTexture::~TTexture() {
    TAssetManager* manager = GetAssetManager();
    if (mData != nullptr && mData->GetImageName().Length() == 0 && manager != nullptr)
        manager->RemoveAsset(MakeCreatedKey(this));
}

void TTexture::Release() {
    if (mData != nullptr) mData->Release();
}

void TTexture::Restore() {
    if (mData != nullptr) mData->Restore();
}

[[gnu::hot]] void TTexture::Draw(const TDrawSpec& spec) {
    TRenderer* renderer = TRenderer::GetInstance();
    if (mData == nullptr || !renderer->IsIn2d() || IsSimple()) return;

    TRect source = (spec.mFlags & TDrawSpec::kUseSourceRect) != 0
                       ? spec.mSourceRect
                       : TRect{0, 0, GetWidth(), GetHeight()};
    // In 64 bits: a rectangle from a script may span the whole int range.
    float w = static_cast<float>(static_cast<int64_t>(source.right) - source.left);
    float h = static_cast<float>(static_cast<int64_t>(source.bottom) - source.top);
    // Without the offset the quad is centred on the transform's origin.
    TVec2 origin =
        (spec.mFlags & TDrawSpec::kUseOffset) != 0 ? -spec.mOffset : TVec2(-w * 0.5f, -h * 0.5f);
    TVec2 corners[4] = {origin, origin + TVec2(w, 0.0f), origin + TVec2(w, h),
                        origin + TVec2(0.0f, h)};
    if ((spec.mFlags & TDrawSpec::kFlipVertical) != 0) {
        std::swap(corners[0].y, corners[2].y);
        std::swap(corners[1].y, corners[3].y);
    }
    if ((spec.mFlags & TDrawSpec::kFlipHorizontal) != 0) {
        std::swap(corners[0].x, corners[1].x);
        std::swap(corners[2].x, corners[3].x);
    }

    // A texture without a surface has no size to divide by; its coordinates stay 0.
    float surfaceWidth = static_cast<float>(mData->GetSurfaceWidth());
    float surfaceHeight = static_cast<float>(mData->GetSurfaceHeight());
    auto u = [&](int x) {
        return surfaceWidth > 0.0f ? static_cast<float>(x) / surfaceWidth : 0.0f;
    };
    auto v = [&](int y) {
        return surfaceHeight > 0.0f ? static_cast<float>(y) / surfaceHeight : 0.0f;
    };
    const TVec2 textureCoords[2] = {TVec2(u(source.left), v(source.top)),
                                    TVec2(u(source.right), v(source.bottom))};

    TLVertex vertices[4];
    BuildQuadVertices(TVec2(), vertices, corners, textureCoords, spec.mTransform, spec.mOpacity,
                      spec.mColor.x, spec.mColor.y, spec.mColor.z);
    renderer->SetTexture(GetShared());
    if (spec.mBlendMode != TDrawSpec::kKeepBlendMode) renderer->SetBlendMode(spec.mBlendMode);
    TVertexBatch batch = TVertexBatch::Kind2(vertices, 4);
    renderer->DrawVertices(TRenderer::kTriangleFan, &batch);
}

void TTexture::DrawAt(float x, float y, float opacity, float scale, float rotation,
                      uint32_t flags) {
    if (mData == nullptr || !TRenderer::GetInstance()->IsIn2d()) return;
    TDrawSpec spec(x, y, opacity, scale, flags);
    spec.mTransform.Rotate(rotation);
    Draw(spec);
}

void TTexture::CopyRectTo(int x, int y, const TRect* source, std::shared_ptr<TTexture> target) {
    if (mData == nullptr || TRenderer::GetInstance()->IsDrawing()) return;
    if (source == nullptr) {
        mData->CopyRect(x, y, nullptr, target);
        return;
    }
    // Clipped as signed numbers: a rectangle wholly outside the image copies nothing.
    TRect clipped = *source;
    int width = GetWidth();
    int height = GetHeight();
    if (clipped.left < 0) clipped.left = 0;
    if (clipped.top < 0) clipped.top = 0;
    if (clipped.right > width) clipped.right = width;
    if (clipped.bottom > height) clipped.bottom = height;
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return;
    mData->CopyRect(x, y, &clipped, target);
}

int TTexture::GetWidth() const {
    return mData != nullptr ? static_cast<int>(mData->GetWidth()) : 0;
}

int TTexture::GetHeight() const {
    return mData != nullptr ? static_cast<int>(mData->GetHeight()) : 0;
}

std::shared_ptr<TTexture> TTexture::Get(const str& name, int flags) {
    str key = MakeKey(name, (flags & kGetAlpha) != 0, (flags & kGetMipmap) != 0, false);
    if (std::shared_ptr<TTexture> cached = FindCached(key)) return cached;
    std::shared_ptr<TTexture> texture = CreateRegistered(key);
    TTextureData* data = texture->mData.get();
    uint8_t dataFlags = data->GetFlags();
    if ((flags & kGetAlpha) != 0)
        dataFlags |= TTextureData::kHasAlpha;
    else if ((flags & kGetNoAlpha) != 0)
        dataFlags &= ~TTextureData::kHasAlpha;
    else
        dataFlags |= TTextureData::kAlphaFromImage;
    if ((flags & kGetMipmap) != 0) dataFlags |= TTextureData::kMipmaps;
    data->SetFlags(dataFlags);
    if (!data->Load(name.c_str(), nullptr)) return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::GetWithMask(const str& name, const str& maskName, int flags) {
    str key = MakeMaskKey(name, maskName, (flags & kGetMipmap) != 0, false);
    if (std::shared_ptr<TTexture> cached = FindCached(key)) return cached;
    std::shared_ptr<TTexture> texture = CreateRegistered(key);
    TTextureData* data = texture->mData.get();
    uint8_t dataFlags = data->GetFlags() | TTextureData::kHasAlpha;
    if ((flags & kGetMipmap) != 0) dataFlags |= TTextureData::kMipmaps;
    data->SetFlags(dataFlags);
    if (!data->Load(name.c_str(), maskName.c_str())) return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::GetCursorTexture(const str& name) {
    str key = MakeKey(name, false, false, true);
    if (std::shared_ptr<TTexture> cached = FindCached(key)) return cached;
    std::shared_ptr<TTexture> texture = CreateRegistered(key);
    TTextureData* data = texture->mData.get();
    data->SetFlags(data->GetFlags() | TTextureData::kSimple | TTextureData::kAlphaFromImage);
    if (!data->Load(name.c_str(), nullptr)) return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::Create(int width, int height, bool alpha) {
    std::shared_ptr<TTexture> texture = CreateRegistered("");
    TTextureData* data = texture->mData.get();
    uint8_t dataFlags = data->GetFlags() | TTextureData::kCreated;
    dataFlags =
        alpha ? (dataFlags | TTextureData::kHasAlpha) : (dataFlags & ~TTextureData::kHasAlpha);
    data->SetFlags(dataFlags);
    if (!data->CreateSurface(width, height, true)) return nullptr;
    return texture;
}

str TTexture::MakeKey(const str& name, bool alpha, bool mipmap, bool simple) {
    str key = name;
    key.Replace("\\", "/", str::kAllOccurrences);
    if (alpha) key += ":a";
    if (mipmap) key += ":m";
    if (simple) key += ":s";
    return key + ":tex";
}

str TTexture::MakeMaskKey(const str& name, const str& maskName, bool mipmap, bool simple) {
    str key = name + ":" + maskName;
    if (mipmap) key += ":m";
    if (simple) key += ":s";
    return key + ":tex";
}

str TTexture::MakeCreatedKey(const TTexture* texture) {
    return str::Format("%" PRIxPTR ":tex:r", reinterpret_cast<uintptr_t>(texture));
}

std::shared_ptr<TTexture> TTexture::FindCached(const str& key) {
    TAssetManager* manager = GetAssetManager();
    if (manager == nullptr) return nullptr;
    return AssetCast<TTexture>(manager->FindAsset(key));
}

std::shared_ptr<TTexture> TTexture::CreateRegistered(const str& key) {
    std::shared_ptr<TTexture> texture = std::make_shared<TTexture>();
    TAssetManager* manager = GetAssetManager();
    if (manager != nullptr)
        manager->AddAsset(key.Length() != 0 ? key : MakeCreatedKey(texture.get()), texture);
    return texture;
}

[[gnu::hot]] std::shared_ptr<TTexture> TTexture::GetShared() {
    // Every sprite drawn asks for this: shared_from_this takes the reference in one atomic step.
    // It throws only for a texture that no shared pointer owns, or owns any longer.
    try {
        return std::static_pointer_cast<TTexture>(shared_from_this());
    } catch (const std::bad_weak_ptr&) {
        return nullptr;
    }
}

bool TTexture::HasAlpha() const {
    return mData != nullptr && (mData->GetFlags() & TTextureData::kHasAlpha) != 0;
}

[[gnu::hot]] bool TTexture::IsSimple() const {
    return mData != nullptr && (mData->GetFlags() & TTextureData::kSimple) != 0;
}

bool TTexture::Lock(uint32_t** pixels, int* pitch) {
    return mData != nullptr && mData->Lock(pixels, pitch);
}

void TTexture::Unlock() {
    if (mData != nullptr) mData->Unlock();
}

void TTexture::GetAllocatedSize(int* width, int* height) const {
    if (mData == nullptr) {
        *width = 0;
        *height = 0;
        return;
    }
    mData->GetAllocatedSize(width, height);
}
