#include "ui/Application.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/MainWindow.h"

#include <memory>

namespace mirtal {

// The bitmap adjustment dialog and its profiles.
void Application::createBitmapWindow() {
    m_bitmapAdjust = new BitmapAdjustDialog(*m_session, m_dialogs, m_settingsFolder, m_mainWindow);
    // The Subtitles window makes way while the dialog is up, and comes back
    // if it was there.
    auto subtitlesWereVisible = std::make_shared<bool>(false);
    connect(m_bitmapAdjust, &BitmapAdjustDialog::opened, this, [this, subtitlesWereVisible] {
        *subtitlesWereVisible = subtitlesWindowVisible();
        if (*subtitlesWereVisible) hideSubtitlesWindow();
    });
    connect(m_bitmapAdjust, &BitmapAdjustDialog::closed, this, [this, subtitlesWereVisible] {
        if (*subtitlesWereVisible) showSubtitlesWindow();
    });
    connect(m_bitmapAdjust, &BitmapAdjustDialog::outputFormatChosen, this,
            [this](TOutputFormat format) { convertOutputFormat(format); });

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
