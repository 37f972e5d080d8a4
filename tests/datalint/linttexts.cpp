// Checks 24 to 26: the string table's labels and texts, the nicknames, and the messages.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "foundation/file/file.h"
#include "foundation/xml/xmlreference.h"
#include "lintcontext.h"

namespace datalint {

namespace {

const char kStrings[] = "strings.xml";
const std::string kMessages = std::string(kLogicFolder) + "messages.xml";
const std::string kNames = std::string(kLogicFolder) + "names.xml";
const std::string kMain = std::string(kLogicFolder) + "main.xml";

// The labels whose texts the program fills in with FormatParams.
const std::set<std::string> kParamLabels = {
    "no_cure",        "doctor_passive",     "tutorial_world_interaction",
    "tutorial_build", "tutorial_evolution", "tutorial_doctor",
    "tutorial_tool",
};
// Groups of task and walk labels: the target is appended after them, and they never see
// FormatParams.
const std::set<char> kTaskLabelGroups = {'H', 'I', 'J'};

std::string ReadWhole(const char* name) {
    TFile file;
    if (!file.Open(name, kFileReadBinary)) return std::string();
    const int size = file.GetSize();
    std::string bytes(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0) bytes.resize(static_cast<size_t>(std::max(file.Read(bytes.data(), size), 0)));
    return bytes;
}

// A cell's text as the string table reads it: after the first ">" following "<Data", up to the
// next "<", references decoded.
bool Cell(std::string_view document, size_t cell, std::string& text, size_t& end) {
    const size_t open = document.find('>', cell + 5);
    if (open == std::string_view::npos) return false;
    end = document.find('<', open + 1);
    if (end == std::string_view::npos) end = document.size();
    text = std::string(document.substr(open + 1, end - open - 1));
    DecodeXmlReferences(text);
    return true;
}

// Every row of the file, in order, as the table scans it (the table itself keeps only the last
// row of a label, so a duplicate is only seen here).
std::vector<std::pair<std::string, std::string>> ScanRows(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> rows;
    const std::string_view document(bytes.data(), strnlen(bytes.data(), bytes.size()));
    size_t row = document.find("<Row");
    while (row != std::string_view::npos) {
        const size_t next = document.find("<Row", row + 4);
        const size_t rowEnd = next == std::string_view::npos ? document.size() : next;
        const size_t labelCell = document.find("<Data", row + 4);
        std::string label, text;
        size_t labelEnd = 0, textEnd = 0;
        if (labelCell < rowEnd && Cell(document, labelCell, label, labelEnd)) {
            const size_t textCell = document.find("<Data", labelEnd);
            if (textCell < rowEnd) Cell(document, textCell, text, textEnd);
            rows.emplace_back(label, text);
        }
        row = next;
    }
    return rows;
}

// What a text or nickname must not hold: it ends up in single-quoted script strings, as markup of
// the text renderer, or as a placeholder.
std::string UnsafePart(const std::string& label, const std::string& text) {
    if (text.find('\'') != std::string::npos) return "a single quote";
    if (text.find('\n') != std::string::npos || text.find('\r') != std::string::npos) {
        return "a line break";
    }
    if (text.find('<') != std::string::npos || text.find('>') != std::string::npos) {
        return "\"<\" or \">\"";
    }
    if (text.find("#####") != std::string::npos) return "\"#####\"";
    std::string rest = text;
    if (label == "welcome") {
        const size_t placeholder = rest.find("%1%");
        if (placeholder != std::string::npos) rest.erase(placeholder, 3);
    }
    if (rest.find('%') != std::string::npos) return "a \"%\"";
    return std::string();
}

}  // namespace

// Checks 24 and 25, the rows and the lookups. Guards the string table's scan and lookup, the
// task-label builder, the status panel's FormatParams, the alert and history scripts.
void CheckTexts(Context& c) {
    c.rows = ScanRows(ReadWhole(kStrings));
    std::map<std::string, std::string> cells;
    for (const auto& [label, text] : c.rows) {
        if (!cells.emplace(label, text).second) {
            c.Report(kStrings, "Row " + label, "rows", "the label stands in more than one row");
        }
    }
    for (const auto& [label, text] : c.rows) {
        const std::string unsafe = UnsafePart(label, text);
        if (!unsafe.empty()) c.Report(kStrings, "Row " + label, "25", "the text holds " + unsafe);
        if (text.find("$PARAM") != std::string::npos && kParamLabels.count(label) == 0) {
            c.Report(kStrings, "Row " + label, "25", "only FormatParams texts hold $PARAM");
        }
        // The table gives the file's cell back ("welcome" with its argument in place).
        std::string expected = text;
        std::string got;
        if (label == "welcome") {
            const size_t placeholder = expected.find("%1%");
            if (placeholder != std::string::npos) expected.replace(placeholder, 3, "Abc");
            got = c.strings.GetString(label.c_str(), "Abc").c_str();
        } else {
            got = c.strings.GetString(label.c_str()).c_str();
        }
        if (got != expected) {
            c.Report(kStrings, "Row " + label, "lookup", "looks up as \"" + got + "\"");
        }
    }
    // Check 24: every label the program and the data name.
    for (const LabelGroup& group : RequiredLabels()) {
        for (const char* label : group.labels) {
            const auto cell = cells.find(label);
            if (cell == cells.end()) {
                c.Report(kStrings, std::string("Row ") + label, "24", "the label is missing");
                continue;
            }
            if (kTaskLabelGroups.count(group.group) != 0 &&
                cell->second.find("$PARAM") != std::string::npos) {
                c.Report(kStrings, std::string("Row ") + label, "25",
                         "a task label never holds $PARAM");
            }
        }
    }
    for (const GHint& hint : c.params.hints) {
        if (cells.count(hint.id.c_str()) == 0) {
            c.Report(kMain, "Hint " + std::string(hint.id.c_str()), "24", "no such label");
        }
    }
    for (const auto& [id, point] : c.params.pointsOfInterest) {
        const std::string text = point.text.c_str();
        const std::string element = std::string(id.c_str());
        if (cells.count(text) == 0) c.Report(kMain, element, "24", "no label " + text);
        if (std::any_of(text.begin(), text.end(), [](char ch) { return std::isupper(ch); })) {
            c.Report(kMain, element, "24", "TextID must be lower-case");
        }
    }
    // A label must not be a name the program localises (targets, species, creature names).
    std::set<std::string> localised(Animals().begin(), Animals().end());
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind == DefinitionKind::kLocation) localised.insert(d.fullName);
    }
    for (const auto& [label, text] : cells) {
        if (localised.count(label) != 0) {
            c.Report(kStrings, "Row " + label, "25", "the label equals a place or species name");
        }
    }
    // Nicknames: 60, unique, letters only, none a label.
    const std::vector<str>& nicknames = c.params.GetNames();
    if (nicknames.size() != 60) {
        c.Report(kNames, "Names", "25", std::to_string(nicknames.size()) + " nicknames, not 60");
    }
    std::set<std::string> seen;
    for (const str& name : nicknames) {
        const std::string nickname = name.c_str();
        const std::string element = "Name " + nickname;
        if (!seen.insert(nickname).second) c.Report(kNames, element, "25", "listed twice");
        if (nickname.empty() || !std::all_of(nickname.begin(), nickname.end(), [](char ch) {
                return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
            })) {
            c.Report(kNames, element, "25", "a nickname is letters only");
        }
        if (cells.count(nickname) != 0) {
            c.Report(kNames, element, "25", "equals a label: the death text would localise it");
        }
    }
}

// Check 26 (and check 4's names in messages). Guards the message loader and its matching.
void CheckMessages(Context& c) {
    if (c.messagesRoot == nullptr) {
        c.Report(kMessages, "-", "26", "messages.xml holds no element");
        return;
    }
    const std::set<std::string> types = {"Hover",       "StandBy", "DropSuccess",
                                         "DropFailure", "Success", "Failure"};
    const std::set<std::string> states = {"Normal", "Old", "Sick"};
    const std::set<std::string> objectStates = {"notbuilt", "built",  "empty", "halffull",
                                                "full",     "normal", "old",   "sick"};
    std::set<std::string> objects(Animals().begin(), Animals().end());
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind == DefinitionKind::kLocation) objects.insert(d.fullName);
    }
    objects.insert("BasicHyena");
    objects.insert("Treasure");
    std::set<std::string> catchAll;
    std::set<std::string> labels;
    for (const auto& row : c.rows)
        labels.insert(row.first);

    for (const TXmlNode* message : c.messagesRoot->GetChildren()) {
        const std::string type = Attr(message, "Type");
        const std::string element = "Message " + type + " " + Attr(message, "ID");
        if (std::string(message->GetName().c_str()) != "Message" || types.count(type) == 0) {
            c.Report(kMessages, element, "26", "not a message of the six lists");
            continue;
        }
        if (IntAttr(message, "ID") > 9999) c.Report(kMessages, element, "26", "ID above 9999");
        bool anySituation = false;
        for (const char* key : {"NameRequired", "ObjectName", "ItemRequired", "LevelRequired",
                                "StateRequired", "ObjectStateRequired", "EventRequired"}) {
            anySituation = anySituation || Given(message, key);
        }
        if (!anySituation) catchAll.insert(type);
        for (const std::string& name : SplitAlternatives(Attr(message, "NameRequired"))) {
            if (!IsAnimal(name))
                c.Report(kMessages, element, "4", "\"" + name + "\" is no species");
        }
        for (const std::string& item : SplitAlternatives(Attr(message, "ItemRequired"))) {
            if (c.names.GetItemKind(item.c_str()) == 0) {
                c.Report(kMessages, element, "4", "\"" + item + "\" is no item");
            }
        }
        for (const std::string& state : SplitAlternatives(Attr(message, "StateRequired"))) {
            if (states.count(state) == 0) {
                c.Report(kMessages, element, "26", "StateRequired \"" + state + "\" is unknown");
            }
        }
        for (const std::string& state : SplitAlternatives(Attr(message, "ObjectStateRequired"))) {
            if (objectStates.count(state) == 0) {
                c.Report(kMessages, element, "26",
                         "ObjectStateRequired \"" + state + "\" is unknown");
            }
        }
        for (const std::string& object : SplitAlternatives(Attr(message, "ObjectName"))) {
            if (objects.count(object) == 0) {
                c.Report(kMessages, element, "26", "ObjectName \"" + object + "\" names nothing");
            }
        }
        for (const std::string& event : SplitAlternatives(Attr(message, "EventRequired"))) {
            const int id = std::atoi(event.c_str());
            if (id < 0 || id > kHighestEvent) {
                c.Report(kMessages, element, "26", "EventRequired outside 0 to 55");
            }
        }
        // Check 24: the text exists.
        if (labels.count(Attr(message, "TextID")) == 0) {
            c.Report(kMessages, element, "24", "no label " + Attr(message, "TextID"));
        }
    }
    for (const char* list : {"Hover", "DropSuccess", "DropFailure", "Success", "Failure"}) {
        if (catchAll.count(list) == 0) {
            c.Report(kMessages, list, "26", "the list has no catch-all message");
        }
    }
}

}  // namespace datalint
