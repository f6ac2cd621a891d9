#pragma once

#include "export/ExportHost.h"

#include <QDialog>

class QPushButton;

namespace mirtal {

// "Progression Controller": holds the show-only action at each picture until
// the user goes on, runs without stopping, pauses, saves or changes colours.
class ProgressionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressionDialog(QWidget* parent = nullptr);

    // How the user left the window; Next when it was closed otherwise.
    ProgressionChoice choice() const { return m_choice; }

signals:
    void shown();
    void saveAsBmpRequested();
    void saveAsSupRequested();
    void changeColoursRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void leaveWith(ProgressionChoice choice);

    QPushButton* m_nextButton = nullptr;
    ProgressionChoice m_choice = ProgressionChoice::Next;
};

} // namespace mirtal
