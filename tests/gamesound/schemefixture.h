// The sound scheme's tests: the small game of gamesoundfixture.h with its sound manager, a tiny
// tone for every sound file name (support/tinysounds.h), the world's name registry, an enabled
// scheme of the test's own loaded from elements written as text, world objects by full name
// with or without a view, and a view rectangle of 800 × 600 at the world's top-left corner.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "gamesound/soundscheme.h"
#include "gamesoundfixture.h"
#include "gv/gvviewport.h"
#include "simulation/nameregistry.h"
#include "support/schemeobject.h"
#include "support/tinysounds.h"

namespace gamesound_testing {

using testing_support::SchemeObject;

class SchemeTest : public GameSoundTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Whether SetUp makes the sound manager.
    virtual bool WithSound() const { return true; }

    // Loads <SoundScheme> holding the elements into the scheme, with the registry.
    bool Load(const std::string& elements);
    SchemeObject* MakeObject(const char* fullName);
    SchemeObject* MakeObjectAt(const char* fullName, float x, float y);

    // The device volume of the secondary buffer made last, and of the buffer of that id.
    static long LastVolume();
    static long VolumeOf(uint32_t buffer);
    static uint32_t LastBuffer();
    // The device volume the scheme's volume v × the effects group's volume gives.
    long Expected(float v) const;
    // Moves the clock on in steps of gamesoundfixture.h's Run until done answers true, at most
    // ms; answers done. A sound's end is heard a second or so after it, when the worker has
    // seen its buffer drain.
    bool RunUntil(const std::function<bool()>& done, uint32_t ms = 3000);
    // Until the scheme holds that many pending records.
    bool RunUntilPending(size_t count, uint32_t ms = 3000);

    testing_support::TinySounds& Sounds() { return *mSounds; }
    GSoundScheme& Scheme() { return *mScheme; }

    GNameRegistry mNames;
    GVViewPort mView{800.0f, 600.0f, 0.0f, 0.0f};

private:
    std::unique_ptr<testing_support::TinySounds> mSounds;
    std::unique_ptr<GSoundScheme> mScheme;
    std::deque<SchemeObject> mObjects;
};

}  // namespace gamesound_testing
