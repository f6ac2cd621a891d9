#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace mirtal {

// Decodes JPEG bytes with libjpeg; a null image when they are not a readable
// JPEG (the reason goes to *error). Damaged or huge files never crash it.
QImage decodeJpeg(const QByteArray& bytes, QString* error = nullptr);
QImage loadJpegImage(const QString& path, QString* error = nullptr);

// BMP through Qt's reader, JPEG through libjpeg, chosen by content.
QImage loadBackgroundImage(const QString& path, QString* error = nullptr);

} // namespace mirtal
