#pragma once

#include <QDialog>

namespace mirtal {

// The About box: the program's picture and its version.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace mirtal
