// Shared by the factory and object-tree tests: descriptions written as memory files under the
// factory's "xml/" prefix (the test owns them and takes them away again), one 64 × 64 image
// "anim/sheet.png", the application object on the fake clock for the objects' timers, and a
// scene the factory activates into. The factory's templates are released after every test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gv/gvchilds.h"
#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/anim/gvtaskhost.h"
#include "gvfixture.h"
#include "platform/platform.h"
#include "port/control.h"

namespace gv_test {

// An object element named tag with one image and frameCount frames of 16 × 16 (frame i at x =
// 16·(i % 4), y = 16·(i / 4), registration point (regx, regy) = (4, 6)), the extra attributes and
// the inner elements.
inline std::string Sprite(const std::string& tag, const std::string& attributes,
                          const std::string& inner = std::string(), int frameCount = 1) {
    std::string text = "<" + tag + " " + attributes + "><images><img name=\"sheet.png\"/></images>";
    text += "<framelist>";
    for (int i = 0; i < frameCount; ++i)
        text += "<frame x=\"" + std::to_string(16 * (i % 4)) + "\" y=\"" +
                std::to_string(16 * (i / 4)) + "\" w=\"16\" h=\"16\" regx=\"4\" regy=\"6\"/>";
    text += "</framelist>" + inner + "</" + tag + ">";
    return text;
}

class FactoryTest : public GvTest {
protected:
    void SetUp() override {
        GvTest::SetUp();
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
        Pixels pixels(64, 64, 0xFF00FF00u);
        PutImage("anim/sheet.png", pixels);
        GVFactory& factory = GVFactory::Instance();
        factory.SetDescriptionPrefix("xml/");
        factory.SetTextureFolder("anim/");
        factory.SetScene(&mScene);
    }
    void TearDown() override {
        mLive.clear();
        GVFactory& factory = GVFactory::Instance();
        factory.ReleaseAll();
        factory.SetScene(nullptr);
        for (const std::string& name : mFiles)
            RegisterMemoryFile(name.c_str(), nullptr, 0);
        mApp.reset();
        port::control::UseFakeClock(false);
        GvTest::TearDown();
    }

    // Writes a description file (its text kept alive by the test).
    void PutFile(const std::string& name, const std::string& text) {
        mTexts.push_back(text);
        mFiles.push_back(name);
        RegisterMemoryFile(name.c_str(), mTexts.back().data(),
                           static_cast<uint32_t>(mTexts.back().size()));
    }
    void RemoveFile(const std::string& name) { RegisterMemoryFile(name.c_str(), nullptr, 0); }

    // Takes a live object into the test's keeping; answers it.
    GVObject* Keep(GVObject* object) {
        if (object != nullptr) mLive.emplace_back(object);
        return object;
    }
    // A live object loaded directly from the element text.
    GVObject* Make(const std::string& text) {
        return Keep(GVFactory::Instance().Create(Parse(text.c_str()), "", false, nullptr));
    }

    static GVFactory& Factory() { return GVFactory::Instance(); }

    std::unique_ptr<TPlatform> mApp;
    GVScene mScene;
    std::deque<std::string> mTexts;
    std::vector<std::string> mFiles;
    // Destroyed before the scene.
    std::vector<std::unique_ptr<GVObject>> mLive;
};

}  // namespace gv_test
