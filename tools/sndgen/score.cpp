#include "score.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <list>
#include <map>

#include "dsp.h"
#include "recipetext.h"

namespace sndgen {
namespace {

struct Hit {
    size_t step = 0;
    size_t length = 1;       // steps held
    std::vector<int> notes;  // MIDI numbers; 60 for an unpitched hit
    double velocity = 0.8;
};

struct Track {
    std::string instrument;
    double volume = 0.7;
    double pan = 0.0;
    double reverb = -1.0;  // the score's mix when negative
    std::vector<Hit> hits;
    size_t steps = 0;
    const drawkit::Statement* statement = nullptr;
};

struct Score {
    double tempo = 0.0;
    double stepsPerBeat = 4.0;
    double transpose = 0.0;
    std::string lead;
    bool loop = false;
    double tail = 2.0;
    double reverbMix = 0.2, reverbSize = 0.5, reverbDamping = 0.4;
    double human = 0.0;
    std::map<std::string, std::vector<Track>> patterns;
    std::vector<std::string> arrangement;
    std::vector<std::string> muted;
    std::vector<const drawkit::Statement*> playStatements;
};

bool ParseStep(const std::string& token, Hit* hit, std::string* what) {
    std::string body = token;
    hit->velocity = 0.75;
    if (body.size() > 1 && body.back() == '!')
        hit->velocity = 1.0, body.pop_back();
    else if (body.size() > 1 && body.back() == '\'')
        hit->velocity = 0.45, body.pop_back();
    hit->notes.clear();
    if (body == "X") hit->velocity = 1.0;
    if (body == "x" || body == "X") {
        hit->notes.push_back(60);
        return true;
    }
    size_t start = 0;
    while (start <= body.size()) {
        size_t plus = body.find('+', start);
        if (plus == std::string::npos) plus = body.size();
        int midi = 0;
        if (!ParseNoteName(body.substr(start, plus - start), &midi)) {
            *what = "\"" + token +
                    "\" is no step (., -, x, a note such as C4 or F#3, or a chord "
                    "such as C3+E3+G3)";
            return false;
        }
        hit->notes.push_back(midi);
        start = plus + 1;
    }
    return true;
}

bool ReadTrack(const drawkit::Statement& statement, Track* track, std::string* error) {
    const std::vector<std::string> plain = statement.Plain();
    if (plain.size() < 3) {
        *error = statement.Where("write \"track INSTRUMENT options steps\"");
        return false;
    }
    track->instrument = plain[1];
    track->statement = &statement;
    const std::pair<const char*, double*> options[] = {
        {"vol", &track->volume}, {"pan", &track->pan}, {"rev", &track->reverb}};
    for (const auto& [key, value] : options) {
        if (statement.HasOption(key) && !drawkit::ParseNumber(statement.Option(key), value)) {
            *error = statement.Where(std::string(key) + " takes a number");
            return false;
        }
    }
    for (size_t i = 2; i < plain.size(); ++i) {
        const std::string& token = plain[i];
        if (token == "|") continue;
        if (token == ".") {
            ++track->steps;
        } else if (token == "-") {
            if (track->hits.empty() ||
                track->hits.back().step + track->hits.back().length != track->steps) {
                *error = statement.Where("a \"-\" holds nothing: no note sounds before it");
                return false;
            }
            ++track->hits.back().length;
            ++track->steps;
        } else {
            Hit hit;
            std::string what;
            if (!ParseStep(token, &hit, &what)) {
                *error = statement.Where(what);
                return false;
            }
            hit.step = track->steps++;
            track->hits.push_back(hit);
        }
    }
    return true;
}

bool Number(const drawkit::Statement& statement, double low, double high, double* value,
            std::string* error) {
    const std::vector<std::string> plain = statement.Plain();
    if (plain.size() != 2 || !drawkit::ParseNumber(plain[1], value) || *value < low ||
        *value > high) {
        *error = statement.Where(plain[0] + " takes one number from " + std::to_string(low) +
                                 " to " + std::to_string(high));
        return false;
    }
    return true;
}

// The statements of the score and of what it includes, kept while the tracks point into them.
using StatementStore = std::list<std::vector<drawkit::Statement>>;

bool ReadScore(const std::string& path, StatementStore& store, Score* score, bool included,
               std::string* error) {
    std::vector<drawkit::Statement>& statements = store.emplace_back();
    if (!drawkit::ReadRecipeFile(path, true, &statements, error)) return false;
    std::string pattern;
    for (const drawkit::Statement& statement : statements) {
        const std::vector<std::string> plain = statement.Plain();
        const std::string& verb = plain[0];
        if (verb == "pattern") {
            if (plain.size() != 2 || score->patterns.count(plain[1]) != 0) {
                *error = statement.Where("write \"pattern NAME\", each name once");
                return false;
            }
            pattern = plain[1];
            score->patterns[pattern];
        } else if (verb == "track") {
            if (pattern.empty()) {
                *error = statement.Where("a track outside a pattern");
                return false;
            }
            Track track;
            if (!ReadTrack(statement, &track, error)) return false;
            std::vector<Track>& tracks = score->patterns[pattern];
            if (!tracks.empty() && tracks.front().steps != track.steps) {
                *error = statement.Where("the track has " + std::to_string(track.steps) +
                                         " steps, the pattern's first " +
                                         std::to_string(tracks.front().steps));
                return false;
            }
            tracks.push_back(track);
        } else if (included) {
            *error = statement.Where("an included file holds only patterns and tracks");
            return false;
        } else if (verb == "include") {
            if (plain.size() != 2 || plain[1].find('/') != std::string::npos) {
                *error = statement.Where("write \"include FILE\", a file beside the score");
                return false;
            }
            const std::string other =
                (std::filesystem::path(path).parent_path() / plain[1]).string();
            if (!ReadScore(other, store, score, true, error)) return false;
        } else if (verb == "tempo") {
            if (!Number(statement, 20, 300, &score->tempo, error)) return false;
        } else if (verb == "steps") {
            if (!Number(statement, 1, 16, &score->stepsPerBeat, error)) return false;
        } else if (verb == "transpose") {
            if (!Number(statement, -24, 24, &score->transpose, error)) return false;
        } else if (verb == "tail") {
            if (!Number(statement, 0, 10, &score->tail, error)) return false;
        } else if (verb == "human") {
            if (!Number(statement, 0, 0.05, &score->human, error)) return false;
        } else if (verb == "loop") {
            score->loop = true;
        } else if (verb == "lead") {
            if (plain.size() != 2) {
                *error = statement.Where("write \"lead INSTRUMENT\"");
                return false;
            }
            score->lead = plain[1];
        } else if (verb == "reverb") {
            const std::pair<const char*, double*> options[] = {{"mix", &score->reverbMix},
                                                               {"size", &score->reverbSize},
                                                               {"damping", &score->reverbDamping}};
            for (const auto& [key, value] : options) {
                if (statement.HasOption(key) &&
                    !drawkit::ParseNumber(statement.Option(key), value)) {
                    *error = statement.Where(std::string(key) + " takes a number");
                    return false;
                }
            }
        } else if (verb == "mute") {
            score->muted.insert(score->muted.end(), plain.begin() + 1, plain.end());
        } else if (verb == "play") {
            score->arrangement.insert(score->arrangement.end(), plain.begin() + 1, plain.end());
            for (size_t i = 1; i < plain.size(); ++i)
                score->playStatements.push_back(&statement);
        } else {
            *error = statement.Where("unknown statement \"" + verb + "\"");
            return false;
        }
    }
    return true;
}

}  // namespace

bool RenderScore(const std::string& path, const InstrumentFile& instruments, Sound* sound,
                 std::string* error) {
    StatementStore store;
    Score score;
    if (!ReadScore(path, store, &score, false, error)) return false;
    if (score.tempo <= 0.0) {
        *error = path + ": no tempo";
        return false;
    }
    if (score.arrangement.empty()) {
        *error = path + ": nothing to play (no play statement)";
        return false;
    }
    // Checks every name before a sample is made.
    size_t totalSteps = 0;
    for (size_t i = 0; i < score.arrangement.size(); ++i) {
        auto found = score.patterns.find(score.arrangement[i]);
        if (found == score.patterns.end() || found->second.empty()) {
            *error = score.playStatements[i]->Where("no pattern \"" + score.arrangement[i] +
                                                    "\" with tracks");
            return false;
        }
        totalSteps += found->second.front().steps;
        for (Track& track : found->second) {
            if (track.instrument == "lead") {
                if (score.lead.empty()) {
                    *error = track.statement->Where("a lead track, but the score names no lead");
                    return false;
                }
                track.instrument = score.lead;
            }
            if (instruments.instruments.count(track.instrument) == 0) {
                *error = track.statement->Where("no instrument \"" + track.instrument + "\"");
                return false;
            }
        }
    }
    const double stepSeconds = 60.0 / score.tempo / score.stepsPerBeat;
    sound->channels = 2;
    sound->loop = score.loop;
    // A loop is its steps exactly, its ringing folded in; a track that ends keeps its tail.
    const size_t stepFrames = static_cast<size_t>(std::llround(totalSteps * stepSeconds * kRate));
    const size_t tailFrames = static_cast<size_t>((score.loop ? 4.0 : score.tail) * kRate);
    sound->length = score.loop ? stepFrames : stepFrames + tailFrames;
    const size_t frames = stepFrames + tailFrames;
    sound->samples.assign(frames * 2, 0.0f);
    std::vector<float> send(frames, 0.0f), voice(frames, 0.0f);

    // One pattern track at a time into a mono buffer, then panned into the mix.
    size_t patternStart = 0;
    for (size_t p = 0; p < score.arrangement.size(); ++p) {
        const std::vector<Track>& tracks = score.patterns[score.arrangement[p]];
        for (size_t t = 0; t < tracks.size(); ++t) {
            const Track& track = tracks[t];
            if (std::find(score.muted.begin(), score.muted.end(), track.instrument) !=
                score.muted.end())
                continue;
            const Instrument& instrument = instruments.instruments.at(track.instrument);
            Noise jitter(SeedOfFile(path, p * 131 + t));
            size_t first = frames;
            for (const Hit& hit : track.hits) {
                double start = (patternStart + hit.step) * stepSeconds;
                if (score.human > 0.0 && (patternStart + hit.step) > 0)
                    start += score.human * jitter.White();
                const size_t at = static_cast<size_t>(std::max(start, 0.0) * kRate);
                for (int midi : hit.notes) {
                    Note note;
                    const bool pitched =
                        hit.notes.size() > 1 || midi != 60 || instrument.kind != Kind::kPerc;
                    note.hertz = NoteHertz(midi + (pitched ? score.transpose : 0.0));
                    note.hold = hit.length * stepSeconds * 0.92;
                    note.velocity =
                        hit.velocity * (score.human > 0.0 ? 1.0 + 0.1 * jitter.White() : 1.0);
                    note.seed = SeedOfFile(path, (patternStart + hit.step) * 977 + t * 31 + midi);
                    RenderNote(instrument, note, voice, at);
                }
                first = std::min(first, at);
            }
            if (first >= frames) continue;
            // Nothing rings longer than kLongestRing after the pattern's last step.
            const size_t patternEnd =
                static_cast<size_t>((patternStart + track.steps) * stepSeconds * kRate + 1.0);
            const size_t end =
                std::min(frames, patternEnd + static_cast<size_t>(kLongestRing * kRate) + 1);
            const double angle = (std::clamp(track.pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
            const float left = static_cast<float>(track.volume * std::cos(angle));
            const float right = static_cast<float>(track.volume * std::sin(angle));
            const float wet = static_cast<float>(
                track.volume * (track.reverb < 0 ? score.reverbMix : track.reverb));
            for (size_t i = first; i < end; ++i) {
                sound->samples[2 * i] += voice[i] * left;
                sound->samples[2 * i + 1] += voice[i] * right;
                send[i] += voice[i] * wet;
                voice[i] = 0.0f;
            }
        }
        patternStart += tracks.front().steps;
    }
    Reverb reverb(score.reverbSize, score.reverbDamping);
    for (size_t i = 0; i < frames; ++i) {
        double left = 0, right = 0;
        reverb.Next(send[i], &left, &right);
        sound->samples[2 * i] += static_cast<float>(left);
        sound->samples[2 * i + 1] += static_cast<float>(right);
    }
    return true;
}

}  // namespace sndgen
