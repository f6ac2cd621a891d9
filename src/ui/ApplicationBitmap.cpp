#include "ui/Application.h"

namespace mirtal {

// The bitmap adjustment dialog and its profiles.
void Application::createBitmapWindow() {}

} // namespace mirtal
