#pragma once

#include "base/Bitmap.h"
#include "base/Colour.h"
#include "base/DialogHost.h"
#include "export/ExportHost.h"
#include "ocr/OcrHost.h"
#include "rip/RipDisplay.h"

#include <cstdint>

namespace mirtal {

// The one seam between the engine and whoever drives it: the GUI implements
// it with windows, mirtal-rip with the terminal, tests with a scripted fake.
// The engine never opens a window, sleeps or reads a clock itself.
class Host : public DialogHost, public OcrHost, public ExportHost {
public:
    // Lets the driver handle pending user events (clicks on Pause and so on).
    virtual void processEvents() = 0;
    // Milliseconds from an arbitrary origin.
    virtual uint32_t tickMs() = 0;
    // The counters, times and labels changed.
    virtual void displayChanged(const RipDisplay& display) = 0;
    // Shows a picture in the preview at its frame rectangle.
    virtual void showPicture(const Bitmap24& bitmap, const Rect& rect) = 0;
    virtual void showPicture(const PaletteBitmap& bitmap, const Rect& rect) = 0;
};

} // namespace mirtal
