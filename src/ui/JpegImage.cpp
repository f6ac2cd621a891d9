#include "ui/JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace mirtal {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings of damaged files stay quiet

} // namespace

QImage loadJpegImage(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return {};
    }
    const QByteArray bytes = file.readAll();
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    QImage image;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (error) *error = QString::fromLatin1(err.message);
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 || cinfo.output_width > 20000 || cinfo.output_height > 20000) {
        jpeg_destroy_decompress(&cinfo);
        if (error) *error = QStringLiteral("unsupported JPEG layout");
        return {};
    }
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

QImage loadBackgroundImage(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return {};
    }
    const QByteArray head = file.read(3);
    file.close();
    if (head.size() == 3 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8) return loadJpegImage(path, error);
    QImage img(path);
    if (img.isNull() && error) *error = QStringLiteral("not a readable BMP or JPEG picture");
    return img;
}

} // namespace mirtal
