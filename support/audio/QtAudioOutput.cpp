// The sound player's output over Qt Multimedia, built as a module that the
// sound thread loads on first need (see support/AudioOutput.h).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "support/AudioOutput.h"

namespace {

// How much the server buffers ahead. Qt shrinks the buffer each time a sink
// restarts unless it is set again, so it is set before every start.
constexpr int kBufferMicroseconds = 100'000;
// A finished sound keeps its stream a moment longer, so that its tail is
// heard, then the stream is closed and the output may go to sleep.
constexpr int kCloseAfterMs = 1500;

QAudioFormat formatOf(const WaveInfo& info) {
    QAudioFormat format;
    format.setSampleRate(info.sampleRate);
    format.setChannelCount(info.channels);
    if (info.encoding == kWavePcm && info.bitsPerSample == 8)
        format.setSampleFormat(QAudioFormat::UInt8);
    else if (info.encoding == kWavePcm && info.bitsPerSample == 16)
        format.setSampleFormat(QAudioFormat::Int16);
    else if (info.encoding == kWavePcm && info.bitsPerSample == 32)
        format.setSampleFormat(QAudioFormat::Int32);
    else if (info.encoding == kWaveFloat && info.bitsPerSample == 32)
        format.setSampleFormat(QAudioFormat::Float);
    return format;  // invalid for anything else
}

// One stream of sound: a new sound cuts off the one it still plays. Lives on
// the sound thread; owns its sinks and the sound being played.
class Channel : public QObject {
public:
    explicit Channel(QObject* parent) : QObject(parent) {
        closeTimer_->setSingleShot(true);
        closeTimer_->setInterval(kCloseAfterMs);
        QObject::connect(closeTimer_, &QTimer::timeout, this, [this] { stop(); });
    }
    ~Channel() override { stop(); }

    void play(const QByteArray& image, const WaveInfo& info, int sampleRate = 0) {
        stop();  // closing a stream cuts off what it still holds
        QAudioFormat format = formatOf(info);
        if (sampleRate > 0) format.setSampleRate(sampleRate);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) dropSinks();  // the server is gone: its streams with it
        if (device.isNull() || !format.isValid() || info.dataSize == 0) return;
        playing_ = image;
        // A sink whose server went away stays broken when the server comes
        // back: it is dropped and a new one made, once.
        for (int attempt = 0; attempt < 2; ++attempt) {
            QAudioSink* sink = sinkFor(device, format);
            source_->setData(QByteArray::fromRawData(playing_.constData() + info.dataOffset, info.dataSize));
            source_->open(QIODevice::ReadOnly);
            sink->setBufferSize(format.bytesForDuration(kBufferMicroseconds));
            sink->start(source_);
            if (sink->error() == QAudio::NoError) return;
            source_->close();
            dropSink(sink);
        }
        playing_.clear();  // silence until the server answers again
    }

    void stop() {
        closeTimer_->stop();
        for (QAudioSink* sink : sinks_) sink->stop();
        source_->close();
        source_->setData(QByteArray());
        playing_.clear();
    }

private:
    // One sink per sample format, made on first use and kept: opening a
    // stream on a sink that exists is all a later sound costs.
    QAudioSink* sinkFor(const QAudioDevice& device, const QAudioFormat& format) {
        if (device != device_) {
            dropSinks();
            device_ = device;
        }
        for (QAudioSink* sink : sinks_)
            if (sink->format() == format) {
                if (sink->error() == QAudio::NoError) return sink;
                dropSink(sink);  // broken when its server went away
                break;
            }
        auto* sink = new QAudioSink(device, format, this);
        // The server's callbacks arrive on its own thread; the context object
        // brings them here.
        QObject::connect(sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::IdleState && source_->isOpen() && source_->atEnd()) closeTimer_->start();
        });
        sinks_.push_back(sink);
        return sink;
    }

    void dropSink(QAudioSink* sink) {
        sinks_.erase(std::find(sinks_.begin(), sinks_.end(), sink));
        sink->disconnect(this);
        sink->deleteLater();
    }
    void dropSinks() {
        while (!sinks_.empty()) dropSink(sinks_.back());
        device_ = QAudioDevice();
    }

    QAudioDevice device_;
    std::vector<QAudioSink*> sinks_;
    // Children, so that they move to the sound thread with their owner.
    QBuffer* source_ = new QBuffer(this);
    QTimer* closeTimer_ = new QTimer(this);
    QByteArray playing_;  // keeps the samples alive while the buffer reads them
};

class QtAudioOutput : public AudioOutput {
public:
    void play(const QByteArray& image, const WaveInfo& info) override { effects_->play(image, info); }
    void stop() override {
        effects_->stop();
        voice_->stop();
    }
    void speak(const QByteArray& image, const WaveInfo& info, int rateTenths) override {
        voice_->play(image, info, info.sampleRate * std::clamp(rateTenths, 5, 20) / 10);
    }
    void stopSpeaking() override { voice_->stop(); }

private:
    Channel* effects_ = new Channel(this);
    Channel* voice_ = new Channel(this);
};

}  // namespace

extern "C" Q_DECL_EXPORT AudioOutput* tateyokoCreateAudioOutput() { return new QtAudioOutput; }
