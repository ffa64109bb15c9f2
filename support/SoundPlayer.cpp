#include "support/SoundPlayer.h"

#include "main/core/SoundSetup.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <vector>

#include "support/core/WaveImage.h"

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

// Lives on the sound thread; owns the sinks and the sound being played.
class Output : public QObject {
public:
    Output() {
        closeTimer_->setSingleShot(true);
        closeTimer_->setInterval(kCloseAfterMs);
        QObject::connect(closeTimer_, &QTimer::timeout, this, [this] { stop(); });
    }
    ~Output() override { stop(); }

    void play(const QByteArray& image, const WaveInfo& info) {
        stop();  // closing a stream cuts off what it still holds
        const QAudioFormat format = formatOf(info);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || !format.isValid() || info.dataSize == 0) return;
        QAudioSink* sink = sinkFor(device, format);
        playing_ = image;
        source_->setData(QByteArray::fromRawData(playing_.constData() + info.dataOffset, info.dataSize));
        source_->open(QIODevice::ReadOnly);
        sink->setBufferSize(format.bytesForDuration(kBufferMicroseconds));
        sink->start(source_);
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
            qDeleteAll(sinks_);
            sinks_.clear();
            device_ = device;
        }
        for (QAudioSink* sink : sinks_)
            if (sink->format() == format) return sink;
        auto* sink = new QAudioSink(device, format, this);
        // The server's callbacks arrive on its own thread; the context object
        // brings them here.
        QObject::connect(sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::IdleState && source_->isOpen() && source_->atEnd()) closeTimer_->start();
        });
        sinks_.push_back(sink);
        return sink;
    }

    QAudioDevice device_;
    std::vector<QAudioSink*> sinks_;
    // Children, so that they move to the sound thread with their owner.
    QBuffer* source_ = new QBuffer(this);
    QTimer* closeTimer_ = new QTimer(this);
    QByteArray playing_;  // keeps the samples alive while the buffer reads them
};

}  // namespace

SoundPlayer::SoundPlayer() : thread_(new QThread), worker_(new Output) {
    thread_->setObjectName(QStringLiteral("sound"));
    worker_->moveToThread(thread_);
    QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_->start();
}

SoundPlayer::~SoundPlayer() {
    thread_->quit();
    // A sound server that stopped answering can hold the thread; then it is
    // left to the end of the process rather than holding up the window.
    if (thread_->wait(2000)) delete thread_;
}

bool SoundPlayer::WavExists(StudyState& st, const std::string& dir, const SoundAsk& ask) {
    soundFileMissing = ::WavExists(st, dir, ask);
    return soundFileMissing;
}

bool SoundPlayer::prepareSounds(StudyState& st, const std::string& dir, const SoundAsk& ask,
                                const SoundReadError& onReadError) {
    soundFileMissing = ::prepareSounds(st, soundBuffers, dir, ask, onReadError);
    return soundFileMissing;
}

void SoundPlayer::loadSounds(int volume, const std::string& dir, const SoundReadError& onReadError) {
    ::loadSounds(soundBuffers, volume, dir, onReadError);
}

void SoundPlayer::playSound(int kind) {
    if (kind < 0 || kind >= kSoundKinds) return;
    const QByteArray& image = soundBuffers[size_t(kind)];
    if (image.isEmpty()) return;
    const std::optional<WaveInfo> info = parseWave(image);
    if (!info) return;
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(
        output, [output, image, info = *info] { output->play(image, info); }, Qt::QueuedConnection);
}

void SoundPlayer::beep() { QApplication::beep(); }

void SoundPlayer::releaseSounds() {
    for (auto& buffer : soundBuffers) buffer.clear();
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(output, [output] { output->stop(); }, Qt::QueuedConnection);
}

void SoundPlayer::showReadError(const std::string& path, const std::string& reason) {
    const QString text = QStringLiteral("ファイル \"%1\" を読み込めません。\n%2")
                             .arg(QFileInfo(QString::fromStdString(path)).absoluteFilePath(),
                                  QString::fromStdString(reason));
    QMessageBox::critical(nullptr, QApplication::applicationName(), text);
}
