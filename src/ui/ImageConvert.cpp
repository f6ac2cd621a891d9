#include "ui/ImageConvert.h"

#include <cstring>

namespace mirtal {

QImage toQImage(const Bitmap24& b) {
    QImage img(b.width(), b.height(), QImage::Format_BGR888);
    for (int y = 0; y < b.height(); ++y)
        std::memcpy(img.scanLine(y), b.row(y), size_t(b.width()) * 3);
    return img;
}

QImage toQImage(const PaletteBitmap& b) {
    QImage img(b.width(), b.height(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (Colour c : b.palette) table << qRgb(redOf(c), greenOf(c), blueOf(c));
    img.setColorTable(table);
    for (int y = 0; y < b.height(); ++y) {
        uchar* out = img.scanLine(y);
        for (int x = 0; x < b.width(); ++x) out[x] = b.index(x, y);
    }
    return img;
}

} // namespace mirtal
