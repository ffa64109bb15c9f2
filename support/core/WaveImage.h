// WAVE file images held in memory: where their samples are, and the one-off
// loudness scaling applied when they are loaded.
#pragma once

#include <QByteArray>

#include <optional>
#include <string>

// Sample encodings, as in the format tag of the fmt chunk.
inline constexpr int kWavePcm = 1;
inline constexpr int kWaveFloat = 3;

struct WaveInfo {
    int encoding = 0;       // kWavePcm or kWaveFloat (an extensible header is resolved)
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qsizetype dataOffset = 0;  // first sample byte in the image
    qsizetype dataSize = 0;    // sample bytes actually present, whole frames only
};

// Walks the RIFF chunks of any ordinary WAVE file. Nothing for an image that
// is not RIFF/WAVE or lacks its fmt or data chunk.
std::optional<WaveInfo> parseWave(const QByteArray& image);

// Empty when the image is a WAVE file that the player can play; otherwise
// what is wrong with it, in words for the user.
std::string waveFault(const QByteArray& image);

// True for the canonical layout: RIFF/WAVE, a 16-byte fmt chunk of 16-bit PCM,
// the data chunk's size at byte 40 and its samples from byte 44.
bool isCanonicalPcm16(const QByteArray& image);

// Multiplies every 16-bit sample by percent / 100 (truncating, clipped to the
// 16-bit range). Only canonical images are scaled, and only the samples that
// are really there; anything else is left as it is and plays unscaled.
void scaleSamples(QByteArray& image, int percent);
