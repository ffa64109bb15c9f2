// Any picture file: libjpeg's errors come back as a null image, never an
// exit, a crash or a gigabyte allocation.
#include <QByteArray>
#include <QImage>

#include <cstdint>

#include "fuzz/Check.h"
#include "support/JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QImage image = decodeJpeg(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!image.isNull()) FUZZ_CHECK(qint64(image.width()) * image.height() <= 4096 * 4096);
    return 0;
}
