#include "ui/MatrixEditor.h"
#include "ui/WidgetSupport.h"

#include "base/MessageCatalogue.h"
#include "ocr/CharMatrix.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

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

    ListBoxMatrix = named(new QListWidget(this), "ListBoxMatrix");
    ListBoxMatrix->setSortingEnabled(true);
    // A fixed pitch lines the entry numbers up behind texts of any length.
    ListBoxMatrix->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ListBoxMatrix->setMinimumWidth(230);
    ListBoxMatrix->setMinimumHeight(260);
    ListBoxMatrix->installEventFilter(this);
    RadioGroupSort = named(new RadioGroup("Sort by :", {"Alphabetical Order", "Index Order"}, this),
                           "RadioGroupSort");
    RadioGroupSort->setItemIndex(0);
    ImageChar = named(new QLabel(this), "ImageChar");
    ImageChar->setFixedSize(2 * GlyphCellSize + 4, 2 * GlyphCellSize + 4);
    ImageChar->setAlignment(Qt::AlignCenter);
    ImageChar->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelCharIndex = named(new QLabel(this), "LabelCharIndex");
    LabelRTop = named(new QLabel(this), "LabelRTop");
    LabelWidth = named(new QLabel(this), "LabelWidth");
    LabelHeight = named(new QLabel(this), "LabelHeight");
    EditText = named(new QLineEdit(this), "EditText");
    EditText->setMaxLength(int(kEntryTextLength));
    LabelNbChar = named(new QLabel("0", this), "LabelNbChar");
    showsValue({ImageChar, LabelCharIndex, LabelRTop, LabelWidth, LabelHeight, LabelNbChar});
    ButtonModify = named(new QPushButton("&Modify", this), "ButtonModify");
    ButtonDelete = named(new QPushButton("Delete This Character (Del)", this), "ButtonDelete");
    MemoComment = named(new QPlainTextEdit(this), "MemoComment");
    MemoComment->setMaximumHeight(70);
    BitBtn1 = named(new QPushButton("OK", this), "BitBtn1");

    auto* details = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* name, const char* caption, QWidget* value) {
        details->addWidget(named(new QLabel(caption, this), name), row, 0);
        details->addWidget(value, row++, 1);
    };
    details->addWidget(ImageChar, row++, 0, 1, 2, Qt::AlignCenter);
    addRow("Label6", "Character Index :", LabelCharIndex);
    addRow("Label2", "Top (Line top relative) :", LabelRTop);
    addRow("Label3", "Width (Pixels) :", LabelWidth);
    addRow("Label4", "Height (Pixels) :", LabelHeight);
    details->addWidget(named(new QLabel("Text :", this), "Label5"), row++, 0, 1, 2);
    details->addWidget(EditText, row++, 0, 1, 2);
    addRow("Label7", "Nb Char : ", LabelNbChar);
    details->addWidget(ButtonModify, row++, 0, 1, 2);
    details->addWidget(ButtonDelete, row++, 0, 1, 2);
    details->setRowStretch(row, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(named(new QLabel("Characters :", this), "Label1"));
    left->addWidget(ListBoxMatrix, 1);
    left->addWidget(RadioGroupSort);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(details);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top, 1);
    v->addWidget(named(new QLabel("File Description :", this), "Label8"));
    v->addWidget(MemoComment);
    v->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(ListBoxMatrix, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling) ShowSelectedEntry();
    });
    // An entry named automatically counts as looked at once the user picks it.
    connect(ListBoxMatrix, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int index = itemEntry(item->text());
        if (index < 1 || index > m_matrix.Count() || !m_matrix.entry(index).AutoNamed) return;
        m_matrix.markLookedAt(index);
        item->setFont(ListBoxMatrix->font());
        item->setForeground(ListBoxMatrix->palette().text());
        item->setToolTip({});
    });
    connect(EditText, &QLineEdit::textChanged, this,
            [this](const QString& t) { LabelNbChar->setText(QString::number(t.length())); });
    connect(ButtonModify, &QPushButton::clicked, this, [this] { ButtonModifyClick(); });
    connect(ButtonDelete, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
    connect(MemoComment, &QPlainTextEdit::textChanged, this, [this] { MemoCommentChange(); });
    connect(RadioGroupSort, &RadioGroup::clicked, this, [this](int i) { RadioGroupSortClick(i); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { close(); });
    RebuildMatrixList();
}

QString MatrixEditor::itemText(const std::string& entryText, int index) {
    const QString quoted = ("\"" + fromCp1252(entryText) + "\"    ").left(kQuotedPartLength);
    return quoted + QString::number(index);
}

QListWidgetItem* MatrixEditor::makeItem(int index) const {
    const CharMatrixEntry& e = m_matrix.entry(index);
    auto* item = new QListWidgetItem(itemText(e.Text, index));
    if (e.AutoNamed) {
        QFont font = ListBoxMatrix->font();
        font.setBold(true);
        item->setFont(font);
        item->setForeground(QColor(0, 0, 192));
        item->setToolTip("Named automatically; not yet looked at");
    }
    return item;
}

int MatrixEditor::itemEntry(const QString& text) {
    qsizetype start = text.size();
    while (start > 0 && text[start - 1].isDigit() && text[start - 1].unicode() < 128) --start;
    bool ok = false;
    const int index = text.mid(start).toInt(&ok);
    return ok ? index : 0;
}

void MatrixEditor::updateCaption() {
    const std::string name = std::filesystem::path(m_matrix.FileName()).filename().string();
    setWindowTitle("View/Edit Character Matrix - " + fromCp1252(name) + " -");
}

void MatrixEditor::RebuildMatrixList() {
    m_filling = true;
    ListBoxMatrix->clear();
    for (int i = 1; i <= m_matrix.Count(); ++i) ListBoxMatrix->addItem(makeItem(i));
    if (ListBoxMatrix->count() > 0) ListBoxMatrix->setCurrentRow(0);
    MemoComment->setPlainText(commentToMemo(m_matrix.Comment()));
    m_filling = false;
    updateCaption();
    ShowSelectedEntry();
}

void MatrixEditor::AddMatrixListItem(int index) {
    if (index < 1 || index > m_matrix.Count()) return;
    QListWidgetItem* item = makeItem(index);
    ListBoxMatrix->addItem(item);
    ListBoxMatrix->setCurrentItem(item);
    ShowSelectedEntry();
}

int MatrixEditor::selectedEntry() const {
    const QListWidgetItem* item = ListBoxMatrix->currentItem();
    if (!item) return 0;
    const int index = itemEntry(item->text());
    return index >= 1 && index <= m_matrix.Count() ? index : 0;
}

int MatrixEditor::rowOfEntry(int index) const {
    for (int r = 0; r < ListBoxMatrix->count(); ++r)
        if (itemEntry(ListBoxMatrix->item(r)->text()) == index) return r;
    return -1;
}

void MatrixEditor::clearEntryView() {
    ImageChar->clear();
    for (QLabel* l : {LabelCharIndex, LabelRTop, LabelWidth, LabelHeight}) l->clear();
    EditText->clear();
}

void MatrixEditor::ShowSelectedEntry() {
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
    ImageChar->setPixmap(QPixmap::fromImage(image));
    LabelCharIndex->setText(QString::number(index));
    LabelRTop->setText(QString::number(e.Top));
    LabelWidth->setText(QString::number(e.Width));
    LabelHeight->setText(QString::number(e.Height));
    EditText->setText(fromCp1252(e.Text));
}

void MatrixEditor::ButtonModifyClick() {
    const int index = selectedEntry();
    if (index == 0) return;
    m_matrix.SetEntryText(index, toCp1252(EditText->text()));
    m_matrix.setModified(true);
    RebuildMatrixList();
    ListBoxMatrix->setCurrentRow(rowOfEntry(index));
}

void MatrixEditor::ButtonDeleteClick() {
    const int index = selectedEntry();
    if (index == 0) return;
    const std::string question = m_messages.text(Message::DeleteCharacter) + m_matrix.entry(index).Text +
                                 m_messages.text(Message::DeleteCharacterEnd);
    if (m_dialogs.ask(MessageKind::Confirmation, {Answer::Yes, Answer::No}, question) !=
        Answer::Yes)
        return;
    const int row = ListBoxMatrix->currentRow();
    m_matrix.setModified(true);
    m_matrix.DeleteEntry(index);
    RebuildMatrixList();
    ListBoxMatrix->setCurrentRow(std::min(row, ListBoxMatrix->count() - 1));
    ShowSelectedEntry();
}

void MatrixEditor::MemoCommentChange() {
    if (m_filling) return;
    std::string comment = memoToComment(MemoComment->toPlainText());
    if (comment.size() > kMatrixCommentLength) {
        // The comment field of the file holds 255 characters: what does not
        // fit is refused as it is typed.
        comment.resize(kMatrixCommentLength);
        if (comment.back() == '\r') comment.pop_back();
        m_filling = true;
        MemoComment->setPlainText(commentToMemo(comment));
        MemoComment->moveCursor(QTextCursor::End);
        m_filling = false;
    }
    m_matrix.SetComment(comment);
    m_matrix.setModified(true);
}

void MatrixEditor::RadioGroupSortClick(int index) {
    if (index == 1) {
        ListBoxMatrix->setSortingEnabled(false);
        RebuildMatrixList();
    } else {
        ListBoxMatrix->setSortingEnabled(true);
        // A fixed pitch lines the entry numbers up behind texts of any length.
        ListBoxMatrix->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        ListBoxMatrix->sortItems();
    }
    if (ListBoxMatrix->count() > 0) ListBoxMatrix->setCurrentRow(0);
    ShowSelectedEntry();
}

void MatrixEditor::selectFirstItemStartingWith(const std::string& character) {
    if (character.empty()) return;
    for (int r = 0; r < ListBoxMatrix->count(); ++r) {
        const int index = itemEntry(ListBoxMatrix->item(r)->text());
        if (index < 1 || index > m_matrix.Count()) continue;
        const std::string& text = m_matrix.entry(index).Text;
        if (!text.empty() && text[0] == character[0]) {
            ListBoxMatrix->setCurrentRow(r);
            break;
        }
    }
    ShowSelectedEntry();
}

bool MatrixEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBoxMatrix && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            ButtonDeleteClick();
            ShowSelectedEntry();
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
    ListBoxMatrix->setFocus();
    ShowSelectedEntry();
}

} // namespace mirtal
