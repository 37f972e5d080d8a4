#include "viewfixture.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "foundation/xml/xmlnode.h"
#include "gv/gvviewport.h"
#include "platform/draw/renderer.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "simulation/definitions/definitionfiles.h"
#include "simulation/params/globaldata.h"

namespace art_test {

float DrawnQuad::AlphaAt(float x, float y) const {
    if (!Covers(x, y) || texture == nullptr) return 0.0f;
    const auto* data = dynamic_cast<const TMemoryTextureData*>(texture->GetData());
    if (data == nullptr || !data->HasSurface()) return 0.0f;
    // Corner 0 holds the image's left top, corner 1 its right top, corner 3 its left bottom,
    // wherever a flip put them on the screen.
    const TLVertex& a = corners[0];
    const TLVertex& b = corners[1];
    const TLVertex& d = corners[3];
    const float fx = b.x != a.x ? (x - a.x) / (b.x - a.x) : 0.0f;
    const float fy = d.y != a.y ? (y - a.y) / (d.y - a.y) : 0.0f;
    const float u = a.u + fx * (b.u - a.u);
    const float v = a.v + fy * (d.v - a.v);
    const int tx = std::clamp(int(std::floor(u * float(data->GetSurfaceWidth()))), 0,
                              int(data->GetSurfaceWidth()) - 1);
    const int ty = std::clamp(int(std::floor(v * float(data->GetSurfaceHeight()))), 0,
                              int(data->GetSurfaceHeight()) - 1);
    return float(data->GetPixel(uint32_t(tx), uint32_t(ty)) >> 24) / 255.0f * opacity;
}

std::vector<DrawnQuad> DrawnFrame::Of(const GVObject* object) const {
    std::vector<DrawnQuad> mine;
    for (const DrawnQuad& quad : quads) {
        for (const GVObject* o = quad.owner; o != nullptr; o = o->GetParentObject()) {
            if (o == object) {
                mine.push_back(quad);
                break;
            }
        }
    }
    return mine;
}

float DrawnFrame::AlphaAt(const std::vector<DrawnQuad>& quads, float x, float y) {
    float clear = 1.0f;
    for (const DrawnQuad& quad : quads)
        clear *= 1.0f - quad.AlphaAt(x, y);
    return 1.0f - clear;
}

bool DrawnFrame::Bounds(const std::vector<DrawnQuad>& quads, float* left, float* top, float* right,
                        float* bottom) {
    if (quads.empty()) return false;
    *left = quads[0].left;
    *top = quads[0].top;
    *right = quads[0].right;
    *bottom = quads[0].bottom;
    for (const DrawnQuad& q : quads) {
        *left = std::min(*left, q.left);
        *top = std::min(*top, q.top);
        *right = std::max(*right, q.right);
        *bottom = std::max(*bottom, q.bottom);
    }
    return true;
}

std::string DrawnFrame::Signature(const std::vector<DrawnQuad>& quads) {
    std::ostringstream out;
    for (const DrawnQuad& q : quads) {
        out << q.texture << ":" << q.opacity;
        for (const TLVertex& c : q.corners)
            out << " " << c.x << "," << c.y << "," << c.u << "," << c.v;
        out << ";";
    }
    return out.str();
}

std::vector<std::string> AnimalNames(bool hyenas) {
    std::vector<std::string> names;
    for (size_t i = 0; i < kDefinitionFileCount; ++i) {
        const std::string text = testing_support::ReadFileBytes(
            std::string(ART_GAME_FOLDER) + "/xml/logic/" + kDefinitionFiles[i] + ".xml");
        TXmlNode document;
        document.ParseString(text.c_str(), text.size());
        if (document.GetChildren().empty()) continue;
        const TXmlNode* root = document.GetChildren().front();
        const TXmlNode* animator = root->FindChild("Animator");
        if (std::string(root->GetName().c_str()) == "Creature" && animator != nullptr)
            names.push_back(animator->GetAttribute("Name").c_str());
    }
    for (int level = 1; hyenas && level <= GlobalData::kLevelCount; ++level)
        names.push_back("hyena_l" + std::to_string(level));
    return names;
}

void ArtViewTest::SetUp() {
    BuiltArtTest::SetUp();
    port::control::SetSleepAdvancesClock(true);
    TRenderer::GetInstance()->SetSink(&mSink);
    ASSERT_TRUE(TRenderer::GetInstance()->BeginDraw(false));
    mCast = std::make_unique<testing_support::WorldCast>();
    ASSERT_TRUE(mCast->Loaded());
    mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
    ASSERT_TRUE(mManager->Init());
    mWorld.SetViews(mManager.get(), nullptr);
    GVWorldCreature::ResetIdleVariations(1);
}

void ArtViewTest::TearDown() {
    mManager.reset();
    TRenderer* renderer = TRenderer::GetInstance();
    if (renderer->IsIn2d()) renderer->End2d();
    if (renderer->IsDrawing()) renderer->EndDraw(0);
    renderer->SetSink(nullptr);
    BuiltArtTest::TearDown();
}

DrawnFrame ArtViewTest::Draw() {
    mSink.mDraws.clear();
    DrawnFrame frame;
    mScene.UpdateObjects();
    TRenderer* renderer = TRenderer::GetInstance();
    const bool entered = renderer->Begin2d();
    const GVRect& view = mScene.GetViewPort().GetRect();
    const TVec2 origin(view.left, view.top);
    for (GVObject* member : mScene.GetDepthOrder()) {
        const size_t before = mSink.mDraws.size();
        member->Render(view);
        for (size_t i = before; i < mSink.mDraws.size(); ++i) {
            const TRecordingRenderSink::Draw& draw = mSink.mDraws[i];
            if (draw.vertices.size() != 4) continue;
            DrawnQuad quad;
            quad.owner = member;
            quad.texture = draw.texture;
            std::copy(draw.vertices.begin(), draw.vertices.end(), quad.corners);
            for (TLVertex& corner : quad.corners) {
                corner.x += origin.x;
                corner.y += origin.y;
            }
            quad.left = quad.right = quad.corners[0].x;
            quad.top = quad.bottom = quad.corners[0].y;
            for (const TLVertex& v : quad.corners) {
                quad.left = std::min(quad.left, v.x);
                quad.right = std::max(quad.right, v.x);
                quad.top = std::min(quad.top, v.y);
                quad.bottom = std::max(quad.bottom, v.y);
            }
            quad.opacity = float(draw.vertices[0].diffuse >> 24) / 255.0f;
            frame.quads.push_back(quad);
        }
    }
    if (entered) renderer->End2d();
    return frame;
}

void ArtViewTest::LookAt(const TVec2& point) {
    GVViewPort& port = mScene.GetViewPort();
    port.SetBounds({0, 0, mManager->GetWorldWidth(), mManager->GetWorldHeight()});
    const GVRect& rect = port.GetRect();
    port.MoveTo(point + TVec2((rect.left - rect.right) / 2, (rect.top - rect.bottom) / 2));
}

void ArtViewTest::Advance(uint32_t ms) {
    port::control::AdvanceTime(ms);
    mApp->UpdateTasks();
}

}  // namespace art_test
