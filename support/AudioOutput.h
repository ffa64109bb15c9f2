// What the sound player needs from the sound server. Qt Multimedia and the
// twenty-odd libraries under it live in a module of their own that the sound
// thread loads when it first needs it, so the program starts without them.
#pragma once

#include <QByteArray>
#include <QObject>

#include "support/core/WaveImage.h"

class AudioOutput : public QObject {
public:
    using QObject::QObject;
    // Plays the samples of a WAVE image, cutting off whatever still plays.
    virtual void play(const QByteArray& image, const WaveInfo& info) = 0;
    virtual void stop() = 0;
    // The voice has a stream of its own, mixed by the server with the
    // effects: a chant is not cut off by the prompt that comes with its fact,
    // nor the reverse. A phrase cuts off the phrase before it; rateTenths
    // plays it faster (above 10) or slower.
    virtual void speak(const QByteArray& image, const WaveInfo& info, int rateTenths) = 0;
    virtual void stopSpeaking() = 0;
};

// The module's one entry point; the output it makes belongs to the caller
// and lives on the caller's thread.
using CreateAudioOutput = AudioOutput* (*)();
inline constexpr char kCreateAudioOutput[] = "tateyokoCreateAudioOutput";
