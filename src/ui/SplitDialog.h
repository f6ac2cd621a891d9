#pragma once

#include "subtitles/SplitOutput.h"
#include "ui/WidgetSupport.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace mirtal {

class MessageCatalogue;
class SubtitleDocument;
class UiDialogs;

// "Split Text File": chooses the part of the document that every rendering
// and every save keeps (one disc of a film on two), with times restarting
// at zero. The store itself is left alone.
class SplitDialog : public QDialog {
    Q_OBJECT
public:
    SplitDialog(SubtitleDocument& document, UiDialogs& dialogs, const MessageCatalogue& catalogue,
                QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    // The time panels are usable exactly while the split box is ticked.
    void updateTimeControls();
    void resetStart() { setStartTime({}); }
    void stopAtLastSubtitle() { setStopTime(m_fileEnd); }
    void copyStopToStart() { setStartTime(m_stop.time()); }
    // OK: a stop before the start (split on) is refused and the dialog stays.
    void applySplit();
    void timesEdited();

private:
    QLabel* label(const QString& text, QWidget* parent);
    QFrame* buildTimePanel(const char* name, const QString& caption, const QString& suffix,
                           TimeFields& fields);
    void buildTimePanels(QVBoxLayout* root);
    void buildBar(QVBoxLayout* root);
    void buildFooter(QVBoxLayout* root);
    // The document's split window into the controls, the file end anew.
    void loadFromDocument();
    void setStartTime(TTimeCode t);
    void setStopTime(TTimeCode t);
    void drawBar(TTimeCode start, TTimeCode stop);

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    QCheckBox* m_splitBox = nullptr;
    QFrame* m_startPanel = nullptr;
    TimeFields m_start;
    QPushButton* m_resetStartButton = nullptr;
    QFrame* m_stopPanel = nullptr;
    TimeFields m_stop;
    QPushButton* m_lastSubtitleButton = nullptr;
    QToolButton* m_copyStopToStartButton = nullptr;
    QFrame* m_fullFileShape = nullptr;
    QFrame* m_savedPartShape = nullptr;
    QLabel* m_fileEndLabel = nullptr;
    QLabel* m_startTick = nullptr;
    QLabel* m_stopTick = nullptr;
    QLabel* m_startTimeLabel = nullptr;
    QLabel* m_stopTimeLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    TTimeCode m_fileEnd;
    bool m_filling = false;
    int m_labels = 0;
};

} // namespace mirtal
