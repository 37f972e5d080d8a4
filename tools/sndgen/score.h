// A music track's score, in a tracker-like text:
//   tempo 92                  beats a minute
//   steps 4                   steps a beat (default 4)
//   transpose -2              semitones added to every pitched note
//   lead kalimba              the instrument of the tracks written "track lead"
//   loop                      a seamless loop (its tail folds into its head), else
//   tail 2.5                  seconds of ringing kept after the last step
//   reverb mix=0.25 size=0.6 damping=0.4
//   human 0.006               timing jitter in seconds (velocities vary by a tenth)
//   include theme.inc         patterns of a file beside the score
//   pattern A
//   track marimba vol=0.8 pan=-0.3 rev=0.3 | C4 . E4 - | G4! . x' . |
//   play A A B A
// A track's steps: "." rest, "-" the note before held a step longer, a note ("C4", "F#3",
// "Bb2") or a chord ("C3+E3+G3"), "x" a hit of an unpitched instrument (at middle C), each
// optionally ending in "!" (accent) or "'" (soft); "|" only helps the eye. Every track of a
// pattern has the same number of steps.
#pragma once

#include <string>

#include "instrument.h"
#include "sound.h"

namespace sndgen {

// Reads and renders the score at path (stereo). False with "file:line: what is wrong".
bool RenderScore(const std::string& path, const InstrumentFile& instruments, Sound* sound,
                 std::string* error);

}  // namespace sndgen
