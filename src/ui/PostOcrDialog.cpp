#include "ui/PostOcrDialog.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/RadioGroup.h"

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
    CheckBoxCorrectTwiceAp =
        new QCheckBox("Replace double ' by a \"  AND \"\" by \" (Recommended)", this);
    CheckBoxCorrectTwiceAp->setObjectName("CheckBoxCorrectTwiceAp");
    CheckBoxCorrectTwiceAp->setChecked(true);
    root->addWidget(CheckBoxCorrectTwiceAp);
    CheckBoxCorrectIl = new QCheckBox("Try to correct I and l  (Use if they are confused)", this);
    CheckBoxCorrectIl->setObjectName("CheckBoxCorrectIl");
    root->addWidget(CheckBoxCorrectIl);
    RadioGroupCorrectIlLanguage = new RadioGroup("Language :",
                                                 {"English (May work with other languages)",
                                                  "Fran\u00e7ais ( French )", "Deutsch ( German )"},
                                                 this);
    RadioGroupCorrectIlLanguage->setObjectName("RadioGroupCorrectIlLanguage");
    RadioGroupCorrectIlLanguage->setItemIndex(0);
    root->addWidget(RadioGroupCorrectIlLanguage);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtnCorrect = new QPushButton("Correct !", this);
    BitBtnCorrect->setObjectName("BitBtnCorrect");
    BitBtnCorrect->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    buttons->addWidget(BitBtnCorrect);
    buttons->addWidget(BitBtn2);
    root->addLayout(buttons);

    // toggled covers the mouse and the space bar alike.
    connect(CheckBoxCorrectIl, &QCheckBox::toggled, this, [this] { CheckBoxCorrectIlClick(); });
    connect(BitBtnCorrect, &QPushButton::clicked, this, [this] { BitBtnCorrectClick(); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    CheckBoxCorrectIlClick();
}

void PostOcrDialog::CheckBoxCorrectIlClick() {
    RadioGroupCorrectIlLanguage->setEnabled(CheckBoxCorrectIl->isChecked());
}

void PostOcrDialog::BitBtnCorrectClick() {
    const bool quotes = CheckBoxCorrectTwiceAp->isChecked();
    const bool il = CheckBoxCorrectIl->isChecked();
    if (quotes || il) {
        int language = RadioGroupCorrectIlLanguage->itemIndex();
        if (language < 0 || language > 2) language = 0;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CorrectPostOcr(m_doc, quotes, il, IlLanguage(language));
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
