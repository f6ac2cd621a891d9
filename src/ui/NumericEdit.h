#pragma once

#include <QLineEdit>
#include <cstdint>
#include <optional>

namespace mirtal {

class UiDialogs;

// Common behaviour of the two range-checked number fields: only digits (and
// whatever else the class allows) get in, typed or pasted, and the value is
// checked when the focus leaves the field; a bad value is put back inside
// the range, reported in a (French) message box, and the focus stays.
class NumericEdit : public QLineEdit {
    Q_OBJECT
public:
    // Message boxes go through this; without it they are real message boxes.
    void setDialogs(UiDialogs* dialogs) { m_dialogs = dialogs; }
    bool errorMsg() const { return m_errorMsg; }
    void setErrorMsg(bool on) { m_errorMsg = on; }

    // Runs the leave-the-field check; true when the text was acceptable.
    bool checkValue();

protected:
    // `pattern` is what the text may be at any time, while it is typed too.
    NumericEdit(QWidget* parent, const QString& pattern);
    void focusOutEvent(QFocusEvent* event) override;

    virtual int64_t minValue() const = 0;
    virtual int64_t maxValue() const = 0;
    virtual int boundWidth() const = 0;
    // The text as a number: nullopt when it is not one.
    virtual std::optional<int64_t> textNumber() const = 0;
    virtual void readValue() = 0; // value read: stores the parsed value
    virtual void setToMin() = 0;
    virtual void setToMax() = 0;
    void updateHint();
    void warn(const QString& text);

private:
    UiDialogs* m_dialogs = nullptr;
    bool m_errorMsg = true;
    bool m_checking = false;
};

// Unsigned 16-bit field.
class TWord_u : public NumericEdit {
    Q_OBJECT
public:
    explicit TWord_u(QWidget* parent = nullptr);

    uint16_t value();
    void setValue(int64_t v);
    uint16_t valMin() const { return m_min; }
    uint16_t valMax() const { return m_max; }
    void setValMin(uint16_t v);
    void setValMax(uint16_t v);

protected:
    int64_t minValue() const override { return m_min; }
    int64_t maxValue() const override { return m_max; }
    int boundWidth() const override { return 5; }
    std::optional<int64_t> textNumber() const override;
    void readValue() override { value(); }
    void setToMin() override { setValue(m_min); }
    void setToMax() override { setValue(m_max); }

private:
    uint16_t m_value = 0, m_min = 0, m_max = 65535;
};

// Signed 32-bit field.
class TInteger_u : public NumericEdit {
    Q_OBJECT
public:
    explicit TInteger_u(QWidget* parent = nullptr);

    int32_t value();
    void setValue(int64_t v);
    int32_t valMin() const { return m_min; }
    int32_t valMax() const { return m_max; }
    void setValMin(int32_t v);
    void setValMax(int32_t v);

protected:
    int64_t minValue() const override { return m_min; }
    int64_t maxValue() const override { return m_max; }
    int boundWidth() const override { return 6; }
    std::optional<int64_t> textNumber() const override;
    void readValue() override { value(); }
    void setToMin() override { setValue(m_min); }
    void setToMax() override { setValue(m_max); }

private:
    void updateMaxLength();
    int32_t m_value = 0, m_min = -2147483647, m_max = 2147483647;
};

} // namespace mirtal
