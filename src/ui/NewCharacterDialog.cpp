#include "ui/NewCharacterDialog.h"

#include "base/MessageCatalogue.h"
#include "ocr/OcrDriver.h"
#include "ui/ImageConvert.h"
#include "ui/QtLanguageTarget.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

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
constexpr int kLinePictureWidth = 150;
constexpr int kLinePictureHeight = 50;
constexpr int kWakeUpDelayMs = 10000;
constexpr int kBlinkIntervalMs = 150;

} // namespace

Bitmap24 buildLinePicture(const GlyphQuestion& q, Colour background) {
    constexpr int W = kLinePictureWidth;
    constexpr int H = kLinePictureHeight;
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
                      kGlyphFrameColour);
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
    buildControls();
    layOutControls();
    connectButtons();
}

void NewCharacterDialog::buildControls() {
    m_symbolIndexLabel = named(new QLabel("Symbol index : 1", this), "LabelIndex");
    m_symbolIndexLabel->setAlignment(Qt::AlignCenter);
    m_linePicture = named(new QLabel(this), "ImageChar");
    m_linePicture->setFixedSize(2 * kLinePictureWidth, 2 * kLinePictureHeight);
    m_linePicture->setAlignment(Qt::AlignCenter);
    m_question = named(new QLabel("What is (are) this (these) character(s) ?", this), "Label2");
    m_lengthCaption = named(new QLabel("Nb Char :", this), "Label1");
    m_lengthLabel = named(new QLabel("0", this), "LabelNbChar");
    showsValue({m_linePicture, m_lengthLabel});
    m_textEdit = named(new QLineEdit(this), "EditText");
    m_textEdit->setMaxLength(20);
    m_okButton = named(new QPushButton("OK", this), "BitBtn1");
    m_okButton->setDefault(true);
    m_skipLineButton = named(new QPushButton("Skip This &Line", this), "ButtonSkipLine");
    m_skipSubpictureButton =
        named(new QPushButton("Skip This S&ubPicture", this), "ButtonSkipSubPict");
    m_pauseButton = named(new QPushButton("&Pause", this), "ButtonPause");
    m_changeColourButton = named(new QPushButton("&Change Text Color", this), "ButtonChangeColor");
    m_wakeUpTimer = named(new QTimer(this), "TimerWakeUp");
    m_wakeUpTimer->setInterval(kWakeUpDelayMs);
}

void NewCharacterDialog::layOutControls() {
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_symbolIndexLabel);
    v->addWidget(m_linePicture, 0, Qt::AlignHCenter);
    v->addWidget(m_question);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(m_textEdit, 1);
    textRow->addWidget(m_lengthCaption);
    textRow->addWidget(m_lengthLabel);
    v->addLayout(textRow);
    auto* buttons = new QGridLayout;
    buttons->addWidget(m_okButton, 0, 0);
    buttons->addWidget(m_skipLineButton, 0, 1);
    buttons->addWidget(m_skipSubpictureButton, 0, 2);
    buttons->addWidget(m_pauseButton, 1, 0);
    buttons->addWidget(m_changeColourButton, 1, 1, 1, 2);
    v->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void NewCharacterDialog::connectButtons() {
    connect(m_textEdit, &QLineEdit::textChanged, this, &NewCharacterDialog::textEdited);
    const std::pair<QPushButton*, GlyphAction> answers[] = {
        {m_okButton, GlyphAction::Learn},
        {m_skipLineButton, GlyphAction::SkipLine},
        {m_skipSubpictureButton, GlyphAction::SkipSubpicture},
        {m_pauseButton, GlyphAction::Pause},
        {m_changeColourButton, GlyphAction::ChangeColour}};
    for (auto [button, action] : answers)
        connect(button, &QPushButton::clicked, this, [this, a = action] { answer(a); });
    connect(m_wakeUpTimer, &QTimer::timeout, this, &NewCharacterDialog::wakeUpTick);
}

GlyphAnswer NewCharacterDialog::ask(const GlyphQuestion& question, Colour background) {
    const QImage picture = toQImage(buildLinePicture(question, background));
    m_linePicture->setPixmap(QPixmap::fromImage(
        picture.scaled(m_linePicture->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
    // A suggestion stands selected: Enter takes it, typing replaces it.
    m_textEdit->setText(fromCp1252(question.suggestion));
    m_textEdit->selectAll();
    m_lengthLabel->setText(QString::number(m_textEdit->text().length()));
    m_symbolIndexLabel->setText("Symbol index : " + QString::number(question.symbolIndex));
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
    m_dialogs.ask(MessageKind::Warning, {Answer::Ok},
                  m_catalogue.text(Message::NotStorable) + refused);
    m_textEdit->setFocus();
    return false;
}

void NewCharacterDialog::answer(GlyphAction action) {
    if (action == GlyphAction::Learn && !storable(m_textEdit->text())) return;
    m_answer.action = action;
    m_answer.text = action == GlyphAction::Learn ? toCp1252(m_textEdit->text()) : std::string();
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

void NewCharacterDialog::textEdited() {
    m_lengthLabel->setText(QString::number(m_textEdit->text().length()));
    if (m_wakeUpTimer->isActive()) restartWakeUp();
}

// Someone is typing: the ten seconds start again and nothing blinks.
void NewCharacterDialog::restartWakeUp() {
    stopWakeUp();
    m_wakeUpTimer->setInterval(kWakeUpDelayMs);
    m_wakeUpTimer->start();
}

void NewCharacterDialog::wakeUpTick() {
    if (m_blink == 0) {
        m_wakeUpTimer->setInterval(kBlinkIntervalMs);
        m_blink = 1;
    } else if (m_blink < kBlinkTicks) {
        ++m_blink;
        if (m_blink % kBeepEvery == 0) {
            QApplication::beep();
            emit beeped();
        }
        setRed(!m_red);
    } else {
        m_wakeUpTimer->setInterval(kWakeUpDelayMs);
        m_blink = 0;
        setRed(false);
    }
}

void NewCharacterDialog::stopWakeUp() {
    m_wakeUpTimer->stop();
    m_blink = 0;
    setRed(false);
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
    m_textEdit->setFocus();
    restartWakeUp();
}

void NewCharacterDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) stopWakeUp();
}

} // namespace mirtal
