// Descriptions through the factory: the bytes up to the first NUL are served from memory as the
// description files xml/f.xml and xml/g.xml (so "export" can name either, itself or the other),
// against three generated images. The object "f" is made from the cached template and loaded
// directly, both activated into a scene, run for 20 timer turns on the fake clock, switched by
// the command bytes after the NUL (a state key each, recursively, with or without apply, with
// updates between), saved, and destroyed; the templates are released at the end of each run.
// A text object made from the same description joins them. After each switch the scene, its view
// moved by the command, is drawn into a recording sink, every object is hit-tested on a grid of
// points, and the objects without a parent pick on it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "gv/keys/flagmasktext.h"
#include "gv/gvchilds.h"
#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/gvtextobject.h"
#include "gv/anim/gvstate.h"
#include "gv/keys/statekeys.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "port/control.h"

namespace {

struct Image {
    const char* name;
    int width;
    int height;
};
constexpr Image kImages[] = {{"anim/a.png", 16, 16}, {"anim/b.png", 64, 32}, {"anim/c.png", 4, 4}};

// The images, registered in the texture cache under the keys TTexture::Get looks for.
void MakeImages() {
    static TAssetManager manager;
    static std::vector<std::shared_ptr<TTexture>> textures = [] {
        SetAssetManager(&manager);
        std::vector<std::shared_ptr<TTexture>> made;
        for (const Image& image : kImages) {
            std::shared_ptr<TTexture> texture =
                TTexture::CreateRegistered(TTexture::MakeKey(image.name, false, false, false));
            std::vector<uint32_t> pixels(size_t(image.width) * image.height, 0xFF000000u);
            texture->GetData()->CreateSurface(image.width, image.height, true);
            texture->GetData()->SetPixels(image.width, image.height, pixels.data());
            made.push_back(texture);
        }
        return made;
    }();
    (void)textures;
}

TPlatform& App() {
    static TPlatform* app = [] {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        return new TPlatform();
    }();
    return *app;
}

// Every state key of the tree, once each.
void CollectKeys(GVObject* object, std::vector<GNameMask>& keys, int depth) {
    if (object == nullptr || depth > 300) return;
    if (GVStates* states = object->GetStates())
        for (int32_t i = 0; i < states->GetCount() && keys.size() < 64; ++i)
            keys.push_back(states->GetAt(i)->id);
    for (int32_t i = 0; i < object->GetChildCount(); ++i)
        CollectKeys(object->GetChilds()->GetAt(i), keys, depth + 1);
}

// Draws the scene, hit-tests every object on a grid of points around the view and picks from
// the objects without a parent down to their grandchildren.
void DrawAndPick(GVScene& scene, TRecordingRenderSink& sink) {
    scene.Draw();
    sink.mDraws.clear();
    sink.mBlendModes.clear();
    sink.mBoundTextures.clear();
    const TVec2 offset(0.5f, 0.5f);
    for (GVObject* object : scene.GetDepthOrder()) {
        const bool root = object->GetParentObject() == nullptr;
        for (int y = -40; y <= 200; y += 20)
            for (int x = -40; x <= 200; x += 20) {
                object->HitTest(TVec2(static_cast<float>(x), static_cast<float>(y)));
                if (root)
                    object->FindObjectAt(static_cast<float>(x), static_cast<float>(y), 2, &offset);
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPlatform& app = App();
    MakeImages();
    static TRecordingRenderSink sink;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetSink(&sink);
    renderer->BeginDraw(false);
    const uint8_t* end = data + size;
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const uint8_t* textEnd = nul != nullptr ? nul : end;
    const uint8_t* commands = nul != nullptr ? nul + 1 : end;
    const uint32_t textSize = static_cast<uint32_t>(textEnd - data);
    RegisterMemoryFile("xml/f.xml", data, textSize);
    RegisterMemoryFile("xml/g.xml", data, textSize);

    GVFactory& factory = GVFactory::Instance();
    factory.SetDescriptionPrefix("xml/");
    factory.SetTextureFolder("anim/");
    {
        GVScene scene;
        factory.SetScene(&scene);
        std::unique_ptr<GVObject> objects[] = {
            std::unique_ptr<GVObject>(factory.CreateObject("f", true)),
            std::unique_ptr<GVObject>(factory.CreateObject("f", false))};
        std::unique_ptr<GVObject> text(factory.CreateObject("f?text", false));
        factory.SetScene(nullptr);
        if (factory.GetMode() != GVFactory::kModeIdle) __builtin_trap();

        std::vector<GNameMask> keys = {GetStateKeys().normal, GetStateKeys().any,
                                       ParseFlagMask("walk")};
        for (auto& object : objects)
            CollectKeys(object.get(), keys, 0);
        for (int turn = 0; turn < 20; ++turn) {
            port::control::AdvanceTime(37);
            app.UpdateTasks();
        }
        for (const uint8_t* c = commands; c < end; ++c) {
            GVObject* object = objects[*c & 1].get();
            if (object == nullptr) continue;
            object->SetStateRecursive(keys[(*c >> 2) % keys.size()], (*c & 2) == 0, false);
            object->Update();
            port::control::AdvanceTime(*c);
            app.UpdateTasks();
            GVViewPort& view = scene.GetViewPort();
            view.SetBounds(GVRect{-100, -100, 1000, 1000});
            view.ScrollTo(
                TVec2(static_cast<float>(*c % 7) * 10 - 30, static_cast<float>(*c % 5) * 10 - 20),
                *c % 3, (*c & 8) != 0);
            view.Update();
            DrawAndPick(scene, sink);
        }
        DrawAndPick(scene, sink);
        text.reset();
        for (auto& object : objects) {
            if (object == nullptr) continue;
            TXmlNode element("obj");
            object->Save(&element);
            object.reset();
        }
        port::control::AdvanceTime(1000);
        app.UpdateTasks();
    }
    factory.ReleaseAll();
    renderer->EndDraw(0);
    RegisterMemoryFile("xml/f.xml", nullptr, 0);
    RegisterMemoryFile("xml/g.xml", nullptr, 0);
    return 0;
}
