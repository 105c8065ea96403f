// `LWave`: the short chime held in the program's resources and played at take-off and arrival.
#pragma once

#include <windows.h>

namespace aerolinker {

class LWave {
public:
    // Finds the wave in the module's resources; a missing one leaves the sound silent.
    explicit LWave(HINSTANCE module);

    // Plays once and returns at once. Without sound output nothing is heard, and no default
    // system sound takes its place.
    void Play() const;

    bool Loaded() const { return wave_ != nullptr; }

private:
    const void* wave_ = nullptr;
};

}  // namespace aerolinker
