#include "ui/QtHost.h"

#include "ui/ImageConvert.h"
#include "ui/UiDialogs.h"

#include <QCoreApplication>

namespace mirtal {

QtHost::QtHost(UiDialogs& dialogs) : m_dialogs(dialogs) {
    m_clock.start();
}

Answer QtHost::ask(MessageKind kind, Buttons buttons, const std::string& text) {
    return m_dialogs.ask(kind, buttons, text);
}

std::optional<std::filesystem::path> QtHost::chooseOpenFile(const FileDialogRequest& r) {
    return m_dialogs.chooseOpenFile(r);
}

std::optional<std::filesystem::path> QtHost::chooseSaveFile(const FileDialogRequest& r) {
    return m_dialogs.chooseSaveFile(r);
}

std::optional<int> QtHost::chooseTextColour(const Bitmap24& work, int guess) {
    return m_answers ? m_answers->chooseTextColour(work, guess) : std::optional<int>(guess);
}

GlyphAnswer QtHost::askGlyph(const GlyphQuestion& q) {
    if (m_answers) return m_answers->askGlyph(q);
    return {GlyphAction::SkipSubpicture, {}};
}

bool QtHost::adjustBitmap() {
    return m_answers ? m_answers->adjustBitmap() : true;
}

ProgressionChoice QtHost::waitAtProgression() {
    return m_answers ? m_answers->waitAtProgression() : ProgressionChoice::Next;
}

void QtHost::processEvents() {
    const qint64 now = m_clock.elapsed();
    if (m_lastDispatch >= 0) m_longestGap = std::max(m_longestGap, now - m_lastDispatch);
    QCoreApplication::processEvents();
    m_lastDispatch = m_clock.elapsed();
}

uint32_t QtHost::tickMs() {
    return uint32_t(m_clock.elapsed());
}

void QtHost::displayChanged(const RipDisplay& d) {
    emit ripDisplayChanged(d);
}

void QtHost::showPicture(const Bitmap24& b, const Rect& r) {
    emit pictureShown(toQImage(b), r);
}

void QtHost::showPicture(const PaletteBitmap& b, const Rect& r) {
    emit pictureShown(toQImage(b), r);
}

} // namespace mirtal
