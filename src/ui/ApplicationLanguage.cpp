#include "ui/Application.h"

namespace mirtal {

void Application::buildLanguageMenu() {}
void Application::loadLanguage(const std::string&) {}
void Application::exportLanguageTemplate() {}

} // namespace mirtal
