#include "ui/TextColorDialog.h"
#include "ui/WidgetSupport.h"

#include "ocr/OcrState.h"
#include "ocr/TextColor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace mirtal {

namespace {

} // namespace

TextColorDialog::TextColorDialog(OcrState& state, QWidget* parent)
    : QDialog(parent), m_state(state) {
    setObjectName("Form9");
    setWindowTitle("Font color selection");
    // A tool window without border icons: it is left only through its buttons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    Label1 =
        named(new QLabel("Select color to see white text on black background :", this), "Label1");
    Label2 = named(new QLabel("( Not Outlined ! )", this), "Label2");
    ComboBoxTextColor = named(new QComboBox(this), "ComboBoxTextColor");
    ComboBoxTextColor->addItems({"Color 0", "Color 1", "Color 2", "Color 3"});
    ComboBoxTextColor->setCurrentIndex(2);
    ButtonOk = named(new QPushButton("OK", this), "ButtonOk");
    ButtonSkipPict = named(new QPushButton("&Skip this Picture", this), "ButtonSkipPict",
                           "Jump to the next Picture (Use in case this one has no text)");
    ButtonAutoDetect =
        named(new QPushButton("Try &Auto Detect.", this), "ButtonAutoDetect", "Detect Font Color");
    ButtonOk->setDefault(true);

    auto* g = new QGridLayout(this);
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(Label2, 1, 0);
    g->addWidget(ComboBoxTextColor, 1, 1);
    g->addWidget(ButtonAutoDetect, 2, 0);
    g->addWidget(ButtonOk, 2, 1);
    g->addWidget(ButtonSkipPict, 3, 0, 1, 2);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(ComboBoxTextColor, &QComboBox::currentIndexChanged, this,
            [this](int i) { SelectTextColor(i); });
    connect(ButtonOk, &QPushButton::clicked, this, [this] {
        m_skipped = false;
        accept();
    });
    connect(ButtonSkipPict, &QPushButton::clicked, this, [this] {
        m_skipped = true;
        reject();
    });
    connect(ButtonAutoDetect, &QPushButton::clicked, this, [this] { ButtonAutoDetectClick(); });
}

std::optional<int> TextColorDialog::ask(const Bitmap24& work) {
    m_work = work;
    // Closing the dialog any other way than OK leaves the colour unchosen,
    // so it is asked again at the next picture.
    m_skipped = true;
    exec();
    if (m_skipped) return std::nullopt;
    return ComboBoxTextColor->currentIndex();
}

void TextColorDialog::SelectTextColor(int index) {
    if (index < 0 || index > 3) return;
    const Bitmap24 preview = mirtal::SelectTextColor(m_state, m_work, index);
    if (onPreview && !m_work.empty()) onPreview(preview);
}

void TextColorDialog::ButtonAutoDetectClick() {
    if (!m_work.empty()) {
        m_state.ColorOrder = AutoDetectTextColor(m_work, m_state.DrawColor);
        const int guess = m_state.ColorOrder[1];
        // Selecting the entry already shown fires no change: preview it here.
        if (ComboBoxTextColor->currentIndex() == guess)
            SelectTextColor(guess);
        else
            ComboBoxTextColor->setCurrentIndex(guess);
    }
    ButtonOk->setFocus();
}

void TextColorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (onPreview && !m_work.empty()) onPreview(m_work);
    ButtonAutoDetectClick();
    if (onShown) onShown();
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    ButtonOk->setFocus();
}

void TextColorDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous() && onHidden) onHidden();
}

} // namespace mirtal
