#include "support/core/WaveImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::uint32_t u32At(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t u16At(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return std::uint16_t(p[0] | p[1] << 8);
}

bool tagAt(const QByteArray& b, qsizetype at, const char* tag) {
    return at + 4 <= b.size() && std::memcmp(b.constData() + at, tag, 4) == 0;
}

constexpr int kExtensible = 0xFFFE;

}  // namespace

std::optional<WaveInfo> parseWave(const QByteArray& image) {
    if (!tagAt(image, 0, "RIFF") || !tagAt(image, 8, "WAVE")) return std::nullopt;

    WaveInfo info;
    bool haveFormat = false;
    bool haveData = false;
    qint64 pos = 12;
    while (pos + 8 <= image.size() && !(haveFormat && haveData)) {
        const qint64 body = pos + 8;
        const qint64 length = u32At(image, pos + 4);
        if (tagAt(image, pos, "fmt ") && length >= 16 && body + 16 <= image.size()) {
            info.encoding = u16At(image, body);
            info.channels = u16At(image, body + 2);
            info.sampleRate = int(u32At(image, body + 4));
            info.bitsPerSample = u16At(image, body + 14);
            // The extensible header names the real encoding in its sub-format GUID.
            if (info.encoding == kExtensible && length >= 40 && body + 26 <= image.size())
                info.encoding = u16At(image, body + 24);
            haveFormat = true;
        } else if (tagAt(image, pos, "data")) {
            info.dataOffset = body;
            info.dataSize = std::min<qint64>(length, image.size() - body);
            haveData = true;
        }
        pos = body + length + (length & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat || !haveData || info.channels <= 0 || info.sampleRate <= 0 || info.bitsPerSample <= 0 ||
        info.bitsPerSample % 8 != 0)
        return std::nullopt;
    const qsizetype frame = qsizetype(info.channels) * (info.bitsPerSample / 8);
    info.dataSize -= info.dataSize % frame;
    return info;
}

std::string waveFault(const QByteArray& image) {
    if (!tagAt(image, 0, "RIFF") || !tagAt(image, 8, "WAVE")) return "WAVE 形式のファイルではありません。";
    const std::optional<WaveInfo> info = parseWave(image);
    if (!info) return "WAVE ファイルの形式か音のデータが壊れています。";
    const bool knownSamples = (info->encoding == kWavePcm && (info->bitsPerSample == 8 || info->bitsPerSample == 16 ||
                                                              info->bitsPerSample == 32)) ||
                              (info->encoding == kWaveFloat && info->bitsPerSample == 32);
    // Past these an output device would refuse the format, or the header lies.
    if (!knownSamples || info->channels > 8 || info->sampleRate < 1000 || info->sampleRate > 384000)
        return "この WAVE ファイルの音の形式は再生できません。";
    return {};
}

bool isCanonicalPcm16(const QByteArray& image) {
    return image.size() >= 44 && tagAt(image, 0, "RIFF") && tagAt(image, 8, "WAVE") && tagAt(image, 12, "fmt ") &&
           u32At(image, 16) == 16 && u16At(image, 20) == kWavePcm && u16At(image, 34) == 16 &&
           tagAt(image, 36, "data");
}

void scaleSamples(QByteArray& image, int percent) {
    if (!isCanonicalPcm16(image)) return;
    const qint64 declared = u32At(image, 40);
    const qint64 present = image.size() - 44;
    const qint64 count = std::min(declared, present) / 2;

    auto* p = reinterpret_cast<unsigned char*>(image.data()) + 44;
    for (qint64 i = 0; i < count; ++i, p += 2) {
        const auto s = std::int16_t(std::uint16_t(p[0] | p[1] << 8));
        // 64 bits so that no volume from a hand-edited settings file can overflow;
        // for every sensible percentage this equals the 32-bit arithmetic.
        const std::int64_t scaled = std::clamp<std::int64_t>(std::int64_t(s) * percent / 100, -32768, 32767);
        const auto out = std::uint16_t(std::int16_t(scaled));
        p[0] = static_cast<unsigned char>(out & 0xFF);
        p[1] = static_cast<unsigned char>(out >> 8);
    }
}
