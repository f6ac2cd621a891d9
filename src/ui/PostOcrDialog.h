#pragma once

#include "subtitles/PostOcrCorrection.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace mirtal {

class RadioGroup;
class SubtitleDocument;

// "Post OCR Correction": repairs doubled quotes and the I / l confusion in
// every line of the document. The boxes and the language keep their values
// from one opening to the next.
class PostOcrDialog : public QDialog {
    Q_OBJECT
public:
    explicit PostOcrDialog(SubtitleDocument& document, QWidget* parent = nullptr);

    QCheckBox* CheckBoxCorrectTwiceAp;
    QCheckBox* CheckBoxCorrectIl;
    RadioGroup* RadioGroupCorrectIlLanguage;
    QPushButton* BitBtnCorrect;
    QPushButton* BitBtn2;

    // The language group is usable exactly while the I / l box is ticked.
    void CheckBoxCorrectIlClick();
    // "Correct !": the chosen repairs, then the list is rendered again.
    void BitBtnCorrectClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SubtitleDocument& m_doc;
};

} // namespace mirtal
