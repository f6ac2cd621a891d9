#include "ui/Application.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Mirtal");
    mirtal::Application::Options options;
    options.programFolder = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    mirtal::Application mirtal(options);
    mirtal.start();
    return app.exec();
}
