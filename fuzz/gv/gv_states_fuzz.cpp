// A "states" element, with state effects, loaded onto a bare object of N frames in a scene, then
// switched, timed and destroyed. Input: byte 0 gives N (0 to 32), byte 1 bit 0 puts the scene in a
// window whose modal parent runs the timers (else the application object's list does); the XML
// runs to the first NUL byte, and every byte after it is a command: the low two bits pick a switch
// with apply, a switch without apply, a clock step with a turn of the task lists, or a speed; the
// rest is the argument. After every command the frame position lies in the current state's list
// or is −1; after the object's destruction one turn of its list leaves no task behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/task/taskmanager.h"
#include "foundation/xml/xmlnode.h"
#include "gv/keys/flagmasktext.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/anim/gvstate.h"
#include "gv/anim/gvtaskhost.h"
#include "gv/keys/statekeys.h"
#include "platform/platform.h"
#include "port/control.h"

namespace {

// One window, whose modal parent's task list is the one this host hands out.
class Host : public GVWindowHook {
public:
    TModalWindow* GetModalParent(TWindow* window) override {
        return reinterpret_cast<TModalWindow*>(window);
    }
    void AddTask(TModalWindow* host, TTask* task) override {
        (void)host;
        tasks->AddTask(task);
    }
    std::unique_ptr<TTaskManager> tasks;
};

TPlatform& App() {
    static TPlatform* app = [] {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        return new TPlatform();
    }();
    return *app;
}

void CheckPosition(const GVObject& object) {
    const GVState* state = object.GetCurrentState();
    const int32_t position = object.GetFramePosition();
    if (state == nullptr || position == -1) return;
    const int32_t frame = state->GetFrameAt(position);
    if (frame < 0 || frame >= object.GetFrames()->GetCount()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    TPlatform& app = App();
    static Host host;
    static char window;  // any address: the host answers it as its own modal parent
    SetWindowHook(&host);
    host.tasks = std::make_unique<TTaskManager>();

    const int32_t frameCount = data[0] % 33;
    const bool inWindow = (data[1] & 1) != 0;
    const uint8_t* xmlStart = data + 2;
    const uint8_t* end = data + size;
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(xmlStart, 0, size - 2));
    const uint8_t* xmlEnd = nul != nullptr ? nul : end;
    const uint8_t* commands = nul != nullptr ? nul + 1 : end;

    TXmlNode document;
    document.ParseString(reinterpret_cast<const char*>(xmlStart), size_t(xmlEnd - xmlStart));
    TXmlNode* node = document.GetChildren().empty() ? nullptr : document.GetChildren().front();

    {
        GVScene scene;
        scene.SetWindow(inWindow ? reinterpret_cast<TWindow*>(&window) : nullptr);
        auto object = std::make_unique<GVObject>();
        auto frames = std::make_shared<GVFrames>();
        for (int32_t i = 0; i < frameCount; ++i)
            frames->Add(new GVFrame());
        object->SetFrames(frames);
        auto* states = new GVStates(frameCount, object.get());
        states->Load(node, object.get());
        object->SetStates(states);
        object->AttachToScene(&scene, false);
        states->BindEffects(object.get());

        // The keys to switch to: those of the states, "normal", "any" and one no state has.
        std::vector<GNameMask> keys = {GetStateKeys().normal, GetStateKeys().any,
                                       ParseFlagMask("nowhere")};
        for (int32_t i = 0; i < states->GetCount(); ++i)
            keys.push_back(states->GetAt(i)->id);

        object->SetState(GetStateKeys().normal, true, false);
        CheckPosition(*object);
        static const float kSpeeds[] = {1.0f, 0.5f, 0.0f, 2.0f, -1.0f, 1e30f, 0.01f};
        for (const uint8_t* c = commands; c < end; ++c) {
            const uint32_t argument = *c >> 2;
            switch (*c & 3) {
                case 0:
                    object->SetState(keys[(argument >> 1) % keys.size()], true,
                                     (argument & 1) != 0);
                    break;
                case 1:
                    object->SetState(keys[argument % keys.size()], false, false);
                    break;
                case 2:
                    port::control::AdvanceTime(argument * 7);
                    host.tasks->Update(0);
                    app.UpdateTasks();
                    break;
                default:
                    object->SetSpeed(kSpeeds[argument % (sizeof(kSpeeds) / sizeof(kSpeeds[0]))],
                                     false);
                    break;
            }
            CheckPosition(*object);
        }
        object.reset();
        host.tasks->Update(0);
        app.UpdateTasks();
        if (host.tasks->GetTaskCount() != 0) std::abort();
    }
    host.tasks.reset();
    SetWindowHook(nullptr);
    return 0;
}
