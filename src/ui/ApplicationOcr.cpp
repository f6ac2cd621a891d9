#include "ui/Application.h"

namespace mirtal {

// The OCR windows: new character dialog, OCR advanced setup, character
// matrix editor and text colour selection.
void Application::createOcrWindows() {}

} // namespace mirtal
