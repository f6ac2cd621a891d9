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

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    // The language group is usable exactly while the I / l box is ticked.
    void updateLanguageChoice();
    // "Correct !": the chosen repairs, then the list is rendered again.
    void correct();

private:
    SubtitleDocument& m_doc;
    QCheckBox* m_quotesBox = nullptr;
    QCheckBox* m_ilBox = nullptr;
    RadioGroup* m_ilLanguage = nullptr;
    QPushButton* m_correctButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace mirtal
