#include "support/worldsprites.h"

#include <png.h>

#include <algorithm>
#include <cstdint>

#include "foundation/file/fileindex.h"
#include "gv/gvfactory.h"
#include "simulation/nameregistry.h"
#include "support/imagewriter.h"

namespace testing_support {
namespace {

const char* const kImage = "anim/standin.png";
constexpr int kImageSize = 8;

std::string Frame() {
    return "<images><img name=\"standin.png\"/></images><framelist centering=\"left\"><frame "
           "x=\"0\" y=\"0\" w=\"8\" h=\"8\" regx=\"4\" regy=\"8\"/></framelist>";
}

std::string States(const std::vector<std::string>& ids) {
    std::string text = "<states>";
    for (const std::string& id : ids)
        text += "<state id=\"" + id + "\" framelist=\"0\"/>";
    return text + "</states>";
}

std::string Child(const std::string& id) {
    std::string states;
    if (id == "body") {
        states =
            "<states><state id=\"disappear\" framelist=\"0\" defdelay=\"100\" "
            "nextstate=\"hidden\"/><state id=\"hidden\" framelist=\"0\"/></states>";
    } else if (id == "disease") {
        states = States({"None", "Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"});
    } else if (id == "icon") {
        states = States({"icon_null", "icon_lb", "icon_lbn", "icon_qm"});
    }
    return "<obj id=\"" + id + "\">" + Frame() + states + "</obj>";
}

std::string StandInImage() {
    PngImage image;
    image.width = kImageSize;
    image.height = kImageSize;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.samples.assign(size_t(kImageSize) * kImageSize * 4, 255);
    return WritePng(image);
}

}  // namespace

std::vector<std::string> WorldSprites::StateNames() {
    std::vector<std::string> names;
    for (const char* activity : {"stay", "walk"})
        for (const char* direction : {"NE", "NW", "SW", "SE"})
            for (const char* head : {"", "_headLeft", "_headRight"})
                names.push_back(std::string(activity) + "_" + direction + head);
    for (const char* activity : {"work", "workM", "think", "breed", "hidden", "celebrate", "fight",
                                 "flakeOut", "flakeOut_headLeft", "flakeOut_headRight"})
        names.push_back(activity);
    for (const char* effect : {"dust", "chips", "splinters", "splashes", "pillage"})
        for (const char* side : {"_on_left", "_on_right"})
            names.push_back(std::string(effect) + side);
    for (int level = 0; level <= 9; ++level)
        for (int capacity = 0; capacity <= 9; ++capacity)
            names.push_back("level" + std::to_string(level) + "_capacity" +
                            std::to_string(capacity));
    return names;
}

std::vector<std::string> WorldSprites::ChildNames() {
    std::vector<std::string> names;
    for (const char* part : {"body", "head"}) {
        names.push_back(part);
        for (int variant = 2; variant <= 9; ++variant)
            names.push_back(part + std::to_string(variant));
        names.push_back(std::string(part) + "0");
    }
    for (const char* item : {"stick", "shovel",      "hammer",   "tomahawk",   "fertilizer",
                             "nail",  "food",        "water",    "rock",       "stone_2",
                             "woods", "s-shovel",    "s-hammer", "s-tomahawk", "smallberries",
                             "roots", "yayaflowers", "disease",  "icon",       "sand"})
        names.push_back(item);
    return names;
}

std::vector<std::string> WorldSprites::FixedNames() {
    std::vector<std::string> names = {"skeleton"};
    for (int level = 1; level <= 5; ++level)
        names.push_back("hyena_l" + std::to_string(level));
    for (int part = 1; part <= 4; ++part)
        names.push_back("ark_part_mover_" + std::to_string(part));
    return names;
}

std::string WorldSprites::Description() {
    std::string text = "<main>" + Frame() + States(StateNames()) + "<objects>";
    for (const std::string& child : ChildNames())
        text += Child(child);
    return text + "</objects></main>";
}

WorldSprites::WorldSprites() : mDescription(Description()) {
    Put(kImage, StandInImage());
    Put("xml/level1.xml", "<main>" + Frame() + "</main>");
    for (const std::string& name : FixedNames())
        Add(name);
}

WorldSprites::~WorldSprites() {
    GVFactory::Instance().ReleaseAll();
    for (const std::string& file : mFiles)
        RegisterMemoryFile(file.c_str(), nullptr, 0);
}

void WorldSprites::AddDefinitions(const GNameRegistry& registry) {
    registry.ForEachDefinition([this](const GObjectData& block) {
        const std::string name = block.animatorName.c_str();
        if (!name.empty() && std::find(mNames.begin(), mNames.end(), name) == mNames.end())
            Add(name);
    });
}

void WorldSprites::Add(const std::string& name) {
    const std::string file = "xml/" + name + ".xml";
    mFiles.push_back(file);
    mNames.push_back(name);
    RegisterMemoryFile(file.c_str(), mDescription.data(),
                       static_cast<uint32_t>(mDescription.size()));
}

void WorldSprites::Put(const std::string& path, const std::string& bytes) {
    mBytes.push_back(bytes);
    mFiles.push_back(path);
    RegisterMemoryFile(path.c_str(), mBytes.back().data(),
                       static_cast<uint32_t>(mBytes.back().size()));
}

}  // namespace testing_support
