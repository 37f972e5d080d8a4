// GWorldSounds: the game's sound scheme as the world uses it. The scheme plays a sound per
// object and event (task kinds, clicks, failures, victories…) and lives in the audio library
// above the world, which implements this interface and installs its one scheme with
// SetWorldSounds. Until then, and after it is removed, the world talks to a scheme that does
// nothing. Main thread only.
#pragma once

class GNameRegistry;
class GObject;
class TXmlNode;

class GWorldSounds {
public:
    virtual ~GWorldSounds() = default;

    // Plays the event's sound for the object (or at the point when object is none); a refusal
    // is silent.
    virtual void PlayEvent(GObject* object, float x, float y, int event, int variant) = 0;
    // Ends the sound the scheme plays for that object and event.
    virtual void StopEvent(GObject* object, float x, float y, int event) = 0;
    virtual void StopAll() = 0;
    // The scheme's per-turn work.
    virtual void Update() = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Reads the scheme from the document of "xml/sound_scheme.xml" with the logic's names
    // (none: nothing is read); true when the document held a scheme.
    virtual bool Load(TXmlNode* document, const GNameRegistry* names) = 0;
};

// The installed scheme, or the silent one.
GWorldSounds& WorldSounds();
// Installs a scheme that outlives its use here; null puts the silent one back.
void SetWorldSounds(GWorldSounds* sounds);
