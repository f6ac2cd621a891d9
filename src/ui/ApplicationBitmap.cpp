#include "ui/Application.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/MainWindow.h"

namespace mirtal {

// The bitmap adjustment dialog and its profiles.
void Application::createBitmapWindow() {
    m_bitmapAdjust = new BitmapAdjustDialog(*m_session, m_dialogs, m_settingsFolder, m_mainWindow);
    BitmapAdjustDialog& form18 = *m_bitmapAdjust;
    form18.subtitlesVisible = [this] { return subtitlesWindowVisible(); };
    form18.hideSubtitles = [this] { hideSubtitlesWindow(); };
    form18.showSubtitles = [this] { showSubtitlesWindow(); };
    form18.convertOutputFormat = [this](TOutputFormat format) { convertOutputFormat(format); };

    wireLanguageButton();
}

// The BMP and show-only actions ask it before composing when it is due (the
// first picture of a job, and the one after each skipped picture). The
// progression controller's "Change Colors" reaches it through the session's
// actions, which ask the same question.
bool Application::adjustBitmap() {
    return m_bitmapAdjust->runModal();
}

} // namespace mirtal
