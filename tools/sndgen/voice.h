// The creatures' voice: a gibberish phrase ("text=ba-di-lo", syllables of an optional consonant
// and one or two vowels) sung by a glottal pulse (a band-limited saw with breath noise) through
// three formant band-passes that glide from vowel to vowel. A voice pack shifts the pitch and
// the formants, so that five packs are five speakers of one language.
#pragma once

#include <string>
#include <vector>

namespace sndgen {

struct Instrument;
struct Note;

// False, with what is wrong in *what, when text is no phrase: empty, a syllable without a vowel,
// more than two vowels, or a letter the language lacks.
bool CheckVoiceText(const std::string& text, std::string* what);

// Sings the instrument's text over the note's hold, its syllables sharing it equally.
void RenderVoice(const Instrument& instrument, const Note& note, std::vector<float>& out, size_t at,
                 double gain);

}  // namespace sndgen
