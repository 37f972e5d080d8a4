// The scheme's table: the event names, the keys' order and the reading of the scheme file.
// Playback is in soundschemeplay.cpp.
#include "gamesound/soundscheme.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "audio/sound.h"
#include "foundation/saturate.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/nameregistry.h"

const char* const kSchemeEventNames[kSchemeEventCount] = {
    "PickedUp",        "Sick",      "No",           "Confused",
    "Thinking",        "Scared",    "Curious",      "Success",
    "Angry",           "Stampede",  "HyenaLaugh",   "Evolution",
    "Devolution",      "LionRoar",  "GiraffeBray",  "GorillaGrunt",
    "ElephantTrumpet", "ZebraBray", "WaterFlowing", "LandSlide",
    "Achievement",     "Bonus",     "Dig",          "Birth",
    "Death",           "GoodEvent", "BadEvent",
};

namespace {

// The coordinates' order: a point the world passes may be no number, which sorts above every
// number and with every other NaN.
bool CoordinateBefore(float a, float b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

// Orders by event, x, then y; 0 when they are the same.
int ComparePlace(int eventA, float xA, float yA, int eventB, float xB, float yB) {
    if (eventA != eventB) return eventA < eventB ? -1 : 1;
    if (CoordinateBefore(xA, xB)) return -1;
    if (CoordinateBefore(xB, xA)) return 1;
    if (CoordinateBefore(yA, yB)) return -1;
    if (CoordinateBefore(yB, yA)) return 1;
    return 0;
}

// The attribute names, made once rather than at each of the thousands of reads of a load.
struct AttributeNames {
    str object = "Object";
    str posX = "PosX";
    str posY = "PosY";
    str event = "Event";
    str voicePack = "VoicePack";
    str type = "type";
    str src = "src";
    str volume = "volume";
    str delay = "delay";
    str intervalMin = "interval_min";
    str intervalMax = "interval_max";
};

const AttributeNames& Attributes() {
    static const AttributeNames names;
    return names;
}

// A decimal number from the start of the text, as the file's coordinates and volumes are
// written; 0 when the text does not start with one, and for what is no finite float (a key
// needs an order, a volume a value).
float ReadNumber(const TXmlNode& node, const str& name) {
    const double value = std::strtod(node.GetAttribute(name).c_str(), nullptr);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
    return static_cast<float>(value);
}

// Milliseconds: an integer from the start of the text; a negative one counts as 0.
int ReadMilliseconds(const TXmlNode& node, const str& name) {
    const int value = TextToInt(node.GetAttribute(name));
    return value > 0 ? value : 0;
}

// "audio/sfx/[vpN_]source?group=1000", N the voice pack (none for 0), in one allocation: a
// scheme asks for thousands of variants.
str VariantPath(const str& source, int voicePack) {
    static constexpr char kFolder[] = "audio/sfx/";
    static constexpr char kGroup[] = "?group=1000";
    char pack[] = "vp0_";
    pack[2] = static_cast<char>('0' + voicePack);
    const int length = static_cast<int>(source.Length());
    str path;
    path.Reserve(static_cast<int>(sizeof kFolder + sizeof pack + sizeof kGroup) + length);
    path.Append(kFolder, static_cast<int>(sizeof kFolder) - 1);
    if (voicePack != 0) path.Append(pack, static_cast<int>(sizeof pack) - 1);
    path.Append(source.c_str(), length);
    path.Append(kGroup, static_cast<int>(sizeof kGroup) - 1);
    return path;
}

// One option element: its kind and timing, its five variants (dropped at the first that does
// not load, without asking for the rest) and its volume.
std::optional<SoundOption> ReadOption(const TXmlNode& node, bool voicePacks) {
    const AttributeNames& names = Attributes();
    SoundOption option;
    const str type = node.GetAttribute(names.type);
    if (std::strcmp(type.c_str(), "trigger") == 0) {
        option.kind = kSoundTrigger;
    } else if (std::strcmp(type.c_str(), "loop") == 0) {
        option.kind = kSoundLoop;
        option.delay = ReadMilliseconds(node, names.delay);
    } else if (std::strcmp(type.c_str(), "ambient") == 0) {
        option.kind = kSoundAmbient;
        option.delay = ReadMilliseconds(node, names.intervalMin);
        option.intervalMax = ReadMilliseconds(node, names.intervalMax);
        // Reversed bounds would give start times in the past or weeks ahead.
        if (option.delay > option.intervalMax) std::swap(option.delay, option.intervalMax);
    } else {
        return std::nullopt;
    }
    const str source = node.GetAttribute(names.src);
    for (int variant = 0; variant < SoundOption::kVariants; ++variant) {
        // Without voice packs the five variants are one file, and so one sound.
        if (!voicePacks && variant > 0) {
            option.sounds[variant] = option.sounds[0];
            continue;
        }
        option.sounds[variant] = TSound::Get(VariantPath(source, voicePacks ? variant + 1 : 0),
                                             true, GSoundScheme::kEffectsGroup);
        if (option.sounds[variant] == nullptr) return std::nullopt;
    }
    option.volume = ReadNumber(node, names.volume) * 0.01f;
    return option;
}

// The scheme's own names, made on the first lookup.
const std::map<str, int>& SchemeEvents() {
    static const std::map<str, int> events = [] {
        std::map<str, int> made;
        for (int i = 0; i < kSchemeEventCount; ++i)
            made.emplace(kSchemeEventNames[i], kFirstSchemeEvent + i);
        return made;
    }();
    return events;
}

GSoundScheme::TaskKinds TaskKindsOf(const GNameRegistry* names) {
    if (names == nullptr) return nullptr;
    return [names](const str& name) { return names->GetTaskKind(name); };
}

}  // namespace

bool operator<(const SoundSchemeKey& a, const SoundSchemeKey& b) {
    if (int order = ComparePlace(a.event, a.x, a.y, b.event, b.x, b.y)) return order < 0;
    return a.typeName < b.typeName;
}

bool PlayingKey::Less::operator()(const PlayingKey& a, const PlayingKey& b) const {
    if (int order = ComparePlace(a.event, a.x, a.y, b.event, b.x, b.y)) return order < 0;
    return std::less<const GObject*>()(a.object, b.object);
}

GSoundScheme& GSoundScheme::Get() {
    static GSoundScheme scheme;
    return scheme;
}

GSoundScheme::GSoundScheme() = default;

GSoundScheme::~GSoundScheme() {
    StopAll();
    mTable.clear();
}

bool GSoundScheme::Load(TXmlNode* document, const GNameRegistry* names) {
    return Load(document, TaskKindsOf(names));
}

bool GSoundScheme::Load(TXmlNode* document, const TaskKinds& taskKinds) {
    // The chains point into the table.
    StopAll();
    mTable.clear();
    TXmlNode* scheme = document != nullptr ? document->FindChild("SoundScheme") : nullptr;
    if (scheme == nullptr || taskKinds == nullptr) return false;
    const AttributeNames& names = Attributes();
    for (TXmlNode* element : scheme->GetChildren()) {
        SoundSchemeKey key;
        key.typeName = element->GetAttribute(names.object);
        key.x = ReadNumber(*element, names.posX);
        key.y = ReadNumber(*element, names.posY);
        key.event = EventFromName(element->GetAttribute(names.event), taskKinds);
        if (key.event == 0) continue;
        const bool voicePacks = TextToInt(element->GetAttribute(names.voicePack)) == 1;
        SoundOptionList options;
        for (TXmlNode* child : element->GetChildren()) {
            if (std::optional<SoundOption> option = ReadOption(*child, voicePacks))
                options.push_back(std::move(*option));
        }
        mTable.insert_or_assign(std::move(key), std::move(options));
    }
    return true;
}

int GSoundScheme::EventFromName(const str& name, const GNameRegistry* names) {
    return EventFromName(name, TaskKindsOf(names));
}

int GSoundScheme::EventFromName(const str& name, const TaskKinds& taskKinds) {
    if (taskKinds != nullptr) {
        if (const int kind = taskKinds(name); kind != 0) return kind;
    }
    const auto& events = SchemeEvents();
    auto found = events.find(name);
    return found != events.end() ? found->second : 0;
}
