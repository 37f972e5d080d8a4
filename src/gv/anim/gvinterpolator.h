// The keyframe interpolators: effects that, while they run, write a value interpolated between
// their keys into their object's composed parameter block on each update, looping every "time"
// milliseconds of animation time. Each owns a timer (ontimercaller.h) that adds "quant"
// milliseconds, divided by the object's speed factor, to its elapsed time; the object's update
// then calls Apply with its composed block.
//
// The four kinds and the names the registry (gvinterpolatorregistry.h) makes them by:
// "ScaleInterpolator" multiplies scaling, "AlphaInterpolator" multiplies alpha,
// "RotateInterpolator" adds to rotate (radians), "DeltaMoveInterpolator" adds x, y pairs to deltaX
// and deltaY.
//
// Ownership: an interpolator is owned by its effect container; its timer by the task list it was
// added to (the first scene's host window's, else the application object's). The two unlink each
// other whichever goes first (ontimercaller.h).
//
// Numbers: an interpolator with a single key, or with time 0, applies its first key as it is.
// Interpolation never reads past the last key, whatever the time (a time above 2^24 ms rounds the
// position up to the last key in float arithmetic: it then applies the last key).
//
// Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "gv/anim/gveffect.h"
#include "gv/anim/ontimercaller.h"
#include "math/vec2.h"

class TModalWindow;

class GVDefInterpolator : public GVEffect {
public:
    using Timer = TOnTimerCaller<GVDefInterpolator, TModalWindow>;

    GVDefInterpolator() : GVEffect(kApply) {}
    GVDefInterpolator(const GVDefInterpolator&) = delete;
    GVDefInterpolator& operator=(const GVDefInterpolator&) = delete;
    // Detaches the timer; its list ends it on its next turn.
    ~GVDefInterpolator() override;

    // "time" (base 0; default 100, or inside a state its defdelay × n × n for its n frames),
    // "quant" (base 0, default 30) and "keys"; the effect's own attributes are not read (targets
    // stay 8, the effect enabled, the id empty). False without keys.
    bool Load(TXmlNode* node, GVBase* owner) override;
    // Time, quant and keys, into an interpolator of the same class (else null).
    GVBase* CopyTo(GVBase* target) override;

    // Elapsed time 0; the timer made on the first start and armed with quant, repeating. True.
    bool Start() override;
    // Parks the timer, which stays for a later start. True.
    bool Stop() override;
    void Apply(GVData& composed) override;

    // The timer's step: see the header. True.
    bool OnTimer(TCustomOnTimerCaller* timer);
    void ForgetTimer(TCustomOnTimerCaller* timer);
    TCustomOnTimerCaller* GetTimer() const { return mTimer; }

    // Reads the key text; the number of keys.
    virtual int32_t LoadKeys(const str& text) = 0;
    // Applies the value fraction of the way from key index to the next.
    virtual void ApplyKey(GVData& data, int32_t index, float fraction) = 0;

    uint32_t time = 0;
    uint32_t quant = 30;
    uint32_t elapsed = 0;
    int32_t keyCount = 0;

protected:
    // The numbers of a key text: at each digit, "." or "-" one number is read with atof's rules
    // from there, and the scan resumes after the run of those characters ("1e3" gives 1000 and 3,
    // "1-2" gives 1, "+5" gives 5).
    static std::vector<float> ScanNumbers(const str& text);
    // Copies the base's fields; called by the kinds once they know the target is theirs.
    void CopyBase(GVDefInterpolator& into) const;

    Timer* mTimer = nullptr;
    GVData* mData = nullptr;
};

// The kinds whose keys are single numbers.
class GVNumberInterpolator : public GVDefInterpolator {
public:
    int32_t LoadKeys(const str& text) override;
    const std::vector<float>& GetKeys() const { return mKeys; }
    // Time, quant and keys of another interpolator of this kind.
    void CopyKeysFrom(const GVNumberInterpolator& from);

protected:
    // The value fraction of the way from key index to the next (the key itself at the last).
    float ValueAt(int32_t index, float fraction) const;

    std::vector<float> mKeys;
};

class GVScaleInterpolator : public GVNumberInterpolator {
public:
    GVBase* CopyTo(GVBase* target) override;
    const char* GetClassName() const override { return "GVScaleInterpolator"; }
    str GetTypeName() const override { return "ScaleInterpolator"; }
    void ApplyKey(GVData& data, int32_t index, float fraction) override;
};

class GVAlphaInterpolator : public GVNumberInterpolator {
public:
    GVBase* CopyTo(GVBase* target) override;
    const char* GetClassName() const override { return "GVAlphaInterpolator"; }
    str GetTypeName() const override { return "AlphaInterpolator"; }
    void ApplyKey(GVData& data, int32_t index, float fraction) override;
};

class GVRotateInterpolator : public GVNumberInterpolator {
public:
    GVBase* CopyTo(GVBase* target) override;
    const char* GetClassName() const override { return "GVRotateInterpolator"; }
    str GetTypeName() const override { return "RotateInterpolator"; }
    void ApplyKey(GVData& data, int32_t index, float fraction) override;
};

// Keys are x, y pairs; an odd last number is dropped.
class GVDeltaMoveInterpolator : public GVDefInterpolator {
public:
    int32_t LoadKeys(const str& text) override;
    GVBase* CopyTo(GVBase* target) override;
    const char* GetClassName() const override { return "GVDeltaMoveInterpolator"; }
    str GetTypeName() const override { return "DeltaMoveInterpolator"; }
    void ApplyKey(GVData& data, int32_t index, float fraction) override;
    const std::vector<TVec2>& GetKeys() const { return mKeys; }
    void CopyKeysFrom(const GVDeltaMoveInterpolator& from);

private:
    std::vector<TVec2> mKeys;
};
