// Build-time helper of the spoken 九九.
//   voice_phrases list                  one line per phrase: FILE<TAB>TEXT
//   voice_phrases trim IN TRACE OUT     OUT holds IN's voiced part only
// A phrase starts where its voice starts, so that it is heard the moment it
// is played; the synthesiser's silences around it are cut off.
#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "main/core/SpokenReadings.h"
#include "main/core/StudyState.h"
#include "support/core/WaveImage.h"

namespace {

QByteArray canonicalHeader(int sampleRate, qsizetype dataBytes) {
    QByteArray h(44, '\0');
    char* p = h.data();
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + dataBytes), p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(1, p + 22);
    qToLittleEndian<quint32>(quint32(sampleRate), p + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * 2), p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(dataBytes), p + 40);
    return h;
}

int trim(const char* in, const char* traceFile, const char* out) {
    QFile wave(QString::fromLocal8Bit(in)), trace(QString::fromLocal8Bit(traceFile));
    if (!wave.open(QIODevice::ReadOnly) || !trace.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "voice_phrases: cannot read %s or %s\n", in, traceFile);
        return 1;
    }
    const QByteArray image = wave.readAll();
    const std::optional<WaveInfo> info = parseWave(image);
    if (!info || info->encoding != kWavePcm || info->bitsPerSample != 16 || info->channels != 1) {
        std::fprintf(stderr, "voice_phrases: %s is no 16-bit mono PCM file\n", in);
        return 1;
    }
    const Voiced span = voicedSpan(parseTrace(trace.readAll().toStdString()));
    const qsizetype frames = info->dataSize / 2;
    const qsizetype from = std::min<qsizetype>(frames, qsizetype(span.fromMs) * info->sampleRate / 1000);
    const qsizetype to = std::clamp<qsizetype>(qsizetype(span.toMs) * info->sampleRate / 1000, from, frames);
    if (to <= from) {
        std::fprintf(stderr, "voice_phrases: no voice in %s\n", in);
        return 1;
    }
    QSaveFile file(QString::fromLocal8Bit(out));
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(canonicalHeader(info->sampleRate, (to - from) * 2));
    file.write(image.constData() + info->dataOffset + from * 2, (to - from) * 2);
    return file.commit() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
        for (Spoken kind : {Spoken::Chant, Spoken::Question})
            for (int q = 0; q < kFactCount; ++q)
                std::printf("%s\t%s\n", spokenFileName(kind, q).c_str(), synthesisText(kind, q).c_str());
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "trim") == 0) return trim(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: voice_phrases list | trim IN.wav TRACE OUT.wav\n");
    return 2;
}
