#pragma once

#include "base/Bitmap.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QPushButton;

namespace mirtal {

struct OcrState;

// "Font color selection": which of the four subpicture colours is the text.
// The preview it talks about is the main window's: every change of the list
// shows the work bitmap there with the chosen colour white on black.
class TextColourDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextColourDialog(OcrState& state, QWidget* parent = nullptr);

    // Shows the dialog modally for this work bitmap: the chosen colour index,
    // or nullopt when the picture is skipped.
    std::optional<int> ask(const Bitmap24& work);

signals:
    // The picture to draw in the main window's preview.
    void previewChanged(const Bitmap24& picture);
    // The dialog came up (the Subtitles window makes way) and went away.
    void opened();
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void previewColour(int index);
    // The automatic guess: selects it, previews it and focuses OK. An empty
    // bitmap keeps the current selection.
    void detectColour();

private:
    OcrState& m_state;
    Bitmap24 m_work;
    bool m_skipped = true;
    QComboBox* m_colourCombo = nullptr;
    QPushButton* m_okButton = nullptr;
};

} // namespace mirtal
