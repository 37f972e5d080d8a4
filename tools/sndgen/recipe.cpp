#include "recipe.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "dsp.h"
#include "recipetext.h"

namespace sndgen {
namespace {

const std::vector<std::string> kLayerOptions = {"freq", "note",    "to",     "at",  "dur",
                                                "vel",  "scatter", "spread", "vary"};

struct Layer {
    Instrument instrument;
    double hertz = 0.0;
    double hertzTo = 0.0;
    std::vector<double> at{0.0};
    double duration = 0.25;
    double velocity = 0.8;
    int scatter = 0;
    double spread = 0.0;
    double vary = 0.0;
    uint64_t seed = 0;
};

bool LayerNumber(const drawkit::Statement& statement, const std::string& key, double low,
                 double high, double* value, std::string* error) {
    if (!statement.HasOption(key)) return true;
    if (!drawkit::ParseNumber(statement.Option(key), value) || *value < low || *value > high) {
        *error = statement.Where(key + " takes a number from " + std::to_string(low) + " to " +
                                 std::to_string(high));
        return false;
    }
    return true;
}

bool ReadLayer(const drawkit::Statement& statement, const InstrumentFile& instruments, Layer* layer,
               std::string* error) {
    const std::vector<std::string> plain = statement.Plain();
    Kind kind;
    if (plain[0] == "note") {
        if (plain.size() != 2 || instruments.instruments.count(plain[1]) == 0) {
            *error = statement.Where(
                "write \"note INSTRUMENT options\" with an instrument of "
                "instruments.txt");
            return false;
        }
        layer->instrument = instruments.instruments.at(plain[1]);
        kind = layer->instrument.kind;
    } else if (ParseKind(plain[0], &kind)) {
        if (plain.size() != 1) {
            *error = statement.Where(plain[1] + ": an option is written key=value");
            return false;
        }
    } else {
        *error = statement.Where("unknown statement \"" + plain[0] + "\"");
        return false;
    }
    if (!ReadInstrumentOptions(statement, kind, kLayerOptions, &layer->instrument, error))
        return false;
    layer->hertz = kind == Kind::kPerc ? 200.0 : 440.0;
    if (statement.HasOption("note")) {
        int midi = 0;
        const std::string name = statement.Option("note");
        if (!ParseNoteName(name, &midi)) {
            *error = statement.Where("note=" + name + ": no note name (C4, F#3, Bb2)");
            return false;
        }
        layer->hertz = NoteHertz(midi);
    }
    double scatter = 0;
    if (!LayerNumber(statement, "freq", 20, 20000, &layer->hertz, error) ||
        !LayerNumber(statement, "to", 20, 20000, &layer->hertzTo, error) ||
        !LayerNumber(statement, "dur", 0.001, 60, &layer->duration, error) ||
        !LayerNumber(statement, "vel", 0, 2, &layer->velocity, error) ||
        !LayerNumber(statement, "scatter", 0, 1000, &scatter, error) ||
        !LayerNumber(statement, "spread", 0, 60, &layer->spread, error) ||
        !LayerNumber(statement, "vary", 0, 24, &layer->vary, error))
        return false;
    layer->scatter = static_cast<int>(scatter);
    if (statement.HasOption("at")) {
        std::stringstream parts(statement.Option("at"));
        std::string part;
        layer->at.clear();
        while (std::getline(parts, part, ',')) {
            double value = 0;
            if (!drawkit::ParseNumber(part, &value) || value < 0 || value > 60) {
                *error = statement.Where("at takes seconds from 0 to 60, or a list of them");
                return false;
            }
            layer->at.push_back(value);
        }
    }
    layer->seed = SeedOfFile(statement.file, static_cast<uint64_t>(statement.line));
    return true;
}

}  // namespace

bool RenderRecipe(const std::string& path, const InstrumentFile& instruments, const VoicePack& pack,
                  Sound* sound, std::string* error) {
    std::vector<drawkit::Statement> statements;
    if (!drawkit::ReadRecipeFile(path, true, &statements, error)) return false;
    double length = 0.0, mix = 0.0, size = 0.4, damping = 0.5;
    bool loop = false, reverse = false;
    std::vector<Layer> layers;
    for (const drawkit::Statement& statement : statements) {
        const std::string& verb = statement.words[0];
        if (verb == "length") {
            const std::vector<std::string> plain = statement.Plain();
            if (plain.size() != 2 || !drawkit::ParseNumber(plain[1], &length) || length < 0.01 ||
                length > 60) {
                *error = statement.Where("length takes seconds from 0.01 to 60");
                return false;
            }
        } else if (verb == "loop") {
            loop = true;
        } else if (verb == "reverse") {
            reverse = true;
        } else if (verb == "reverb") {
            if (!LayerNumber(statement, "mix", 0, 2, &mix, error) ||
                !LayerNumber(statement, "size", 0, 1, &size, error) ||
                !LayerNumber(statement, "damping", 0, 1, &damping, error))
                return false;
        } else {
            Layer layer;
            if (!ReadLayer(statement, instruments, &layer, error)) return false;
            layers.push_back(layer);
        }
    }
    if (length <= 0.0) {
        *error = path + ": no length";
        return false;
    }
    if (loop && reverse) {
        *error = path + ": a loop cannot be reversed";
        return false;
    }
    sound->channels = 1;
    sound->loop = loop;
    sound->length = static_cast<size_t>(std::llround(length * kRate));
    // Room for the longest ring after the end; a loop folds it back in.
    const size_t frames = sound->length + static_cast<size_t>(3.0 * kRate);
    std::vector<float> dry(frames, 0.0f);
    for (const Layer& layer : layers) {
        Noise random(layer.seed);
        for (double start : layer.at) {
            const int copies = std::max(layer.scatter, 1);
            for (int copy = 0; copy < copies; ++copy) {
                double when = start, shift = 0.0;
                if (layer.scatter > 0) {
                    when += layer.spread * random.Uniform();
                    shift = layer.vary * random.White();
                }
                Note note;
                const double factor = pack.pitch * std::pow(2.0, shift / 12.0);
                note.hertz = layer.hertz * factor;
                note.hertzTo = layer.hertzTo > 0.0 ? layer.hertzTo * factor : 0.0;
                note.hold = layer.duration;
                note.velocity = layer.velocity;
                note.formantShift = pack.formant;
                note.seed = layer.seed + static_cast<uint64_t>(copy) * 7919 +
                            static_cast<uint64_t>(when * 1000.0);
                RenderNote(layer.instrument, note, dry, static_cast<size_t>(when * kRate));
            }
        }
    }
    Reverb reverb(size, damping);
    sound->samples.assign(frames, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        double left = 0, right = 0;
        if (mix > 0.0) reverb.Next(dry[i], &left, &right);
        sound->samples[i] = static_cast<float>(dry[i] + mix * 0.5 * (left + right));
    }
    if (reverse) {
        // The sound ends where it began, its swell leading up to the strike.
        sound->samples.resize(sound->length);
        std::reverse(sound->samples.begin(), sound->samples.end());
    }
    return true;
}

}  // namespace sndgen
