// The game's folder as the program finds it, for the art's tests: the built game folder (the
// build names it in ART_GAME_FOLDER, as the font tests find the built font), or a copy of its art
// and data in a test-owned folder that a test may change, indexed by the file layer as "assets"
// below the working folder. The application object runs on the fake clock (the sprites' timers
// run on its task list); the log goes to the test's folder; the factory's templates and the
// layout cache are let go afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "gv/gvfactory.h"
#include "platform/platform.h"
#include "port/control.h"
#include "simulation/walk/layoutcache.h"
#include "support/tempdir.h"

namespace art_test {

class ArtFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLogFile(mScratch.File("log").c_str());
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
    }
    void TearDown() override {
        GVFactory::Instance().ReleaseAll();
        GVFactory::Instance().SetScene(nullptr);
        GVLayoutCache::Clear();
        mApp.reset();
        port::control::UseFakeClock(false);
    }

    testing_support::TempDir mScratch;
    std::unique_ptr<TPlatform> mApp;
};

// The built game folder, read where the build left it.
class BuiltArtTest : public ArtFolderTest {
protected:
    void SetUp() override {
        ArtFolderTest::SetUp();
        ASSERT_EQ(chdir(std::filesystem::path(Folder()).parent_path().c_str()), 0);
        ScanAssetFolder("", "assets");
    }
    static std::string Folder() { return ART_GAME_FOLDER; }
};

// A copy of the built folder's art and logic data that the test may change; Index() after.
class CopiedArtTest : public ArtFolderTest {
protected:
    void SetUp() override {
        ArtFolderTest::SetUp();
        std::filesystem::create_directories(mCopy.File("assets"));
        for (const char* part : {"anim", "xml"})
            std::filesystem::copy(std::string(ART_GAME_FOLDER) + "/" + part,
                                  mCopy.File(std::string("assets/") + part),
                                  std::filesystem::copy_options::recursive);
        ASSERT_EQ(chdir(mCopy.Path().c_str()), 0);
    }
    void Index() { ScanAssetFolder("", "assets"); }
    std::string Folder() const { return mCopy.File("assets"); }
    std::string PathOf(const std::string& relative) const {
        return mCopy.File("assets/" + relative);
    }

    testing_support::TempDir mCopy;
};

}  // namespace art_test
