// The demo's data, made when it starts (no image is committed), written through the file layer
// into the user data folder under "demo/": a sprite with an alpha gradient, a background image,
// and an XML animation of four frames with its sheet. The names below are the ones to load.
//
// Main thread, once the application object exists (the "user:" folder is known).
#pragma once

namespace platformdemo {

constexpr const char* kSpriteName = "user:demo/sprite.png";
constexpr const char* kBackgroundName = "user:demo/background.png";
constexpr const char* kAnimationName = "user:demo/spinner.xml";

// Sizes of the images made.
constexpr int kSpriteSize = 96;
constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 600;
constexpr int kFrameSize = 64;
constexpr int kFrameCount = 4;

// Writes every file; false (with a log line naming it) when one could not be written.
bool MakeDemoData();

}  // namespace platformdemo
