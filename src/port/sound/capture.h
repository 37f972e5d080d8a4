// Internal: the capture of the mixed output that a test asks for (port/sound/control.h). The
// mixer hands it every block it mixed; it keeps frames up to its limit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace port::sound {

// Frames of interleaved 16-bit stereo, just mixed.
void CaptureFrames(const int16_t* frames, size_t count);

}  // namespace port::sound
