// Checks 19 to 23 on main.xml: values the rules divide by or loop on, event ids, prescriptions,
// the start layout against the places the program fixes, the mini-game and ark points.
#include <algorithm>
#include <map>
#include <set>

#include "lintcontext.h"

namespace datalint {

namespace {

const std::string kMain = std::string(kLogicFolder) + "main.xml";

struct Area {
    const char* what;
    int x1, x2, y1, y2;
    bool Holds(int x, int y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

// Places the program fixes in world pixels.
const Area kRestArea = {"the rest area", 311, 789, 1475, 1664};
const Area kGraveyards[] = {
    {"the graveyard by age", 878, 1280, 1508, 1740},
    {"the graveyard by thirst", 780, 955, 560, 870},
    {"the graveyard by hunger", 1430, 1640, 600, 840},
};
// The hospital walk takes the wide band, the feeding cycle and restores the narrow one: the
// hospital site lies inside both, nothing else inside either.
const Area kHospitalWide = {"the hospital zone", 1689, 2150, 1370, 1791};
const Area kHospitalNarrow = {"the hospital band", 1689, 2150, 1570, 1791};
constexpr int kWorldWidth = 2400;
constexpr int kWorldHeight = 1800;
constexpr int kCell = 20;

// The places the location binder fills, one each.
const char* const kRoles[] = {
    "Pre_foodbin",
    "Pre_watertank",
    "Pre_hospital",
    "Sticks Pile",
    "Metal Pile",
    "Rock Oblings Pile",
    "Rock Wedges Pile",
    "Tree",
    "Dummy",
    "Pool",
    "Water Fall",
    "Hyena Pit",
    "Devolution Pool",
    "Fertilizer",
    "Ark",
    "Ark Materials 1",
    "Ark Materials 2",
    "Ark Materials 3",
    "Ark Materials 4",
    "Ark Part Place 1",
    "Ark Part Place 2",
    "Ark Part Place 3",
    "Ark Part Place 4",
    "Treasure map part",
};

bool InEvents(int event) {
    return event >= 0 && event <= kHighestEvent;
}

void Expect(Context& c, bool holds, const std::string& element, const std::string& check,
            const std::string& message) {
    if (!holds) c.Report(kMain, element, check, message);
}

}  // namespace

const std::vector<std::array<int, 2>>& FixedPoints() {
    static const std::vector<std::array<int, 2>> points = {
        {1400, 1000}, {1230, 380}, {1520, 150}, {1320, 330}, {1220, 330}, {900, 440}, {1860, 170},
        {1620, 330},  {1200, 900}, {580, 680},  {1100, 895}, {1260, 470}, {800, 750}, {800, 850},
    };
    return points;
}

std::vector<Placed> LayoutLocations(const Context& c) {
    std::vector<Placed> placed;
    const TXmlNode* locations = Child(Child(c.mainRoot, "World"), "Locations");
    if (locations == nullptr) return placed;
    for (const TXmlNode* child : locations->GetChildren()) {
        placed.push_back({Attr(child, "Name"), IntAttr(child, "PosX"), IntAttr(child, "PosY")});
    }
    return placed;
}

// Checks 19 to 21. Guards the parameter loader's fields as the feeding, life, monster, map-part
// and hidden-object rules use them, the level events of the monsters, and the prescriptions.
void CheckParameters(Context& c) {
    if (c.mainRoot == nullptr) {
        c.Report(kMain, "-", "19", "main.xml holds no element");
        return;
    }
    const GlobalData& p = c.params;
    const TXmlNode* monsters = Child(Child(c.mainRoot, "World"), "Monsters");
    // Check 19: the loader mends a Period or AdditionDelay of 0, so they are read as written.
    Expect(c, p.defaultTask > 0, "Duration", "19", "DefaultTask must be positive");
    Expect(c, p.cycleLength > 0, "Duration", "19", "CycleLength must be positive");
    Expect(c, p.yearLength > 0, "Duration", "19", "YearLength must be positive");
    Expect(c, monsters != nullptr && IntAttr(monsters, "Period") > 0, "Monsters", "19",
           "Period must be positive");
    Expect(c, monsters != nullptr && IntAttr(monsters, "AdditionDelay") > 0, "Monsters", "19",
           "AdditionDelay must be positive");
    Expect(c, p.deathAgeMin <= p.deathAgeMax, "Health", "19", "DeathAgeMin is above DeathAgeMax");
    Expect(c, p.deathAgeMinHosp <= p.deathAgeMaxHosp, "Health", "19",
           "DeathAgeMinHosp is above DeathAgeMaxHosp");
    Expect(c, p.hungerAddCoefMin <= p.hungerAddCoefMax, "Health", "19",
           "HungerAddCoefMin is above HungerAddCoefMax");
    Expect(c, p.secretMapMinTime <= p.secretMapMaxTime, "EventTresholds", "19",
           "SecretMapMinTime is above SecretMapMaxTime");
    Expect(c, p.hiddenObjectMinTime <= p.hiddenObjectMaxTime, "EventTresholds", "19",
           "HiddenObjectMinTime is above HiddenObjectMaxTime");
    Expect(c, p.needFoodEasy <= p.needFood && p.needWaterEasy <= p.needWater, "Health", "19",
           "the easy needs exceed the normal ones");
    Expect(c, p.distanceToDefend >= p.distanceToRun, "Monsters", "19",
           "DistanceToDefend is below DistanceToRun");
    Expect(c, p.monkeyNeed >= 2, "Ark", "19", "MonkeyNeed must be at least 2");
    Expect(c, p.minAge < 100, "Health", "19", "MinAge must stay below 100");
    int animals = 0;
    if (const TXmlNode* list = Child(Child(c.mainRoot, "World"), "Animals")) {
        for (const TXmlNode* animal : list->GetChildren())
            animals += IntAttr(animal, "Count");
    }
    Expect(c, p.maxPopulation >= animals, "Population", "19",
           "Max is below the creatures of the start");

    // Check 20: the monsters' level needs Level1Event 0 and the others set.
    for (int level = 0; level < GlobalData::kLevelCount; ++level) {
        const std::string element = "Monsters Level" + std::to_string(level + 1) + "Event";
        const int event = p.levelEvents[level];
        Expect(c, InEvents(event), element, "20", "the event is outside 0 to 55");
        Expect(c, level == 0 ? event == 0 : event != 0, element, "20",
               level == 0 ? "Level1Event must be 0" : "the event must not be 0");
    }
    Expect(c, p.piranhasAppearAfter >= 1 && p.piranhasAppearAfter <= 31, "EventTresholds", "20",
           "PiranhasAppearAfter is a tutorial step (1 to 31)");
    for (const GHint& hint : p.hints) {
        Expect(c, InEvents(hint.startEvent) && InEvents(hint.stopEvent),
               "Hint " + std::string(hint.id.c_str()), "20", "an event is outside 0 to 55");
    }
    for (const auto& [id, point] : p.pointsOfInterest) {
        Expect(c, InEvents(point.startEvent) && InEvents(point.stopEvent), std::string(id.c_str()),
               "20", "an event is outside 0 to 55");
    }

    // Check 21: prescriptions. Components are plant names.
    const TXmlNode* prescriptions = Child(c.mainRoot, "Prescriptions");
    std::map<std::string, std::multiset<std::string>> sets;
    for (const char* disease : {"Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"}) {
        const TXmlNode* entry = Child(prescriptions, disease);
        if (entry == nullptr) {
            c.Report(kMain, std::string("Prescriptions ") + disease, "21", "missing");
            continue;
        }
        const int count = IntAttr(entry, "ComponentsNum");
        std::multiset<std::string>& components = sets[disease];
        for (int i = 1; i <= count + 1; ++i) {
            const std::string key = "Component" + std::to_string(i);
            const bool given = Given(entry, key.c_str());
            if (i <= count && !given) {
                c.Report(kMain, std::string(disease) + " " + key, "21", "missing");
            } else if (i > count && given) {
                c.Report(kMain, std::string(disease) + " " + key, "21", "beyond ComponentsNum");
            }
            if (!given) continue;
            const std::string plant = Attr(entry, key.c_str());
            if (c.names.GetPlantKind(plant.c_str()) == 0) {
                c.Report(kMain, std::string(disease) + " " + key, "4",
                         "\"" + plant + "\" is no plant");
            }
            components.insert(plant);
        }
    }
    if (prescriptions != nullptr) {
        for (const TXmlNode* entry : prescriptions->GetChildren()) {
            if (c.names.GetDiseaseKind(entry->GetName()) == 0) {
                c.Report(kMain, "Prescriptions " + std::string(entry->GetName().c_str()), "4",
                         "no such disease");
            }
        }
    }
    for (auto a = sets.begin(); a != sets.end(); ++a) {
        for (auto b = std::next(a); b != sets.end(); ++b) {
            Expect(c, a->second != b->second, "Prescriptions " + a->first, "21",
                   "the same components as " + b->first);
        }
    }
    Expect(c, sets["Sneezies"].empty(), "Prescriptions Sneezies", "21",
           "the first disease is known from the start: no components");
    Expect(c, sets["Tumrot"] == std::multiset<std::string>{"Smallberry"}, "Prescriptions Tumrot",
           "21", "the medicine fetch brings Smallberry: exactly that");
}

// Checks 22 and 23. Guards the location binder, the tutorial staging, the hospital, rest and
// graveyard areas of the task starters and the feeding cycle, the hiding-place finder and the
// ark carrying.
void CheckLayout(Context& c) {
    if (c.mainRoot == nullptr) return;
    const std::vector<Placed> placed = LayoutLocations(c);
    std::map<std::string, int> count;
    for (const Placed& p : placed) {
        const std::string element = "Location " + p.name;
        if (++count[p.name] == 2) c.Report(kMain, element, "22", "placed twice");
        if (c.names.FindLocationDefinition(p.name.c_str()) == nullptr) {
            c.Report(kMain, element, "22", "names no location");
        }
        Expect(c, p.x >= 0 && p.x <= kWorldWidth && p.y >= 0 && p.y <= kWorldHeight, element, "22",
               "outside the world");
        const bool hospital = p.name == "Pre_hospital" || p.name == "Hospital";
        if (hospital) {
            Expect(c, kHospitalNarrow.Holds(p.x, p.y), element, "22",
                   std::string("the hospital site lies inside ") + kHospitalNarrow.what);
        } else if (kHospitalWide.Holds(p.x, p.y)) {
            c.Report(kMain, element, "22", std::string("inside ") + kHospitalWide.what);
        }
        if (kRestArea.Holds(p.x, p.y)) {
            c.Report(kMain, element, "22", std::string("inside ") + kRestArea.what);
        }
        for (const Area& area : kGraveyards) {
            if (area.Holds(p.x, p.y))
                c.Report(kMain, element, "22", std::string("inside ") + area.what);
        }
        for (const auto& point : FixedPoints()) {
            if (Distance(p.x, p.y, point[0], point[1]) < 100) {
                c.Report(kMain, element, "22",
                         "closer than 100 px to the fixed point (" + std::to_string(point[0]) +
                             ", " + std::to_string(point[1]) + ")");
            }
        }
    }
    for (const char* role : kRoles) {
        Expect(c, count[role] == 1, std::string("Location ") + role, "22",
               "the binder's place must be laid out exactly once");
    }
    auto at = [&](const char* name, int x, int y) {
        const bool found = std::any_of(placed.begin(), placed.end(), [&](const Placed& p) {
            return p.name == name && p.x == x && p.y == y;
        });
        Expect(c, found, std::string("Location ") + name, "22",
               "must stand at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
    };
    at("Pre_foodbin", 1367, 794);
    at("Treasure map part", 550, 1075);
    int puffs = 0;
    if (const TXmlNode* animals = Child(Child(c.mainRoot, "World"), "Animals")) {
        for (const TXmlNode* animal : animals->GetChildren()) {
            if (Attr(animal, "Name") == "BasicPuff") puffs += IntAttr(animal, "Count");
        }
    }
    Expect(c, puffs >= 4, "Animals", "22", "the tutorial needs four BasicPuff");

    // Check 23: hiding places and ark routes.
    const GlobalData& p = c.params;
    Expect(c, !p.miniGamePoints.empty(), "MiniGamePoints", "23",
           "without points the hiding-place search never ends");
    for (const GGridPoint& cell : p.miniGamePoints) {
        const int x = cell.x * kCell, y = cell.y * kCell;
        const std::string element =
            "MiniGamePoints P " + std::to_string(cell.x) + "," + std::to_string(cell.y);
        Expect(c, x >= 100 && x <= 2300 && y >= 100 && y <= 1700, element, "23",
               "outside 100..2300 × 100..1700");
        Expect(c, !kRestArea.Holds(x, y), element, "23", "inside the rest area");
        for (const Area& area : kGraveyards) {
            Expect(c, !area.Holds(x, y), element, "23", std::string("inside ") + area.what);
        }
        for (const Placed& l : placed) {
            if (Distance(x, y, l.x, l.y) < 120) {
                c.Report(kMain, element, "23", "closer than 120 px to " + l.name);
            }
        }
    }
    for (int part = 0; part < GlobalData::kArkPartCount; ++part) {
        const std::string element = "Ark Part" + std::to_string(part + 1);
        const auto& points = p.arkParts[part];
        Expect(c, static_cast<int>(points.size()) >= p.monkeyNeed + 1, element, "23",
               "fewer points than MonkeyNeed + 1");
        for (const GGridPoint& point : points) {
            Expect(
                c,
                point.x >= 0 && point.x <= kWorldWidth && point.y >= 0 && point.y <= kWorldHeight,
                element, "23", "a point lies outside the world");
        }
    }
}

}  // namespace datalint
