// An effect's, a voice phrase's or an ambience's recipe: layers of notes mixed into one mono
// sound of an exact length.
//   length 0.4                 seconds, exact
//   loop                       a seamless loop (the tail folds into the head)
//   reverb mix=0.2 size=0.3 damping=0.5
//   reverse                    the finished sound backwards (the tail then leads in)
//   synth wave=sine freq=300 to=900 at=0 dur=0.3 a=0.01 r=0.05 gain=0.5
//   note marimba note=C5 at=0,0.1,0.2 vel=0.8 decay=0.6
//   voice text=ba-di-lo freq=260 to=320 dur=0.5
// A layer is an instrument kind with its options inline, or "note" with an instrument of
// instruments.txt (options given override the instrument's). A layer's own options: freq (Hz) or
// note (a name), to (the pitch it glides to over dur), at (seconds, or a list), dur, vel,
// scatter=N copies at random times spread seconds after each at, each vary semitones off the
// pitch. A voice pack shifts every layer's pitch and a voice's formants.
#pragma once

#include <string>

#include "instrument.h"
#include "sound.h"

namespace sndgen {

// Reads and renders the recipe at path (mono) for a voice pack (the neutral pack for sounds
// without). False with "file:line: what is wrong".
bool RenderRecipe(const std::string& path, const InstrumentFile& instruments, const VoicePack& pack,
                  Sound* sound, std::string* error);

}  // namespace sndgen
