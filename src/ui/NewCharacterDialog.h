#pragma once

#include "base/Bitmap.h"
#include "ocr/OcrHost.h"

#include <QDialog>
#include <cstdint>

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
Bitmap24 buildLinePicture(const GlyphQuestion& question, Colour background);

// "New Character(s)": what an unrecognised glyph reads as. Besides naming it,
// the user can skip the rest of the line, drop the subpicture, pause the rip
// or go back to the text colour choice; the rip engine's session carries out
// those answers. Left waiting, the dialog blinks and beeps.
class NewCharacterDialog : public QDialog {
    Q_OBJECT
public:
    NewCharacterDialog(UiDialogs& dialogs, const MessageCatalogue& catalogue,
                       QWidget* parent = nullptr);

    // Fills the dialog for the question and shows it modally.
    GlyphAnswer ask(const GlyphQuestion& question, Colour background);

signals:
    // Left waiting, the dialog beeps to call the user back.
    void beeped();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private slots:
    void textEdited();
    void wakeUpTick();

private:
    void buildControls();
    void layOutControls();
    void connectButtons();
    void answer(GlyphAction action);
    bool storable(const QString& text);
    void restartWakeUp();
    void stopWakeUp();
    void setRed(bool red);

    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    GlyphAnswer m_answer;
    uint8_t m_blink = 0;
    bool m_red = false;

    QLabel* m_symbolIndexLabel = nullptr;
    QLabel* m_linePicture = nullptr;
    QLabel* m_question = nullptr;
    QLabel* m_lengthCaption = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_skipLineButton = nullptr;
    QPushButton* m_skipSubpictureButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_changeColourButton = nullptr;
    // Ten silent seconds, then the blinking.
    QTimer* m_wakeUpTimer = nullptr;
};

} // namespace mirtal
