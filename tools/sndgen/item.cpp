#include "item.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "dsp.h"
#include "oggwriter.h"
#include "outputfile.h"
#include "recipe.h"
#include "score.h"

namespace sndgen {
namespace {

// Music sits under the effects; ambience well under both; voices as clear as effects.
const ItemClass kClasses[] = {
    {"music", "audio/music", false, {-20.0, -3.0}, 0.4f},
    {"sfx", "audio/sfx", false, {-17.0, -3.0}, 0.3f},
    {"voice", "audio/sfx", true, {-17.0, -3.0}, 0.3f},
    {"ambience", "audio/sfx", false, {-26.0, -6.0}, 0.3f},
};

void AppendLittle(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

std::string Figures(const std::string& name, const Sound& sound, const std::vector<int16_t>& pcm,
                    double seconds) {
    const Measure measure = MeasureSound(pcm, sound.channels, sound.loop);
    char line[256];
    std::snprintf(line, sizeof line, "%-28s %7.3f s  peak %6.1f dBFS  rms %6.1f dBFS", name.c_str(),
                  static_cast<double>(sound.length) / kRate, measure.peakDb, measure.rmsDb);
    std::string text = line;
    if (sound.loop) {
        std::snprintf(line, sizeof line, "  seam %.2f", measure.seamRatio);
        text += line;
    }
    std::snprintf(line, sizeof line, "  made in %.2f s", seconds);
    return text + line;
}

}  // namespace

const ItemClass* ClassOf(const std::string& folder) {
    for (const ItemClass& c : kClasses) {
        if (folder == c.folder) return &c;
    }
    return nullptr;
}

std::string EncodeSound(const Sound& sound, const std::string& name, float quality) {
    oggfile::OggSound ogg;
    ogg.rate = kRate;
    ogg.channels = sound.channels;
    ogg.quality = quality;
    ogg.serial = static_cast<int>(SeedOf(name) & 0x7fffffff);
    ogg.samples = ToPcm(sound.samples);
    return oggfile::WriteOgg(ogg);
}

std::string WavBytes(const std::vector<int16_t>& samples, int channels) {
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    AppendLittle(out, 36 + data, 4);
    out += "WAVEfmt ";
    AppendLittle(out, 16, 4);
    AppendLittle(out, 1, 2);  // PCM
    AppendLittle(out, static_cast<uint32_t>(channels), 2);
    AppendLittle(out, kRate, 4);
    AppendLittle(out, static_cast<uint32_t>(kRate * channels * 2), 4);
    AppendLittle(out, static_cast<uint32_t>(channels * 2), 2);
    AppendLittle(out, 16, 2);
    out += "data";
    AppendLittle(out, data, 4);
    for (int16_t s : samples)
        AppendLittle(out, static_cast<uint16_t>(s), 2);
    return out;
}

bool MakeItem(const ItemOptions& options, const InstrumentFile& instruments,
              const std::string& item, std::vector<std::string>* lines, std::string* error) {
    const size_t slash = item.find('/');
    const ItemClass* itemClass =
        slash == std::string::npos ? nullptr : ClassOf(item.substr(0, slash));
    const std::string name = slash == std::string::npos ? item : item.substr(slash + 1);
    if (itemClass == nullptr || name.empty() || name.find('/') != std::string::npos) {
        *error = item + ": an item is music/NAME, sfx/NAME, voice/NAME or ambience/NAME";
        return false;
    }
    namespace fs = std::filesystem;
    const std::string source =
        (fs::path(options.sources) / itemClass->folder / (name + ".txt")).string();
    // Every variant is rendered and encoded before the first is written.
    struct Output {
        std::string file;
        std::string ogg;
        std::vector<int16_t> pcm;
        std::string figures;
        int channels = 1;
    };
    std::vector<Output> outputs;
    const int variants = itemClass->voicePacks ? 5 : 1;
    for (int v = 0; v < variants; ++v) {
        const auto start = std::chrono::steady_clock::now();
        Sound sound;
        bool ok =
            std::string(itemClass->folder) == "music"
                ? RenderScore(source, instruments, &sound, error)
                : RenderRecipe(source, instruments,
                               itemClass->voicePacks ? instruments.voicePacks[v] : VoicePack{},
                               &sound, error);
        if (!ok) return false;
        Finish(sound, itemClass->loudness);
        Output output;
        output.file = (itemClass->voicePacks ? "vp" + std::to_string(v + 1) + "_" : "") + name;
        output.ogg = EncodeSound(sound, output.file, itemClass->quality);
        if (output.ogg.empty()) {
            *error = source + ": the encoder refused the sound";
            return false;
        }
        output.pcm = ToPcm(sound.samples);
        output.channels = sound.channels;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        output.figures = Figures(output.file, sound, output.pcm, seconds);
        if (options.reel.empty()) output.pcm.clear();
        outputs.push_back(std::move(output));
    }
    std::error_code ignored;
    fs::create_directories(fs::path(options.out) / itemClass->outFolder, ignored);
    std::string report;
    for (const Output& output : outputs) {
        const std::string path =
            (fs::path(options.out) / itemClass->outFolder / (output.file + ".ogg")).string();
        if (!tools::WriteOutputFile(path, output.ogg, error)) return false;
        if (!options.reel.empty()) {
            fs::create_directories(options.reel, ignored);
            const std::string wav = (fs::path(options.reel) / (output.file + ".wav")).string();
            if (!tools::WriteOutputFile(wav, WavBytes(output.pcm, output.channels), error))
                return false;
        }
        report += output.figures + "\n";
        lines->push_back(output.figures);
    }
    if (!options.reel.empty()) {
        const std::string path =
            (fs::path(options.reel) / (std::string(itemClass->folder) + "_" + name + ".txt"))
                .string();
        if (!tools::WriteOutputFile(path, report, error)) return false;
    }
    return true;
}

}  // namespace sndgen
