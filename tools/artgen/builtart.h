// The art as the game reads it, read back from the built game folder: a sprite description
// ("xml/<name>.xml") with the pictures its children show in a state, cut from their sheets
// ("anim/..."), placed around the sprite's position with their depth offsets. The world picture
// and the art's lints look at the sprites through it, as the views switch them: every child takes
// the state when it has it and keeps "normal" otherwise, a hidden state shows nothing, and an
// animated state is seen at its first frame.
//
// Sheets are read once and kept. One thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image.h"

namespace artgen {

class BuiltArt {
public:
    explicit BuiltArt(std::string gameFolder) : mFolder(std::move(gameFolder)) {}

    // One picture a child shows.
    struct Layer {
        std::string child;
        const drawkit::Image* sheet = nullptr;
        int x = 0, y = 0, w = 0, h = 0;  // the frame in the sheet
        double left = 0, top = 0;        // its top-left, from the sprite's position
        double depth = 0;                // the root's and the child's depth offsets
        bool flip = false;
    };

    // The layers of the description in the state (children in description order). False with
    // *error when the description or a sheet cannot be read.
    bool Layers(const std::string& name, const std::string& state, std::vector<Layer>* layers,
                std::string* error);

    // The root's depth offset of the description (its deltaZ); 0 when it has none or cannot be
    // read.
    double RootDepth(const std::string& name);

    // The alpha of the layer at the point (relative to the sprite's position); 0 outside it.
    static int AlphaAt(const Layer& layer, double x, double y);

private:
    const drawkit::Image* Sheet(const std::string& image, std::string* error);

    std::string mFolder;
    std::map<std::string, std::unique_ptr<drawkit::Image>> mSheets;
};

}  // namespace artgen
