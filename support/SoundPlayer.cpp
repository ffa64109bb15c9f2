#include "support/SoundPlayer.h"

#include "main/core/SoundSetup.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "support/AudioOutput.h"
#include "support/core/WaveImage.h"

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
