#pragma once

#include <QMainWindow>

class QCheckBox;
class QLabel;
class QListView;
class QModelIndex;

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

    // The window that this one lines up with whenever it is shown.
    void setMainWindow(const QWidget* mainWindow) { m_mainWindow = mainWindow; }

public slots:
    // Also what the job setup's clear button runs: it asks only while the
    // text is not saved.
    void clearDocument();

signals:
    // The dialogs the window's commands open.
    void postOcrCorrectionRequested();
    void timeCorrectionRequested();
    void outputFormatRequested();
    void splitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void saveAs();
    void openDocument();
    void selectFirstLine();
    void selectLastLine();
    void setAutoScroll(bool on);
    // The line the user picked becomes the document's selected line.
    void lineChosen(const QModelIndex& current);
    // Brings the document's selected line into view. Runs once after the
    // events that changed the selection, however many there were.
    void showSelection();

private:
    void buildList(QWidget* parent);
    void buildTopBar(QWidget* bar);
    void buildCommandButtons(QWidget* bar);
    QWidget* buildListEnds(QWidget* bar);
    void buildMenu();
    // Main window's width and left edge, both bottom edges on one line.
    void placeBesideMainWindow();
    void documentStateChanged();
    void selectionChanged();

    SubtitleDocument& m_doc;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_catalogue;
    ProgramSettings& m_settings;
    SubtitleListModel* m_model = nullptr; // owned by the window
    QListView* m_list = nullptr;
    QLabel* m_indexLabel = nullptr;
    QCheckBox* m_autoScrollBox = nullptr;
    const QWidget* m_mainWindow = nullptr;
    bool m_syncingSelection = false;
    bool m_selectionPending = false;
};

} // namespace mirtal
