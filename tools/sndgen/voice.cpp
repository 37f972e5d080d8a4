#include "voice.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "dsp.h"
#include "instrument.h"

namespace sndgen {
namespace {

struct Formants {
    double f1, f2, f3;
};

// A small, bright, cartoon-sized vocal tract.
bool VowelFormants(char vowel, Formants* formants) {
    switch (vowel) {
        case 'a':
            *formants = {850, 1350, 2800};
            return true;
        case 'e':
            *formants = {550, 2100, 2900};
            return true;
        case 'i':
            *formants = {330, 2500, 3300};
            return true;
        case 'o':
            *formants = {560, 950, 2700};
            return true;
        case 'u':
            *formants = {360, 850, 2500};
            return true;
        default:
            return false;
    }
}

enum class Onset { kNone, kPlosive, kNasal, kLiquid, kFricative };

struct Syllable {
    Onset onset = Onset::kNone;
    double noiseHertz = 0.0;  // a plosive's burst or a fricative's hiss
    bool voicedOnset = true;
    Formants start{}, end{};
};

bool ParseSyllable(const std::string& text, Syllable* syllable, std::string* what) {
    size_t at = 0;
    if (!text.empty() && !VowelFormants(text[0], &syllable->start)) {
        const char c = text[0];
        at = 1;
        switch (c) {
            case 'b':
            case 'd':
            case 'g':
                syllable->onset = Onset::kPlosive;
                syllable->noiseHertz = c == 'b' ? 900 : c == 'd' ? 3200 : 2000;
                break;
            case 'p':
            case 't':
            case 'k':
                syllable->onset = Onset::kPlosive;
                syllable->voicedOnset = false;
                syllable->noiseHertz = c == 'p' ? 1000 : c == 't' ? 4000 : 2400;
                break;
            case 'm':
            case 'n':
                syllable->onset = Onset::kNasal;
                break;
            case 'l':
            case 'r':
            case 'w':
            case 'y':
                syllable->onset = Onset::kLiquid;
                break;
            case 's':
            case 'f':
            case 'h':
            case 'z':
                syllable->onset = Onset::kFricative;
                syllable->voicedOnset = c == 'z';
                syllable->noiseHertz = c == 's' || c == 'z' ? 6000 : c == 'f' ? 3500 : 1800;
                break;
            default:
                *what = std::string("\"") + c + "\" is no letter of the creatures' language";
                return false;
        }
    }
    const size_t vowels = text.size() - at;
    if (vowels < 1 || vowels > 2 || !VowelFormants(text[at], &syllable->start) ||
        !VowelFormants(text[text.size() - 1], &syllable->end)) {
        *what = "the syllable \"" + text +
                "\" needs one or two vowels (a, e, i, o, u) after "
                "at most one consonant";
        return false;
    }
    return true;
}

bool ParsePhrase(const std::string& text, std::vector<Syllable>* syllables, std::string* what) {
    std::stringstream parts(text);
    std::string part;
    syllables->clear();
    while (std::getline(parts, part, '-')) {
        Syllable syllable;
        if (!ParseSyllable(part, &syllable, what)) return false;
        syllables->push_back(syllable);
    }
    if (syllables->empty()) {
        *what = "an empty phrase";
        return false;
    }
    return true;
}

// The onset's formants: nasals and liquids start from a closed, dark tract.
Formants OnsetFormants(const Syllable& syllable) {
    if (syllable.onset == Onset::kNasal) return {280, 1100, 2400};
    if (syllable.onset == Onset::kLiquid) return {380, 1200, 2500};
    return syllable.start;
}

}  // namespace

bool CheckVoiceText(const std::string& text, std::string* what) {
    std::vector<Syllable> syllables;
    return ParsePhrase(text, &syllables, what);
}

void RenderVoice(const Instrument& instrument, const Note& note, std::vector<float>& out, size_t at,
                 double gain) {
    std::vector<Syllable> syllables;
    std::string what;
    if (!ParsePhrase(instrument.Word("text", "a"), &syllables, &what)) return;
    const double breath = instrument.Number("breath", 0.08);
    const double vib = instrument.Number("vib", 5.5), vibDepth = instrument.Number("vibdepth", 0.3);
    const double each = note.hold / static_cast<double>(syllables.size());
    const size_t total = static_cast<size_t>(std::min(note.hold, kLongestRing) * kRate);
    Oscillator glottis(Wave::kSaw);
    Noise noise(note.seed);
    Svf f1(Svf::Mode::kBand), f2(Svf::Mode::kBand), f3(Svf::Mode::kBand), hiss(Svf::Mode::kBand);
    Svf smooth(Svf::Mode::kLow);
    Formants current = OnsetFormants(syllables.front());
    for (size_t i = 0; i < total && at + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const size_t index = std::min(static_cast<size_t>(t / each), syllables.size() - 1);
        const Syllable& syllable = syllables[index];
        const double local = (t - index * each) / each;  // 0 to 1 through the syllable
        // The onset takes the syllable's first fifth, the vowel glides through the rest.
        const double onsetPart = syllable.onset == Onset::kNone ? 0.0 : 0.2;
        Formants target = syllable.start;
        if (local < onsetPart) {
            target = OnsetFormants(syllable);
        } else {
            const double v = (local - onsetPart) / (1.0 - onsetPart);
            target = {syllable.start.f1 + (syllable.end.f1 - syllable.start.f1) * v,
                      syllable.start.f2 + (syllable.end.f2 - syllable.start.f2) * v,
                      syllable.start.f3 + (syllable.end.f3 - syllable.start.f3) * v};
        }
        // The tract moves in about 15 ms.
        const double follow = 1.0 - std::exp(-1.0 / (0.015 * kRate));
        current.f1 += (target.f1 - current.f1) * follow;
        current.f2 += (target.f2 - current.f2) * follow;
        current.f3 += (target.f3 - current.f3) * follow;

        // Each syllable rises a little and falls back; the phrase glides from hertz to hertzTo.
        double hertz = note.hertzTo > 0.0
                           ? note.hertz * std::pow(note.hertzTo / note.hertz, t / note.hold)
                           : note.hertz;
        hertz *= std::pow(
            2.0, (1.5 * std::sin(kPi * local) + vibDepth * std::sin(2.0 * kPi * vib * t)) / 12.0);
        double voiced = glottis.Next(hertz) + breath * noise.White();
        double level = std::min({local * each / 0.012, (1.0 - local) * each / 0.03, 1.0});
        double hissLevel = 0.0;
        if (local < onsetPart) {
            const double onsetTime = local * each;
            switch (syllable.onset) {
                case Onset::kPlosive:
                    // A closure, then a burst.
                    hissLevel = onsetTime > 0.02 ? 0.9 * std::exp(-(onsetTime - 0.02) / 0.008) : 0;
                    level = syllable.voicedOnset && onsetTime > 0.02 ? 0.4 : 0.0;
                    break;
                case Onset::kNasal:
                    level *= 0.5;
                    break;
                case Onset::kFricative:
                    hissLevel = 0.5;
                    level = syllable.voicedOnset ? 0.3 : 0.0;
                    break;
                default:
                    break;
            }
        }
        const double shift = note.formantShift;
        double s = 1.0 * f1.Next(voiced, current.f1 * shift, 6.0) +
                   0.6 * f2.Next(voiced, current.f2 * shift, 10.0) +
                   0.3 * f3.Next(voiced, current.f3 * shift, 14.0);
        s = smooth.Next(s, 7000.0 * shift, 0.707) * level;
        if (syllable.noiseHertz > 0.0)
            s += hissLevel * hiss.Next(noise.White(), syllable.noiseHertz * shift, 2.0);
        out[at + i] += static_cast<float>(gain * s);
    }
}

}  // namespace sndgen
