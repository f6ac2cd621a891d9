#include "ui/Application.h"

#include "settings/SettingsFile.h"
#include "ui/AboutDialog.h"
#include "ui/ImageConvert.h"
#include "ui/JobSetupDialog.h"
#include "ui/MainWindow.h"
#include "ui/ProgressionDialog.h"

#include <QApplication>
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace mirtal {

Application::Application(Options options)
    : m_programFolder(std::move(options.programFolder)), m_dialogs(nullptr), m_host(m_dialogs) {
    m_dialogs.setScripted(options.scriptedDialogs);
    m_settingsFolder = SettingsFolder(m_programFolder);
    m_session = std::make_unique<Session>(m_host, m_catalogue, m_clock);
    createMainWindows();
    createOcrWindows();
    createSubtitleWindows();
    createBitmapWindow();
    m_timer1.setInterval(500);
    connect(&m_timer1, &QTimer::timeout, this, [this] { tick(); });
}

Application::~Application() = default;

void Application::createMainWindows() {
    m_form1 = new MainWindow;
    m_form1->setAttribute(Qt::WA_DeleteOnClose, false);
    m_form6 = new JobSetupDialog(m_dialogs, m_form1);
    m_form11 = new ProgressionDialog(m_form1);
    m_form12 = new AboutDialog(m_form1);

    m_host.onDisplayChanged = [this](const RipDisplay& d) {
        MainWindow& w = *m_form1;
        w.LabelVobFile->setText(fromCp1252(d.LabelVobFile));
        w.LabelVobNum->setText(fromCp1252(d.LabelVobNum));
        w.LabelVobNb->setText(fromCp1252(d.LabelVobNb));
        w.LabelNbSup->setText(fromCp1252(d.LabelNbSup));
        w.LabelTotalNbSup->setText(fromCp1252(d.LabelTotalNbSup));
        w.LabelPos->setText(fromCp1252(d.LabelPos));
        w.ProgressBar1->setValue(d.progressPercent);
        w.LabelTimeElapsed->setText(fromCp1252(d.LabelTimeElapsed));
        w.LabelTimeRemaining->setText(fromCp1252(d.LabelTimeRemaining));
        w.LabelTime->setText(fromCp1252(d.LabelTime));
        w.LabelTime7->setText(fromCp1252(d.LabelTime7));
        w.LabelChapters->setText(fromCp1252(d.LabelChapters));
        w.LabelFPS->setText(fromCp1252(d.LabelFPS));
        QString pause = fromCp1252(d.pauseCaption);
        pause.replace(QChar(127), QChar(0x2016)); // the pause glyph
        w.ButtonPause->setText(pause);
        w.ButtonPause->setEnabled(d.pauseEnabled);
        w.OpenVob1->setEnabled(d.openVobEnabled);
        QApplication::setApplicationDisplayName(fromCp1252(d.applicationTitle));
    };
    m_host.onShowPicture24 = [this](const Bitmap24& b, const Rect& r) {
        m_form1->Preview->showPicture(toQImage(b), r);
        m_form1->setRectLabels(r, b.width(), b.height());
    };
    m_host.onShowPicturePalette = [this](const PaletteBitmap& b, const Rect& r) {
        m_form1->Preview->showPicture(toQImage(b), r);
        m_form1->setRectLabels(r, b.width(), b.height());
    };
}

void Application::start() {
    m_form1->show();
    m_timer1.start();
}

void Application::tick() { m_session->tick(); }

} // namespace mirtal
