// Any bytes as the sound scheme file (plain or "ZXML"), loaded with task kinds of the test's own
// and a tiny tone for every sound name but those holding "missing", then played: a few dozen
// steps chosen by a generator seeded from the input (plays of the table's keys for objects, fixed
// points and no object, ends of instances through a stop and told directly, the clock moved and
// due restarts started, volume updates against a view that moves, stops of one event and of
// everything, Update), on the null device with the fake clock. After every step the playing map
// and the instances map must agree; after a StopAll no sound of the scheme may be left.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <vector>

#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "foundation/random.h"
#include "foundation/xml/xmlnode.h"
#include "gamesound/soundscheme.h"
#include "gv/gvviewport.h"
#include "port/control.h"
#include "port/window/window.h"
#include "support/schemeobject.h"
#include "support/tinysounds.h"

namespace {

using testing_support::SchemeObject;

constexpr int kSteps = 48;

// The engine, made once: the fake clock, a window, the hooks and a manager whose worker sleeps.
TSoundManager* gManager = nullptr;
HWND gWindow = nullptr;

void StartEngine() {
    port::control::UseFakeClock(true);
    port::control::SetSoundPump(false);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "SCHEMEFUZZ";
    RegisterClassA(&windowClass);
    gWindow = CreateWindowExA(0, "SCHEMEFUZZ", "fuzz", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                              nullptr);
    gManager = new TSoundManager();
    soundhooks::Install({[] { return gManager; }, [] { return gWindow; }, nullptr});
    gManager->SetWorkerPace({0, 500});
    gManager->StartThread();
}

int TaskKind(const str& name) {
    str lower = name;
    lower.ToLower();
    if (lower == "build") return 4;
    if (lower == "forage") return 2;
    if (lower == "pickedup") return 12;
    return 0;
}

void ExpectAgreement(const GSoundScheme& scheme) {
    for (const auto& [key, instance] : scheme.GetPlaying()) {
        auto found = scheme.GetInstances().find(instance);
        if (found == scheme.GetInstances().end() || found->second.info != key.info) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static testing_support::TinySounds* sounds = [] {
        StartEngine();
        return new testing_support::TinySounds();
    }();
    sounds->asked.clear();

    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(data), size);
    GSoundScheme scheme;
    scheme.Load(&document, GSoundScheme::TaskKinds(TaskKind));
    scheme.SetEnabled(true);
    GVViewPort view(800.0f, 600.0f, 0.0f, 0.0f);
    view.SetBounds(GVRect{0.0f, 0.0f, 2400.0f, 1800.0f});

    std::vector<SoundSchemeKey> keys;
    for (const auto& [key, options] : scheme.GetTable())
        keys.push_back(key);
    // Objects of the table's own type names, and one of none of them.
    std::vector<std::unique_ptr<SchemeObject>> objects;
    for (const SoundSchemeKey& key : keys) {
        if (key.typeName.Length() != 0 && objects.size() < 3)
            objects.push_back(std::make_unique<SchemeObject>(key.typeName.c_str()));
    }
    objects.push_back(std::make_unique<SchemeObject>("Nobody"));

    TRandom random;
    uint32_t seed = static_cast<uint32_t>(size);
    for (size_t i = 0; i < size && i < 64; ++i)
        seed = seed * 31u + data[i];
    random.Seed(seed);
    auto below = [&](size_t n) { return static_cast<size_t>(random.Next() % n); };

    for (int step = 0; step < kSteps; ++step) {
        GObject* object = below(3) == 0 ? nullptr : objects[below(objects.size())].get();
        float x = 0.0f;
        float y = 0.0f;
        int event = static_cast<int>(below(70));
        if (!keys.empty() && below(4) != 0) {
            const SoundSchemeKey& key = keys[below(keys.size())];
            event = key.event;
            if (object == nullptr) {
                x = key.x;
                y = key.y;
            }
        }
        switch (below(10)) {
            case 0:
            case 1:
            case 2:
                scheme.PlayEvent(object, x, y, event, static_cast<int>(below(9)) - 2);
                break;
            case 3:
                // An end: through a stop, or told directly.
                if (!scheme.GetInstances().empty()) {
                    auto it = scheme.GetInstances().begin();
                    std::advance(it, below(scheme.GetInstances().size()));
                    std::shared_ptr<TSoundInstance> instance = it->first;
                    // Told directly, the instance is let go as the engine does after an end.
                    if (below(2) != 0) scheme.OnSoundDone(instance, nullptr);
                    instance->Stop();
                }
                break;
            case 4:
                port::control::AdvanceTime(static_cast<uint32_t>(below(3000)));
                gManager->RunWorkerPass();
                gManager->DispatchCallbacks();
                scheme.StartDueSounds();
                break;
            case 5:
                scheme.SetViewPort(below(4) == 0 ? nullptr : &view);
                view.MoveTo(
                    TVec2(static_cast<float>(below(2400)), static_cast<float>(below(1800))));
                scheme.UpdateVolumes();
                break;
            case 6:
                scheme.StopEvent(object, x, y, event);
                break;
            case 7:
                scheme.Update();
                break;
            case 8:
                if (below(4) == 0) scheme.StopAll();
                break;
            default:
                scheme.SetEnabled(below(3) != 0);
                break;
        }
        ExpectAgreement(scheme);
    }
    // Everything the scheme started stops with it.
    scheme.StopAll();
    gManager->DispatchCallbacks();
    if (!scheme.GetInstances().empty() || !scheme.GetPending().empty()) std::abort();
    if (gManager->GetStreamCount() != 0) std::abort();
    return 0;
}
