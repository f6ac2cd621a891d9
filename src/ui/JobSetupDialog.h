#pragma once

#include <QDialog>
#include <QStringList>

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
class QSpinBox;
class QFrame;

namespace mirtal {

class RadioGroup;
class TWord_u;
class UiDialogs;

// "What To Do ?": which VOB files in which order, which subtitle stream,
// which character matrix, what to do with each subpicture and from which
// time code the job's time line continues. Created once; keeps its contents
// between showings.
class JobSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit JobSetupDialog(UiDialogs& dialogs, QWidget* parent = nullptr);

    QComboBox* ComboBoxLanguage;
    QPushButton* ButtonOpenIfo;
    QLineEdit* EditCharMatrixFile;
    QPushButton* ButtonOpenCharMatrixFile;
    QPushButton* ButtonNewMatrix;
    RadioGroup* RadioGroupAction;
    QCheckBox* CheckBoxPictTiming;
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
    std::filesystem::path openDialogFolder; // initial folder of OpenDialogVob

    // The check-list text of one file: name padded to 14, "[", KiB right-aligned
    // in 8 with underscores, " Kb]".
    static QString vobEntryText(const QString& fileName, uint64_t byteSize);
    // Lists the *.VOB files of a folder, sorted by name without regard to case.
    void scanDirectory(const std::filesystem::path& dir);
    // Moves the selected entry one place up (-1) or down (+1).
    void moveSelected(int delta);
    // The 32 lines of the stream list.
    void fillStreamList(const QStringList& lines);
    // Paths of the checked entries, in list order.
    std::vector<std::filesystem::path> checkedPaths() const;

    void setLastTimeCode(uint8_t h, uint8_t m, uint8_t s, uint16_t ms);

    // Wiring supplied by the application.
    std::function<void()> onShow;              // refill the Last TimeCode from the stream clock
    std::function<void()> onTimeCodeChanged;   // a Last TimeCode field changed
    std::function<void()> onResetTimeCode;     // the Reset button
    std::function<void(int)> onStreamChosen;   // 0-based line index
    std::function<void(std::filesystem::path)> onIfoChosen;
    std::function<void()> onOpenMatrix;
    std::function<void()> onNewMatrix;
    std::function<void()> onClearText;
    std::function<void()> onViewText;
    std::function<bool()> onStart;             // true when the job started (the dialog closes)

    void updateActionEnabling();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openDir();
    void openIfo();

    UiDialogs& m_dialogs;
    bool m_filling = false;
    QPoint m_dragStart;
};

} // namespace mirtal
