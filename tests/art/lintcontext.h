// What the art lint's checks share: the cast the data asks for, every description of the folder
// read as a document (its direct children by id, with their frame counts and states), the
// findings, and small readers. Built and run by artlint.cpp; each lint*.cpp holds the checks of
// one part of the art.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "artlint.h"
#include "foundation/xml/xmlnode.h"
#include "support/worldcast.h"

namespace artlint {

using Ids = std::set<std::string>;

std::string Attr(const TXmlNode* node, const char* name);

// An object element of a description: the root or one of its children.
struct Object {
    const TXmlNode* node = nullptr;
    std::string id;
    // The frames of its own frame list (0 without one).
    int frameCount = 0;
    std::map<std::string, const TXmlNode*> states;

    bool Has(const std::string& state) const { return states.count(state) != 0; }
    // Whether the state hides the object ("visible" 0).
    bool Hidden(const std::string& state) const;
    // The state's frame numbers (as far as they parse).
    std::vector<int> Frames(const std::string& state) const;
    std::string Next(const std::string& state) const;
};

struct Description {
    std::string name;  // the file's name without "xml/" and ".xml"
    std::unique_ptr<TXmlNode> document;
    const TXmlNode* root = nullptr;  // null when the file holds no element
    Object main;
    // The direct children of "objects", in order and by id.
    std::vector<std::string> order;
    std::map<std::string, Object> children;

    const Object* Child(const std::string& id) const;
};

class Context {
public:
    explicit Context(std::string folder);

    void Report(const std::string& check, const std::string& description, const std::string& child,
                const std::string& state, const std::string& message);
    // The description of that name, or null when the folder has none.
    const Description* Find(const std::string& name) const;

    // The game folder on disk, with a trailing "/".
    const std::string folder;
    testing_support::WorldCast cast;
    // Every "xml/*.xml" of the folder (the logic files aside), by name.
    std::map<std::string, Description> descriptions;
    std::vector<Finding> findings;
    Totals totals;
};

// Where an image is first named: the description and the child (empty: the root).
struct ImageUser {
    std::string description;
    std::string child;
};
// An object element with its frame count and states (artlint.cpp).
Object ReadObject(const TXmlNode* node);
// Every image the descriptions name ("anim/" and the name, unless a "path" says otherwise), with
// its first user in the order of the descriptions' names (artlint.cpp).
std::map<std::string, ImageUser> NamedImages(const Context& c);
// Reads every description of the folder (artlint.cpp).
void ReadDescriptions(Context& c);

// The checks, by part of the art.
void CheckNames(Context& c);    // lintnames.cpp
void CheckRoots(Context& c);    // lintnames.cpp
void CheckStates(Context& c);   // lintstates.cpp
void CheckFigures(Context& c);  // lintfigures.cpp
void CheckPlaces(Context& c);   // lintplaces.cpp
void CheckLayouts(Context& c);  // lintplaces.cpp
void CheckLoading(Context& c);  // lintloading.cpp: the factory, images, frames, words
void CheckBudgets(Context& c);  // lintloading.cpp

}  // namespace artlint
