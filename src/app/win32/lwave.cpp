// The chime, played from memory.
#include "app/win32/lwave.h"

#include <mmsystem.h>

#include "app/win32/res/resource_ids.h"

namespace aerolinker {

LWave::LWave(HINSTANCE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDW_LWAVE), "WAVE");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    // Resource memory lives as long as the module, which the asynchronous play relies on.
    wave_ = loaded ? LockResource(loaded) : nullptr;
}

void LWave::Play() const {
    if (wave_) {
        sndPlaySoundA(static_cast<LPCSTR>(wave_), SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
    }
}

}  // namespace aerolinker
