#pragma once

#include "base/Bitmap.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace mirtal {

struct OcrState;

// "Font color selection": which of the four subpicture colours is the text.
// The preview it talks about is the main window's: every change of the list
// shows the work bitmap there with the chosen colour white on black.
class TextColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextColorDialog(OcrState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QComboBox* ComboBoxTextColor;
    QPushButton* ButtonOk;
    QPushButton* ButtonSkipPict;
    QPushButton* ButtonAutoDetect;

    // Shows the dialog modally for this work bitmap: the chosen colour index,
    // or nullopt when the picture is skipped.
    std::optional<int> ask(const Bitmap24& work);

    // The automatic guess: selects it, previews it and focuses OK. An empty
    // bitmap keeps the current selection.
    void ButtonAutoDetectClick();
    void SelectTextColor(int index);

    // Wiring supplied by the application.
    std::function<void(const Bitmap24&)> onPreview; // draw in the main window's preview
    std::function<void()> onShown;  // hide the Subtitles window, make room for the preview
    std::function<void()> onHidden; // give the Subtitles window back

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    OcrState& m_state;
    Bitmap24 m_work;
    bool m_skipped = true;
};

} // namespace mirtal
