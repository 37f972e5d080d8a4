#include "artlint.h"

#include <filesystem>
#include <functional>
#include <sstream>

#include "gv/framelist.h"
#include "lintcontext.h"

namespace artlint {

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

bool Object::Hidden(const std::string& state) const {
    auto it = states.find(state);
    return it != states.end() && Attr(it->second, "visible") == "0";
}

std::vector<int> Object::Frames(const std::string& state) const {
    std::vector<int32_t> frames;
    auto it = states.find(state);
    if (it != states.end())
        ParseFrameList(frames, frameCount, Attr(it->second, "framelist").c_str());
    return std::vector<int>(frames.begin(), frames.end());
}

std::string Object::Next(const std::string& state) const {
    auto it = states.find(state);
    return it == states.end() ? std::string() : Attr(it->second, "nextstate");
}

const Object* Description::Child(const std::string& id) const {
    auto it = children.find(id);
    return it == children.end() ? nullptr : &it->second;
}

Context::Context(std::string folderPath) : folder(std::move(folderPath) + "/") {}

void Context::Report(const std::string& check, const std::string& description,
                     const std::string& child, const std::string& state,
                     const std::string& message) {
    findings.push_back({check, description, child, state, message});
}

const Description* Context::Find(const std::string& name) const {
    auto it = descriptions.find(name);
    return it == descriptions.end() ? nullptr : &it->second;
}

Object ReadObject(const TXmlNode* node) {
    Object object;
    object.node = node;
    object.id = Attr(node, "id");
    if (const TXmlNode* frames = node->FindChild("framelist"))
        object.frameCount = int(frames->GetChildren().size());
    if (const TXmlNode* states = node->FindChild("states")) {
        for (const TXmlNode* state : states->GetChildren())
            object.states.emplace(Attr(state, "id"), state);
    }
    return object;
}

std::map<std::string, ImageUser> NamedImages(const Context& c) {
    std::map<std::string, ImageUser> images;
    std::function<void(const std::string&, const std::string&, const TXmlNode*)> walk =
        [&](const std::string& description, const std::string& child, const TXmlNode* node) {
            if (const TXmlNode* set = node->FindChild("images")) {
                std::string folder = Attr(set, "path");
                if (folder.empty()) folder = "anim/";
                for (const TXmlNode* img : set->GetChildren()) {
                    const std::string path = Attr(img, "path");
                    images.emplace((path.empty() ? folder : path) + Attr(img, "name"),
                                   ImageUser{description, child});
                }
            }
            if (const TXmlNode* objects = node->FindChild("objects"))
                for (const TXmlNode* object : objects->GetChildren())
                    walk(description, Attr(object, "id"), object);
        };
    for (const auto& [name, d] : c.descriptions)
        if (d.root != nullptr) walk(name, "", d.root);
    return images;
}

void ReadDescriptions(Context& c) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(c.folder + "xml", error)) {
        // The sound scheme lies beside the descriptions and is none.
        if (!entry.is_regular_file() || entry.path().extension() != ".xml" ||
            entry.path().filename() == "sound_scheme.xml")
            continue;
        Description d;
        d.name = entry.path().stem().string();
        d.document = std::make_unique<TXmlNode>();
        d.document->LoadFile(str(("xml/" + d.name + ".xml").c_str()));
        if (!d.document->GetChildren().empty()) {
            d.root = d.document->GetChildren().front();
            d.main = ReadObject(d.root);
            if (const TXmlNode* objects = d.root->FindChild("objects")) {
                for (const TXmlNode* node : objects->GetChildren()) {
                    Object child = ReadObject(node);
                    d.order.push_back(child.id);
                    d.children.emplace(child.id, std::move(child));
                }
            }
        }
        const std::string name = d.name;
        c.descriptions.emplace(name, std::move(d));
    }
}

std::vector<Finding> Run(const std::string& folder, Totals* totals) {
    Context c(folder);
    if (!c.cast.Loaded()) {
        c.Report("names", "-", "", "", "the logic files cannot be read (xml/logic/main.xml)");
        return std::move(c.findings);
    }
    ReadDescriptions(c);
    CheckNames(c);
    CheckRoots(c);
    CheckStates(c);
    CheckFigures(c);
    CheckPlaces(c);
    CheckLayouts(c);
    CheckLoading(c);
    CheckBudgets(c);
    if (totals != nullptr) *totals = c.totals;
    return std::move(c.findings);
}

std::string Describe(const std::vector<Finding>& findings) {
    std::ostringstream out;
    for (const Finding& f : findings) {
        out << f.check << ": " << f.description;
        if (!f.child.empty()) out << "@" << f.child;
        if (!f.state.empty()) out << " [" << f.state << "]";
        out << ": " << f.message << "\n";
    }
    return out.str();
}

}  // namespace artlint
