// The names: every description the program and the data ask for is there, every place has its
// layout and the level its cells; a description, layout or image that nothing asks for is dead
// art. The roots: each description's root is "main" with its own name as id, and no two share one.
#include <filesystem>
#include <map>

#include "foundation/file/file.h"
#include "lintcontext.h"

namespace artlint {
namespace {

bool Exists(const std::string& virtualName) {
    return FileExists(str(virtualName.c_str()));
}

}  // namespace

void CheckNames(Context& c) {
    std::set<std::string> wanted;
    for (const std::string& name : c.cast.AllDescriptions()) {
        wanted.insert(name);
        if (c.Find(name) == nullptr)
            c.Report("names", name, "", "", "no sprite description xml/" + name + ".xml");
    }
    for (const std::string& place : c.cast.PlaceAnimators()) {
        if (!Exists("xml/" + place + ".layout"))
            c.Report("names", place, "", "", "no layout xml/" + place + ".layout");
    }
    const std::string level = testing_support::kLevelName;
    if (!Exists("xml/" + level + ".layout"))
        c.Report("names", level, "", "", "no level cells xml/" + level + ".layout");

    // Dead art.
    for (const auto& [name, d] : c.descriptions) {
        if (!wanted.count(name))
            c.Report("names", name, "", "",
                     "dead art: nothing in the program or its data names it");
    }
    const std::set<std::string> places(c.cast.PlaceAnimators().begin(),
                                       c.cast.PlaceAnimators().end());
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(c.folder + "xml", error)) {
        if (entry.path().extension() != ".layout") continue;
        const std::string name = entry.path().stem().string();
        if (!places.count(name) && name != level)
            c.Report("names", name, "", "", "dead art: a layout no place uses");
    }
    const std::map<std::string, ImageUser> images = NamedImages(c);
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(c.folder + "anim", error)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".png") continue;
        const std::string image =
            "anim/" + std::filesystem::relative(entry.path(), c.folder + "anim").string();
        if (!images.count(image)) c.Report("names", "-", "", "", "dead art: " + image);
    }
}

void CheckRoots(Context& c) {
    std::map<std::string, std::string> ids;  // root id → the first description with it
    for (const auto& [name, d] : c.descriptions) {
        if (d.root == nullptr) {
            c.Report("root", name, "", "", "the file holds no element");
            continue;
        }
        if (std::string(d.root->GetName().c_str()) != "main")
            c.Report("root", name, "", "",
                     "the root is <" + std::string(d.root->GetName().c_str()) + ">, not <main>");
        if (d.main.id != name)
            c.Report("root", name, "", "", "the root's id \"" + d.main.id + "\" is not its name");
        auto [at, first] = ids.emplace(d.main.id, name);
        if (!first && !d.main.id.empty())
            c.Report("root", name, "", "", "the root's id is " + at->second + "'s too");
    }
}

}  // namespace artlint
