#pragma once

#include "subtitles/DocumentFlows.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QListView;
class QToolButton;

namespace mirtal {

class MessageCatalogue;
class SubtitleDocument;
class SubtitleListModel;
struct ProgramSettings;
class UiDialogs;

// "Subtitles": the document as it will be saved, one list line per output
// text line, and the commands that act on the whole document. The list is
// fed from the document's rendered lines as they change, entry by entry
// during a rip, so a long document never has to be rebuilt to show one more.
class SubtitlesWindow : public QMainWindow {
    Q_OBJECT
public:
    SubtitlesWindow(SubtitleDocument& document, UiDialogs& dialogs,
                    const MessageCatalogue& catalogue, ProgramSettings& settings,
                    QWidget* parent = nullptr);
    ~SubtitlesWindow() override;

    QListView* ListBoxSubtitle;
    QLabel* LabelNbSubTitle;
    QToolButton* CoolButtonSpellingCorrection;
    QToolButton* CoolButtonTimeCorrection;
    QToolButton* CoolButtonOutputFormat;
    QToolButton* CoolButtonSplitText;
    QToolButton* CoolButtonSaveAs;
    QToolButton* CoolButtonClearSub;
    QCheckBox* CheckBoxScrollDown;
    QWidget* UpDown1; // its arrows are UpDown1Up and UpDown1Down
    // Menu
    QAction* Saveas1;
    QAction* OpenMirtalFormat1;
    QAction* Clear1;
    QAction* PostOCRCorrection1;
    QAction* TimeCorrection1;
    QAction* SetOutputFormat1;
    QAction* Splitoutputfile1;

    // The window that this one lines up with whenever it is shown.
    void setMainWindow(const QWidget* mainWindow) { m_mainWindow = mainWindow; }
    // Main window's width and left edge, both bottom edges on one line.
    void placeBesideMainWindow();

    // The document commands. Clear is also what the job setup's clear button
    // runs: it asks only while the text is not saved.
    FlowResult Saveas1Click();
    FlowResult OpenMirtalFormat1Click();
    FlowResult Clear1Click();
    // UpDown1: the first line (up) or the last one (down).
    void UpDown1Click(bool up);

    // The dialogs the window opens; installed by the application.
    std::function<void()> onPostOcrCorrection;
    std::function<void()> onTimeCorrection;
    std::function<void()> onOutputFormat;
    std::function<void()> onSplit;

    // Brings the document's selected line into view. Runs once after the
    // events that changed the selection, however many there were.
    void showSelection();

    // What the list shows (for the windows' own checks and tests).
    int lineCount() const;
    QString lineText(int row) const;
    int selectedLine() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildTopBar(QWidget* bar);
    void buildMenu();
    void documentStateChanged();
    void selectionChanged();
    void run(const std::function<void()>& command);

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    ProgramSettings& m_settings;
    SubtitleListModel* m_model; // owned by the window
    const QWidget* m_mainWindow = nullptr;
    bool m_syncingSelection = false;
    bool m_selectionPending = false;
};

} // namespace mirtal
