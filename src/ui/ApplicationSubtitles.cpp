#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/OutputFormatDialog.h"
#include "ui/PostOcrDialog.h"
#include "ui/SplitDialog.h"
#include "ui/SubtitlesWindow.h"
#include "ui/TimeCorrectionDialog.h"

namespace mirtal {

// The subtitle document's windows: Subtitles window, post-OCR correction,
// output format options, time correction and split text file.
void Application::createSubtitleWindows() {
    SubtitleDocument& doc = m_session->document();
    // Owned by the main window so that they live exactly as long, and stay
    // in front of it: the Subtitles window covers its lower part.
    m_form3 = new SubtitlesWindow(doc, m_dialogs, m_catalogue, m_settings, m_form1);
    m_form3->setMainWindow(m_form1);
    m_form10 = new PostOcrDialog(doc, m_form3);
    m_form13 = new OutputFormatDialog(doc, m_dialogs, m_form3);
    m_form17 = new SplitDialog(doc, m_dialogs, m_catalogue, m_form3);
    m_form14 = new TimeCorrectionDialog(doc, m_dialogs, m_catalogue, m_form3);

    m_form3->onPostOcrCorrection = [this] { m_form10->exec(); };
    m_form3->onTimeCorrection = [this] { m_form14->exec(); };
    m_form3->onOutputFormat = [this] { m_form13->exec(); };
    m_form3->onSplit = [this] { m_form17->exec(); };

    showSubtitlesWindow = [this] {
        if (m_form3->isMinimized()) m_form3->showNormal();
        m_form3->show();
        m_form3->raise();
    };
    hideSubtitlesWindow = [this] { m_form3->hide(); };
    subtitlesWindowVisible = [this] { return m_form3->isVisible(); };
    toggleSubtitlesWindow = [this] {
        if (m_form3->isVisible() && !m_form3->isMinimized())
            m_form3->hide();
        else
            showSubtitlesWindow();
    };
    clearSubtitles = [this] { m_form3->Clear1Click(); };
    convertOutputFormat = [this](TOutputFormat format) { m_form13->ConvertTo(format); };
}

} // namespace mirtal
