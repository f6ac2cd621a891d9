#pragma once

#include "subtitles/TimeCorrection.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QPushButton;

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

    QGroupBox* GroupBoxOffset;
    TWord_u *Word_uHour, *Word_uMin, *Word_uSec, *Word_uMSec;
    QCheckBox* CheckBoxMinusOffset;
    QPushButton* ButtonResetOffset;
    QGroupBox* GroupBoxStretch;
    TWord_u *Word_uHourS, *Word_uMinS, *Word_uSecS, *Word_uMSecS;
    QCheckBox* CheckBoxMinusStretch;
    QPushButton* ButtonResetStretch;
    QGroupBox* GroupBoxDuration;
    QCheckBox* CheckBoxSubDuration;
    RadioGroup* RadioGroupTime;
    QFrame* PanelFixedTime;
    TWord_u* Word_uFixedDuration;
    QFrame* PanelProportionalTime;
    TWord_u* Word_uOffsetDuration;
    TWord_u* Word_uMsPerChar;
    QGroupBox* GroupBoxMinInterval;
    TWord_u* Word_uMinInterval;
    QPushButton* BitBtnModifyTC;
    QPushButton* BitBtn1;

    // The dialog's values as the correction takes them.
    TimeCorrection request();
    // "Correct &Time": every field checked first; a field out of range is
    // put right, reported, and the dialog stays open (false).
    bool BitBtnModifyTCClick();
    void RadioGroupTimeClick();
    // Show: both time groups to zero, the duration box unticked.
    void FormShow();
    // What the last correction did (offset declined, stretch refused).
    const TimeCorrectionReport& lastReport() const { return m_report; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    TimeCorrectionReport m_report;
};

} // namespace mirtal
