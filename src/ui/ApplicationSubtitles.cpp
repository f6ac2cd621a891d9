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
    m_subtitlesWindow = new SubtitlesWindow(doc, m_dialogs, m_catalogue, m_settings, m_mainWindow);
    m_subtitlesWindow->setMainWindow(m_mainWindow);
    m_postOcr = new PostOcrDialog(doc, m_subtitlesWindow);
    m_outputFormat = new OutputFormatDialog(doc, m_dialogs, m_subtitlesWindow);
    m_split = new SplitDialog(doc, m_dialogs, m_catalogue, m_subtitlesWindow);
    m_timeCorrection = new TimeCorrectionDialog(doc, m_dialogs, m_catalogue, m_subtitlesWindow);

    connect(m_subtitlesWindow, &SubtitlesWindow::postOcrCorrectionRequested, m_postOcr,
            &QDialog::exec);
    connect(m_subtitlesWindow, &SubtitlesWindow::timeCorrectionRequested, m_timeCorrection,
            &QDialog::exec);
    connect(m_subtitlesWindow, &SubtitlesWindow::outputFormatRequested, m_outputFormat,
            &QDialog::exec);
    connect(m_subtitlesWindow, &SubtitlesWindow::splitRequested, m_split, &QDialog::exec);
}

void Application::showSubtitlesWindow() {
    if (m_subtitlesWindow->isMinimized()) m_subtitlesWindow->showNormal();
    m_subtitlesWindow->show();
    m_subtitlesWindow->raise();
}

void Application::hideSubtitlesWindow() {
    m_subtitlesWindow->hide();
}

bool Application::subtitlesWindowVisible() const {
    return m_subtitlesWindow->isVisible();
}

void Application::toggleSubtitlesWindow() {
    if (m_subtitlesWindow->isVisible() && !m_subtitlesWindow->isMinimized())
        m_subtitlesWindow->hide();
    else
        showSubtitlesWindow();
}

void Application::clearSubtitles() {
    m_subtitlesWindow->clearDocument();
}

void Application::convertOutputFormat(TOutputFormat format) {
    m_outputFormat->convertTo(format);
}

} // namespace mirtal
