#include "ui/QtHost.h"

#include "ui/UiDialogs.h"

#include <QCoreApplication>

namespace mirtal {

QtHost::QtHost(UiDialogs& dialogs) : m_dialogs(dialogs) { m_clock.start(); }

Answer QtHost::ask(MessageKind kind, Buttons buttons, const std::string& text) {
    return m_dialogs.ask(kind, buttons, text);
}

std::optional<std::filesystem::path> QtHost::chooseOpenFile(const FileDialogRequest& r) {
    return m_dialogs.chooseOpenFile(r);
}

std::optional<std::filesystem::path> QtHost::chooseSaveFile(const FileDialogRequest& r) {
    return m_dialogs.chooseSaveFile(r);
}

std::optional<int> QtHost::chooseTextColor(const Bitmap24& work, int guess) {
    return onChooseTextColor ? onChooseTextColor(work, guess) : std::optional<int>(guess);
}

GlyphAnswer QtHost::askGlyph(const GlyphQuestion& q) {
    if (onAskGlyph) return onAskGlyph(q);
    return {GlyphAction::SkipSubpicture, {}};
}

bool QtHost::adjustBitmap() { return onAdjustBitmap ? onAdjustBitmap() : true; }

ProgressionChoice QtHost::waitAtProgression() {
    return onWaitAtProgression ? onWaitAtProgression() : ProgressionChoice::Next;
}

void QtHost::processEvents() {
    const qint64 now = m_clock.elapsed();
    if (m_lastDispatch >= 0) m_longestGap = std::max(m_longestGap, now - m_lastDispatch);
    QCoreApplication::processEvents();
    m_lastDispatch = m_clock.elapsed();
}

uint32_t QtHost::tickMs() { return uint32_t(m_clock.elapsed()); }

void QtHost::displayChanged(const RipDisplay& d) {
    if (onDisplayChanged) onDisplayChanged(ripTexts(d));
}

void QtHost::showPicture(const Bitmap24& b, const Rect& r) {
    if (onShowPicture24) onShowPicture24(b, r);
}

void QtHost::showPicture(const PaletteBitmap& b, const Rect& r) {
    if (onShowPicturePalette) onShowPicturePalette(b, r);
}

} // namespace mirtal
