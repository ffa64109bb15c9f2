#include "support/JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's default error handler calls exit(); jump back to the decoder
// instead so a bad picture only costs the picture.
struct JumpErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JumpErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

// A warning means damaged data (a cut-off file among them): libjpeg would
// go on and fill the rest with grey. Our pictures are our own, so a damaged
// one is refused whole rather than shown half.
void onJpegMessage(j_common_ptr info, int level) {
    if (level < 0) {
        auto* manager = reinterpret_cast<JumpErrorManager*>(info->err);
        std::longjmp(manager->jump, 1);
    }
}

// Our largest picture is a few hundred pixels wide at twice the size; a
// header that claims more is damage, and believing it would cost gigabytes.
constexpr unsigned long kMaxPixels = 4096ul * 4096ul;
// A progressive file may hold any number of scans, each a pass over the
// whole picture: a damaged one could keep the decoder busy for minutes.
constexpr int kMaxScans = 100;

void onJpegProgress(j_common_ptr info) {
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        std::longjmp(reinterpret_cast<JumpErrorManager*>(info->err)->jump, 1);
}

}  // namespace

QImage decodeJpeg(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return {};
    }

    jpeg_decompress_struct info{};
    JumpErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.emit_message = onJpegMessage;

    // The picture lives on the heap: the pointer does not change after
    // setjmp, so it is still valid when an error jumps back here.
    QImage* volatile image = new QImage();
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        delete image;
        return {};
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onJpegProgress;
    info.progress = &progress;
    jpeg_read_header(&info, TRUE);
    if (static_cast<unsigned long>(info.image_width) * info.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        delete image;
        return {};
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        delete image;
        return {};
    }

    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        delete image;
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);

    QImage result = *image;
    delete image;
    return result;
}

QImage loadJpegResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return decodeJpeg(file.readAll());
}
