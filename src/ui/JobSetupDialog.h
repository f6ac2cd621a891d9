#pragma once

#include "base/MessageCatalogue.h"
#include "rip/IfoLanguages.h"
#include "rip/StreamMap.h"
#include "subtitles/TimeCode.h"

#include <QDialog>
#include <array>
#include <string>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

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

// "What To Do ?": which VOB files in which order, which subtitle stream,
// which character matrix, what to do with each subpicture and from which
// time code the job's time line continues. Created once; keeps its contents
// between showings. Start hands the job to the session.
class JobSetupDialog : public QDialog {
    Q_OBJECT
public:
    JobSetupDialog(Session& session, UiDialogs& dialogs, QWidget* parent = nullptr);

    QComboBox* ComboBoxLanguage;
    QPushButton* ButtonOpenIfo;
    RadioGroup* RadioGroupView; // which variant of a 16:9 title's stream
    QLineEdit* EditCharMatrixFile;
    QPushButton* ButtonOpenCharMatrixFile;
    QPushButton* ButtonNewMatrix;
    RadioGroup* RadioGroupAction;
    QCheckBox* CheckBoxPictTiming;
    QCheckBox* CheckBoxForcedOnly; // keep only the subpictures of the forced start
    QCheckBox* CheckBoxFromVideoStart; // times from the first video frame
    QPushButton* ButtonClearText;
    QPushButton* Button1; // "&View Text File"
    QLabel* LabelVobPath;
    QListWidget* CheckListBoxVob;
    QPushButton* ButtonOpenDir;
    QWidget* UpDownFilePose; // its two arrow buttons are UpDownFilePoseUp / UpDownFilePoseDown
    TWord_u *Word_uHour, *Word_uMin, *Word_uSec, *Word_uMSec;
    QPushButton* ButtonResetTC;
    QLabel* Label5;
    QPushButton* BitBtnStart;
    QPushButton* BitBtnCancel;
    QFrame* Panel5;

    // Paths parallel to the entries of CheckListBoxVob.
    std::vector<std::filesystem::path> VobPaths;
    // Display names of the 32 subpicture streams, from the last IFO read.
    mirtal::StreamLanguages StreamLanguages;
    // The substreams of the streams of the last IFO read, when it is 16:9.
    mirtal::StreamMap streamMap;
    // Their language codes ("fr"), which choose the recognition language.
    std::array<std::string, mirtal::kSubpictureStreams> StreamCodes;
    std::filesystem::path openDialogFolder; // initial folder of OpenDialogVob

    // The check-list text of one file: name padded to 14, "[", KiB right-aligned
    // in 8 with underscores, " Kb]".
    static QString vobEntryText(const QString& fileName, uint64_t byteSize);
    // Lists the *.VOB files of a folder and its VobSub .sub files (those with
    // their .idx beside them), sorted by name without regard to case.
    void scanDirectory(const std::filesystem::path& dir);
    // Moves the selected entry one place up (-1) or down (+1); its check
    // mark and the selection travel with it.
    void moveSelected(int delta);
    // Reads the stream languages of a title set IFO and refills the list; a
    // damaged file is reported and keeps the names read before the damage.
    void ReadIfoLanguages(const std::filesystem::path& ifo);
    // The stream languages of the .idx of a VobSub pair (chosen by its .idx
    // or its .sub); a missing partner or a damaged index is reported and
    // keeps the names shown before.
    bool ReadVobSubLanguages(const std::filesystem::path& file);
    void FillStreamList();
    // The job follows the chosen stream and view; the views the stream has
    // are the ones offered.
    void streamChosen();
    // Paths of the checked entries, in list order.
    std::vector<std::filesystem::path> checkedPaths() const;

    TTimeCode LastTimeCode();
    void setLastTimeCode(TTimeCode tc);
    // The matrix file field after the matrix was opened, saved or replaced.
    void refreshMatrixField();

    // Handlers, as the buttons run them.
    void RadioGroupActionClick();
    void ButtonResetTCClick();
    void ButtonOpenDirClick();
    void ButtonOpenIfoClick();
    // True when the job started; the dialog then closes.
    bool BitBtnStartClick();
    // False when the user refuses to add to a non-empty subtitle list.
    bool ConfirmAppend();

    // The other windows, installed by the application.
    std::function<void()> showSubtitlesWindow;
    std::function<void()> clearSubtitles;
    std::function<bool()> confirmDiscardMatrix;
    std::function<void()> openMatrix;
    std::function<void()> newMatrix;
    std::function<bool()> showSubPict; // the main window's "Show Pict." box
    std::function<void()> onStarted;
    // Just before a job starts: the chosen stream's language code, so that
    // new glyphs are named in its language.
    std::function<void(const std::string&)> beforeStart;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void timeCodeEdited();
    std::optional<std::filesystem::path> choosePicturePrefix(Message title);
    std::optional<std::filesystem::path> chooseVobSubName();

    Session& m_session;
    UiDialogs& m_dialogs;
    QPoint m_dragStart;
};

} // namespace mirtal
