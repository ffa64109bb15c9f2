#include "main/core/SoundSetup.h"

bool WavExists(StudyState& st, const std::string& dir, const SoundAsk& ask) {
    const bool soundFileMissing = findMissingSounds(dir, ask);
    if (soundFileMissing) st.soundOn = 0;
    return soundFileMissing;
}

bool prepareSounds(StudyState& st, SoundBuffers& soundBuffers, const std::string& dir, const SoundAsk& ask,
                   const SoundReadError& onReadError) {
    const bool soundFileMissing = WavExists(st, dir, ask);
    if (!soundFileMissing) loadSounds(soundBuffers, st.effectVolume, dir, onReadError);
    return soundFileMissing;
}
