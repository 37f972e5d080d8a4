// The real sprite factory (factoryfixture.h) over the built game folder, as the game finds it:
// descriptions and sheets load from there into a scene without a window.
#pragma once

#include <unistd.h>

#include <filesystem>

#include "factoryfixture.h"
#include "foundation/file/assetfolder.h"

namespace island_test {

class BuiltFactoryTest : public gv_test::FactoryTest {
protected:
    void SetUp() override {
        FactoryTest::SetUp();
        const std::filesystem::path folder(ART_GAME_FOLDER);
        ASSERT_EQ(chdir(folder.parent_path().c_str()), 0);
        ScanAssetFolder("", "assets");
    }
};

}  // namespace island_test
