#include "builtart.h"

#include <cmath>
#include <cstdlib>

#include "foundation/xml/xmlnode.h"
#include "inputfile.h"
#include "pngreader.h"

namespace artgen {

namespace {

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

double Number(const TXmlNode* node, const char* name) {
    return std::atof(Attr(node, name).c_str());
}

// The state's id, else "normal", of the child's states; null when it has neither.
const TXmlNode* StateOf(const TXmlNode* child, const std::string& id) {
    const TXmlNode* states = child->FindChild("states");
    if (states == nullptr) return nullptr;
    const TXmlNode* normal = nullptr;
    for (const TXmlNode* s : states->GetChildren()) {
        if (Attr(s, "id") == id) return s;
        if (Attr(s, "id") == "normal") normal = s;
    }
    return normal;
}

}  // namespace

const drawkit::Image* BuiltArt::Sheet(const std::string& image, std::string* error) {
    auto it = mSheets.find(image);
    if (it != mSheets.end()) return it->second.get();
    std::string bytes;
    const std::string path = mFolder + "/anim/" + image;
    if (!tools::ReadInputFile(path, 64u << 20, &bytes, error)) return nullptr;
    auto sheet = std::make_unique<drawkit::Image>();
    if (!drawkit::DecodePng(bytes, sheet.get(), error)) {
        *error = path + ": " + *error;
        return nullptr;
    }
    return mSheets.emplace(image, std::move(sheet)).first->second.get();
}

double BuiltArt::RootDepth(const std::string& name) {
    std::string bytes, error;
    if (!tools::ReadInputFile(mFolder + "/xml/" + name + ".xml", 16u << 20, &bytes, &error))
        return 0;
    TXmlNode document;
    document.ParseString(bytes.c_str(), bytes.size());
    if (document.GetChildren().empty()) return 0;
    return Number(document.GetChildren().front(), "deltaZ");
}

bool BuiltArt::Layers(const std::string& name, const std::string& state, std::vector<Layer>* layers,
                      std::string* error) {
    const std::string path = mFolder + "/xml/" + name + ".xml";
    std::string bytes;
    if (!tools::ReadInputFile(path, 16u << 20, &bytes, error)) return false;
    TXmlNode document;
    document.ParseString(bytes.c_str(), bytes.size());
    const TXmlNode* root =
        document.GetChildren().empty() ? nullptr : document.GetChildren().front();
    const TXmlNode* objects = root == nullptr ? nullptr : root->FindChild("objects");
    if (objects == nullptr) {
        *error = path + ": no objects";
        return false;
    }
    const double rootDepth = Number(root, "deltaZ");
    layers->clear();
    for (const TXmlNode* child : objects->GetChildren()) {
        const TXmlNode* s = StateOf(child, state);
        const TXmlNode* frames = child->FindChild("framelist");
        const TXmlNode* images = child->FindChild("images");
        if (s == nullptr || frames == nullptr || images == nullptr || Attr(s, "visible") == "0")
            continue;
        // The state's first frame: the list begins with a number.
        const size_t first = size_t(std::atoi(Attr(s, "framelist").c_str()));
        if (first >= frames->GetChildren().size()) {
            *error = path + ": " + Attr(child, "id") + " names a frame it does not have";
            return false;
        }
        const TXmlNode* frame = frames->GetChildren()[first];
        const size_t img = size_t(std::atoi(Attr(frame, "img").c_str()));
        if (img >= images->GetChildren().size()) {
            *error = path + ": " + Attr(child, "id") + " names an image it does not have";
            return false;
        }
        Layer layer;
        layer.child = Attr(child, "id");
        layer.sheet = Sheet(Attr(images->GetChildren()[img], "name"), error);
        if (layer.sheet == nullptr) return false;
        layer.x = std::atoi(Attr(frame, "x").c_str());
        layer.y = std::atoi(Attr(frame, "y").c_str());
        layer.w = std::atoi(Attr(frame, "w").c_str());
        layer.h = std::atoi(Attr(frame, "h").c_str());
        if (layer.x < 0 || layer.y < 0 || layer.w <= 0 || layer.h <= 0 ||
            layer.x + layer.w > layer.sheet->width || layer.y + layer.h > layer.sheet->height) {
            *error = path + ": a frame of " + layer.child + " lies outside its sheet";
            return false;
        }
        layer.flip = Attr(s, "flip") == "H";
        const double regX = Number(frame, "regx"), regY = Number(frame, "regy");
        layer.left = Number(child, "deltaX") - (layer.flip ? layer.w - regX : regX);
        layer.top = Number(child, "deltaY") - regY;
        layer.depth = rootDepth + Number(child, "deltaZ");
        layers->push_back(layer);
    }
    return true;
}

int BuiltArt::AlphaAt(const Layer& layer, double x, double y) {
    const int px = int(std::floor(x - layer.left)), py = int(std::floor(y - layer.top));
    if (px < 0 || py < 0 || px >= layer.w || py >= layer.h) return 0;
    const int sx = layer.flip ? layer.x + layer.w - 1 - px : layer.x + px;
    return layer.sheet->At(sx, layer.y + py)[3];
}

}  // namespace artgen
