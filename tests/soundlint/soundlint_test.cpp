// The sound lint: every sound the program names and every file the generator made opens through
// the game's data sources, decodes to its end, has its class's format, length and loudness, and
// loops without a seam; the scheme names only such files, with events the program knows, objects
// of the data set, points inside the world and sensible intervals. Every violation is reported,
// with its file, not only the first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "foundation/xml/xmlnode.h"
#include "gamesound/soundscheme.h"
#include "simulation/nameregistry.h"
#include "soundfiles.h"

namespace soundlint {
namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every FullName of the logic data set.
std::set<std::string> DataSetFullNames() {
    std::set<std::string> names;
    const std::filesystem::path logic =
        std::filesystem::path(UMBRAVA_SOUND_SCHEME).parent_path() / "logic";
    for (const auto& entry : std::filesystem::directory_iterator(logic)) {
        TXmlNode document;
        const std::string text = ReadText(entry.path().string());
        document.ParseString(text.c_str(), text.size());
        std::vector<const TXmlNode*> pending = {&document};
        while (!pending.empty()) {
            const TXmlNode* node = pending.back();
            pending.pop_back();
            const str name = node->GetAttribute("FullName");
            if (*name.c_str() != '\0') names.insert(name.c_str());
            for (const TXmlNode* child : node->GetChildren())
                pending.push_back(child);
        }
    }
    return names;
}

struct SchemeOption {
    std::string type;
    std::vector<std::string> files;
    int delay = 0;
};

TEST(SoundLint, EverySoundTheProgramNamesDecodesWithItsFormatLengthAndLoudness) {
    ASSERT_TRUE(IndexGameFolder());
    std::vector<std::string> problems;
    for (const Expected& expected : ProgramSounds()) {
        const Decoded sound = DecodeGameSound(expected.path);
        CheckSound(expected.path, sound, expected.soundClass, expected.loop, &problems);
        if (!sound.ok || sound.channels == 0) continue;
        const double seconds = static_cast<double>(sound.samples.size()) / sound.channels / 44100;
        if (seconds < expected.minSeconds || seconds > expected.maxSeconds)
            problems.push_back(expected.path + ": " + std::to_string(seconds) + " s, not " +
                               std::to_string(expected.minSeconds) + " to " +
                               std::to_string(expected.maxSeconds));
        // Effects the program plays by number decode into memory: kept under 2 s but the loops.
        if (expected.soundClass == SoundClass::kEffect && !expected.loop && seconds >= 2.0)
            problems.push_back(expected.path + ": an effect of 2 s or more");
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST(SoundLint, EveryGeneratedFileMeetsItsClass) {
    ASSERT_TRUE(IndexGameFolder());
    std::vector<std::string> problems;
    int files = 0;
    for (const Generated& file : GeneratedFiles()) {
        CheckSound(file.path, DecodeGameSound(file.path), file.soundClass, false, &problems);
        ++files;
    }
    EXPECT_GT(files, 100);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST(SoundLint, TheSchemeNamesKnownEventsObjectsAndPointsAndFilesThatDecode) {
    ASSERT_TRUE(IndexGameFolder());
    const std::string text = ReadText(UMBRAVA_SOUND_SCHEME);
    ASSERT_FALSE(text.empty()) << UMBRAVA_SOUND_SCHEME;
    TXmlNode document;
    document.ParseString(text.c_str(), text.size());
    const TXmlNode* scheme = document.FindChild("SoundScheme");
    ASSERT_NE(scheme, nullptr);
    ASSERT_EQ(document.GetChildren().size(), 1u) << "a declaration or comment beside the scheme";
    GNameRegistry registry;
    const std::set<std::string> fullNames = DataSetFullNames();
    std::vector<std::string> problems;
    int index = 0;
    for (const TXmlNode* element : scheme->GetChildren()) {
        ++index;
        const std::string where = "xml/sound_scheme.xml, element " + std::to_string(index);
        auto problem = [&](const std::string& what) { problems.push_back(where + ": " + what); };
        const std::string event = element->GetAttribute("Event").c_str();
        // Task kinds match in any case; the scheme's own names only exactly.
        if (GSoundScheme::EventFromName(str(event.c_str()), &registry) == 0)
            problem("the event \"" + event + "\" is none");
        const std::string object = element->GetAttribute("Object").c_str();
        if (!object.empty() && fullNames.count(object) == 0)
            problem("the object \"" + object + "\" is no FullName of the data set");
        const double x = std::atof(element->GetAttribute("PosX").c_str());
        const double y = std::atof(element->GetAttribute("PosY").c_str());
        if (x < 0 || x > 2400 || y < 0 || y > 1800) problem("the point lies outside the world");
        const bool voicePacks = std::string(element->GetAttribute("VoicePack").c_str()) == "1";
        if (element->GetChildren().empty()) problem("no options");
        for (const TXmlNode* option : element->GetChildren()) {
            const std::string type = option->GetAttribute("type").c_str();
            const std::string src = option->GetAttribute("src").c_str();
            if (type != "trigger" && type != "loop" && type != "ambient")
                problem("an option of type \"" + type + "\"");
            if (std::atof(option->GetAttribute("volume").c_str()) <= 0)
                problem(src + ": no volume, so it would play silently");
            if (src.size() < 4 || src.compare(src.size() - 4, 4, ".ogg") != 0)
                problem(src + ": not an .ogg name");
            if (type == "ambient" && std::atoi(option->GetAttribute("interval_min").c_str()) >
                                         std::atoi(option->GetAttribute("interval_max").c_str()))
                problem(src + ": interval_min above interval_max");
            const bool loops =
                type == "loop" && std::atoi(option->GetAttribute("delay").c_str()) < 500;
            for (int pack = 1; pack <= (voicePacks ? 5 : 1); ++pack) {
                const std::string path =
                    "audio/sfx/" + (voicePacks ? "vp" + std::to_string(pack) + "_" : "") + src;
                const Decoded sound = DecodeGameSound(path);
                if (!sound.ok) {
                    problem(path + ": does not open or decode");
                    continue;
                }
                // The class was checked with the generated files; a loop must also be seamless.
                if (loops) {
                    std::vector<std::string> loopProblems;
                    CheckSound(path, sound, SoundClass::kEffect, true, &loopProblems);
                    for (const std::string& p : loopProblems) {
                        if (p.find("seam") != std::string::npos) problem(p);
                    }
                }
            }
        }
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

}  // namespace
}  // namespace soundlint
