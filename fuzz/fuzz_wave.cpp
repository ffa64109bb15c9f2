// Any sound file: the chunk walk stays inside the image, the judgement is
// made without a crash, and scaling touches only the samples that are there.
#include <QByteArray>

#include <cstdint>
#include <algorithm>
#include <cstring>

#include "fuzz/Check.h"
#include "support/core/WaveImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the volume, a hand-edited one included.
    const int percent = (int(data[0]) - 64) * 4;
    const QByteArray original(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    if (const auto info = parseWave(original)) {
        FUZZ_CHECK(info->dataOffset >= 12 && info->dataSize >= 0);
        FUZZ_CHECK(info->dataOffset + info->dataSize <= original.size());
        FUZZ_CHECK(info->channels > 0 && info->bitsPerSample > 0);
    }
    (void)waveFault(original);

    QByteArray image = original;
    image.detach();
    scaleSamples(image, percent);
    FUZZ_CHECK(image.size() == original.size());
    const qsizetype header = std::min<qsizetype>(44, original.size());
    FUZZ_CHECK(std::memcmp(image.constData(), original.constData(), size_t(header)) == 0);
    if (!isCanonicalPcm16(original)) FUZZ_CHECK(image == original);
    return 0;
}
