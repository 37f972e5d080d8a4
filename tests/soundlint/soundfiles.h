// What the sound lint expects of the game's sound files: the paths the program names, each with
// its class, its target length and whether it loops, and the decoded PCM of a file read through
// the game's own data sources (CreateSoundDataSource on the built game folder).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundlint {

enum class SoundClass { kMusic, kEffect, kVoice, kAmbience };

struct Expected {
    std::string path;  // below the game's folder
    SoundClass soundClass;
    double minSeconds;  // the target's range: within 10 % of it
    double maxSeconds;
    bool loop;
};

// The 12 music tracks, the 22 effects, the four typing sounds and the two interface sounds.
std::vector<Expected> ProgramSounds();

// Every file the generator made, in the build's order of its items, with the item's class (a
// voice phrase is five files, one per voice pack).
struct Generated {
    std::string path;  // below the game's folder
    SoundClass soundClass;
};
std::vector<Generated> GeneratedFiles();

// Every file that loops: the program's looping tracks and effects, and the scheme's loop options
// under 500 ms of delay (which play as one looping sound).
std::vector<std::string> LoopingFiles();

// RMS loudness windows in dBFS, per class (the README lists them).
void LoudnessWindow(SoundClass soundClass, double* low, double* high);

struct Decoded {
    bool ok = false;
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};
// Registers the Ogg builder and indexes the built folder as the game's, for the test's process.
bool IndexGameFolder();
// Decodes the file into memory as the game would.
Decoded DecodeGameSound(const std::string& path);

// Problems of a decoded sound against its class (format, loudness, the loop's seam), each line
// starting with the path.
void CheckSound(const std::string& path, const Decoded& sound, SoundClass soundClass, bool loop,
                std::vector<std::string>* problems);

// The problems one a line, for a failure's message.
std::string Joined(const std::vector<std::string>& problems);

}  // namespace soundlint
