// Instruments: named sets of synthesis parameters ("instrument NAME KIND key=value ..." in
// instruments.txt, or inline in an effect's recipe) and the rendering of one note of one.
// The kinds:
//   synth   an oscillator (wave=sine|triangle|saw|square, a detuned twin, a sub-octave, breath
//           noise) through a state-variable filter whose cut-off follows the envelope
//   fm      a sine carrier phase-modulated by a sine at ratio × the pitch, the index decaying
//   pluck   a Karplus-Strong string
//   mallet  modal synthesis: decaying sine modes at given ratios, with a felt click (marimba,
//           kalimba, log drum)
//   perc    a pitched body falling in pitch plus filtered noise, in one or several bursts
//           (hand drums, thumps, claps, shakers)
//   noise   white or pink noise through a sweeping filter, with tremolo (wind, water, whooshes)
//   voice   a sung gibberish phrase: a glottal pulse through vowel formants (voice.h)
// Every instrument has an envelope (a, d, s, r in seconds) and a gain.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "recipetext.h"

namespace sndgen {

enum class Kind { kSynth, kFm, kPluck, kMallet, kPerc, kNoise, kVoice };

struct Instrument {
    std::string name;
    Kind kind = Kind::kSynth;
    std::map<std::string, std::vector<double>> numbers;
    std::map<std::string, std::string> words;

    double Number(const std::string& key, double fallback) const;
    std::vector<double> List(const std::string& key, std::vector<double> fallback) const;
    std::string Word(const std::string& key, const std::string& fallback) const;
};

// A kind's word ("synth", "fm", ...); false for any other.
bool ParseKind(const std::string& word, Kind* kind);

// Reads the options of statement from its word index first on into an instrument of kind,
// skipping the keys in ignored (a note's own options); an unknown option, a number that is none
// or a bad word fails with "file:line: ...".
bool ReadInstrumentOptions(const drawkit::Statement& statement, Kind kind,
                           const std::vector<std::string>& ignored, Instrument* instrument,
                           std::string* error);

using InstrumentSet = std::map<std::string, Instrument>;
// instruments.txt: "instrument NAME KIND options" and "voicepack N pitch=X formant=Y" lines.
struct VoicePack {
    double pitch = 1.0;
    double formant = 1.0;
};
struct InstrumentFile {
    InstrumentSet instruments;
    std::vector<VoicePack> voicePacks;  // the five packs, in order
};
bool ReadInstrumentFile(const std::string& path, InstrumentFile* file, std::string* error);

// One note: its pitch (gliding exponentially to hertzTo over the hold when that is above 0), how
// long the key is held, how hard it is struck (0 to 1), and the formant shift of a voice.
struct Note {
    double hertz = 440.0;
    double hertzTo = 0.0;
    double hold = 0.25;
    double velocity = 0.8;
    double formantShift = 1.0;
    uint64_t seed = 1;
};

// No note rings longer than this, in seconds: a renderer knows where a note's sound can be.
constexpr double kLongestRing = 10.0;

// Adds the note, times gain, into the mono buffer from frame at on; what would fall past the
// buffer's end or ring on past kLongestRing is left out.
void RenderNote(const Instrument& instrument, const Note& note, std::vector<float>& out, size_t at);

// A note name ("C4", "F#3", "Bb2") as a MIDI number; false when the word is none.
bool ParseNoteName(const std::string& word, int* midi);

}  // namespace sndgen
