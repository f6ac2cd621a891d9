#pragma once

#include <QImage>
#include <QString>

namespace mirtal {

// Decodes a JPEG file with libjpeg; a null image when the file is not a
// readable JPEG (the reason goes to *error).
QImage loadJpegImage(const QString& path, QString* error = nullptr);

// BMP through Qt's reader, JPEG through libjpeg, chosen by content.
QImage loadBackgroundImage(const QString& path, QString* error = nullptr);

} // namespace mirtal
