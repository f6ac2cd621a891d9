#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace mirtal::test {

// A window's control found by its objectName, the name the language files
// know it by. A missing or differently typed control fails the test.
template <typename T> T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control named ") + name + " in " +
                                 window->objectName().toStdString());
    return found;
}

} // namespace mirtal::test
