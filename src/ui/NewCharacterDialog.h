#pragma once

#include "base/Bitmap.h"
#include "ocr/OcrHost.h"

#include <QDialog>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace mirtal {

class MessageCatalogue;
class UiDialogs;

// The part of the line around the questioned glyph, 150 x 50 pixels on the
// background colour, with the glyph framed in red: the glyph is centred
// horizontally (a glyph wider than the picture starts at its left edge) and
// the line vertically (a line taller than 50 rows is cut at both ends).
Bitmap24 BuildLinePicture(const GlyphQuestion& question, Colour background);

// "New Character(s)": what an unrecognised glyph reads as. Besides naming it,
// the user can skip the rest of the line, drop the subpicture, pause the rip
// or go back to the text colour choice; the rip engine's session carries out
// those answers. Left waiting, the dialog blinks and beeps.
class NewCharacterDialog : public QDialog {
    Q_OBJECT
public:
    NewCharacterDialog(UiDialogs& dialogs, const MessageCatalogue& catalogue,
                       QWidget* parent = nullptr);

    static constexpr int kLinePictureWidth = 150;
    static constexpr int kLinePictureHeight = 50;
    static constexpr int kWakeUpDelayMs = 10000;
    static constexpr int kBlinkIntervalMs = 150;

    QLabel* LabelIndex;
    QLabel* ImageChar;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* LabelNbChar;
    QLineEdit* EditText;
    QPushButton* BitBtn1;
    QPushButton* ButtonSkipLine;
    QPushButton* ButtonSkipSubPict;
    QPushButton* ButtonPause;
    QPushButton* ButtonChangeColor;
    QTimer* TimerWakeUp;

    // Fills the dialog for the question and shows it modally.
    GlyphAnswer ask(const GlyphQuestion& question, Colour background);

    // The wake-up timer's tick (public so that the blinking can be driven
    // without waiting for it).
    void TimerWakeUpTimer();
    bool blinking() const { return m_red; }
    uint8_t blinkCount() const { return m_blink; }
    // The system beep; replaceable so that the beeps can be counted.
    std::function<void()> onBeep;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void answer(GlyphAction action);
    bool storable(const QString& text);
    void EditTextChange();
    void restartWakeUp();
    void setRed(bool red);

    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    GlyphAnswer m_answer;
    uint8_t m_blink = 0;
    bool m_red = false;
};

} // namespace mirtal
