#include "ui/NewCharacterDialog.h"
#include "ui/WidgetSupport.h"

#include "base/MessageCatalogue.h"
#include "ocr/OcrDriver.h"
#include "ui/ImageConvert.h"
#include "ui/QtLanguageTarget.h"
#include "ui/UiDialogs.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace mirtal {

namespace {

constexpr int kBlinkTicks = 25; // one tick to start, then 24 colour toggles
constexpr int kBeepEvery = 8;

} // namespace

Bitmap24 BuildLinePicture(const GlyphQuestion& q, Colour background) {
    constexpr int W = NewCharacterDialog::kLinePictureWidth;
    constexpr int H = NewCharacterDialog::kLinePictureHeight;
    Bitmap24 picture(W, H, background);
    if (!q.workBitmap) return picture;
    const CharBox& c = q.box;
    const int offset = c.Width < W ? (W - c.Width) / 2 : 0;
    const int sourceColumn = c.X - offset;
    // The line's top is that of its last box starting on the top row; a line
    // whose top-row box was rejected falls back on the box's own line top.
    int lineTop = c.Y - c.RelTop;
    int lineBottom = c.Y + c.Height;
    for (const CharBox& b : q.lineBoxes) {
        if (b.RelTop == 0) lineTop = b.Y;
        lineBottom = std::max(lineBottom, b.Y + b.Height);
    }
    const int h = lineBottom - lineTop + 1;
    const int destinationRow = (H - h) / 2;
    picture.copyFrom(*q.workBitmap, sourceColumn, lineTop, W, h, 0, destinationRow);
    const int top = destinationRow + c.RelTop;
    picture.frameRect(offset - 1, top - 1, offset + c.Width + 1, top + c.Height + 1,
                      kGlyphFrameColor);
    return picture;
}

NewCharacterDialog::NewCharacterDialog(UiDialogs& dialogs, const MessageCatalogue& catalogue,
                                       QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_catalogue(catalogue) {
    setObjectName("Form2");
    setWindowTitle("New Character(s)");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint);
    setModal(true);
    setAutoFillBackground(true);
    onBeep = [] { QApplication::beep(); };

    LabelIndex = named(new QLabel("Symbol index : 1", this), "LabelIndex");
    LabelIndex->setAlignment(Qt::AlignCenter);
    ImageChar = named(new QLabel(this), "ImageChar");
    ImageChar->setFixedSize(2 * kLinePictureWidth, 2 * kLinePictureHeight);
    ImageChar->setAlignment(Qt::AlignCenter);
    Label2 = named(new QLabel("What is (are) this (these) character(s) ?", this), "Label2");
    Label1 = named(new QLabel("Nb Char :", this), "Label1");
    LabelNbChar = named(new QLabel("0", this), "LabelNbChar");
    showsValue({ImageChar, LabelNbChar});
    EditText = named(new QLineEdit(this), "EditText");
    EditText->setMaxLength(20);
    BitBtn1 = named(new QPushButton("OK", this), "BitBtn1");
    BitBtn1->setDefault(true);
    ButtonSkipLine = named(new QPushButton("Skip This &Line", this), "ButtonSkipLine");
    ButtonSkipSubPict = named(new QPushButton("Skip This S&ubPicture", this), "ButtonSkipSubPict");
    ButtonPause = named(new QPushButton("&Pause", this), "ButtonPause");
    ButtonChangeColor = named(new QPushButton("&Change Text Color", this), "ButtonChangeColor");
    TimerWakeUp = named(new QTimer(this), "TimerWakeUp");
    TimerWakeUp->setInterval(kWakeUpDelayMs);

    auto* v = new QVBoxLayout(this);
    v->addWidget(LabelIndex);
    v->addWidget(ImageChar, 0, Qt::AlignHCenter);
    v->addWidget(Label2);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(EditText, 1);
    textRow->addWidget(Label1);
    textRow->addWidget(LabelNbChar);
    v->addLayout(textRow);
    auto* buttons = new QGridLayout;
    buttons->addWidget(BitBtn1, 0, 0);
    buttons->addWidget(ButtonSkipLine, 0, 1);
    buttons->addWidget(ButtonSkipSubPict, 0, 2);
    buttons->addWidget(ButtonPause, 1, 0);
    buttons->addWidget(ButtonChangeColor, 1, 1, 1, 2);
    v->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(EditText, &QLineEdit::textChanged, this, [this] { EditTextChange(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { answer(GlyphAction::Learn); });
    connect(ButtonSkipLine, &QPushButton::clicked, this, [this] { answer(GlyphAction::SkipLine); });
    connect(ButtonSkipSubPict, &QPushButton::clicked, this,
            [this] { answer(GlyphAction::SkipSubpicture); });
    connect(ButtonPause, &QPushButton::clicked, this, [this] { answer(GlyphAction::Pause); });
    connect(ButtonChangeColor, &QPushButton::clicked, this,
            [this] { answer(GlyphAction::ChangeColor); });
    connect(TimerWakeUp, &QTimer::timeout, this, [this] { TimerWakeUpTimer(); });
}

GlyphAnswer NewCharacterDialog::ask(const GlyphQuestion& question, Colour background) {
    const QImage picture = toQImage(BuildLinePicture(question, background));
    ImageChar->setPixmap(QPixmap::fromImage(
        picture.scaled(ImageChar->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
    // A suggestion stands selected: Enter takes it, typing replaces it.
    EditText->setText(fromCp1252(question.suggestion));
    EditText->selectAll();
    LabelNbChar->setText(QString::number(EditText->text().length()));
    LabelIndex->setText("Symbol index : " + QString::number(question.symbolIndex));
    m_answer = {GlyphAction::Pause, {}};
    exec();
    return m_answer;
}

// The matrix file holds Windows-1252 text: a character it has no byte for
// would be learned as "?", and every later "?" read as that glyph.
// The message cannot show them either, so they are named by number.
bool NewCharacterDialog::storable(const QString& text) {
    std::string refused;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        const std::string name =
            QString("U+%1").arg(uint(c), 4, 16, QChar('0')).toUpper().toStdString();
        if (fromCp1252(toCp1252(one)) != one && refused.find(name) == std::string::npos)
            refused += (refused.empty() ? "" : " ") + name;
    }
    if (refused.empty()) return true;
    m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, m_catalogue.text(Message::NotStorable) + refused);
    EditText->setFocus();
    return false;
}

void NewCharacterDialog::answer(GlyphAction action) {
    if (action == GlyphAction::Learn && !storable(EditText->text())) return;
    m_answer.action = action;
    m_answer.text = action == GlyphAction::Learn ? toCp1252(EditText->text()) : std::string();
    accept();
}

// Closing the dialog without a button keeps the subpicture for later: the
// rip pauses and asks again from the same glyph when it goes on.
void NewCharacterDialog::reject() {
    answer(GlyphAction::Pause);
}

void NewCharacterDialog::keyPressEvent(QKeyEvent* event) {
    // Escape must not make a choice of its own.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NewCharacterDialog::EditTextChange() {
    LabelNbChar->setText(QString::number(EditText->text().length()));
    if (TimerWakeUp->isActive()) restartWakeUp();
}

// Someone is typing: the ten seconds start again and nothing blinks.
void NewCharacterDialog::restartWakeUp() {
    TimerWakeUp->stop();
    m_blink = 0;
    setRed(false);
    TimerWakeUp->setInterval(kWakeUpDelayMs);
    TimerWakeUp->start();
}

void NewCharacterDialog::TimerWakeUpTimer() {
    if (m_blink == 0) {
        TimerWakeUp->setInterval(kBlinkIntervalMs);
        m_blink = 1;
    } else if (m_blink < kBlinkTicks) {
        ++m_blink;
        if (m_blink % kBeepEvery == 0 && onBeep) onBeep();
        setRed(!m_red);
    } else {
        TimerWakeUp->setInterval(kWakeUpDelayMs);
        m_blink = 0;
        setRed(false);
    }
}

void NewCharacterDialog::setRed(bool red) {
    if (red == m_red) return;
    m_red = red;
    QPalette p = palette();
    p.setColor(QPalette::Window,
               red ? QColor(Qt::red) : QApplication::palette().color(QPalette::Window));
    setPalette(p);
}

void NewCharacterDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    EditText->setFocus();
    restartWakeUp();
}

void NewCharacterDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return;
    TimerWakeUp->stop();
    m_blink = 0;
    setRed(false);
}

} // namespace mirtal
