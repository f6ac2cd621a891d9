#pragma once

#include "subtitles/SplitOutput.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace mirtal {

class MessageCatalogue;
class SubtitleDocument;
class TWord_u;
class UiDialogs;

// "Split Text File": chooses the part of the document that every rendering
// and every save keeps (one disc of a film on two), with times restarting
// at zero. The store itself is left alone.
class SplitDialog : public QDialog {
    Q_OBJECT
public:
    SplitDialog(SubtitleDocument& document, UiDialogs& dialogs, const MessageCatalogue& catalogue,
                QWidget* parent = nullptr);

    QCheckBox* CheckBoxSplit;
    QFrame* PanelStartSplit;
    TWord_u *Word_uHour1, *Word_uMin1, *Word_uSec1, *Word_uMSec1;
    QPushButton* ButtonResetStartSplit;
    QFrame* PanelStopSplit;
    TWord_u *Word_uHour2, *Word_uMin2, *Word_uSec2, *Word_uMSec2;
    QPushButton* ButtonEndOfFile;
    QToolButton* SpeedButtonCopyStopToStart;
    QFrame* ShapeFullFile;
    QFrame* ShapeSplitFill;
    QLabel* LabelBeginOfFile;
    QLabel* LabelEndOfFile;
    QLabel* LabelBarStart;
    QLabel* LabelBarStop;
    QLabel* LabelStartSplit;
    QLabel* LabelStopSplit;
    QPushButton* BitBtn1;

    TTimeCode startFields();
    TTimeCode stopFields();
    void setStartFields(TTimeCode t);
    void setStopFields(TTimeCode t);
    TTimeCode fileEnd() const { return m_fileEnd; }

    // Show: the document's split window into the controls, the file end anew.
    void FormShow();
    void CheckBoxSplitClick();
    void ButtonEndOfFileClick() { setStopFields(m_fileEnd); }
    void ButtonResetStartSplitClick() { setStartFields({}); }
    void SpeedButtonCopyStopToStartClick() { setStartFields(stopFields()); }
    // OK: a stop before the start (split on) is refused and the dialog stays.
    bool BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fieldsChanged();
    void drawBar(TTimeCode start, TTimeCode stop);

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    TTimeCode m_fileEnd;
    bool m_filling = false;
};

} // namespace mirtal
