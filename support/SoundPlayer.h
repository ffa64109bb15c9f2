// Plays the three effect sounds from memory over the default audio output.
// Everything that talks to the sound server runs on a thread of its own, so
// a request returns at once and a missing or stuck server never holds up the
// window; without an output device requests play nothing and say nothing.
#pragma once

#include <array>
#include <string>

#include "main/core/RunnerPorts.h"
#include "main/core/SoundSetup.h"

class QThread;
class QObject;
struct StudyState;

class SoundPlayer : public Sound {
public:
    SoundPlayer();
    ~SoundPlayer() override;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Checks the files in dir and records the outcome in soundFileMissing.
    bool WavExists(StudyState& st, const std::string& dir, const SoundAsk& ask);
    // The start-up sequence: WavExists, then loadSounds(st.effectVolume) when
    // no file is missing.
    bool prepareSounds(StudyState& st, const std::string& dir, const SoundAsk& ask,
                       const SoundReadError& onReadError = showReadError);
    // Reads the three files of dir at volume / 3 percent. Read failures go to
    // onReadError; by default an error box naming the file.
    void loadSounds(int volume, const std::string& dir, const SoundReadError& onReadError = showReadError);
    // Starts sound kind 0-2 and returns at once; it cuts off any sound still
    // playing. Other kinds and empty buffers do nothing.
    void playSound(SoundKind kind) override;
    void beep() override;

    // The spoken 九九: the phrases of dir at SIKISPVOLUME-style volume
    // (0..100, 50 as synthesised). Files that are missing or unplayable
    // stay silent; hasVoice() tells whether every phrase is there.
    void loadVoice(const std::string& dir, int volume);
    bool hasVoice() const override { return voiceComplete_; }
    // Playback speed in tenths (SIKISPRATE): 10 as synthesised. A new
    // volume reads the phrases again from where they were loaded.
    void setVoice(int volume, int rateTenths) override;
    int speak(Spoken kind, int q, int withinMs = 0) override;
    void stopSpeaking() override;
    // Bytes the phrases hold in memory.
    qsizetype voiceBytes() const;
    // Empties the buffers and silences the output; nothing plays afterwards.
    void releaseSounds();

    // Loads the output module on the sound thread now rather than at the
    // first sound. The program calls it once its window has painted: on a
    // busy computer a fixed delay could fall into the start.
    void loadOutput();

    static void showReadError(const std::string& path, const std::string& reason);

    SoundBuffers soundBuffers;
    bool soundFileMissing = false;

private:
    std::array<QByteArray, kSpokenKinds * 81> voice_;
    bool voiceComplete_ = false;
    int voiceRate_ = 10;
    int voiceVolume_ = -1;
    std::string voiceDir_;
    QThread* thread_ = nullptr;
    QObject* worker_ = nullptr;
};
