// One item of the game's sounds: a source file under the sources' folder, by its class folder and
// name ("music/mainmenumusic", "sfx/picked_up", "voice/pickedup", "ambience/surf"), rendered,
// finished to its class's loudness, encoded and written into the game's folder:
//   music/NAME.txt     audio/music/NAME.ogg          a score, 44,100 Hz stereo, quality 0.4
//   sfx/NAME.txt       audio/sfx/NAME.ogg            a recipe, 44,100 Hz mono, quality 0.3
//   ambience/NAME.txt  audio/sfx/NAME.ogg            the same, quieter
//   voice/NAME.txt     audio/sfx/vp1_NAME.ogg to vp5_NAME.ogg, one a voice pack
// For review, each output's PCM goes as a WAV into the reel folder, with a line of figures in
// NAME.txt there. Outputs are written whole or not at all: a failed item leaves what an earlier
// run wrote in place.
#pragma once

#include <string>
#include <vector>

#include "instrument.h"
#include "sound.h"

namespace sndgen {

struct ItemClass {
    const char* folder;     // under the sources
    const char* outFolder;  // under the game's folder
    bool voicePacks;
    Loudness loudness;
    float quality;
};
// The class of an item's folder; null for an unknown one.
const ItemClass* ClassOf(const std::string& folder);

struct ItemOptions {
    std::string sources;  // the folder holding instruments.txt and the class folders
    std::string out;      // the game's folder
    std::string reel;     // empty: no reel
};

// Makes the item ("class/name"); false with the reason in *error (nothing written then). *lines
// gets the report's line for every file written.
bool MakeItem(const ItemOptions& options, const InstrumentFile& instruments,
              const std::string& item, std::vector<std::string>* lines, std::string* error);

// The file's Ogg Vorbis bytes for the finished sound; serial from the file's name, so two runs
// give the same bytes.
std::string EncodeSound(const Sound& sound, const std::string& name, float quality);

// A 16-bit PCM WAV file's bytes.
std::string WavBytes(const std::vector<int16_t>& samples, int channels);

}  // namespace sndgen
