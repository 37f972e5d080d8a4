// A sprite description as the generators build it, and its XML text as the game's factory reads
// it. The writer keeps the rules every description follows: the root "main" carries the
// description's name as its id (children's templates are cached under their owner's name); the
// children are "obj" elements under "objects", each with its id; every frame list is centred
// "left" (a mirrored frame then mirrors its point to size − registration and keeps its feet);
// frames are listed in sheet order and each child's images are the sheets it uses, in order.
//
// Pure data and functions; one thread at a time.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "packer.h"

namespace drawkit {

// One frame: a picture of the packer and where the sprite's position lies in it.
struct FrameRef {
    int picture = 0;
    int regX = 0;
    int regY = 0;
};

// A keyframe interpolator of a state ("DeltaMoveInterpolator" and the others), with its time.
struct Interpolator {
    std::string type;
    int time = 1000;
    std::string keys;
};

struct StateDesc {
    StateDesc() = default;
    StateDesc(std::string id_, std::vector<int> frames_, int delay_, std::string next_ = "",
              bool hidden_ = false)
        : id(std::move(id_)),
          frames(std::move(frames_)),
          delay(delay_),
          next(std::move(next_)),
          hidden(hidden_) {}

    std::string id;
    std::vector<int> frames;  // indexes into the child's frames
    int delay = 100;
    std::string next;     // the state that follows, or empty
    bool hidden = false;  // visible="0"
    bool flipH = false;   // flip="H"
    std::vector<Interpolator> effects;
};

struct ChildDesc {
    std::string id;
    std::string hitTest = "none";
    // Where the child sits in its parent and its depth offset (deltaX, deltaY, deltaZ).
    double x = 0, y = 0, z = 0;
    std::vector<FrameRef> frames;
    std::vector<StateDesc> states;
    // Whether the contact sheet draws this child in the composed figure of each state.
    bool composite = false;

    const StateDesc* FindState(const std::string& id) const;
};

struct Description {
    std::string id;
    double scaling = 1.0;
    double deltaZ = 0;    // the root's depth offset
    std::string hitTest;  // the root's hit test, when it names one
    std::vector<ChildDesc> children;

    const ChildDesc* FindChild(const std::string& id) const;
};

// The description's XML text. Images are named sheetPrefix + sheet number + ".png" (relative to
// the game's texture folder "anim/"). firstChildren, XML text of children written by the
// caller, comes before the described children.
std::string WriteDescription(const Description& description, const Packer& packer,
                             const std::string& sheetPrefix,
                             const std::string& firstChildren = std::string());

// A number as the descriptions write it: a whole number as it is, others to ten significant
// digits, without trailing zeros.
std::string FormatNumber(double value);

// A frame list as a "framelist" attribute: numbers by ",", runs of three or more as "a..b".
std::string FormatFrames(const std::vector<int>& frames);

}  // namespace drawkit
