// What the lint's checks share: the loaded data (the real loaders' results beside the documents
// they read), the list of findings, and small helpers for reading the documents. Built and run by
// datalint.cpp; each lint*.cpp file holds the checks of one part of the data.
#pragma once

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "datalint.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/nameregistry.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/messagetable.h"

namespace datalint {

// The folder of the logic files, as the game names it.
inline constexpr char kLogicFolder[] = "xml/logic/";
inline constexpr int kHighestEvent = 55;

enum class DefinitionKind { kCreature, kMonster, kLocation };

struct DefinitionFile {
    std::string file;      // "xml/logic/puff_basic.xml"
    std::string fullName;  // the full name the file must define
    DefinitionKind kind = DefinitionKind::kLocation;
    std::unique_ptr<TXmlNode> document;
    TXmlNode* root = nullptr;  // the document's element, null when there is none
    const GObjectData* prototype = nullptr;
};

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    void Report(const std::string& file, const std::string& element, const std::string& check,
                const std::string& message);

    GNameRegistry names;
    GlobalData params;
    MessageTable messages;
    TStringTable strings;

    std::unique_ptr<TXmlNode> mainDocument, namesDocument, messagesDocument;
    TXmlNode* mainRoot = nullptr;
    TXmlNode* namesRoot = nullptr;
    TXmlNode* messagesRoot = nullptr;
    std::vector<DefinitionFile> definitions;
    // The rows of "strings.xml" as the table scans them: label and cell text, in file order.
    std::vector<std::pair<std::string, std::string>> rows;

    std::vector<Finding> findings;
};

// Names, as the rules spell them.
const std::vector<std::string>& Animals();
const std::vector<std::string>& Forms();
bool IsAnimal(const std::string& name);

// Helpers over the documents.
std::string Attr(const TXmlNode* node, const char* name);
bool Given(const TXmlNode* node, const char* name);
// The attribute as the loaders read an integer (clamped to 32 bits).
int IntAttr(const TXmlNode* node, const char* name);
const TXmlNode* Child(const TXmlNode* node, const char* name);
std::vector<std::string> SplitAlternatives(const std::string& text);
double Distance(double x1, double y1, double x2, double y2);

// The checks, by part of the data.
void LoadEverything(Context& c);
void CheckMarkup(Context& c);
void CheckDefinitionFiles(Context& c);
void CheckCreatures(Context& c);
void CheckMonster(Context& c);
void CheckLocations(Context& c);
void CheckParameters(Context& c);
void CheckLayout(Context& c);
void CheckTexts(Context& c);
void CheckMessages(Context& c);
void CheckInstallFile(Context& c);

// The definition of a full name among the files, or null.
const DefinitionFile* FindFile(const Context& c, const std::string& fullName);

// Where the generated art is found through the file layer: the built game folder indexed under
// this prefix (datafolder.h).
inline constexpr char kArtPrefix[] = "art:/";

// A location of the start layout.
struct Placed {
    std::string name;
    int x, y;
};
std::vector<Placed> LayoutLocations(const Context& c);
// Tutorial staging, hyena display and ark mover points the layout keeps clear of (world pixels).
const std::vector<std::array<int, 2>>& FixedPoints();

// The walk-grid parts of checks 22 and 23, read from the generated art (lintart.cpp).
void CheckArt(Context& c);

}  // namespace datalint
