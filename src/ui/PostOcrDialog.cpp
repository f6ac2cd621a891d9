#include "ui/PostOcrDialog.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/RadioGroup.h"
#include "ui/WidgetSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace mirtal {

PostOcrDialog::PostOcrDialog(SubtitleDocument& document, QWidget* parent)
    : QDialog(parent), m_doc(document) {
    setObjectName("Form10");
    setWindowTitle("Post OCR Correction");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    m_quotesBox =
        named(new QCheckBox("Replace double ' by a \"  AND \"\" by \" (Recommended)", this),
              "CheckBoxCorrectTwiceAp");
    m_quotesBox->setChecked(true);
    root->addWidget(m_quotesBox);
    m_ilBox = named(new QCheckBox("Try to correct I and l  (Use if they are confused)", this),
                    "CheckBoxCorrectIl");
    root->addWidget(m_ilBox);
    m_ilLanguage = named(new RadioGroup("Language :",
                                        {"English (May work with other languages)",
                                         "Fran\u00e7ais ( French )", "Deutsch ( German )"},
                                        this),
                         "RadioGroupCorrectIlLanguage");
    m_ilLanguage->setItemIndex(0);
    root->addWidget(m_ilLanguage);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_correctButton = named(new QPushButton("Correct !", this), "BitBtnCorrect");
    m_correctButton->setDefault(true);
    m_cancelButton = named(new QPushButton("Cancel", this), "BitBtn2");
    buttons->addWidget(m_correctButton);
    buttons->addWidget(m_cancelButton);
    root->addLayout(buttons);

    // toggled covers the mouse and the space bar alike.
    connect(m_ilBox, &QCheckBox::toggled, this, &PostOcrDialog::updateLanguageChoice);
    connect(m_correctButton, &QPushButton::clicked, this, &PostOcrDialog::correct);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    updateLanguageChoice();
}

void PostOcrDialog::updateLanguageChoice() {
    m_ilLanguage->setEnabled(m_ilBox->isChecked());
}

void PostOcrDialog::correct() {
    const bool quotes = m_quotesBox->isChecked();
    const bool il = m_ilBox->isChecked();
    if (quotes || il) {
        int language = m_ilLanguage->itemIndex();
        if (language < 0 || language > 2) language = 0;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        correctPostOcr(m_doc, quotes, il, IlLanguage(language));
        QApplication::restoreOverrideCursor();
    }
    accept();
}

void PostOcrDialog::showEvent(QShowEvent* event) {
    // Centred on the screen, wherever the Subtitles window is.
    if (QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace mirtal
