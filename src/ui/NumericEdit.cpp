#include "ui/NumericEdit.h"

#include "ui/UiDialogs.h"

#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <optional>

namespace mirtal {

NumericEdit::NumericEdit(QWidget* parent, const QString& pattern) : QLineEdit(parent) {
    // Typing, pasting and dropping all go through the validator.
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    setText(QStringLiteral("0"));
}

void NumericEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!checkValue()) setFocus();
}

void NumericEdit::warn(const QString& text) {
    if (!m_errorMsg) return;
    if (m_dialogs) {
        m_dialogs->ask(MessageKind::Warning, {Answer::Ok}, toCp1252(text));
    } else {
        QMessageBox::warning(this, QStringLiteral("Mirtal"), text);
    }
}

bool NumericEdit::checkValue() {
    if (m_checking) return true; // the message box itself takes the focus away
    m_checking = true;
    const QString minText = QString::number(minValue()).left(boundWidth());
    const QString maxText = QString::number(maxValue()).left(boundWidth());
    bool ok = true;
    auto number = textNumber();
    readValue();
    if (text().isEmpty()) {
        warn(QStringLiteral("Valeur comprise entre ") + minText + QStringLiteral(" et ") + maxText +
             QStringLiteral(" attendue."));
        setToMin();
        ok = false;
    } else if (number && *number < minValue()) {
        warn(QStringLiteral("Valeur trop petite : Valeur minimum = ") + minText);
        setToMin();
        ok = false;
    } else if (number && *number > maxValue()) {
        warn(QStringLiteral("Valeur trop grande : Valeur maximum = ") + maxText);
        setToMax();
        ok = false;
    }
    m_checking = false;
    return ok;
}

void NumericEdit::updateHint() {
    setToolTip(QStringLiteral("Entier entre ") + QString::number(minValue()) +
               QStringLiteral(" et ") + QString::number(maxValue()));
}

// --- TWord_u

TWord_u::TWord_u(QWidget* parent) : NumericEdit(parent, QStringLiteral("[0-9]*")) {
    setMaxLength(5);
    updateHint();
}

std::optional<int64_t> TWord_u::textNumber() const {
    bool ok = false;
    qlonglong v = text().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX) {
        // Digits too long for 32 bits still count as above the maximum.
        bool digits = !text().isEmpty() && std::all_of(text().begin(), text().end(),
                                                       [](QChar c) { return c.isDigit(); });
        if (digits) return int64_t(65536);
        return std::nullopt;
    }
    return v > 65535 ? int64_t(65536) : int64_t(v);
}

uint16_t TWord_u::value() {
    auto n = textNumber();
    int64_t v = !n ? m_min : std::min<int64_t>(*n, 65535);
    m_value = uint16_t(std::clamp<int64_t>(v, 0, 65535));
    return m_value;
}

void TWord_u::setValue(int64_t v) {
    v = std::min<int64_t>(v, m_max);
    v = std::max<int64_t>(v, m_min);
    m_value = uint16_t(v);
    const QString t = QString::number(m_value);
    if (t != text()) setText(t);
}

void TWord_u::setValMin(uint16_t v) {
    m_min = std::min(v, m_max);
    if (m_value < m_min) m_min = m_value;
    updateHint();
}

void TWord_u::setValMax(uint16_t v) {
    m_max = std::max(v, m_min);
    if (m_value > m_max) m_max = m_value;
    setMaxLength(int(QString::number(m_max).size()));
    updateHint();
}

// --- TInteger_u

TInteger_u::TInteger_u(QWidget* parent) : NumericEdit(parent, QStringLiteral("-?[0-9]*")) {
    setMaxLength(11);
    updateHint();
}

std::optional<int64_t> TInteger_u::textNumber() const {
    bool ok = false;
    int v = text().toInt(&ok);
    if (!ok) return std::nullopt;
    return int64_t(v);
}

int32_t TInteger_u::value() {
    auto n = textNumber();
    m_value = n ? int32_t(*n) : m_min;
    return m_value;
}

void TInteger_u::setValue(int64_t v) {
    v = std::min<int64_t>(v, m_max);
    v = std::max<int64_t>(v, m_min);
    m_value = int32_t(v);
    const QString t = QString::number(m_value);
    if (t != text()) setText(t);
}

void TInteger_u::updateMaxLength() {
    setMaxLength(int(std::max(QString::number(m_min).size(), QString::number(m_max).size())));
}

void TInteger_u::setValMin(int32_t v) {
    m_min = std::min(v, m_max);
    if (m_value < m_min) m_min = m_value;
    updateHint();
    updateMaxLength();
}

void TInteger_u::setValMax(int32_t v) {
    m_max = std::max(v, m_min);
    if (m_value > m_max) m_max = m_value;
    updateHint();
    updateMaxLength();
}

} // namespace mirtal
