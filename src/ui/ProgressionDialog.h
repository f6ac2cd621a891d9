#pragma once

#include "export/ExportHost.h"

#include <QDialog>
#include <functional>

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

    QPushButton* ButtonPause;
    QPushButton* ButtonNext;
    QPushButton* ButtonNoStop;
    QPushButton* ButtonChangeColor;
    QPushButton* ButtonSaveAsBmp;
    QPushButton* ButtonSaveAsSup;

    std::function<void()> onShown; // hides the Subtitles window
    std::function<void()> onSaveAsBmp;
    std::function<void()> onSaveAsSup;
    std::function<void()> onChangeColor;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ProgressionChoice m_choice = ProgressionChoice::Next;
};

} // namespace mirtal
