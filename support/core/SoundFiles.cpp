#include "support/core/SoundFiles.h"

#include <QFile>
#include <QFileInfo>

#include "support/core/WaveImage.h"

std::string soundFilePath(const std::string& dir, int kind) {
    const std::string name = kSoundFileNames[kind];
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + '/' + name;
}

bool findMissingSounds(const std::string& dir, const SoundAsk& ask) {
    bool soundFileMissing = false;
    for (int kind = 0; kind < kSoundKinds; ++kind) {
        // A folder of that name is no sound file.
        if (QFileInfo(QString::fromStdString(soundFilePath(dir, kind))).isFile()) continue;
        if (ask) ask(kSoundMissingTexts[kind], kSoundMissingCaption);
        soundFileMissing = true;
    }
    return soundFileMissing;
}

void loadSounds(SoundBuffers& soundBuffers, int volume, const std::string& dir, const SoundReadError& onReadError) {
    for (int kind = 0; kind < kSoundKinds; ++kind) {
        QByteArray& buffer = soundBuffers[size_t(kind)];
        buffer.clear();
        const std::string path = soundFilePath(dir, kind);
        QFile file(QString::fromStdString(path));
        bool ok = file.open(QIODevice::ReadOnly);
        if (ok) {
            buffer = file.readAll();
            ok = file.error() == QFileDevice::NoError;
        }
        if (!ok) {
            buffer.clear();
            if (onReadError) onReadError(path, file.errorString().toStdString());
            continue;
        }
        // A file that would play nothing, or garbage, is said once here
        // rather than be silent at every answer.
        if (const std::string fault = waveFault(buffer); !fault.empty()) {
            buffer.clear();
            if (onReadError) onReadError(path, fault);
            continue;
        }
        scaleSamples(buffer, volume / 3);
    }
}
