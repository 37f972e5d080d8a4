// The figure sheet: every animal at every level, standing ("stay_SE") and walking ("walk_SE") on
// grass at 100 %, made by the factory from the built descriptions and drawn by the game's own
// renderer on the headless backend (as the display test of the scenes does), read back and
// written to figures.png in this test's build folder for people to look at. Each figure must
// cover a good share of its hit rectangle, the rectangle a click selects it by.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "displayfixture.h"
#include "foundation/file/assetfolder.h"
#include "gv/keys/flagmasktext.h"
#include "image.h"
#include "pngwriter.h"
#include "support/tempdir.h"

namespace {

constexpr uint32_t kGrass = 0xFF9CC25Au;

struct Animal {
    const char* name;
    int dx, dy, w, h;  // the hit rectangle of the definitions
};
// Tallest first, so that the rows below overlap nothing but grass.
const Animal kAnimals[] = {{"giraffe", 30, 115, 60, 120}, {"elephant", 50, 85, 100, 90},
                           {"gorilla", 40, 80, 80, 85},   {"zebra", 32, 70, 64, 75},
                           {"lion", 35, 65, 70, 70},      {"puff", 22, 50, 44, 55}};
const char* const kHide[] = {"stick", "shovel",     "hammer",   "tomahawk",   "fertilizer",
                             "nail",  "food",       "water",    "rock",       "stone_2",
                             "woods", "s-shovel",   "s-hammer", "s-tomahawk", "smallberries",
                             "roots", "yayaflowers"};

class FigureSheetTest : public gv_test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        const std::filesystem::path folder(ART_GAME_FOLDER);
        ASSERT_EQ(chdir(folder.parent_path().c_str()), 0);
        ScanAssetFolder("", "assets");
    }
};

TEST_F(FigureSheetTest, EveryAnimalAtEveryLevelStandsAndWalksOnGrassFillingItsHitRectangle) {
    ASSERT_TRUE(TPlatformData::GetInstance() != nullptr && TPlatformData::GetInstance()->IsReady());
    drawkit::Image sheet(800, 1200);
    int frameIndex = 0;
    for (const char* state : {"stay_SE", "walk_SE"}) {
        mLive.clear();
        struct Placed {
            const Animal* animal;
            int x, y;
        };
        std::vector<Placed> placed;
        for (int row = 0; row < 6; ++row) {
            for (int level = 1; level <= 4; ++level) {
                const Animal& a = kAnimals[row];
                const std::string name = std::string(a.name) + "_l" + std::to_string(level);
                GVObject* figure = Keep(Factory().CreateObject(name.c_str(), true));
                ASSERT_NE(figure, nullptr) << name;
                const int x = 110 + (level - 1) * 190, y = 135 + row * 90;
                figure->deltaX = float(x);
                figure->deltaY = float(y);
                figure->deltaZ = float(y * 10.0 + x * 0.004);
                figure->changed = 1;
                // As a new creature's view shows it: the first body and head, nothing carried.
                for (int i = 0; i < figure->GetChildCount(); ++i) {
                    GVObject* child = figure->GetChilds()->GetAt(i);
                    const std::string id = child->GetName().c_str();
                    const bool variant = (id.rfind("body", 0) == 0 && id != "body") ||
                                         (id.rfind("head", 0) == 0 && id != "head");
                    if (variant ||
                        std::find(std::begin(kHide), std::end(kHide), id) != std::end(kHide)) {
                        child->visible = 0;
                        child->changed = 1;
                    }
                }
                figure->SetStateRecursive(ParseFlagMask(state), true, false);
                placed.push_back({&a, x, y});
            }
        }
        const port::control::Image frame = DrawFrame(kGrass);
        ASSERT_EQ(frame.width, 800);
        ASSERT_EQ(frame.height, 600);
        for (const Placed& p : placed) {
            int covered = 0, area = 0;
            for (int y = p.y - p.animal->dy; y < p.y - p.animal->dy + p.animal->h; ++y) {
                for (int x = p.x - p.animal->dx; x < p.x - p.animal->dx + p.animal->w; ++x) {
                    if (x < 0 || y < 0 || x >= 800 || y >= 600) continue;
                    ++area;
                    covered += (frame.At(x, y) & 0xFFFFFF) != (kGrass & 0xFFFFFF);
                }
            }
            ASSERT_GT(area, 0);
            EXPECT_GT(covered * 100 / area, 35)
                << p.animal->name << " at " << p.x << "," << p.y << " in " << state;
        }
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) {
                const uint32_t argb = frame.At(x, y);
                uint8_t* out = sheet.At(x, y + frameIndex * 600);
                out[0] = uint8_t(argb >> 16);
                out[1] = uint8_t(argb >> 8);
                out[2] = uint8_t(argb);
                out[3] = 255;
            }
        }
        ++frameIndex;
    }
    std::string png, error;
    ASSERT_TRUE(drawkit::EncodePng(sheet, 1, &png, &error)) << error;
    EXPECT_TRUE(testing_support::WriteFileBytes(FIGURE_SHEET, png));
}

}  // namespace
