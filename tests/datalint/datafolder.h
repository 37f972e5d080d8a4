// The game's data as the program finds it: a working folder whose "assets" is indexed by the file
// layer. ShippedData uses the repository's asset folder (the build names it in UMBRAVA_ASSETS);
// CopiedData makes a copy of it in a test-owned folder that a test may change. The generated art
// is read from the built game folder (the build names it in UMBRAVA_BUILT_ASSETS) under the prefix
// "art:" either way. The log goes to the test's own folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "support/tempdir.h"

namespace datalint_testing {

// The repository's asset folder; empty when the build did not say.
inline std::string ShippedAssets() {
    const char* folder = std::getenv("UMBRAVA_ASSETS");
    return folder == nullptr ? std::string() : std::string(folder);
}

// Indexes the built game folder (UMBRAVA_BUILT_ASSETS, named by the build), where the generated
// art lands, under the lint's art prefix (lintcontext.h).
inline void IndexArt() {
    ScanAssetFolder("art:", UMBRAVA_BUILT_ASSETS);
}

class ShippedData : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string assets = ShippedAssets();
        ASSERT_FALSE(assets.empty()) << "UMBRAVA_ASSETS is not set";
        SetLogFile(mScratch.File("log").c_str());
        // The asset folder is found as "assets" below the working folder, as at start-up.
        ASSERT_EQ(chdir(std::filesystem::path(assets).parent_path().c_str()), 0);
        ScanAssetFolder("", "assets");
        IndexArt();
    }

    testing_support::TempDir mScratch;
};

class CopiedData : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string assets = ShippedAssets();
        ASSERT_FALSE(assets.empty()) << "UMBRAVA_ASSETS is not set";
        SetLogFile(mDir.File("log").c_str());
        std::filesystem::copy(assets, mDir.File("assets"),
                              std::filesystem::copy_options::recursive);
        ASSERT_EQ(chdir(mDir.Path().c_str()), 0);
    }
    // Indexes the copy and the built art; call after changing the copy.
    void Index() {
        ScanAssetFolder("", "assets");
        IndexArt();
    }
    std::string PathOf(const std::string& relative) const {
        return mDir.File("assets/" + relative);
    }

    testing_support::TempDir mDir;
};

}  // namespace datalint_testing
