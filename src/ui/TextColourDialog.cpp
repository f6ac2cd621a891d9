#include "ui/TextColourDialog.h"

#include "ocr/OcrState.h"
#include "ocr/TextColour.h"
#include "ui/WidgetSupport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace mirtal {

TextColourDialog::TextColourDialog(OcrState& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName("Form9");
    setWindowTitle("Font color selection");
    // A tool window without border icons: it is left only through its buttons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* hint =
        named(new QLabel("Select color to see white text on black background :", this), "Label1");
    auto* notOutlined = named(new QLabel("( Not Outlined ! )", this), "Label2");
    m_colourCombo = named(new QComboBox(this), "ComboBoxTextColor");
    m_colourCombo->addItems({"Color 0", "Color 1", "Color 2", "Color 3"});
    m_colourCombo->setCurrentIndex(2);
    m_okButton = named(new QPushButton("OK", this), "ButtonOk");
    auto* skip = named(new QPushButton("&Skip this Picture", this), "ButtonSkipPict",
                       "Jump to the next Picture (Use in case this one has no text)");
    auto* detect =
        named(new QPushButton("Try &Auto Detect.", this), "ButtonAutoDetect", "Detect Font Color");
    m_okButton->setDefault(true);

    auto* g = new QGridLayout(this);
    g->addWidget(hint, 0, 0, 1, 2);
    g->addWidget(notOutlined, 1, 0);
    g->addWidget(m_colourCombo, 1, 1);
    g->addWidget(detect, 2, 0);
    g->addWidget(m_okButton, 2, 1);
    g->addWidget(skip, 3, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_colourCombo, &QComboBox::currentIndexChanged, this, &TextColourDialog::previewColour);
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        m_skipped = false;
        accept();
    });
    connect(skip, &QPushButton::clicked, this, [this] {
        m_skipped = true;
        reject();
    });
    connect(detect, &QPushButton::clicked, this, &TextColourDialog::detectColour);
}

std::optional<int> TextColourDialog::ask(const Bitmap24& work) {
    m_work = work;
    // Closing the dialog any other way than OK leaves the colour unchosen,
    // so it is asked again at the next picture.
    m_skipped = true;
    exec();
    if (m_skipped) return std::nullopt;
    return m_colourCombo->currentIndex();
}

void TextColourDialog::previewColour(int index) {
    if (index < 0 || index > 3) return;
    const Bitmap24 preview = mirtal::selectTextColour(m_state, m_work, index);
    if (!m_work.empty()) emit previewChanged(preview);
}

void TextColourDialog::detectColour() {
    if (!m_work.empty()) {
        m_state.ColorOrder = autoDetectTextColour(m_work, m_state.DrawColor);
        const int guess = m_state.ColorOrder[1];
        // Selecting the entry already shown fires no change: preview it here.
        if (m_colourCombo->currentIndex() == guess)
            previewColour(guess);
        else
            m_colourCombo->setCurrentIndex(guess);
    }
    m_okButton->setFocus();
}

void TextColourDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (!m_work.empty()) emit previewChanged(m_work);
    detectColour();
    emit opened();
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    m_okButton->setFocus();
}

void TextColourDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) emit closed();
}

} // namespace mirtal
