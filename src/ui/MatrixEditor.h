#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QLayout;
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

// The list item of a matrix entry: its quoted text and its number.
QString matrixItemText(const std::string& entryText, int index);
// The entry number at the end of an item's text; 0 when there is none.
int matrixItemEntry(const QString& itemText);

// "View/Edit Character Matrix": the learned glyphs with their texts, sorted
// by text or by entry number. Opened without blocking; it follows the matrix
// as it is loaded, cleared and trained.
class MatrixEditor : public QDialog {
    Q_OBJECT
public:
    MatrixEditor(CharMatrix& matrix, UiDialogs& dialogs, const MessageCatalogue& messages,
                 QWidget* parent = nullptr);

public slots:
    // The whole list again, after the matrix was loaded, cleared or edited.
    void rebuildList();
    // A glyph just learned: listed and shown at once.
    void listLearnedEntry(int index);
    // The caption names the matrix file; kept up to date when it is saved
    // under another name.
    void updateCaption();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void showSelectedEntry();
    void markLookedAt(QListWidgetItem* item);
    void modifyEntry();
    void deleteEntry();
    void sortBy(int order);
    void commentEdited();

private:
    QLayout* buildDetails();
    void layOutWindow(QLayout* details);
    void connectControls();
    // The item of entry i; an entry named automatically and not yet looked
    // at stands out (bold, blue), so that such entries can be reviewed.
    QListWidgetItem* makeItem(int index) const;
    // The entry of the selected item; 0 when nothing is selected.
    int selectedEntry() const;
    // The list row of an entry's item, or -1.
    int rowOfEntry(int index) const;
    void selectFirstItemStartingWith(const std::string& character);
    void clearEntryView();

    CharMatrix& m_matrix;
    UiDialogs& m_dialogs;
    const MessageCatalogue& m_messages;
    bool m_filling = false;

    QListWidget* m_list = nullptr;
    RadioGroup* m_sortOrder = nullptr;
    QLabel* m_glyphPicture = nullptr;
    QLabel* m_indexLabel = nullptr;
    QLabel* m_topLabel = nullptr;
    QLabel* m_widthLabel = nullptr;
    QLabel* m_heightLabel = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QPushButton* m_modifyButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPlainTextEdit* m_comment = nullptr;
    QPushButton* m_okButton = nullptr;
};

} // namespace mirtal
