#pragma once

#include "subtitles/TimeCorrection.h"
#include "ui/WidgetSupport.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace mirtal {

class MessageCatalogue;
class RadioGroup;
class SubtitleDocument;
class TWord_u;
class UiDialogs;

// "Time correction": offset, stretch, new durations and a minimum gap for
// every subtitle at once, in place and without undo.
class TimeCorrectionDialog : public QDialog {
    Q_OBJECT
public:
    TimeCorrectionDialog(SubtitleDocument& document, UiDialogs& dialogs,
                         const MessageCatalogue& catalogue, QWidget* parent = nullptr);

protected:
    // Both time groups to zero, the duration box unticked.
    void showEvent(QShowEvent* event) override;

private slots:
    void showDurationMethodPanel();
    void resetOffset() { m_offset.setTime({}); }
    void resetStretch() { m_stretch.setTime({}); }
    // "Correct &Time": every field checked first; a field out of range is
    // put right, reported, and the dialog stays open.
    void correctTimes();

private:
    QLabel* label(const QString& text, QWidget* parent);
    TWord_u* numberField(const QString& name, uint16_t max, uint16_t value, QWidget* parent);
    // hh : mm : ss , mmm followed by the group's Minus box and Reset button.
    QLayout* timeRow(QGroupBox* group, const QString& suffix, TimeFields& fields, QCheckBox*& minus,
                     const char* minusName, QPushButton*& reset, const char* resetName,
                     const char* resetCaption);
    void buildOffsetGroup(QVBoxLayout* root);
    void buildStretchGroup(QVBoxLayout* root);
    void buildDurationGroup(QVBoxLayout* root);
    QFrame* buildProportionalPanel(QWidget* parent);
    void buildMinIntervalGroup(QVBoxLayout* root);
    void buildButtons(QVBoxLayout* root);
    // The dialog's values as the correction takes them.
    TimeCorrection request() const;

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    TimeFields m_offset;
    QCheckBox* m_minusOffsetBox = nullptr;
    QPushButton* m_resetOffsetButton = nullptr;
    TimeFields m_stretch;
    QCheckBox* m_minusStretchBox = nullptr;
    QPushButton* m_resetStretchButton = nullptr;
    QCheckBox* m_changeDurationsBox = nullptr;
    RadioGroup* m_durationMethod = nullptr;
    QFrame* m_fixedTimePanel = nullptr;
    TWord_u* m_fixedDurationField = nullptr;
    QFrame* m_proportionalTimePanel = nullptr;
    TWord_u* m_offsetDurationField = nullptr;
    TWord_u* m_msPerCharField = nullptr;
    TWord_u* m_minIntervalField = nullptr;
    QPushButton* m_correctButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    int m_labels = 0;
};

} // namespace mirtal
