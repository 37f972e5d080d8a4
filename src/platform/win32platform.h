// TWin32Platform: the platform object that holds the shell's process-wide resources behind the
// application object (platform.h). So far it holds what the settings, the clock and the assets
// need: the start time of the application clock, the display scale, the vertical-sync wish and
// the asset manager; it applies the settings that have an effect on the platform.
//
// Made once by Create before the application object, owned by the application object from its
// construction and destroyed by its teardown. Main thread only.
#pragma once

#include <memory>

#include "foundation/str.h"
#include "port/win32types.h"

class TAssetManager;

class TWin32Platform {
public:
    // Seeds the runtime's generator from the millisecond clock, then makes the object.
    static TWin32Platform* Create();

    TWin32Platform();
    ~TWin32Platform();
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    // The platform's reaction to a changed setting, while the application object exists:
    // "vsync" (wait for the vertical blank when presenting), "memorymax" (recorded with the log),
    // "viewportscale" (display scale x). Other keys: nothing.
    void ApplySetting(const str& key, const str& value);

    // Stops what the platform runs; the teardown calls it before deleting the object.
    void Shutdown();

    DWORD GetStartTime() const { return mStartTime; }
    TAssetManager* GetAssetManager() const { return mAssetManager.get(); }
    // The teardown deletes the asset manager before the rest of the platform.
    void DeleteAssetManager();

    float GetScaleX() const { return mScaleX; }
    float GetScaleY() const { return mScaleY; }
    // The display takes this wish when it is made and after every change.
    bool GetVerticalSync() const { return mVerticalSync; }

private:
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    DWORD mStartTime;
    bool mVerticalSync = false;
    std::unique_ptr<TAssetManager> mAssetManager;
};
