#include "instrument.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "dsp.h"
#include "voice.h"

namespace sndgen {
namespace {

struct KindInfo {
    Kind kind;
    const char* word;
    // The options it takes besides the envelope and the gain; numbers unless in words.
    std::vector<std::string> numbers;
    std::vector<std::string> words;
};

const std::vector<KindInfo>& Kinds() {
    static const std::vector<KindInfo> kinds = {
        {Kind::kSynth,
         "synth",
         {"detune", "cut", "cutto", "q", "envcut", "vib", "vibdepth", "sub", "breath"},
         {"wave", "filter"}},
        {Kind::kFm, "fm", {"ratio", "index", "indexdecay"}, {}},
        {Kind::kPluck, "pluck", {"damping", "ring", "cut"}, {}},
        {Kind::kMallet, "mallet", {"modes", "amps", "decay", "click", "ring"}, {}},
        {Kind::kPerc,
         "perc",
         {"tone", "drop", "dropdecay", "tonedecay", "noise", "cut", "q", "noisedecay", "bursts",
          "burstgap", "ring"},
         {"filter"}},
        {Kind::kNoise, "noise", {"cut", "cutto", "q", "trem", "tremdepth"}, {"color", "filter"}},
        {Kind::kVoice, "voice", {"breath", "vib", "vibdepth", "syllable"}, {"text"}},
    };
    return kinds;
}

const KindInfo& InfoOf(Kind kind) {
    for (const KindInfo& info : Kinds()) {
        if (info.kind == kind) return info;
    }
    return Kinds().front();
}

bool Contains(const std::vector<std::string>& list, const std::string& word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

bool ParseList(const std::string& text, std::vector<double>* values) {
    std::stringstream parts(text);
    std::string part;
    values->clear();
    while (std::getline(parts, part, ',')) {
        double value = 0;
        if (!drawkit::ParseNumber(part, &value)) return false;
        values->push_back(value);
    }
    return !values->empty();
}

bool WordAllowed(const std::string& key, const std::string& value) {
    Wave wave;
    Svf::Mode mode;
    if (key == "wave") return ParseWave(value, &wave);
    if (key == "filter") return ParseFilterMode(value, &mode);
    if (key == "color") return value == "white" || value == "pink";
    return true;  // a voice's text is checked by the caller, which tells what is wrong
}

// Exponential glide from a to b over fraction 0 to 1.
double Glide(double a, double b, double fraction) {
    if (b <= 0.0 || a <= 0.0) return a;
    return a * std::pow(b / a, std::clamp(fraction, 0.0, 1.0));
}

Adsr EnvelopeOf(const Instrument& instrument) {
    Adsr envelope;
    envelope.attack = std::max(instrument.Number("a", 0.005), 0.0005);
    envelope.decay = std::max(instrument.Number("d", 0.1), 0.0005);
    envelope.sustain = std::clamp(instrument.Number("s", 0.7), 0.0, 1.0);
    envelope.release = std::max(instrument.Number("r", 0.1), 0.0005);
    return envelope;
}

// Calls sample(i, t) for every frame of the note that fits in the buffer, adding its result.
template <typename Sample>
void Fill(std::vector<float>& out, size_t at, double seconds, double gain, Sample sample) {
    if (at >= out.size()) return;
    const size_t frames = std::min(
        static_cast<size_t>(std::clamp(seconds, 0.0, kLongestRing) * kRate), out.size() - at);
    for (size_t i = 0; i < frames; ++i)
        out[at + i] += static_cast<float>(gain * sample(static_cast<double>(i) / kRate));
}

void RenderSynth(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
                 double gain) {
    const Adsr env = EnvelopeOf(in);
    Wave wave = Wave::kSaw;
    ParseWave(in.Word("wave", "saw"), &wave);
    Svf::Mode mode = Svf::Mode::kLow;
    ParseFilterMode(in.Word("filter", "lp"), &mode);
    Oscillator first(wave), second(wave, 0.37), sub(Wave::kSine);
    Svf filter(mode), breathFilter(Svf::Mode::kBand);
    Noise noise(note.seed);
    const double detune = std::pow(2.0, in.Number("detune", 0.0) / 1200.0);
    const bool twin = in.Number("detune", 0.0) != 0.0;
    const double cut = in.Number("cut", 0.0), cutTo = in.Number("cutto", 0.0);
    const double q = in.Number("q", 0.707), envCut = in.Number("envcut", 0.0);
    const double vib = in.Number("vib", 0.0), vibDepth = in.Number("vibdepth", 0.0);
    const double subLevel = in.Number("sub", 0.0), breath = in.Number("breath", 0.0);
    Fill(out, at, env.End(note.hold), gain, [&](double t) {
        const double level = env.Level(t, note.hold);
        double hertz = Glide(note.hertz, note.hertzTo, t / note.hold);
        if (vib > 0.0) hertz *= std::pow(2.0, vibDepth * std::sin(2.0 * kPi * vib * t) / 12.0);
        double s = first.Next(hertz);
        if (twin) s = 0.5 * (s + second.Next(hertz * detune));
        if (subLevel > 0.0) s += subLevel * sub.Next(hertz * 0.5);
        if (breath > 0.0) s += breath * breathFilter.Next(noise.White(), hertz * 2.0, 2.0);
        if (cut > 0.0) {
            const double c = Glide(cut, cutTo, t / note.hold) * (1.0 + envCut * level);
            s = filter.Next(s, c, q);
        }
        return level * s;
    });
}

void RenderFm(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
              double gain) {
    const Adsr env = EnvelopeOf(in);
    const double ratio = in.Number("ratio", 2.0), index = in.Number("index", 2.0);
    const double indexDecay = in.Number("indexdecay", 0.3);
    double carrier = 0.0, modulator = 0.0;
    Fill(out, at, env.End(note.hold), gain, [&](double t) {
        const double hertz = Glide(note.hertz, note.hertzTo, t / note.hold);
        const double depth = indexDecay > 0.0 ? index * std::exp(-t / indexDecay) : index;
        const double s = std::sin(2.0 * kPi * carrier + depth * std::sin(2.0 * kPi * modulator));
        carrier = std::fmod(carrier + hertz / kRate, 1.0);
        modulator = std::fmod(modulator + hertz * ratio / kRate, 1.0);
        return env.Level(t, note.hold) * s;
    });
}

void RenderPluck(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
                 double gain) {
    Pluck string(note.hertz, in.Number("damping", 0.3), note.seed);
    const double ring = in.Number("ring", 1.5), cut = in.Number("cut", 0.0);
    Svf filter;
    Fill(out, at, ring, gain, [&](double t) {
        double s = string.Next();
        if (cut > 0.0) s = filter.Next(s, cut, 0.707);
        const double fade = std::clamp((ring - t) / 0.05, 0.0, 1.0);
        return s * fade;
    });
}

void RenderMallet(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
                  double gain) {
    const std::vector<double> modes = in.List("modes", {1.0, 4.0, 10.0});
    const std::vector<double> amps = in.List("amps", {1.0, 0.3, 0.1});
    const double decay = std::max(in.Number("decay", 1.0), 0.005);
    const double click = in.Number("click", 0.2);
    const double ring = in.Number("ring", std::min(4.0 * decay, 8.0));
    // Each mode a phasor turned by its angle and shrunk by its decay every sample.
    struct Mode {
        double turnCos, turnSin;
        double re, im;
        size_t frames;  // it has faded below -60 dB after these
    };
    std::vector<Mode> live;
    for (size_t i = 0; i < modes.size(); ++i) {
        const double hertz = note.hertz * modes[i];
        if (hertz > 18000.0) continue;
        const double amp = i < amps.size() ? amps[i] : 0.0;
        const double brightness = i == 0 ? 1.0 : 0.4 + 0.6 * note.velocity;
        const double seconds = decay / std::pow(std::max(modes[i], 0.1), 0.7);
        const double fall = std::exp(-1.0 / (seconds * kRate));
        const double angle = 2.0 * kPi * hertz / kRate;
        live.push_back({fall * std::cos(angle), fall * std::sin(angle), 0.0, amp * brightness,
                        static_cast<size_t>(7.0 * seconds * kRate)});
    }
    if (at >= out.size()) return;
    const size_t frames =
        std::min(static_cast<size_t>(std::clamp(ring, 0.0, kLongestRing) * kRate), out.size() - at);
    // Four modes at a time, side by side in one loop: four independent chains the processor
    // (and the vector unit) runs at once. A missing fourth is a silent mode.
    std::vector<double> sound(frames, 0.0);
    for (size_t first = 0; first < live.size(); first += 4) {
        double re[4] = {}, im[4] = {}, turnCos[4] = {}, turnSin[4] = {};
        size_t count = 0;
        for (size_t m = 0; m < 4 && first + m < live.size(); ++m) {
            const Mode& mode = live[first + m];
            re[m] = mode.re, im[m] = mode.im;
            turnCos[m] = mode.turnCos, turnSin[m] = mode.turnSin;
            count = std::max(count, std::min(frames, mode.frames));
        }
        for (size_t i = 0; i < count; ++i) {
            sound[i] += (re[0] + re[1]) + (re[2] + re[3]);
            for (int m = 0; m < 4; ++m) {
                const double turned = re[m] * turnCos[m] - im[m] * turnSin[m];
                im[m] = re[m] * turnSin[m] + im[m] * turnCos[m];
                re[m] = turned;
            }
        }
    }
    if (click > 0.0) {
        Noise noise(note.seed);
        Svf clickFilter(Svf::Mode::kBand);
        const double clickHertz = std::min(note.hertz * 6.0, 8000.0);
        const double clickFall = std::exp(-1.0 / (0.003 * kRate));
        double level = click;
        const size_t count = std::min(frames, static_cast<size_t>(0.02 * kRate));
        for (size_t i = 0; i < count; ++i, level *= clickFall)
            sound[i] += level * clickFilter.Next(noise.White(), clickHertz, 1.5);
    }
    // A 1.5 ms attack against a click of the speaker, a 50 ms fade at the ring's end.
    const double attackFrames = 0.0015 * kRate, fadeFrames = 0.05 * kRate;
    for (size_t i = 0; i < frames; ++i) {
        const double attack = std::min(static_cast<double>(i) / attackFrames, 1.0);
        const double fade = std::min(static_cast<double>(frames - i) / fadeFrames, 1.0);
        out[at + i] += static_cast<float>(gain * sound[i] * attack * fade);
    }
}

void RenderPerc(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
                double gain) {
    const double tone = in.Number("tone", 0.0) > 0.0 ? in.Number("tone", 0.0) : note.hertz;
    const double drop = in.Number("drop", 1.0), dropDecay = in.Number("dropdecay", 0.03);
    const double toneDecay = in.Number("tonedecay", 0.15);
    const double noiseLevel = in.Number("noise", 0.0), noiseDecay = in.Number("noisedecay", 0.05);
    const double cut = in.Number("cut", 3000.0), q = in.Number("q", 1.0);
    const int bursts = std::clamp(static_cast<int>(in.Number("bursts", 1.0)), 1, 16);
    const double gap = in.Number("burstgap", 0.012);
    const double ring =
        in.Number("ring", 6.0 * std::max(toneDecay, noiseDecay) + (bursts - 1) * gap);
    Svf::Mode mode = Svf::Mode::kBand;
    ParseFilterMode(in.Word("filter", "bp"), &mode);
    Svf filter(mode);
    Noise noise(note.seed);
    double phase = 0.0;
    const bool body = in.Number("tone", 1.0) != 0.0 && toneDecay > 0.0;
    // The decays as running products, one multiplication a sample each.
    const double toneFall = std::exp(-1.0 / (std::max(toneDecay, 1e-4) * kRate));
    const double dropFall = std::exp(-1.0 / (std::max(dropDecay, 1e-4) * kRate));
    const double noiseFall = std::exp(-1.0 / (std::max(noiseDecay, 1e-4) * kRate));
    double toneLevel = 1.0, dropLevel = 1.0, noiseEnvelope = 1.0;
    int burst = 0;
    Fill(out, at, ring, gain, [&](double t) {
        double s = 0.0;
        if (body) {
            const double hertz = tone * (1.0 + (drop - 1.0) * dropLevel);
            s += toneLevel * std::sin(2.0 * kPi * phase);
            phase += hertz / kRate;
            if (phase >= 1.0) phase -= 1.0;
            toneLevel *= toneFall;
            dropLevel *= dropFall;
        }
        if (noiseLevel > 0.0) {
            const int now = std::min(static_cast<int>(t / gap), bursts - 1);
            if (now != burst) burst = now, noiseEnvelope = 1.0;
            s += noiseLevel * noiseEnvelope * filter.Next(noise.White(), cut, q);
            noiseEnvelope *= noiseFall;
        }
        const double attack = std::min(t / 0.001, 1.0);
        const double fade = std::clamp((ring - t) / 0.02, 0.0, 1.0);
        return s * attack * fade;
    });
}

void RenderNoise(const Instrument& in, const Note& note, std::vector<float>& out, size_t at,
                 double gain) {
    const Adsr env = EnvelopeOf(in);
    const bool pink = in.Word("color", "white") == "pink";
    Svf::Mode mode = Svf::Mode::kLow;
    ParseFilterMode(in.Word("filter", "lp"), &mode);
    Svf filter(mode);
    Noise noise(note.seed);
    const double cut = in.Number("cut", 0.0), cutTo = in.Number("cutto", 0.0);
    const double q = in.Number("q", 0.707);
    const double trem = in.Number("trem", 0.0), tremDepth = in.Number("tremdepth", 0.0);
    Fill(out, at, env.End(note.hold), gain, [&](double t) {
        double s = pink ? noise.Pink() : noise.White();
        if (cut > 0.0) s = filter.Next(s, Glide(cut, cutTo, t / note.hold), q);
        double level = env.Level(t, note.hold);
        if (trem > 0.0) level *= 1.0 - tremDepth * (0.5 + 0.5 * std::sin(2.0 * kPi * trem * t));
        return level * s;
    });
}

}  // namespace

double Instrument::Number(const std::string& key, double fallback) const {
    auto found = numbers.find(key);
    return found == numbers.end() ? fallback : found->second.front();
}

std::vector<double> Instrument::List(const std::string& key, std::vector<double> fallback) const {
    auto found = numbers.find(key);
    return found == numbers.end() ? fallback : found->second;
}

std::string Instrument::Word(const std::string& key, const std::string& fallback) const {
    auto found = words.find(key);
    return found == words.end() ? fallback : found->second;
}

bool ParseKind(const std::string& word, Kind* kind) {
    for (const KindInfo& info : Kinds()) {
        if (word == info.word) {
            *kind = info.kind;
            return true;
        }
    }
    return false;
}

bool ReadInstrumentOptions(const drawkit::Statement& statement, Kind kind,
                           const std::vector<std::string>& ignored, Instrument* instrument,
                           std::string* error) {
    const KindInfo& info = InfoOf(kind);
    instrument->kind = kind;
    static const std::vector<std::string> common = {"a", "d", "s", "r", "gain"};
    for (const std::string& word : statement.words) {
        const size_t eq = word.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        if (Contains(ignored, key)) continue;
        if (Contains(info.words, key)) {
            std::string what;
            if (key == "text" && !CheckVoiceText(value, &what)) {
                *error = statement.Where("text=" + value + ": " + what);
                return false;
            }
            if (!WordAllowed(key, value)) {
                *error = statement.Where("\"" + value + "\" is no value for " + key);
                return false;
            }
            instrument->words[key] = value;
        } else if (Contains(info.numbers, key) || Contains(common, key)) {
            std::vector<double> values;
            if (!ParseList(value, &values)) {
                *error = statement.Where(key + " takes numbers, not \"" + value + "\"");
                return false;
            }
            instrument->numbers[key] = values;
        } else {
            *error = statement.Where("a " + std::string(info.word) + " has no option " + key);
            return false;
        }
    }
    return true;
}

bool ReadInstrumentFile(const std::string& path, InstrumentFile* file, std::string* error) {
    std::vector<drawkit::Statement> statements;
    if (!drawkit::ReadRecipeFile(path, true, &statements, error)) return false;
    file->voicePacks.assign(5, VoicePack{});
    std::vector<bool> packSeen(5, false);
    for (const drawkit::Statement& statement : statements) {
        const std::vector<std::string> plain = statement.Plain();
        if (plain[0] == "instrument") {
            Kind kind;
            if (plain.size() != 3 || !ParseKind(plain[2], &kind)) {
                *error = statement.Where(
                    "write \"instrument NAME KIND options\" (KIND synth, "
                    "fm, pluck, mallet, perc, noise or voice)");
                return false;
            }
            if (file->instruments.count(plain[1]) != 0) {
                *error = statement.Where("a second instrument " + plain[1]);
                return false;
            }
            Instrument instrument;
            instrument.name = plain[1];
            if (!ReadInstrumentOptions(statement, kind, {}, &instrument, error)) return false;
            file->instruments[plain[1]] = instrument;
        } else if (plain[0] == "voicepack") {
            double number = 0, pitch = 0, formant = 0;
            if (plain.size() != 2 || !drawkit::ParseNumber(plain[1], &number) || number < 1 ||
                number > 5 || number != std::floor(number) ||
                !drawkit::ParseNumber(statement.Option("pitch"), &pitch) ||
                !drawkit::ParseNumber(statement.Option("formant"), &formant) || pitch <= 0 ||
                formant <= 0) {
                *error = statement.Where("write \"voicepack N pitch=X formant=Y\", N from 1 to 5");
                return false;
            }
            const size_t index = static_cast<size_t>(number) - 1;
            file->voicePacks[index] = {pitch, formant};
            packSeen[index] = true;
        } else {
            *error = statement.Where("unknown statement \"" + plain[0] + "\"");
            return false;
        }
    }
    for (size_t i = 0; i < packSeen.size(); ++i) {
        if (!packSeen[i]) {
            *error = path + ": voice pack " + std::to_string(i + 1) + " is not defined";
            return false;
        }
    }
    return true;
}

void RenderNote(const Instrument& instrument, const Note& note, std::vector<float>& out,
                size_t at) {
    const double gain = instrument.Number("gain", 1.0) * note.velocity;
    switch (instrument.kind) {
        case Kind::kSynth:
            return RenderSynth(instrument, note, out, at, gain);
        case Kind::kFm:
            return RenderFm(instrument, note, out, at, gain);
        case Kind::kPluck:
            return RenderPluck(instrument, note, out, at, gain);
        case Kind::kMallet:
            return RenderMallet(instrument, note, out, at, gain);
        case Kind::kPerc:
            return RenderPerc(instrument, note, out, at, gain);
        case Kind::kNoise:
            return RenderNoise(instrument, note, out, at, gain);
        case Kind::kVoice:
            return RenderVoice(instrument, note, out, at, gain);
    }
}

bool ParseNoteName(const std::string& word, int* midi) {
    static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A to G
    if (word.size() < 2 || word[0] < 'A' || word[0] > 'G') return false;
    int semitone = kSemitones[word[0] - 'A'];
    size_t at = 1;
    if (word[at] == '#')
        ++semitone, ++at;
    else if (word[at] == 'b')
        --semitone, ++at;
    if (at + 1 != word.size() || word[at] < '0' || word[at] > '8') return false;
    *midi = 12 * (word[at] - '0' + 1) + semitone;
    return true;
}

}  // namespace sndgen
