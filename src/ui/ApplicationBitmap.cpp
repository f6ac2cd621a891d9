#include "ui/Application.h"
#include "ui/BitmapAdjustDialog.h"
#include "ui/MainWindow.h"

namespace mirtal {

// The bitmap adjustment dialog and its profiles.
void Application::createBitmapWindow() {
    m_bitmapAdjust = new BitmapAdjustDialog(*m_session, m_dialogs, m_settingsFolder, m_mainWindow);
    BitmapAdjustDialog& form18 = *m_bitmapAdjust;
    // The Subtitles window's hooks may be installed after this one, so they
    // are looked up when the dialog opens.
    form18.subtitlesVisible = [this] { return subtitlesWindowVisible && subtitlesWindowVisible(); };
    form18.hideSubtitles = [this] {
        if (hideSubtitlesWindow) hideSubtitlesWindow();
    };
    form18.showSubtitles = [this] {
        if (showSubtitlesWindow) showSubtitlesWindow();
    };
    form18.convertOutputFormat = [this](TOutputFormat format) {
        if (convertOutputFormat) {
            convertOutputFormat(format);
            return;
        }
        SubtitleDocument& doc = m_session->document();
        doc.setOutputFormat(format);
        doc.SetFileName(doc.FileName());
        doc.RefreshList();
    };

    // The BMP and show-only actions ask it before composing when it is due
    // (the first picture of a job, and the one after each skipped picture).
    // The progression controller's "Change Colors" reaches it through the
    // session's actions, which ask the same hook.
    m_host.onAdjustBitmap = [this] { return m_bitmapAdjust->runModal(); };

    wireLanguageButton();
}

} // namespace mirtal
