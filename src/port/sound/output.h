// Internal: the one output of every sound device, and its mixer. The output opens its backend
// when the first device attaches and closes it when the last one detaches; the mixer sums every
// playing voice of every attached device into 44,100 Hz 16-bit stereo, a block of at most 1024
// frames at a time, and hands a copy to the test's capture when one runs.
//
// Mixes run one at a time, on whichever thread asks: the backend's (the pump, SDL's callback),
// or the thread that moved the fake clock or asked for a mix. The mixer holds a reference to each
// voice for the block it mixes, and takes no lock but the device list's, each device's buffer
// list's (for the time of a copy) and each voice's (for the time of its block).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "port/sound/control.h"
#include "port/win32types.h"

namespace port::sound {

// Frames a second.
constexpr DWORD kOutputRate = 44100;

class DeviceState;

// Opens the output for the first device. False when the backend has no output.
bool AttachDevice(std::shared_ptr<DeviceState> device);
// Closes the output after the last device.
void DetachDevice(const DeviceState* device);
// The attached devices, in the order they were made.
std::vector<control::SoundDeviceInfo> ObserveDevices();

// Fills `frames` frames of interleaved 16-bit stereo, moving every playing voice. With out null
// the frames go to the capture alone (the null device's output).
void MixOutput(int16_t* out, size_t frames);

}  // namespace port::sound
