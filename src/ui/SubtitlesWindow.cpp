#include "ui/SubtitlesWindow.h"

#include "base/MessageCatalogue.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/SubtitleDocument.h"
#include "ui/QtLanguageTarget.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace mirtal {

// The list box's rows are the document's rendered lines, read where they
// are; the document tells the model what changed. The model keeps its own
// row count so that what the view was told always matches what it asks for.
class SubtitleListModel : public QAbstractListModel, public SubtitleListObserver {
public:
    SubtitleListModel(const SubtitleList& list, std::function<void()> selectionChanged,
                      std::function<void()> stateChanged, QObject* parent)
        : QAbstractListModel(parent), m_list(list), m_rows(int(list.size())),
          m_selectionChanged(std::move(selectionChanged)), m_stateChanged(std::move(stateChanged)) {
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : m_rows;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows ||
            size_t(index.row()) >= m_list.size())
            return {};
        return fromCp1252(m_list.line(size_t(index.row())));
    }

    void linesReset() override {
        beginResetModel();
        m_rows = int(m_list.size());
        endResetModel();
    }
    void linesAppended(size_t first, size_t count) override {
        if (count == 0) return;
        beginInsertRows({}, int(first), int(first + count) - 1);
        m_rows = int(first + count);
        endInsertRows();
    }
    void linesRemoved(size_t first, size_t count) override {
        if (count == 0) return;
        beginRemoveRows({}, int(first), int(first + count) - 1);
        m_rows = int(first);
        endRemoveRows();
    }
    void selectionChanged(int) override { m_selectionChanged(); }
    void documentStateChanged() override { m_stateChanged(); }

private:
    const SubtitleList& m_list;
    int m_rows;
    std::function<void()> m_selectionChanged;
    std::function<void()> m_stateChanged;
};

namespace {

enum class Glyph { Spelling, Time, Format, Split };

// Small drawn pictures for the toolbar buttons the style has no icon for.
QIcon glyphIcon(Glyph g) {
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    switch (g) {
    case Glyph::Spelling: {
        p.setPen(Qt::black);
        p.drawText(QRect(0, 1, 22, 14), Qt::AlignCenter, "abc");
        QPainterPath wave;
        wave.moveTo(2, 18);
        for (int x = 2; x < 20; x += 4) {
            wave.quadTo(x + 1, 15, x + 2, 18);
            wave.quadTo(x + 3, 21, x + 4, 18);
        }
        p.setPen(QPen(QColor(200, 0, 0), 1.5));
        p.drawPath(wave);
        break;
    }
    case Glyph::Time:
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(2, 2, 18, 18));
        p.drawLine(QPointF(11, 11), QPointF(11, 5));
        p.drawLine(QPointF(11, 11), QPointF(16, 13));
        break;
    case Glyph::Format:
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 11, 22), Qt::AlignCenter, "A");
        p.setPen(QColor(0, 0, 180));
        p.drawText(QRect(11, 0, 11, 22), Qt::AlignCenter, "B");
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(8, 17, 14, 17);
        p.drawLine(12, 15, 14, 17);
        p.drawLine(12, 19, 14, 17);
        break;
    case Glyph::Split:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(90, 140, 220));
        p.drawRect(QRectF(1.5, 7.5, 8, 7));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12.5, 7.5, 8, 7));
        p.setPen(QPen(QColor(200, 0, 0), 1.5));
        p.drawLine(QPointF(11, 3), QPointF(11, 19));
        break;
    }
    return QIcon(pm);
}

QToolButton* coolButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon) {
    auto* b = named(new QToolButton(parent), name, hint);
    b->setIcon(icon);
    b->setIconSize(QSize(22, 22));
    b->setAutoRaise(true);
    return b;
}

} // namespace

SubtitlesWindow::SubtitlesWindow(SubtitleDocument& document, UiDialogs& dialogs,
                                 const MessageCatalogue& catalogue, ProgramSettings& settings,
                                 QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_doc(document), m_dialogs(dialogs), m_catalogue(catalogue),
      m_settings(settings) {
    setObjectName("Form3");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(743, 330);

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* bar = named(new QWidget(central), "Panel1");
    buildTopBar(bar);
    v->addWidget(bar);
    buildList(central);
    v->addWidget(m_list, 1);
    setCentralWidget(central);
    buildMenu();

    m_doc.list().setObserver(m_model);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SubtitlesWindow::lineChosen);
    documentStateChanged();
}

SubtitlesWindow::~SubtitlesWindow() {
    if (m_doc.list().observer() == m_model) m_doc.list().setObserver(nullptr);
}

void SubtitlesWindow::buildList(QWidget* parent) {
    m_model = new SubtitleListModel(
        m_doc.list(), [this] { selectionChanged(); }, [this] { documentStateChanged(); }, this);
    m_list = named(new QListView(parent), "ListBoxSubtitle");
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    m_list->setFont(fixed);
    // Every row is one text line: letting the view assume so keeps a list of
    // many thousand lines quick to grow and to scroll.
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(m_model);
}

void SubtitlesWindow::buildTopBar(QWidget* bar) {
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(4, 2, 4, 2);
    h->setSpacing(4);
    h->addWidget(named(new QLabel("SubTitle Index:", bar), "Label1"));
    m_indexLabel = named(new QLabel("0", bar), "LabelNbSubTitle");
    m_indexLabel->setMinimumWidth(48);
    h->addWidget(m_indexLabel);
    buildCommandButtons(bar);
    h->addStretch(1);

    m_autoScrollBox = named(new QCheckBox(QString(QChar(0x2193)), bar), "CheckBoxScrollDown",
                            "Auto Scroll down to show the last subtitles ( a bit slower )");
    m_autoScrollBox->setChecked(true);
    showsValue({m_indexLabel, m_autoScrollBox});
    h->addWidget(m_autoScrollBox);
    h->addWidget(buildListEnds(bar));
    connect(m_autoScrollBox, &QCheckBox::toggled, this, &SubtitlesWindow::setAutoScroll);
}

void SubtitlesWindow::buildCommandButtons(QWidget* bar) {
    QStyle* style = QApplication::style();
    auto add = [&](const char* name, const QString& hint, const QIcon& icon, auto command) {
        QToolButton* b = coolButton(bar, name, hint, icon);
        bar->layout()->addWidget(b);
        connect(b, &QToolButton::clicked, this, command);
    };
    add("CoolButtonSpellingCorrection", "Use to correct some wrong characters",
        glyphIcon(Glyph::Spelling), &SubtitlesWindow::postOcrCorrectionRequested);
    add("CoolButtonTimeCorrection", "Allow Timing / Speed Modifications", glyphIcon(Glyph::Time),
        &SubtitlesWindow::timeCorrectionRequested);
    add("CoolButtonOutputFormat", "Choose Output Format (Dynamic conversion)",
        glyphIcon(Glyph::Format), &SubtitlesWindow::outputFormatRequested);
    add("CoolButtonSplitText", "Split text file", glyphIcon(Glyph::Split),
        &SubtitlesWindow::splitRequested);
    add("CoolButtonSaveAs", "Save As", style->standardIcon(QStyle::SP_DialogSaveButton),
        &SubtitlesWindow::saveAs);
    add("CoolButtonClearSub", "Clear this text file", style->standardIcon(QStyle::SP_TrashIcon),
        &SubtitlesWindow::clearDocument);
}

// An up/down pair whose own position never changes: each arrow only jumps
// to one end of the list.
QWidget* SubtitlesWindow::buildListEnds(QWidget* bar) {
    auto* ends = named(new QWidget(bar), "UpDown1", "Top/Bottom of the file");
    auto* arrows = new QVBoxLayout(ends);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto* up = named(new QToolButton(ends), "UpDown1Up", "Top/Bottom of the file");
    up->setArrowType(Qt::UpArrow);
    auto* down = named(new QToolButton(ends), "UpDown1Down", "Top/Bottom of the file");
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setFixedSize(18, 12);
        arrows->addWidget(b);
    }
    connect(up, &QToolButton::clicked, this, &SubtitlesWindow::selectFirstLine);
    connect(down, &QToolButton::clicked, this, &SubtitlesWindow::selectLastLine);
    return ends;
}

void SubtitlesWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto command = [this](QMenu* menu, const QString& caption, const char* name, auto slot,
                          const QString& hint = {}) {
        connect(named(menu->addAction(caption), name, hint), &QAction::triggered, this, slot);
    };
    QMenu* file = named(bar->addMenu("&File"), "File1");
    command(file, "&Save As", "Saveas1", &SubtitlesWindow::saveAs);
    command(file, "&Open Mirtal File (*.vtx)", "OpenMirtalFormat1", &SubtitlesWindow::openDocument,
            "Open a Mirtal subtitle file (*.vtx)");
    command(file, "&Clear", "Clear1", &SubtitlesWindow::clearDocument);
    QMenu* corrections = named(bar->addMenu(" &Corrections"), "Corrections1");
    command(corrections, "&Post OCR Spelling Correction", "PostOCRCorrection1",
            &SubtitlesWindow::postOcrCorrectionRequested);
    command(corrections, "&Time Correction", "TimeCorrection1",
            &SubtitlesWindow::timeCorrectionRequested);
    QMenu* output = named(bar->addMenu("&Output Format"), "OutputFormat1");
    command(output, "Set &Output Format", "SetOutputFormat1",
            &SubtitlesWindow::outputFormatRequested, "Choose the output format");
    command(output, "&Split Output File", "Splitoutputfile1", &SubtitlesWindow::splitRequested);
    for (QMenu* m : {file, corrections, output}) m->setToolTipsVisible(true);
}

void SubtitlesWindow::placeBesideMainWindow() {
    if (!m_mainWindow) return;
    const QRect main = m_mainWindow->frameGeometry();
    // The frame of a window not yet shown is unknown; count it as none.
    const QSize frame = frameGeometry().size() - size();
    resize(std::max(1, main.width() - frame.width()), height());
    move(main.left(), main.top() + main.height() - (height() + frame.height()));
}

void SubtitlesWindow::saveAs() {
    if (!m_settings.SaveDialogText.empty()) m_doc.SaveFolder = m_settings.SaveDialogText;
    // The folder of a chosen file is the next initial folder, also kept between runs.
    if (saveDocumentAs(m_doc, m_dialogs, m_catalogue) != FlowResult::Cancelled)
        m_settings.SaveDialogText = folderText(m_doc.SaveFolder);
}

void SubtitlesWindow::openDocument() {
    if (!m_settings.OpenDialogMirtalText.empty())
        m_doc.OpenFolder = m_settings.OpenDialogMirtalText;
    if (openDocumentAsking(m_doc, m_dialogs, m_catalogue) != FlowResult::Cancelled)
        m_settings.OpenDialogMirtalText = folderText(m_doc.OpenFolder);
}

void SubtitlesWindow::clearDocument() {
    clearDocumentAsking(m_doc, m_dialogs, m_catalogue);
}

void SubtitlesWindow::selectFirstLine() {
    m_doc.list().select(0);
}

void SubtitlesWindow::selectLastLine() {
    m_doc.list().selectLast();
}

void SubtitlesWindow::setAutoScroll(bool on) {
    m_doc.AutoScrollDown = on;
    m_settings.AutoScrollDown = on;
}

void SubtitlesWindow::lineChosen(const QModelIndex& current) {
    if (m_syncingSelection || !current.isValid()) return;
    m_syncingSelection = true;
    m_doc.list().select(current.row());
    m_syncingSelection = false;
}

void SubtitlesWindow::documentStateChanged() {
    setWindowTitle(fromCp1252(m_doc.caption()));
    m_indexLabel->setText(fromCp1252(m_doc.indexLabel()));
}

void SubtitlesWindow::selectionChanged() {
    if (m_syncingSelection) return;
    // Scrolling a line into view lays the whole list out again: during a rip
    // that happens once per event dispatch, not once per new entry.
    if (m_selectionPending) return;
    m_selectionPending = true;
    QMetaObject::invokeMethod(
        this, [this] { showSelection(); }, Qt::QueuedConnection);
}

void SubtitlesWindow::showSelection() {
    m_selectionPending = false;
    const int line = m_doc.list().selected();
    m_syncingSelection = true;
    if (line < 0 || line >= m_model->rowCount()) {
        m_list->clearSelection();
        m_list->setCurrentIndex({});
    } else {
        QModelIndex i = m_model->index(line);
        m_list->setCurrentIndex(i);
        m_list->scrollTo(i);
    }
    m_syncingSelection = false;
}

void SubtitlesWindow::showEvent(QShowEvent* event) {
    // The box follows the saved setting, which may have been read after this
    // window was made.
    m_autoScrollBox->setChecked(m_settings.AutoScrollDown);
    m_doc.AutoScrollDown = m_settings.AutoScrollDown;
    if (!event->spontaneous()) placeBesideMainWindow();
    m_doc.ListShown = true;
    QMainWindow::showEvent(event);
}

void SubtitlesWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) m_doc.ListShown = false;
    QMainWindow::hideEvent(event);
}

} // namespace mirtal
