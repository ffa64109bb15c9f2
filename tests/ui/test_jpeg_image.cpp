// JPEG decoding through libjpeg: good pictures come out right, bad ones come
// out null and leave the program running.
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "support/JpegImage.h"

namespace {

// Encodes with libjpeg itself so the fixtures need no image plugin.
QByteArray encodeJpeg(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

// Three bands, red, green and blue, wide enough that compression keeps
// their middles true.
QImage bands() {
    QImage image(48, 16, QImage::Format_RGB888);
    for (int x = 0; x < image.width(); ++x) {
        const QColor colour = x < 16 ? QColor(220, 30, 30) : x < 32 ? QColor(30, 200, 40)
                                                                    : QColor(40, 50, 210);
        for (int y = 0; y < image.height(); ++y) {
            image.setPixelColor(x, y, colour);
        }
    }
    return image;
}

void expectNear(const QColor& got, const QColor& want, int tolerance, const char* where) {
    EXPECT_NEAR(got.red(), want.red(), tolerance) << where;
    EXPECT_NEAR(got.green(), want.green(), tolerance) << where;
    EXPECT_NEAR(got.blue(), want.blue(), tolerance) << where;
}

QByteArray shippedPicture() {
    QFile file(QStringLiteral(":/resources/jouken_small.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(JpegDecoding, ColoursComeOutInRgbOrder) {
    const QImage image = decodeJpeg(encodeJpeg(bands()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(48, 16));
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    expectNear(image.pixelColor(8, 8), QColor(220, 30, 30), 8, "red band");
    expectNear(image.pixelColor(24, 8), QColor(30, 200, 40), 8, "green band");
    expectNear(image.pixelColor(40, 8), QColor(40, 50, 210), 8, "blue band");
}

TEST(JpegDecoding, ShippedDialogPicture) {
    const QImage image = loadJpegResource(QStringLiteral(":/resources/jouken_small.jpg"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(36, 36));
    // Its corners blend into the dialog's pale green.
    expectNear(image.pixelColor(0, 0), QColor(192, 220, 192), 14, "corner");
    expectNear(image.pixelColor(35, 35), QColor(192, 220, 192), 14, "corner");
}

TEST(JpegDecoding, DamagedDataGivesANullImage) {
    const QByteArray good = shippedPicture();
    ASSERT_GT(good.size(), 200);

    const QByteArray garbage = [] {
        QByteArray bytes(600, '\0');
        QRandomGenerator random(7);
        for (char& c : bytes) {
            c = static_cast<char>(random.bounded(256));
        }
        return bytes;
    }();
    QByteArray noImageAfterHeader = good;
    noImageAfterHeader[0] = 'X';

    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty", QByteArray()},
        {"start marker only", QByteArray("\xFF\xD8", 2)},
        {"text", QByteArray("this is not a picture")},
        {"random bytes", garbage},
        {"cut in the header", good.left(100)},
        {"cut in the picture data", good.left(good.size() / 2)},
        {"end marker missing", good.left(good.size() - 2)},
        {"spoiled start marker", noImageAfterHeader},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_TRUE(decodeJpeg(bytes).isNull()) << what;
    }
    // A failure leaves nothing behind that spoils the next picture.
    const QImage after = decodeJpeg(good);
    EXPECT_EQ(after.size(), QSize(36, 36));
}

TEST(JpegDecoding, UnreadableFileGivesANullImage) {
    EXPECT_TRUE(loadJpegResource(QStringLiteral(":/resources/no_such_picture.jpg")).isNull());
    EXPECT_TRUE(loadJpegResource(QString()).isNull());
}

// A header that claims a picture of billions of pixels is refused at once,
// before any memory is taken for it; a real large one still decodes.
TEST(JpegDecoding, EnormousPictureIsRefusedWithoutTakingItsMemory) {
    QByteArray huge = encodeJpeg(bands());
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int at : {5, 6, 7, 8}) huge[sof + at] = '\xEA';  // 60138 x 60138
    EXPECT_TRUE(decodeJpeg(huge).isNull());

    QImage large(2000, 1200, QImage::Format_RGB888);
    large.fill(QColor(10, 200, 10));
    EXPECT_EQ(decodeJpeg(encodeJpeg(large)).size(), QSize(2000, 1200));
}
