// The three effect sounds as files: which exist, and reading them into memory
// at the chosen loudness. Playing them is the player's business.
#pragma once

#include <QByteArray>

#include <array>
#include <functional>
#include <string>

// Kinds: 0 right answer, 1 wrong answer, 2 prompt.
inline constexpr int kSoundKinds = 3;
inline constexpr const char* kSoundFileNames[kSoundKinds] = {"Seikai.wav", "Huseikai.wav", "promptA.wav"};
inline constexpr const char* kSoundMissingTexts[kSoundKinds] = {
    "正解音<Seikai.wav>がありません。",
    "不正解音<Huseikai.wav>がありません。",
    "プロンプト音<promptA.wav>がありません。",
};
inline constexpr const char* kSoundMissingCaption = "ご確認";

// One complete file image per kind, header included.
using SoundBuffers = std::array<QByteArray, kSoundKinds>;
// Shows a missing-file message (an OK/Cancel box whose answer does not matter).
using SoundAsk = std::function<void(const std::string& text, const std::string& caption)>;
// Reports a file that exists but could not be read.
using SoundReadError = std::function<void(const std::string& path, const std::string& reason)>;

// The file of a kind in dir; the bare name when dir is empty.
std::string soundFilePath(const std::string& dir, int kind);

// Looks for the three files in dir, asking once per missing file in kind
// order. True when any is missing.
bool findMissingSounds(const std::string& dir, const SoundAsk& ask);

// Reads each file of dir into its buffer and scales it to volume / 3 percent.
// A file that cannot be read, or is no WAVE file the player can play, is
// reported, left empty, and the next one is read.
void loadSounds(SoundBuffers& soundBuffers, int volume, const std::string& dir, const SoundReadError& onReadError);

