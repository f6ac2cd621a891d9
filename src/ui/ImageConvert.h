#pragma once

#include "base/Bitmap.h"

#include <QImage>

namespace mirtal {

// Wraps the core's bitmaps for display only.
QImage toQImage(const Bitmap24& bitmap);
QImage toQImage(const PaletteBitmap& bitmap);

} // namespace mirtal
