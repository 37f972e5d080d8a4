#include "island.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvfactory.h"
#include "simulation/walk/layoutcache.h"
#include "support/tempdir.h"

namespace island_test {

namespace {

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

int Int(const TXmlNode* node, const char* name) {
    return std::atoi(Attr(node, name).c_str());
}

}  // namespace

Island::Island() {
    for (const auto& entry : std::filesystem::directory_iterator(ART_LOGIC)) {
        if (entry.path().extension() != ".xml") continue;
        const std::string text = testing_support::ReadFileBytes(entry.path().string());
        TXmlNode document;
        document.ParseString(text.c_str(), text.size());
        if (document.GetChildren().empty()) continue;
        const TXmlNode* root = document.GetChildren().front();
        const std::string kind = root->GetName().c_str();
        if (kind == "Location") {
            Definition d;
            d.fullName = Attr(root, "FullName");
            if (const TXmlNode* animator = root->FindChild("Animator"))
                d.animator = Attr(animator, "Name");
            if (const TXmlNode* resources = root->FindChild("Resources")) {
                for (const TXmlNode* r : resources->GetChildren())
                    if (!Attr(r, "AfterBuildTransform").empty())
                        d.transform = Attr(r, "AfterBuildTransform");
            }
            const TXmlNode* canUse = root->FindChild("CanUse");
            d.usable = canUse != nullptr && !canUse->GetChildren().empty();
            definitions[d.fullName] = d;
        } else if (entry.path().filename() == "main.xml") {
            const TXmlNode* world = root->FindChild("World");
            if (const TXmlNode* list = world != nullptr ? world->FindChild("Locations") : nullptr) {
                for (const TXmlNode* l : list->GetChildren())
                    locations.push_back({Attr(l, "Name"), Int(l, "PosX"), Int(l, "PosY")});
            }
            if (const TXmlNode* pois = root->FindChild("POI")) {
                for (const TXmlNode* p : pois->GetChildren())
                    pointsOfInterest.push_back({double(Int(p, "x")), double(Int(p, "y"))});
            }
            if (const TXmlNode* points = root->FindChild("MiniGamePoints")) {
                for (const TXmlNode* p : points->GetChildren())
                    hidingPlaces.push_back({Int(p, "x") * 20.0, Int(p, "y") * 20.0});
            }
            if (const TXmlNode* ark = root->FindChild("Ark")) {
                for (const TXmlNode* part : ark->GetChildren()) {
                    std::vector<Point> route;
                    for (const TXmlNode* p : part->GetChildren())
                        route.push_back({double(Int(p, "x")), double(Int(p, "y"))});
                    arkRoutes.push_back(route);
                }
            }
        }
    }
}

const Island& Island::Get() {
    static const Island island;
    return island;
}

std::vector<std::string> Island::Animators(const std::string& fullName) const {
    std::vector<std::string> animators;
    std::set<std::string> seen;
    std::string name = fullName;
    while (definitions.count(name) && seen.insert(name).second) {
        const Definition& d = definitions.at(name);
        animators.push_back(d.animator);
        if (definitions.count(name + " Broken"))
            animators.push_back(definitions.at(name + " Broken").animator);
        name = d.transform;
    }
    return animators;
}

std::set<std::string> Island::AllAnimators() const {
    std::set<std::string> animators;
    for (const auto& [name, d] : definitions)
        animators.insert(d.animator);
    return animators;
}

bool Island::IsGoal(const std::string& animator) const {
    if (animator == "loc_hyenapit" || animator == "loc_treasure" ||
        animator.rfind("loc_bonus_", 0) == 0)
        return true;
    for (const auto& [name, d] : definitions)
        if (d.animator == animator && d.usable) return true;
    return false;
}

const std::vector<Point>& FixedPoints() {
    static const std::vector<Point> points = {
        {1400, 1000}, {1450, 1000},              // the two creatures of the first tutorial staging
        {1230, 380},                             // the puff meeting the tutorial hyena
        {1520, 150},  {1320, 330},               // the tutorial hyena and where it walks
        {1220, 330},                             // where the tutorial resumes
        {900, 440},   {850, 440},                // the sick creature and its healer
        {1860, 170},  {1620, 330},               // the hyena display walk
        {1200, 900},                             // the flee point
        {1367, 1044},                            // below the food bin's site
        {1060, 300},                             // beside the sticks pile
        {500, 1075},                             // beside the first map part
        {580, 680},   {1100, 895},               // the bends of the first ark mover
        {1260, 470},  {800, 750},   {800, 850},  // and of the third
    };
    return points;
}

std::vector<std::vector<Point>> FixedWalks() {
    std::vector<std::vector<Point>> walks = Island::Get().arkRoutes;
    walks.push_back({{1860, 170}, {1620, 330}});
    return walks;
}

std::vector<Point> Sample(const std::vector<Point>& line, double step) {
    std::vector<Point> points;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const Point a = line[i], b = line[i + 1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const int steps = std::max(1, int(length / step));
        for (int k = 0; k <= steps; ++k)
            points.push_back({a.x + (b.x - a.x) * k / steps, a.y + (b.y - a.y) * k / steps});
    }
    return points;
}

const std::vector<Area>& OpenAreas() {
    static const std::vector<Area> areas = {
        {"the rest area", 311, 789, 1475, 1664},
        {"the graveyard by age", 878, 1280, 1508, 1740},
        {"the graveyard by thirst", 780, 955, 560, 870},
        {"the graveyard by hunger", 1430, 1640, 600, 840},
        {"the celebration area", 800, 1600, 600, 1200},
        {"the hospital and disease area", 1689, 2150, 1370, 1791},
        {"the hospital zone", 1689, 2150, 1570, 1791},
    };
    return areas;
}

void BuiltFolderTest::SetUp() {
    SetLogFile(mScratch.File("log").c_str());
    const std::filesystem::path folder(ART_GAME_FOLDER);
    ASSERT_EQ(chdir(folder.parent_path().c_str()), 0);
    ScanAssetFolder("", "assets");
    GVFactory::Instance().SetDescriptionPrefix("xml/");
}

void BuiltFolderTest::TearDown() {
    GVLayoutCache::Clear();
}

}  // namespace island_test
