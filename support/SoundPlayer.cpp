#include "support/SoundPlayer.h"

#include "main/core/SoundSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "support/AudioOutput.h"
#include "support/core/WaveImage.h"

#include <algorithm>

namespace {
constexpr int kFastestRate = 20;  // tenths: twice as fast as made
}

namespace {

// Lives on the sound thread; hands the requests to the output module.
class Output : public QObject {
public:
    void play(const QByteArray& image, const WaveInfo& info) {
        if (AudioOutput* out = output()) out->play(image, info);
    }
    void stop() {
        if (output_) output_->stop();
    }
    void speak(const QByteArray& image, const WaveInfo& info, int rate) {
        if (AudioOutput* out = output()) out->speak(image, info, rate);
    }
    void stopSpeaking() {
        if (output_) output_->stopSpeaking();
    }
    AudioOutput* output() {
        if (!loaded_) {
            loaded_ = true;
            output_ = loadOutput();
            if (output_) output_->setParent(this);
        }
        return output_;
    }

private:
    // Beside the program, else where the build put it; none: silence.
    static AudioOutput* loadOutput() {
        for (const QString& dir : {QCoreApplication::applicationDirPath(), QStringLiteral(TATEYOKO_AUDIO_DIR)}) {
            QLibrary module(dir + QStringLiteral("/tateyoko_audio"));
            if (auto create = reinterpret_cast<CreateAudioOutput>(module.resolve(kCreateAudioOutput))) return create();
        }
        return nullptr;
    }
    bool loaded_ = false;
    AudioOutput* output_ = nullptr;
};

}  // namespace

SoundPlayer::SoundPlayer() : thread_(new QThread), worker_(new Output) {
    thread_->setObjectName(QStringLiteral("sound"));
    worker_->moveToThread(thread_);
    QObject::connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_->start();
}

void SoundPlayer::loadOutput() {
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(output, [output] { output->output(); }, Qt::QueuedConnection);
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

void SoundPlayer::playSound(SoundKind kind) {
    const auto index = size_t(kind);
    if (index >= soundBuffers.size()) return;
    const QByteArray& image = soundBuffers[index];
    if (image.isEmpty()) return;
    const std::optional<WaveInfo> info = parseWave(image);
    if (!info) return;
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(
        output, [output, image, info = *info] { output->play(image, info); }, Qt::QueuedConnection);
}

void SoundPlayer::beep() { QApplication::beep(); }

void SoundPlayer::setVoice(int volume, int rateTenths) {
    voiceRate_ = rateTenths;
    if (volume != voiceVolume_ && !voiceDir_.empty()) loadVoice(voiceDir_, volume);
}

void SoundPlayer::loadVoice(const std::string& dir, int volume) {
    voiceDir_ = dir;
    voiceVolume_ = volume;
    voiceComplete_ = true;
    for (Spoken kind : {Spoken::Chant, Spoken::Question}) {
        for (int q = 0; q < 81; ++q) {
            QByteArray& image = voice_[size_t(int(kind) * 81 + q)];
            QFile file(QDir(QString::fromStdString(dir)).filePath(QString::fromStdString(spokenFileName(kind, q))));
            // A phrase is a second or two; anything far larger is no phrase of ours.
            constexpr qint64 kLargestPhrase = 1 << 20;
            image = file.open(QIODevice::ReadOnly) && file.size() <= kLargestPhrase ? file.readAll() : QByteArray();
            if (!waveFault(image).empty()) image.clear();
            else scaleSamples(image, std::clamp(volume, 0, 100) * 2);
            voiceComplete_ = voiceComplete_ && !image.isEmpty();
        }
    }
}

qsizetype SoundPlayer::voiceBytes() const {
    qsizetype bytes = 0;
    for (const QByteArray& image : voice_) bytes += image.size();
    return bytes;
}

int SoundPlayer::speak(Spoken kind, int q, int withinMs) {
    if (q < 0 || q >= 81) return 0;
    const QByteArray& image = voice_[size_t(int(kind) * 81 + q)];
    const std::optional<WaveInfo> info = image.isEmpty() ? std::nullopt : parseWave(image);
    if (!info || info->sampleRate <= 0 || info->channels <= 0 || info->bitsPerSample <= 0) return 0;
    const qint64 frames = info->dataSize / (info->channels * (info->bitsPerSample / 8));
    const qint64 madeMs = frames * 1000 / info->sampleRate;
    int rate = std::clamp(voiceRate_, 5, 20);
    // Faster than chosen only as much as it takes to end in time.
    if (withinMs > 0 && madeMs * 10 > qint64(withinMs) * rate)
        rate = int(std::min<qint64>(kFastestRate, (madeMs * 10 + withinMs - 1) / withinMs));
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(
        output, [output, image, info = *info, rate] { output->speak(image, info, rate); }, Qt::QueuedConnection);
    return int(madeMs * 10 / rate);
}

void SoundPlayer::stopSpeaking() {
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(output, [output] { output->stopSpeaking(); }, Qt::QueuedConnection);
}

void SoundPlayer::releaseSounds() {
    for (auto& buffer : soundBuffers) buffer.clear();
    for (auto& phrase : voice_) phrase.clear();
    auto* output = static_cast<Output*>(worker_);
    QMetaObject::invokeMethod(output, [output] { output->stop(); }, Qt::QueuedConnection);
}

void SoundPlayer::showReadError(const std::string& path, const std::string& reason) {
    const QString text = QStringLiteral("ファイル \"%1\" を読み込めません。\n%2")
                             .arg(QFileInfo(QString::fromStdString(path)).absoluteFilePath(),
                                  QString::fromStdString(reason));
    QMessageBox::critical(nullptr, QApplication::applicationName(), text);
}
