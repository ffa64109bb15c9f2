// The effect sounds at start-up: a missing file switches the sounds off.
#pragma once

#include <string>

#include "main/core/StudyState.h"
#include "support/core/SoundFiles.h"

// Looks for the three files in dir, asking once per missing file; when one
// is missing the sounds are switched off (st.soundOn = 0). Returns whether
// one is missing.
bool WavExists(StudyState& st, const std::string& dir, const SoundAsk& ask);

// WavExists, then, only when all three files are there, loadSounds at
// st.effectVolume. Returns whether a file is missing.
bool prepareSounds(StudyState& st, SoundBuffers& soundBuffers, const std::string& dir, const SoundAsk& ask,
                   const SoundReadError& onReadError);
