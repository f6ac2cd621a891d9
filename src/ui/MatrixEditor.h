#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QListWidgetItem;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace mirtal {

class CharMatrix;
class MessageCatalogue;
class RadioGroup;
class UiDialogs;

// "View/Edit Character Matrix": the learned glyphs with their texts, sorted
// by text or by entry number. Opened without blocking; it follows the matrix
// as it is loaded, cleared and trained.
class MatrixEditor : public QDialog {
    Q_OBJECT
public:
    MatrixEditor(CharMatrix& matrix, UiDialogs& dialogs, const MessageCatalogue& messages,
                 QWidget* parent = nullptr);

    QListWidget* ListBoxMatrix;
    RadioGroup* RadioGroupSort;
    QLabel* ImageChar;
    QLabel* LabelCharIndex;
    QLabel* LabelRTop;
    QLabel* LabelWidth;
    QLabel* LabelHeight;
    QLineEdit* EditText;
    QLabel* LabelNbChar;
    QPushButton* ButtonModify;
    QPushButton* ButtonDelete;
    QPlainTextEdit* MemoComment;
    QPushButton* BitBtn1;

    // The list item of an entry: its quoted text and its number.
    static QString itemText(const std::string& entryText, int index);
    // The entry number at the end of an item's text; 0 when there is none.
    static int itemEntry(const QString& itemText);

    // The item of entry i; an entry named automatically and not yet looked
    // at stands out (bold, blue), so that such entries can be reviewed.
    QListWidgetItem* makeItem(int index) const;
    void RebuildMatrixList();
    void AddMatrixListItem(int index);
    void ShowSelectedEntry();
    // The caption names the matrix file; kept up to date when it is saved
    // under another name.
    void updateCaption();

    void ButtonModifyClick();
    void ButtonDeleteClick();
    // The entry of the selected item; 0 when nothing is selected.
    int selectedEntry() const;
    // The list row of an entry's item, or -1.
    int rowOfEntry(int index) const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RadioGroupSortClick(int index);
    void MemoCommentChange();
    void selectFirstItemStartingWith(const std::string& character);
    void clearEntryView();

    CharMatrix& m_matrix;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_messages;
    bool m_filling = false;
};

} // namespace mirtal
