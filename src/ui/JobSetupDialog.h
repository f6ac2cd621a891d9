#pragma once

#include "base/MessageCatalogue.h"
#include "rip/IfoLanguages.h"
#include "rip/StreamMap.h"
#include "rip/Titles.h"
#include "subtitles/TimeCode.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QBoxLayout;
class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QFrame;

namespace mirtal {

class RadioGroup;
class Session;
class TWord_u;
class UiDialogs;
struct JobSetup;

// "What To Do ?": which VOB files in which order, which subtitle stream,
// which character matrix, what to do with each subpicture and from which
// time code the job's time line continues. Created once; keeps its contents
// between showings. Start hands the job to the session.
class JobSetupDialog : public QDialog {
    Q_OBJECT
public:
    JobSetupDialog(Session& session, UiDialogs& dialogs, QWidget* parent = nullptr);

    // What the dialog keeps from one session to the next.
    struct Choices {
        std::filesystem::path vobFolder; // where the VOB file dialogs open
        int action = 0;                  // -1 when none is chosen
        bool withTimingAndPosition = false;
        bool forcedOnly = false;
        bool fromVideoStart = false;
    };
    Choices choices() const;
    void setChoices(const Choices& choices);
    // The matrix file field after the matrix was opened, saved or replaced.
    void refreshMatrixField();

signals:
    void subtitlesWindowRequested();
    void clearSubtitlesRequested();
    void openMatrixRequested();
    void newMatrixRequested();
    // Just before a job starts: the chosen stream's language code, so that
    // new glyphs are named in its language.
    void aboutToStart(const std::string& languageCode);
    void jobStarted();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void actionChosen();
    void streamChosen();
    void chooseVobFolder();
    void chooseIfo();
    void resetTimeCode();
    void openMatrix();
    void newMatrix();
    void viewText();
    void start();

private:
    QLayout* buildStreamColumn();
    QLayout* buildMatrixRow();
    QWidget* buildOptions();
    QLayout* buildVobColumn();
    QLayout* buildTimeCodeRow();
    QFrame* buildBottomPanel();
    void connectControls();

    // Lists the *.VOB files of a folder and its VobSub .sub files (those with
    // their .idx beside them), sorted by name without regard to case.
    void listFolder(const std::filesystem::path& dir);
    // Moves the selected entry one place up (-1) or down (+1); its check
    // mark and the selection travel with it.
    void moveSelected(int delta);
    // Reads the stream languages of a title set IFO and refills the list; a
    // damaged file is reported and keeps the names read before the damage.
    void readIfoLanguages(const std::filesystem::path& ifo);
    // The stream languages of the .idx of a VobSub pair (chosen by its .idx
    // or its .sub); a missing partner or a damaged index is reported and
    // keeps the names shown before.
    bool readVobSubLanguages(const std::filesystem::path& file);
    void fillStreamList();
    void fillTitleList(const std::filesystem::path& ifo);
    bool chooseTitleFiles(JobSetup& setup);
    // Paths of the checked entries, in list order.
    std::vector<std::filesystem::path> checkedPaths() const;
    TTimeCode lastTimeCode() const;
    void setLastTimeCode(TTimeCode tc);
    void timeCodeEdited();
    // True when the job started.
    bool startJob();
    // The names of the pictures or VobSub files the job writes; false when
    // the user cancelled a question on the way.
    bool askOutputNames(JobSetup& setup);
    // False when a VobSub index of the job cannot be read.
    bool readJobIndexes(JobSetup& setup);
    // False when the user refuses to add to a non-empty subtitle list.
    bool confirmAppend();
    std::optional<std::filesystem::path> choosePicturePrefix(Message title);
    std::optional<std::filesystem::path> chooseVobSubName();

    Session& m_session;
    UiDialogs& m_dialogs;

    QComboBox* m_streamCombo = nullptr;
    QPushButton* m_openIfoButton = nullptr;
    RadioGroup* m_viewGroup = nullptr; // which variant of a 16:9 title's stream
    QComboBox* m_titleCombo = nullptr; // the whole title set, or one of its titles
    QLineEdit* m_matrixFileEdit = nullptr;
    QPushButton* m_openMatrixButton = nullptr;
    QPushButton* m_newMatrixButton = nullptr;
    RadioGroup* m_actionGroup = nullptr;
    QCheckBox* m_timingBox = nullptr;
    QCheckBox* m_forcedOnlyBox = nullptr;     // keep only the subpictures of the forced start
    QCheckBox* m_fromVideoStartBox = nullptr; // times from the first video frame
    QPushButton* m_clearTextButton = nullptr;
    QPushButton* m_viewTextButton = nullptr;
    QLabel* m_folderLabel = nullptr;
    QListWidget* m_vobList = nullptr;
    QPushButton* m_openFolderButton = nullptr;
    TWord_u* m_hourEdit = nullptr;
    TWord_u* m_minuteEdit = nullptr;
    TWord_u* m_secondEdit = nullptr;
    TWord_u* m_millisecondEdit = nullptr;
    QPushButton* m_resetTimeButton = nullptr;
    QFrame* m_bottomPanel = nullptr;
    QLabel* m_startHint = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    // Paths parallel to the entries of the VOB list.
    std::vector<std::filesystem::path> m_vobPaths;
    // Display names of the 32 subpicture streams, from the last IFO read.
    StreamLanguages m_streamLanguages;
    // The substreams of the streams of the last IFO read, when it is 16:9.
    StreamMap m_streamMap;
    // The titles of the title set whose IFO was read last, and that IFO.
    std::vector<Title> m_titles;
    std::filesystem::path m_titleIfo;
    // Their language codes ("fr"), which choose the recognition language.
    std::array<std::string, kSubpictureStreams> m_streamCodes;
    std::filesystem::path m_vobFolder; // where the VOB file dialogs open
    QPoint m_dragStart;
};

} // namespace mirtal
