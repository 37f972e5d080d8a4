// Stand-in sprites of the world, for the tests of the world views and of the world until its art
// has landed: descriptions registered as memory files "xml/<name>.xml", which the sprite factory
// builds with one small image ("anim/standin.png", 8 × 8 opaque white, registration point at the
// bottom centre). The engine keeps only objects that have a frame or children, and states need
// frames, so every object of the stand-in shows that one frame.
//
// The stand-in: a root with the states the world's views show (see StateNames) and the children
// the views and the world touch (ChildNames), each with the frame and the states of its own:
// "body" plays "disappear" (100 ms, then "hidden") so that a grave can fade; "disease" has the
// disease marks, "icon" the hint icons. "level1" is the level picture (one frame, no children).
// It is registered under every creature, location and monster description name of a registry's
// definitions and under the fixed names "skeleton", "hyena_l1" to "hyena_l5" and
// "ark_part_mover_1" to "ark_part_mover_4".
//
// The object owns the files: its destruction takes them away and releases the factory's
// templates. Main thread only.
#pragma once

#include <deque>
#include <string>
#include <vector>

class GNameRegistry;

namespace testing_support {

class WorldSprites {
public:
    // Registers the image, "level1" and the fixed names.
    WorldSprites();
    ~WorldSprites();
    WorldSprites(const WorldSprites&) = delete;
    WorldSprites& operator=(const WorldSprites&) = delete;

    // The stand-in under the description name of every definition of the registry.
    void AddDefinitions(const GNameRegistry& registry);
    // The stand-in under the name.
    void Add(const std::string& name);
    // Any file (a description of the test's own, a layout), kept for the object's life; the
    // bytes are copied.
    void Put(const std::string& path, const std::string& bytes);
    // The names the stand-in is registered under, in order of registration.
    const std::vector<std::string>& GetNames() const { return mNames; }

    // The stand-in's root element.
    static std::string Description();
    // The names of the root's states and of its children.
    static std::vector<std::string> StateNames();
    static std::vector<std::string> ChildNames();
    // The fixed names (see above).
    static std::vector<std::string> FixedNames();

private:
    // The stand-in's text, registered under every name.
    const std::string mDescription;
    std::deque<std::string> mBytes;
    std::vector<std::string> mFiles;
    std::vector<std::string> mNames;
};

}  // namespace testing_support
