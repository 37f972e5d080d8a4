#include "soundfiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

#include "audio/oggdatasource.h"
#include "audio/sounddatasource.h"
#include "foundation/file/assetfolder.h"
#include "foundation/xml/xmlnode.h"

namespace soundlint {
namespace {

Expected Around(const std::string& path, SoundClass soundClass, double seconds, bool loop = false) {
    return {path, soundClass, seconds * 0.9, seconds * 1.1, loop};
}

}  // namespace

std::vector<Expected> ProgramSounds() {
    const SoundClass music = SoundClass::kMusic, effect = SoundClass::kEffect;
    std::vector<Expected> sounds = {
        Around("audio/music/mainmenumusic.ogg", music, 45, true),
        Around("audio/music/win.ogg", music, 8),
        Around("audio/music/lose.ogg", music, 8),
        Around("audio/music/minigame.ogg", music, 20, true),
        Around("audio/music/hyenamusic.ogg", music, 30, true),
        Around("audio/music/starvationmusic.ogg", music, 30, true),
        Around("audio/music/celebration.ogg", music, 20, true),
        Around("audio/sfx/picked_up.ogg", effect, 0.4),
        Around("audio/sfx/buttonclick.ogg", effect, 0.08),
        Around("audio/sfx/no.ogg", effect, 0.4),
        Around("audio/sfx/thinking.ogg", effect, 0.8),
        Around("audio/sfx/scared.ogg", effect, 0.5),
        Around("audio/sfx/curious.ogg", effect, 0.4),
        Around("audio/sfx/success.ogg", effect, 0.7),
        Around("audio/sfx/angry.ogg", effect, 0.6),
        Around("audio/sfx/fight.ogg", effect, 1.2),
        Around("audio/sfx/building.ogg", effect, 1.0),
        Around("audio/sfx/stampede.ogg", effect, 1.8),
        Around("audio/sfx/hyena_laugh.ogg", effect, 1.2),
        Around("audio/sfx/kissing.ogg", effect, 0.4),
        Around("audio/sfx/evolution.ogg", effect, 1.5),
        Around("audio/sfx/water_flowing.ogg", effect, 4, true),
        Around("audio/sfx/land_slide.ogg", effect, 2, true),
        Around("audio/sfx/achievement.ogg", effect, 1.5),
        Around("audio/sfx/ui_click.ogg", effect, 0.06),
        Around("audio/sfx/ui_rollover.ogg", effect, 0.05),
    };
    // The day tracks run 45 to 60 s; the species' cries 0.6 to 1.2 s; the key ticks 0.05 to 0.08 s.
    for (int i = 1; i <= 5; ++i)
        sounds.push_back(
            {"audio/music/gamemusic0" + std::to_string(i) + ".ogg", music, 45, 60, false});
    for (const char* cry :
         {"lion_roar", "giraffe_bray", "gorilla_grunt", "elephant_trumpet", "zebra_bray"})
        sounds.push_back({std::string("audio/sfx/") + cry + ".ogg", effect, 0.6, 1.2, false});
    for (int i = 1; i <= 4; ++i)
        sounds.push_back(
            {"audio/sfx/sfx_typing_0" + std::to_string(i) + ".ogg", effect, 0.05, 0.08, false});
    return sounds;
}

std::vector<Generated> GeneratedFiles() {
    std::vector<Generated> files;
    std::stringstream items(UMBRAVA_SOUND_ITEMS);
    std::string item;
    while (std::getline(items, item, ',')) {
        const std::string folder = item.substr(0, item.find('/'));
        const std::string name = item.substr(item.find('/') + 1);
        const SoundClass soundClass = folder == "music"      ? SoundClass::kMusic
                                      : folder == "voice"    ? SoundClass::kVoice
                                      : folder == "ambience" ? SoundClass::kAmbience
                                                             : SoundClass::kEffect;
        if (soundClass == SoundClass::kVoice) {
            for (int pack = 1; pack <= 5; ++pack)
                files.push_back(
                    {"audio/sfx/vp" + std::to_string(pack) + "_" + name + ".ogg", soundClass});
        } else {
            files.push_back(
                {(soundClass == SoundClass::kMusic ? "audio/music/" : "audio/sfx/") + name + ".ogg",
                 soundClass});
        }
    }
    return files;
}

std::vector<std::string> LoopingFiles() {
    std::vector<std::string> files;
    for (const Expected& expected : ProgramSounds()) {
        if (expected.loop) files.push_back(expected.path);
    }
    std::ifstream in(UMBRAVA_SOUND_SCHEME, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TXmlNode document;
    document.ParseString(text.c_str(), text.size());
    const TXmlNode* scheme = document.FindChild("SoundScheme");
    if (scheme == nullptr) return files;
    for (const TXmlNode* element : scheme->GetChildren()) {
        const bool packs = std::string(element->GetAttribute("VoicePack").c_str()) == "1";
        for (const TXmlNode* option : element->GetChildren()) {
            if (std::string(option->GetAttribute("type").c_str()) != "loop" ||
                std::atoi(option->GetAttribute("delay").c_str()) >= 500)
                continue;
            const std::string src = option->GetAttribute("src").c_str();
            for (int pack = 1; pack <= (packs ? 5 : 1); ++pack) {
                const std::string path =
                    "audio/sfx/" + (packs ? "vp" + std::to_string(pack) + "_" : "") + src;
                if (std::find(files.begin(), files.end(), path) == files.end())
                    files.push_back(path);
            }
        }
    }
    return files;
}

void LoudnessWindow(SoundClass soundClass, double* low, double* high) {
    switch (soundClass) {
        case SoundClass::kMusic:
            *low = -23.0, *high = -17.0;
            return;
        case SoundClass::kEffect:
        case SoundClass::kVoice:
            *low = -23.0, *high = -14.0;
            return;
        case SoundClass::kAmbience:
            *low = -30.0, *high = -22.0;
            return;
    }
}

bool IndexGameFolder() {
    RegisterOggDataSourceBuilder();
    // The game's folder is found as "assets" below the working folder, as at start-up.
    const std::filesystem::path folder(UMBRAVA_BUILT_SOUNDS);
    if (chdir(folder.parent_path().c_str()) != 0) return false;
    ScanAssetFolder("", "assets");
    return true;
}

Decoded DecodeGameSound(const std::string& path) {
    Decoded decoded;
    auto source = CreateSoundDataSource(str(path.c_str()), false);
    if (!source) return decoded;
    decoded.rate = static_cast<int>(source->GetSampleRate());
    decoded.channels = static_cast<int>(source->GetChannels());
    const uint64_t total = source->GetTotalBytes();
    if (total > (uint64_t{1} << 30)) return decoded;
    decoded.samples.resize(static_cast<size_t>(total / 2));
    uint32_t offset = 0;
    auto* bytes = reinterpret_cast<uint8_t*>(decoded.samples.data());
    while (offset < total) {
        const uint32_t got =
            source->Read(bytes + offset, offset,
                         static_cast<uint32_t>(std::min<uint64_t>(total - offset, 1 << 16)));
        if (got == 0) break;
        offset += got;
    }
    // Decoded to its end: every byte the header promised arrived.
    decoded.ok = offset == total && total > 0;
    return decoded;
}

void CheckSound(const std::string& path, const Decoded& sound, SoundClass soundClass, bool loop,
                std::vector<std::string>* problems) {
    auto problem = [&](const std::string& what) { problems->push_back(path + ": " + what); };
    if (!sound.ok) {
        problem("does not open or decode to its end through CreateSoundDataSource");
        return;
    }
    const int channels = soundClass == SoundClass::kMusic ? 2 : 1;
    if (sound.rate != 44100 || sound.channels != channels)
        problem("is " + std::to_string(sound.rate) + " Hz with " + std::to_string(sound.channels) +
                " channels, not 44100 Hz with " + std::to_string(channels));
    int peak = 0;
    double sum = 0.0;
    for (int16_t s : sound.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        sum += static_cast<double>(s) * s;
    }
    const double peakDb = 20.0 * std::log10(std::max(peak, 1) / 32768.0);
    if (peak >= 32767) problem("reaches full scale");
    if (peakDb >= -1.0) problem("peaks at " + std::to_string(peakDb) + " dBFS, not below -1");
    const double rmsDb =
        20.0 *
        std::log10(std::max(std::sqrt(sum / std::max<size_t>(sound.samples.size(), 1)), 1.0) /
                   32768.0);
    double low = 0, high = 0;
    LoudnessWindow(soundClass, &low, &high);
    if (rmsDb < low || rmsDb > high)
        problem("RMS " + std::to_string(rmsDb) + " dBFS is outside " + std::to_string(low) +
                " to " + std::to_string(high));
    if (loop && sound.channels > 0) {
        const size_t count = static_cast<size_t>(sound.channels);
        const size_t frames = sound.samples.size() / count;
        for (size_t c = 0; c < count && frames > 1; ++c) {
            int inside = 0;
            for (size_t i = 1; i < frames; ++i)
                inside = std::max(inside, std::abs(sound.samples[i * count + c] -
                                                   sound.samples[(i - 1) * count + c]));
            const int seam = std::abs(sound.samples[c] - sound.samples[(frames - 1) * count + c]);
            if (seam > inside)
                problem("the loop's seam steps " + std::to_string(seam) +
                        ", more than the largest step inside (" + std::to_string(inside) + ")");
        }
    }
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

}  // namespace soundlint
