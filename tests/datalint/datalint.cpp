// The lint's driver: loads the data set through the game's loaders, runs the checks of each part
// and lists the findings; also the checks that concern every file alike (markup, the definition
// list, values kept in 16 bits, saved floats) and the installation file.
#include "datalint.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "foundation/file/file.h"
#include "lintcontext.h"
#include "simulation/data/savedvalues.h"
#include "simulation/definitions/definitionfiles.h"
#include "simulation/params/gameparams.h"
#include "simulation/params/localtext.h"

namespace datalint {

namespace {

// The full names of the 77 location files, in the order of the game's definition list (after the
// 24 creature forms and the monster).
const char* const kLocationFullNames[] = {
    "Konut Bush",
    "Pre Konut Bush 2",
    "Konut Bush 2",
    "Konut Bush 3",
    "Konut Bush 4",
    "Small Konut Bush",
    "PreFlower",
    "YayaFlower",
    "Smallberry",
    "Konut Roots",
    "Food Bin",
    "Food Bin Broken",
    "Well_1",
    "Well_2",
    "Well_3",
    "Pool",
    "Water Tank",
    "Water Tank Broken",
    "Hospital",
    "Hospital Broken",
    "Water Fall",
    "Devolution Pool",
    "Metal Pile",
    "Rock Oblings Pile",
    "Rock Wedges Pile",
    "Sticks Pile",
    "Salt Water",
    "Snow",
    "Hyena Pit",
    "Fertilizer",
    "Idol Elephant 1",
    "Idol Elephant 2",
    "Idol Elephant 3",
    "Idol Elephant 4",
    "Idol Giraffe 1",
    "Idol Giraffe 2",
    "Idol Giraffe 3",
    "Idol Giraffe 4",
    "Idol Lion 1",
    "Idol Lion 2",
    "Idol Lion 3",
    "Idol Lion 4",
    "Idol Monkey 1",
    "Idol Monkey 2",
    "Idol Monkey 3",
    "Idol Monkey 4",
    "Idol Zebra 1",
    "Idol Zebra 2",
    "Idol Zebra 3",
    "Idol Zebra 4",
    "Ark",
    "Ark Part 1",
    "Ark Part 2",
    "Ark Part 3",
    "Ark Part 4",
    "Ark Part Place 1",
    "Ark Part Place 2",
    "Ark Part Place 3",
    "Ark Part Place 4",
    "Ark Materials 1",
    "Ark Materials 2",
    "Ark Materials 3",
    "Ark Materials 4",
    "Dummy",
    "Pre_hospital",
    "Pre_foodbin",
    "Pre_watertank",
    "Beach",
    "Channel",
    "Totem",
    "Treasure map part",
    "Bonus Hidden Konuts",
    "Bonus Special Hammer",
    "Bonus Special Shovel",
    "Bonus Special Tomahawk",
    "Bonus Water Cactus",
    "Tree",
};
constexpr size_t kCreatureFiles = 24;

bool IsMarkupName(const std::string& name) {
    return name == "?xml" || name == "!DOCTYPE" || name.rfind("!--", 0) == 0;
}

TXmlNode* FirstElement(const TXmlNode* document) {
    for (TXmlNode* child : document->GetChildren()) {
        if (!IsMarkupName(child->GetName().c_str())) return child;
    }
    return nullptr;
}

std::unique_ptr<TXmlNode> LoadDocument(const std::string& file, TXmlNode*& root) {
    auto document = std::make_unique<TXmlNode>();
    document->LoadFile(file.c_str());
    root = FirstElement(document.get());
    return document;
}

bool FileExists(const std::string& name) {
    TFile file;
    return file.Open(name.c_str(), kFileReadBinary);
}

// The full name a creature file must define: "lion_guru" gives "GuruLion".
std::string CreatureFullName(const std::string& base) {
    const size_t cut = base.find('_');
    std::string animal = base.substr(0, cut);
    std::string form = base.substr(cut + 1);
    animal[0] = static_cast<char>(animal[0] - 'a' + 'A');
    form[0] = static_cast<char>(form[0] - 'a' + 'A');
    return form + animal;
}

void WalkMarkup(Context& c, const std::string& file, const TXmlNode* node) {
    for (const TXmlNode* child : node->GetChildren()) {
        const std::string name = child->GetName().c_str();
        if (IsMarkupName(name)) {
            // A list that takes every child would read it as a point, a hint or a nickname.
            c.Report(file, std::string(node->GetName().c_str()) + " > " + name, "markup",
                     "declarations, document types and comments have no place in logic files");
        }
        WalkMarkup(c, file, child);
    }
}

// Which attributes the loaders keep in 16 bits, by element name (any parent). Durations are
// checked on their own.
const std::map<std::string, std::vector<const char*>>& ShortFields() {
    static const std::map<std::string, std::vector<const char*>> fields = {
        {"Creature", {"Level"}},
        {"Animator", {"MaxHeadAnimatorsNum", "MaxBodyAnimatorsNum", "AnimatorsNum"}},
        {"Task", {"Production", "Hunger", "Thirst", "MinProb", "ProbTop", "Weight"}},
        {"Food", {"Max", "Portion", "SaveItemRequired", "LevelRequired"}},
        {"Water", {"Max", "Portion", "SaveItemRequired", "LevelRequired"}},
        {"HitRect", {"dx", "dy", "w", "h"}},
        {"Health", {"StartHealth", "CurrentHealth", "HealthPercentsToStop"}},
        {"Build", {"SaveItemRequired", "LevelRequired"}},
        {"Item", {"SaveItemRequired", "LevelRequired"}},
        {"Devolution", {"SaveItemRequired", "LevelRequired"}},
        {"Bonus", {"Bonus"}},
        {"EventTresholds",
         {"SecretMapMinTime", "SecretMapMaxTime", "SecretMapHideTime", "HiddenObjectMinTime",
          "HiddenObjectMaxTime", "HiddenObjectHideTime", "InGameHintsNum"}},
        {"Ark", {"MonkeyNeed"}},
        {"Monsters",
         {"MaxCount", "Period", "Probability", "HealthPercentsToStop", "DistanceToRun",
          "DistanceToDefend", "TomahawkProb", "TomahawkHealthBoost", "TomahawkVulnerability",
          "AdditionDelay"}},
        {"Message", {"ID", "LevelRequired"}},
    };
    return fields;
}

// Floats that a data block saves as the integer of value × 100.
const std::map<std::string, std::vector<const char*>>& SavedFloats() {
    static const std::map<std::string, std::vector<const char*>> fields = {
        {"Animator",
         {"Speed", "AnimSpeedKoef", "RunSpeed", "RunAnimSpeedKoef", "MinSpeed", "MinAnimSpeedKoef",
          "StartLevel", "EndLevel"}},
        {"Health",
         {"HungerHRR", "ThirstHRR", "GlobalHRR", "HungerHAR", "ThirstHAR", "ProbMin", "ProbMax"}},
    };
    return fields;
}

std::string Label(const TXmlNode* node) {
    std::string label = node->GetName().c_str();
    for (const char* key : {"Action", "ID", "Name"}) {
        if (Given(node, key)) return label + " " + Attr(node, key);
    }
    return label;
}

// The 16-bit keys of children named by what they are (a plant, a species).
std::vector<const char*> NamedChildFields(const std::string& parent) {
    if (parent == "Components") return {"Research"};
    if (parent == "CanUse") return {"Level"};
    return {};
}

void CheckValues(Context& c, const std::string& file, const TXmlNode* node,
                 const std::string& parent = std::string()) {
    const std::string name = node->GetName().c_str();
    std::vector<const char*> keys = NamedChildFields(parent);
    const auto shorts = ShortFields().find(name);
    if (shorts != ShortFields().end()) {
        keys.insert(keys.end(), shorts->second.begin(), shorts->second.end());
    }
    for (const char* key : keys) {
        if (!Given(node, key)) continue;
        const int value = IntAttr(node, key);
        if (value < -32768 || value > 32767) {
            c.Report(file, Label(node), "range16",
                     std::string(key) + " " + Attr(node, key) + " does not fit in 16 bits");
        }
    }
    const auto floats = SavedFloats().find(name);
    if (floats != SavedFloats().end()) {
        for (const char* key : floats->second) {
            if (!Given(node, key)) continue;
            const double scaled =
                static_cast<double>(str(Attr(node, key).c_str()).ToFloat()) * 100.0;
            if (!(std::fabs(scaled) <= static_cast<double>(INT_MAX))) {
                c.Report(file, Label(node), "float32",
                         std::string(key) + " " + Attr(node, key) + " times 100 leaves 32 bits");
            }
        }
    }
    for (const TXmlNode* child : node->GetChildren())
        CheckValues(c, file, child, name);
}

// Every task and consumption duration is written, and lies in 1 to 32767: the loaders turn 0 or
// a missing one into the default task length and keep only the low 16 bits.
void CheckDurations(Context& c, const DefinitionFile& d) {
    std::vector<const TXmlNode*> timed;
    if (const TXmlNode* ai = Child(d.root, "AI")) {
        for (const TXmlNode* task : ai->GetChildren())
            timed.push_back(task);
    }
    if (const TXmlNode* consumption = Child(d.root, "Consumption")) {
        for (const TXmlNode* need : consumption->GetChildren())
            timed.push_back(need);
    }
    for (const TXmlNode* node : timed) {
        if (!Given(node, "Duration")) {
            c.Report(d.file, Label(node), "duration", "Duration is not written");
            continue;
        }
        const int duration = IntAttr(node, "Duration");
        if (duration < 1 || duration > 32767) {
            c.Report(d.file, Label(node), "duration",
                     "Duration " + Attr(node, "Duration") + " is outside 1 to 32767");
        }
    }
}

size_t CountChildren(const TXmlNode* root, const char* name) {
    const TXmlNode* list = Child(root, name);
    return list == nullptr ? 0 : list->GetChildren().size();
}

void CompareCount(Context& c, const DefinitionFile& d, const char* list, size_t kept) {
    const size_t listed = CountChildren(d.root, list);
    if (listed != kept) {
        c.Report(d.file, list, "dropped",
                 std::to_string(listed) + " children listed, " + std::to_string(kept) +
                     " kept by the loader");
    }
}

}  // namespace

Context::Context() {
    names.SetGameParams(&params);
    messages.Attach(&params, &names, nullptr);
}

Context::~Context() {
    SetStringTable(nullptr);
}

void Context::Report(const std::string& file, const std::string& element, const std::string& check,
                     const std::string& message) {
    findings.push_back({file, element, check, message});
}

const std::vector<std::string>& Animals() {
    static const std::vector<std::string> animals = {"Puff",  "Lion",     "Giraffe",
                                                     "Zebra", "Elephant", "Gorilla"};
    return animals;
}

const std::vector<std::string>& Forms() {
    static const std::vector<std::string> forms = {"Basic", "Skilled", "Expert", "Guru"};
    return forms;
}

bool IsAnimal(const std::string& name) {
    return std::find(Animals().begin(), Animals().end(), name) != Animals().end();
}

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

bool Given(const TXmlNode* node, const char* name) {
    return IsGiven(node, name);
}

int IntAttr(const TXmlNode* node, const char* name) {
    return ReadIntAttribute(node, name);
}

const TXmlNode* Child(const TXmlNode* node, const char* name) {
    return node == nullptr ? nullptr : node->FindChild(name);
}

std::vector<std::string> SplitAlternatives(const std::string& text) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    size_t start = 0;
    while (true) {
        const size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return parts;
}

double Distance(double x1, double y1, double x2, double y2) {
    return std::hypot(x1 - x2, y1 - y2);
}

const DefinitionFile* FindFile(const Context& c, const std::string& fullName) {
    for (const DefinitionFile& d : c.definitions) {
        if (d.fullName == fullName) return &d;
    }
    return nullptr;
}

void LoadEverything(Context& c) {
    const std::string folder = kLogicFolder;
    c.mainDocument = LoadDocument(folder + "main.xml", c.mainRoot);
    c.namesDocument = LoadDocument(folder + "names.xml", c.namesRoot);
    c.messagesDocument = LoadDocument(folder + "messages.xml", c.messagesRoot);
    for (const char* file : {"main.xml", "names.xml", "messages.xml"}) {
        if (!FileExists(folder + file)) c.Report(folder + file, "-", "1", "the file is missing");
    }
    if (c.mainRoot != nullptr && c.namesRoot != nullptr) {
        GameParams::Load(c.params, c.mainRoot, c.namesRoot, c.names);
    }
    if (c.messagesRoot != nullptr) c.messages.Load(c.messagesRoot, c.names);
    if (!c.strings.LoadFile("strings.xml")) {
        c.Report("strings.xml", "-", "24", "the string table cannot be read");
    }
    SetStringTable(&c.strings);

    static_assert(std::size(kLocationFullNames) + kCreatureFiles + 1 == 102);
    for (size_t i = 0; i < kDefinitionFileCount; ++i) {
        DefinitionFile d;
        const std::string base = kDefinitionFiles[i];
        d.file = folder + base + ".xml";
        if (i < kCreatureFiles) {
            d.kind = DefinitionKind::kCreature;
            d.fullName = CreatureFullName(base);
        } else if (i == kCreatureFiles) {
            d.kind = DefinitionKind::kMonster;
            d.fullName = "BasicHyena";
        } else {
            d.kind = DefinitionKind::kLocation;
            d.fullName = i - kCreatureFiles - 1 < std::size(kLocationFullNames)
                             ? kLocationFullNames[i - kCreatureFiles - 1]
                             : std::string();
        }
        d.document = LoadDocument(d.file, d.root);
        // The game's own load, file by file, so a definition that fails is known by its file.
        d.prototype = c.names.LoadDefinitionFile(d.file.c_str()).stored;
        c.definitions.push_back(std::move(d));
    }
    c.names.ComputeEvolutionTimes();
}

// No declaration, document type or comment anywhere under the logic folder.
void CheckMarkup(Context& c) {
    const std::string folder = kLogicFolder;
    const std::pair<std::string, const TXmlNode*> documents[] = {
        {folder + "main.xml", c.mainDocument.get()},
        {folder + "names.xml", c.namesDocument.get()},
        {folder + "messages.xml", c.messagesDocument.get()},
    };
    for (const auto& [file, document] : documents)
        WalkMarkup(c, file, document);
    for (const DefinitionFile& d : c.definitions)
        WalkMarkup(c, d.file, d.document.get());
}

// Checks 1 to 4 for what every definition file shares, the loader's silent drops, and the value
// ranges of the definition files and main.xml. Guards the 102-file load and the definition
// formats (the creature, monster and location loaders, the registry keys and lookups).
void CheckDefinitionFiles(Context& c) {
    std::map<std::string, std::string> fullNames;  // full name → first file
    for (const DefinitionFile& d : c.definitions) {
        const char* expectedRoot = d.kind == DefinitionKind::kCreature  ? "Creature"
                                   : d.kind == DefinitionKind::kMonster ? "Monster"
                                                                        : "Location";
        if (!FileExists(d.file)) {
            c.Report(d.file, "-", "1", "the file is missing");
            continue;
        }
        if (d.root == nullptr) {
            c.Report(d.file, "-", "1", "the file holds no element");
            continue;
        }
        const std::string rootName = d.root->GetName().c_str();
        if (rootName != expectedRoot) {
            c.Report(d.file, rootName, "1", std::string("the root must be ") + expectedRoot);
        }
        // Check 2: the full name the file defines, unique across all files.
        const std::string fullName =
            Given(d.root, "FullName") ? Attr(d.root, "FullName") : Attr(d.root, "Name");
        if (fullName != d.fullName) {
            c.Report(d.file, rootName, "2",
                     "defines \"" + fullName + "\" instead of \"" + d.fullName + "\"");
        }
        const auto [held, fresh] = fullNames.emplace(fullName, d.file);
        if (!fresh) {
            c.Report(d.file, rootName, "2",
                     "\"" + fullName + "\" is defined by " + held->second + " already");
        }
        if (d.prototype == nullptr) {
            if (fresh) {
                c.Report(d.file, rootName, "1",
                         "the loader keeps no prototype: a required part (Name, Animator Name, "
                         "Evolution, AI, Health StartHealth) is missing");
            }
            continue;
        }
        // The lists the loaders filter: every child listed must be kept.
        if (d.kind == DefinitionKind::kCreature) {
            const auto* creature = static_cast<const GCreatureData*>(d.prototype);
            CompareCount(c, d, "Evolution", creature->evolutionDatas.size());
            CompareCount(c, d, "AI", creature->aiCoefs.size());
            CompareCount(c, d, "Consumption", creature->consumptions.size());
        } else if (d.kind == DefinitionKind::kMonster) {
            CompareCount(c, d, "AI", static_cast<const GMonsterData*>(d.prototype)->aiCoefs.size());
        } else {
            const auto* location = static_cast<const GLocationData*>(d.prototype);
            CompareCount(c, d, "Resources", location->resources.size());
            CompareCount(c, d, "Components", location->components.size());
            CompareCount(c, d, "CanUse", location->canUse.size());
        }
        if (d.kind != DefinitionKind::kLocation) CheckDurations(c, d);
        CheckValues(c, d.file, d.root);
    }
    // Check 3: every full name the program tests exists (the files' names are the full names
    // of the table, so a missing one is a file that failed).
    for (const DefinitionFile& d : c.definitions) {
        const bool found = d.kind == DefinitionKind::kCreature
                               ? c.names.FindCreatureDefinition(d.fullName.c_str()) != nullptr
                           : d.kind == DefinitionKind::kMonster
                               ? c.names.FindMonsterDefinition(d.fullName.c_str()) != nullptr
                               : c.names.FindLocationDefinition(d.fullName.c_str()) != nullptr;
        if (!found) c.Report(d.file, d.fullName, "3", "no prototype under this full name");
    }
    if (c.mainRoot != nullptr) CheckValues(c, std::string(kLogicFolder) + "main.xml", c.mainRoot);
    if (c.messagesRoot != nullptr) {
        CheckValues(c, std::string(kLogicFolder) + "messages.xml", c.messagesRoot);
    }
}

// The installation key: one installation on every run only when the file's whole text is
// already lower-case and has no line end.
void CheckInstallFile(Context& c) {
    TFile file;
    if (!file.Open("install.txt", kFileReadBinary)) {
        c.Report("install.txt", "-", "install", "the file is missing");
        return;
    }
    const int size = file.GetSize();
    std::string text(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0) file.Read(text.data(), size);
    if (text.empty()) c.Report("install.txt", "-", "install", "the key is empty");
    for (char ch : text) {
        const bool allowed =
            (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_' || ch == '-';
        if (!allowed) {
            c.Report("install.txt", "-", "install",
                     "only lower-case letters, digits, \"_\" and \"-\" name one installation "
                     "on every run; found character " +
                         std::to_string(static_cast<unsigned char>(ch)));
            break;
        }
    }
}

std::vector<Finding> Run() {
    Context c;
    LoadEverything(c);
    CheckMarkup(c);
    CheckDefinitionFiles(c);
    CheckCreatures(c);
    CheckMonster(c);
    CheckLocations(c);
    CheckParameters(c);
    CheckLayout(c);
    CheckArt(c);
    CheckTexts(c);
    CheckMessages(c);
    CheckInstallFile(c);
    return std::move(c.findings);
}

std::string Describe(const std::vector<Finding>& findings) {
    std::ostringstream out;
    for (const Finding& f : findings) {
        out << f.file << ": " << f.element << ": check " << f.check << ": " << f.message << "\n";
    }
    return out.str();
}

}  // namespace datalint
