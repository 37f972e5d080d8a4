// The art lint over the built game folder, and against planted faults: each case changes one
// thing in a copy of the folder and expects the finding of its check, with the description,
// child and state where the fault lies.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "artfolder.h"
#include "artlint.h"
#include "support/imagewriter.h"

namespace art_test {
namespace {

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

// ---- What the cases change.

// The text of the file, changed by edit; false when the edit found nothing to change.
bool Edit(const std::string& path, const std::function<bool(std::string&)>& edit) {
    std::string text = ReadFileBytes(path);
    return !text.empty() && edit(text) && WriteFileBytes(path, text);
}

// The element of the state inside the object (at its first "<obj id=...>"), removed.
bool EraseState(std::string& text, const std::string& object, const std::string& state) {
    const size_t obj = text.find("<obj id=\"" + object + "\"");
    if (obj == std::string::npos) return false;
    const size_t at = text.find("<state id=\"" + state + "\"", obj);
    if (at == std::string::npos) return false;
    const size_t close = text.find('>', at);
    const size_t end = text[close - 1] == '/' ? close + 1 : text.find("</state>", at) + 8;
    text.erase(at, end - at);
    return true;
}

// A state added first among the object's states.
bool AddState(std::string& text, const std::string& object, const std::string& state) {
    const size_t obj = text.find("<obj id=\"" + object + "\"");
    if (obj == std::string::npos) return false;
    const size_t states = text.find("<states>", obj);
    if (states == std::string::npos) return false;
    text.insert(states + 8, "<state id=\"" + state + "\" framelist=\"0\" defdelay=\"1000\"/>");
    return true;
}

// The first occurrence of from after the object's start, replaced.
bool ReplaceIn(std::string& text, const std::string& object, const std::string& from,
               const std::string& to) {
    const size_t obj = object.empty() ? 0 : text.find("<obj id=\"" + object + "\"");
    if (obj == std::string::npos) return false;
    const size_t at = text.find(from, obj);
    if (at == std::string::npos) return false;
    text.replace(at, from.size(), to);
    return true;
}

// A gAMA chunk (gamma 1/2.2) after the PNG's IHDR.
bool AddGamma(std::string& png) {
    if (png.size() < 33) return false;
    std::string chunk("\0\0\0\x04gAMA\0\0\xb1\x8f", 12);
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(chunk.data() + 4), 8));
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk += char((crc >> shift) & 0xFF);
    png.insert(33, chunk);
    return true;
}

std::string WideSheet() {
    testing_support::PngImage image;
    image.width = 2048;
    image.height = 16;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.samples.assign(size_t(image.width) * image.height * 4, 255);
    return testing_support::WritePng(image);
}

struct PlantedFault {
    const char* name;
    // Changes the copy (its "assets" folder); false when the folder was not as expected.
    std::function<bool(const std::string& assets)> plant;
    const char* check;
    const char* description;
    const char* child;
    const char* state;
};

void PrintTo(const PlantedFault& fault, std::ostream* out) {
    *out << fault.name;
}

std::string At(const std::string& assets, const char* relative) {
    return assets + "/" + relative;
}

const std::vector<PlantedFault>& Faults() {
    static const std::vector<PlantedFault> faults = {
        {"PuffHeadWithoutItsLeftTurn",
         [](const std::string& a) {
             return Edit(At(a, "xml/puff_l1.xml"),
                         [](std::string& t) { return EraseState(t, "head", "stay_SE_headLeft"); });
         },
         "figure", "puff_l1", "head", "stay_SE_headLeft"},
        {"AnyOnALionsBody",
         [](const std::string& a) {
             return Edit(At(a, "xml/lion_l1.xml"),
                         [](std::string& t) { return AddState(t, "body", "any"); });
         },
         "states", "lion_l1", "body", "any"},
        {"EmptiedRootId",
         [](const std::string& a) {
             return Edit(At(a, "xml/giraffe_l2.xml"), [](std::string& t) {
                 return ReplaceIn(t, "", "<main id=\"giraffe_l2\"", "<main id=\"\"");
             });
         },
         "root", "giraffe_l2", "", ""},
        {"PngWithAGammaChunk",
         [](const std::string& a) { return Edit(At(a, "anim/zebra/sheet0.png"), AddGamma); },
         "image", "zebra_l1", "shadow", ""},
        {"SheetOf2048Pixels",
         [](const std::string& a) {
             return WriteFileBytes(At(a, "anim/movers/sheet0.png"), WideSheet());
         },
         "image", "ark_part_mover_1", "shadow", ""},
        {"FramePastItsImagesEdge",
         [](const std::string& a) {
             return Edit(At(a, "xml/skeleton.xml"),
                         [](std::string& t) { return ReplaceIn(t, "body", "w=\"", "w=\"20"); });
         },
         "frames", "skeleton", "body", ""},
        {"LayoutCountingMorePicturesThanDrawn",
         [](const std::string& a) {
             return Edit(At(a, "xml/loc_well.layout"), [](std::string& t) {
                 return ReplaceIn(t, "", "PerLevelImagesCount=\"5\"", "PerLevelImagesCount=\"9\"");
             });
         },
         "layout", "loc_well", "", ""},
        {"NoSkeleton",
         [](const std::string& a) { return std::filesystem::remove(At(a, "xml/skeleton.xml")); },
         "names", "skeleton", "", ""},
        {"NextStateToNowhere",
         [](const std::string& a) {
             return Edit(At(a, "xml/elephant_l1.xml"), [](std::string& t) {
                 return ReplaceIn(t, "head", "nextstate=\"stay_NE\"", "nextstate=\"nowhere\"");
             });
         },
         "states", "elephant_l1", "head", "stay_NE_headLeft"},
        {"InterpolatorWithoutTime",
         [](const std::string& a) {
             return Edit(At(a, "xml/ark_part_mover_1.xml"), [](std::string& t) {
                 return ReplaceIn(t, "body", "<DeltaMoveInterpolator time=\"480\"",
                                  "<DeltaMoveInterpolator");
             });
         },
         "states", "ark_part_mover_1", "body", "walk_NE"},
        {"GraveStandingNorthEast",
         [](const std::string& a) {
             return Edit(At(a, "xml/skeleton.xml"),
                         [](std::string& t) { return AddState(t, "body", "stay_NE"); });
         },
         "figure", "skeleton", "body", "stay_NE"},
        {"PlaceWithoutItsLayout",
         [](const std::string& a) {
             return std::filesystem::remove(At(a, "xml/loc_totem.layout"));
         },
         "names", "loc_totem", "", ""},
        {"AnimatorWithoutArt",
         [](const std::string& a) {
             return Edit(At(a, "xml/logic/totem.xml"), [](std::string& t) {
                 return ReplaceIn(t, "", "Name=\"loc_totem\"", "Name=\"loc_pole\"");
             });
         },
         "names", "loc_pole", "", ""},
        {"DescriptionNothingNames",
         [](const std::string& a) {
             return std::filesystem::copy_file(At(a, "xml/loc_totem.xml"),
                                               At(a, "xml/loc_pole.xml"));
         },
         "names", "loc_pole", "", ""},
    };
    return faults;
}

class ArtLintTest : public BuiltArtTest {};

TEST_F(ArtLintTest, TheBuiltArtIsCleanWithinItsBudgets) {
    artlint::Totals totals;
    const std::vector<artlint::Finding> findings = artlint::Run(Folder(), &totals);
    EXPECT_TRUE(findings.empty()) << artlint::Describe(findings);
    // 34 figures, 54 places, the level.
    EXPECT_EQ(totals.descriptions, 89);
    EXPECT_GT(totals.images, 20);
    EXPECT_LT(totals.fileBytes, artlint::kFileBudgetBytes);
    EXPECT_LT(totals.surfaceBytes, artlint::kSurfaceBudgetBytes);
    EXPECT_LE(totals.words, artlint::kWordBudget);
    std::printf(
        "art: %d descriptions, %d images, %.1f MB of files, %.1f MiB of surfaces, %d words\n",
        totals.descriptions, totals.images, totals.fileBytes / 1e6,
        totals.surfaceBytes / (1024.0 * 1024.0), totals.words);
}

class PlantedFaultTest : public CopiedArtTest,
                         public ::testing::WithParamInterface<PlantedFault> {};

TEST_P(PlantedFaultTest, IsReportedByItsCheckWithDescriptionChildAndState) {
    const PlantedFault& fault = GetParam();
    ASSERT_TRUE(fault.plant(Folder())) << "the built art has changed: the fault cannot be planted";
    Index();
    const std::vector<artlint::Finding> findings = artlint::Run(Folder());
    const bool found =
        std::any_of(findings.begin(), findings.end(), [&](const artlint::Finding& f) {
            return f.check == fault.check && f.description == fault.description &&
                   f.child == fault.child && f.state == fault.state;
        });
    EXPECT_TRUE(found) << "expected " << fault.check << ": " << fault.description << "@"
                       << fault.child << " [" << fault.state << "]\nfound:\n"
                       << artlint::Describe(findings);
}

INSTANTIATE_TEST_SUITE_P(ArtLint, PlantedFaultTest, ::testing::ValuesIn(Faults()),
                         [](const ::testing::TestParamInfo<PlantedFault>& info) {
                             return std::string(info.param.name);
                         });

// The unchanged copy is as clean as the built folder: the cases above see their own faults.
TEST_F(CopiedArtTest, UnchangedCopyIsClean) {
    Index();
    const std::vector<artlint::Finding> findings = artlint::Run(Folder());
    EXPECT_TRUE(findings.empty()) << artlint::Describe(findings);
}

}  // namespace
}  // namespace art_test
