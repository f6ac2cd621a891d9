#include "ui/Application.h"

namespace mirtal {

// The subtitle document's windows: Subtitles window, post-OCR correction,
// output format options, time correction and split text file.
void Application::createSubtitleWindows() {}

} // namespace mirtal
