#include "ui/JpegLoader.hpp"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace quorvel::ui {
namespace {

// The pictures we ship are small; anything larger is not ours.
constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf escape;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->escape, 1);
}

void SilentOutput(j_common_ptr) {}

// Decodes into `image`, which must outlive the jump: only C frames of libjpeg
// lie between setjmp and longjmp, so no destructor is skipped.
bool Decode(const unsigned char* bytes, unsigned long size, QImage& image) {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = SilentOutput;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
        cinfo.image_height > kMaxSide || cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB888);
    if (image.isNull() || cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) return {};
    QImage image;
    if (!Decode(reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()), image))
        return {};
    return image;
}

QImage LoadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return DecodeJpeg(file.readAll());
}

}  // namespace quorvel::ui
