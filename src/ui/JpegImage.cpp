#include "ui/JpegImage.h"

#include "base/Files.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <memory>
#include <optional>

namespace mirtal {

namespace {

// Larger pictures are refused: the background never needs more than a few
// times the video frame, and a damaged header may claim anything.
constexpr unsigned kMaxSide = 10000;
constexpr unsigned long long kMaxPixels = 40'000'000ull;

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

// Everything the decoder touches after setjmp lives here, on the heap: a
// local variable changed between setjmp and longjmp would be indeterminate.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    QImage image;
};

} // namespace

QImage decodeJpeg(const QByteArray& bytes, QString* error) {
    const auto d = std::make_unique<Decoder>();
    d->cinfo.err = jpeg_std_error(&d->err.pub);
    d->err.pub.error_exit = onError;
    d->err.pub.emit_message = onMessage;
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        if (error) *error = QString::fromLatin1(d->err.message);
        return {};
    }
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d->cinfo, TRUE);
    d->cinfo.out_color_space = JCS_RGB;
    // A large photograph is decoded at the smallest scale that still covers
    // the video frame: it is stretched to the frame anyway.
    for (unsigned denom = 8; denom > 1; denom /= 2)
        if (d->cinfo.image_width / denom >= 720 && d->cinfo.image_height / denom >= 576) {
            d->cinfo.scale_num = 1;
            d->cinfo.scale_denom = denom;
            break;
        }
    jpeg_calc_output_dimensions(&d->cinfo);
    const unsigned w = d->cinfo.output_width, h = d->cinfo.output_height;
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || 1ull * w * h > kMaxPixels) {
        jpeg_destroy_decompress(&d->cinfo);
        if (error) *error = QStringLiteral("the picture is too large (%1 x %2)").arg(w).arg(h);
        return {};
    }
    jpeg_start_decompress(&d->cinfo);
    if (d->cinfo.output_components != 3) {
        jpeg_destroy_decompress(&d->cinfo);
        if (error) *error = QStringLiteral("unsupported JPEG colour layout");
        return {};
    }
    d->image = QImage(int(w), int(h), QImage::Format_RGB888);
    if (d->image.isNull()) {
        jpeg_destroy_decompress(&d->cinfo);
        if (error) *error = QStringLiteral("not enough memory for the picture");
        return {};
    }
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        JSAMPROW row = d->image.scanLine(int(d->cinfo.output_scanline));
        jpeg_read_scanlines(&d->cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d->cinfo);
    jpeg_destroy_decompress(&d->cinfo);
    return std::move(d->image);
}

namespace {

// Through the core's reader, which refuses a FIFO or a device instead of
// waiting on it with a black window.
std::optional<QByteArray> readPicture(const QString& path, QString* error) {
    const auto bytes = readWholeFile(std::filesystem::path(path.toStdString()));
    if (!bytes) {
        if (error) *error = QString::fromStdString(bytes.error);
        return std::nullopt;
    }
    return QByteArray(bytes->data(), qsizetype(bytes->size()));
}

} // namespace

QImage loadJpegImage(const QString& path, QString* error) {
    const auto bytes = readPicture(path, error);
    return bytes ? decodeJpeg(*bytes, error) : QImage();
}

QImage loadBackgroundImage(const QString& path, QString* error) {
    const auto bytes = readPicture(path, error);
    if (!bytes) return {};
    if (bytes->size() >= 3 && uchar((*bytes)[0]) == 0xFF && uchar((*bytes)[1]) == 0xD8)
        return decodeJpeg(*bytes, error);
    QImage img = QImage::fromData(*bytes);
    if (img.isNull() && error) *error = QStringLiteral("not a readable BMP or JPEG picture");
    return img;
}

} // namespace mirtal
