#include "audio/sound.h"

const char* TSound::GetClassName() const {
    return "TSound";
}
