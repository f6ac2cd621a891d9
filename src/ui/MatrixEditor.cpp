#include "ui/MatrixEditor.h"

#include "base/MessageCatalogue.h"
#include "ocr/CharMatrix.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <filesystem>

namespace mirtal {

namespace {

constexpr int kQuotedPartLength = 26; // quotes, text and four blanks

// The memo shows line breaks as the toolkit does; the matrix file keeps
// them as CR LF, as the comment of any matrix file written elsewhere does.
std::string memoToComment(const QString& memo) {
    std::string text = toCp1252(memo);
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString commentToMemo(const std::string& comment) {
    std::string text;
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;
        text += comment[i];
    }
    return fromCp1252(text);
}

} // namespace

MatrixEditor::MatrixEditor(CharMatrix& matrix, UiDialogs& dialogs, const MessageCatalogue& messages,
                           QWidget* parent)
    : QDialog(parent), m_matrix(matrix), m_dialogs(dialogs), m_messages(messages) {
    setObjectName("Form5");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(false);

    m_list = named(new QListWidget(this), "ListBoxMatrix");
    m_list->setSortingEnabled(true);
    // A fixed pitch lines the entry numbers up behind texts of any length.
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->setMinimumWidth(230);
    m_list->setMinimumHeight(260);
    m_list->installEventFilter(this);
    m_sortOrder = named(new RadioGroup("Sort by :", {"Alphabetical Order", "Index Order"}, this),
                        "RadioGroupSort");
    m_sortOrder->setItemIndex(0);
    layOutWindow(buildDetails());
    connectControls();
    rebuildList();
}

// The selected glyph, magnified, with its measures and its text.
QLayout* MatrixEditor::buildDetails() {
    m_glyphPicture = named(new QLabel(this), "ImageChar");
    m_glyphPicture->setFixedSize(2 * kGlyphCellSize + 4, 2 * kGlyphCellSize + 4);
    m_glyphPicture->setAlignment(Qt::AlignCenter);
    m_glyphPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_indexLabel = named(new QLabel(this), "LabelCharIndex");
    m_topLabel = named(new QLabel(this), "LabelRTop");
    m_widthLabel = named(new QLabel(this), "LabelWidth");
    m_heightLabel = named(new QLabel(this), "LabelHeight");
    m_textEdit = named(new QLineEdit(this), "EditText");
    m_textEdit->setMaxLength(int(kEntryTextLength));
    m_lengthLabel = named(new QLabel("0", this), "LabelNbChar");
    showsValue(
        {m_glyphPicture, m_indexLabel, m_topLabel, m_widthLabel, m_heightLabel, m_lengthLabel});
    m_modifyButton = named(new QPushButton("&Modify", this), "ButtonModify");
    m_deleteButton = named(new QPushButton("Delete This Character (Del)", this), "ButtonDelete");
    m_comment = named(new QPlainTextEdit(this), "MemoComment");
    m_comment->setMaximumHeight(70);
    m_okButton = named(new QPushButton("OK", this), "BitBtn1");

    auto* details = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* name, const char* caption, QWidget* value) {
        details->addWidget(named(new QLabel(caption, this), name), row, 0);
        details->addWidget(value, row++, 1);
    };
    details->addWidget(m_glyphPicture, row++, 0, 1, 2, Qt::AlignCenter);
    addRow("Label6", "Character Index :", m_indexLabel);
    addRow("Label2", "Top (Line top relative) :", m_topLabel);
    addRow("Label3", "Width (Pixels) :", m_widthLabel);
    addRow("Label4", "Height (Pixels) :", m_heightLabel);
    details->addWidget(named(new QLabel("Text :", this), "Label5"), row++, 0, 1, 2);
    details->addWidget(m_textEdit, row++, 0, 1, 2);
    addRow("Label7", "Nb Char : ", m_lengthLabel);
    details->addWidget(m_modifyButton, row++, 0, 1, 2);
    details->addWidget(m_deleteButton, row++, 0, 1, 2);
    details->setRowStretch(row, 1);
    return details;
}

void MatrixEditor::layOutWindow(QLayout* details) {
    auto* left = new QVBoxLayout;
    left->addWidget(named(new QLabel("Characters :", this), "Label1"));
    left->addWidget(m_list, 1);
    left->addWidget(m_sortOrder);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(details);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top, 1);
    v->addWidget(named(new QLabel("File Description :", this), "Label8"));
    v->addWidget(m_comment);
    v->addWidget(m_okButton, 0, Qt::AlignHCenter);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MatrixEditor::connectControls() {
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling) showSelectedEntry();
    });
    connect(m_list, &QListWidget::itemClicked, this, &MatrixEditor::markLookedAt);
    connect(m_textEdit, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_lengthLabel->setText(QString::number(t.length())); });
    connect(m_modifyButton, &QPushButton::clicked, this, &MatrixEditor::modifyEntry);
    connect(m_deleteButton, &QPushButton::clicked, this, &MatrixEditor::deleteEntry);
    connect(m_comment, &QPlainTextEdit::textChanged, this, &MatrixEditor::commentEdited);
    connect(m_sortOrder, &RadioGroup::clicked, this, &MatrixEditor::sortBy);
    connect(m_okButton, &QPushButton::clicked, this, &MatrixEditor::close);
}

// An entry named automatically counts as looked at once the user picks it.
void MatrixEditor::markLookedAt(QListWidgetItem* item) {
    const int index = matrixItemEntry(item->text());
    if (index < 1 || index > m_matrix.count() || !m_matrix.entry(index).AutoNamed) return;
    m_matrix.markLookedAt(index);
    item->setFont(m_list->font());
    item->setForeground(m_list->palette().text());
    item->setToolTip({});
}

QString matrixItemText(const std::string& entryText, int index) {
    const QString quoted = ("\"" + fromCp1252(entryText) + "\"    ").left(kQuotedPartLength);
    return quoted + QString::number(index);
}

QListWidgetItem* MatrixEditor::makeItem(int index) const {
    const CharMatrixEntry& e = m_matrix.entry(index);
    auto* item = new QListWidgetItem(matrixItemText(e.Text, index));
    if (e.AutoNamed) {
        QFont font = m_list->font();
        font.setBold(true);
        item->setFont(font);
        item->setForeground(QColor(0, 0, 192));
        item->setToolTip("Named automatically; not yet looked at");
    }
    return item;
}

int matrixItemEntry(const QString& text) {
    qsizetype start = text.size();
    while (start > 0 && text[start - 1].isDigit() && text[start - 1].unicode() < 128) --start;
    bool ok = false;
    const int index = text.mid(start).toInt(&ok);
    return ok ? index : 0;
}

void MatrixEditor::updateCaption() {
    const std::string name = std::filesystem::path(m_matrix.fileName()).filename().string();
    setWindowTitle("View/Edit Character Matrix - " + fromCp1252(name) + " -");
}

void MatrixEditor::rebuildList() {
    m_filling = true;
    m_list->clear();
    for (int i = 1; i <= m_matrix.count(); ++i) m_list->addItem(makeItem(i));
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    m_comment->setPlainText(commentToMemo(m_matrix.comment()));
    m_filling = false;
    updateCaption();
    showSelectedEntry();
}

void MatrixEditor::listLearnedEntry(int index) {
    if (index < 1 || index > m_matrix.count()) return;
    QListWidgetItem* item = makeItem(index);
    m_list->addItem(item);
    m_list->setCurrentItem(item);
    showSelectedEntry();
}

int MatrixEditor::selectedEntry() const {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item) return 0;
    const int index = matrixItemEntry(item->text());
    return index >= 1 && index <= m_matrix.count() ? index : 0;
}

int MatrixEditor::rowOfEntry(int index) const {
    for (int r = 0; r < m_list->count(); ++r)
        if (matrixItemEntry(m_list->item(r)->text()) == index) return r;
    return -1;
}

void MatrixEditor::clearEntryView() {
    m_glyphPicture->clear();
    for (QLabel* l : {m_indexLabel, m_topLabel, m_widthLabel, m_heightLabel}) l->clear();
    m_textEdit->clear();
}

void MatrixEditor::showSelectedEntry() {
    const int index = selectedEntry();
    // An empty list shows no glyph rather than one that is gone.
    if (index == 0) {
        clearEntryView();
        return;
    }
    const CharMatrixEntry& e = m_matrix.entry(index);
    QImage image(2 * e.Width, 2 * e.Height, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, e.pixel(x / 2, y / 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    m_glyphPicture->setPixmap(QPixmap::fromImage(image));
    m_indexLabel->setText(QString::number(index));
    m_topLabel->setText(QString::number(e.Top));
    m_widthLabel->setText(QString::number(e.Width));
    m_heightLabel->setText(QString::number(e.Height));
    m_textEdit->setText(fromCp1252(e.Text));
}

void MatrixEditor::modifyEntry() {
    const int index = selectedEntry();
    if (index == 0) return;
    m_matrix.setEntryText(index, toCp1252(m_textEdit->text()));
    m_matrix.setModified(true);
    rebuildList();
    m_list->setCurrentRow(rowOfEntry(index));
}

void MatrixEditor::deleteEntry() {
    const int index = selectedEntry();
    if (index == 0) return;
    const std::string question = m_messages.text(Message::DeleteCharacter) +
                                 m_matrix.entry(index).Text +
                                 m_messages.text(Message::DeleteCharacterEnd);
    if (m_dialogs.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, question) !=
        Answer::Yes)
        return;
    const int row = m_list->currentRow();
    m_matrix.setModified(true);
    m_matrix.deleteEntry(index);
    rebuildList();
    m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    showSelectedEntry();
}

void MatrixEditor::commentEdited() {
    if (m_filling) return;
    std::string comment = memoToComment(m_comment->toPlainText());
    if (comment.size() > kMatrixCommentLength) {
        // The comment field of the file holds 255 characters: what does not
        // fit is refused as it is typed.
        comment.resize(kMatrixCommentLength);
        if (comment.back() == '\r') comment.pop_back();
        m_filling = true;
        m_comment->setPlainText(commentToMemo(comment));
        m_comment->moveCursor(QTextCursor::End);
        m_filling = false;
    }
    m_matrix.setComment(comment);
    m_matrix.setModified(true);
}

void MatrixEditor::sortBy(int order) {
    if (order == 1) {
        m_list->setSortingEnabled(false);
        rebuildList();
    } else {
        m_list->setSortingEnabled(true);
        // A fixed pitch lines the entry numbers up behind texts of any length.
        m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        m_list->sortItems();
    }
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    showSelectedEntry();
}

void MatrixEditor::selectFirstItemStartingWith(const std::string& character) {
    if (character.empty()) return;
    for (int r = 0; r < m_list->count(); ++r) {
        const int index = matrixItemEntry(m_list->item(r)->text());
        if (index < 1 || index > m_matrix.count()) continue;
        const std::string& text = m_matrix.entry(index).Text;
        if (!text.empty() && text[0] == character[0]) {
            m_list->setCurrentRow(r);
            break;
        }
    }
    showSelectedEntry();
}

bool MatrixEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            deleteEntry();
            showSelectedEntry();
            return true;
        }
        const QString typed = key->text();
        if (!typed.isEmpty() && typed[0].isPrint()) {
            selectFirstItemStartingWith(toCp1252(typed.left(1)));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MatrixEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    m_list->setFocus();
    showSelectedEntry();
}

} // namespace mirtal
