#include "ui/SubtitlesWindow.h"
#include "ui/WidgetSupport.h"

#include "base/MessageCatalogue.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"
#include "subtitles/SubtitleDocument.h"
#include "ui/QtLanguageTarget.h"
#include "ui/UiDialogs.h"

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
    SubtitleListModel(const SubtitleList& list, QObject* parent)
        : QAbstractListModel(parent), m_list(list), m_rows(int(list.size())) {}

    std::function<void(int)> onSelection;
    std::function<void()> onState;

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
    void selectionChanged(int line) override {
        if (onSelection) onSelection(line);
    }
    void documentStateChanged() override {
        if (onState) onState();
    }

private:
    const SubtitleList& m_list;
    int m_rows;
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

    m_model = new SubtitleListModel(m_doc.list(), this);
    ListBoxSubtitle = named(new QListView(central), "ListBoxSubtitle");
    QFont fixed("Courier New");
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    ListBoxSubtitle->setFont(fixed);
    // Every row is one text line: letting the view assume so keeps a list of
    // many thousand lines quick to grow and to scroll.
    ListBoxSubtitle->setUniformItemSizes(true);
    ListBoxSubtitle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBoxSubtitle->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxSubtitle->setModel(m_model);
    v->addWidget(ListBoxSubtitle, 1);
    setCentralWidget(central);
    buildMenu();

    m_model->onSelection = [this](int) { selectionChanged(); };
    m_model->onState = [this] { documentStateChanged(); };
    m_doc.list().setObserver(m_model);
    connect(ListBoxSubtitle->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncingSelection || !current.isValid()) return;
                m_syncingSelection = true;
                m_doc.list().select(current.row());
                m_syncingSelection = false;
            });
    documentStateChanged();
}

SubtitlesWindow::~SubtitlesWindow() {
    if (m_doc.list().observer() == m_model) m_doc.list().setObserver(nullptr);
}

void SubtitlesWindow::buildTopBar(QWidget* bar) {
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(4, 2, 4, 2);
    h->setSpacing(4);
    h->addWidget(named(new QLabel("SubTitle Index:", bar), "Label1"));
    LabelNbSubTitle = named(new QLabel("0", bar), "LabelNbSubTitle");
    LabelNbSubTitle->setMinimumWidth(48);
    h->addWidget(LabelNbSubTitle);

    QStyle* style = QApplication::style();
    CoolButtonSpellingCorrection =
        coolButton(bar, "CoolButtonSpellingCorrection", "Use to correct some wrong characters",
                   glyphIcon(Glyph::Spelling));
    CoolButtonTimeCorrection =
        coolButton(bar, "CoolButtonTimeCorrection", "Allow Timing / Speed Modifications",
                   glyphIcon(Glyph::Time));
    CoolButtonOutputFormat =
        coolButton(bar, "CoolButtonOutputFormat", "Choose Output Format (Dynamic conversion)",
                   glyphIcon(Glyph::Format));
    CoolButtonSplitText =
        coolButton(bar, "CoolButtonSplitText", "Split text file", glyphIcon(Glyph::Split));
    CoolButtonSaveAs = coolButton(bar, "CoolButtonSaveAs", "Save As",
                                  style->standardIcon(QStyle::SP_DialogSaveButton));
    CoolButtonClearSub = coolButton(bar, "CoolButtonClearSub", "Clear this text file",
                                    style->standardIcon(QStyle::SP_TrashIcon));
    for (QToolButton* b :
         {CoolButtonSpellingCorrection, CoolButtonTimeCorrection, CoolButtonOutputFormat,
          CoolButtonSplitText, CoolButtonSaveAs, CoolButtonClearSub})
        h->addWidget(b);
    h->addStretch(1);

    CheckBoxScrollDown = named(new QCheckBox(QString(QChar(0x2193)), bar), "CheckBoxScrollDown",
                               "Auto Scroll down to show the last subtitles ( a bit slower )");
    CheckBoxScrollDown->setChecked(true);
    showsValue({LabelNbSubTitle, CheckBoxScrollDown});
    h->addWidget(CheckBoxScrollDown);

    // An up/down pair whose own position never changes: each arrow only
    // jumps to one end of the list.
    UpDown1 = named(new QWidget(bar), "UpDown1", "Top/Bottom of the file");
    auto* arrows = new QVBoxLayout(UpDown1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto* up = named(new QToolButton(UpDown1), "UpDown1Up", "Top/Bottom of the file");
    up->setArrowType(Qt::UpArrow);
    auto* down = named(new QToolButton(UpDown1), "UpDown1Down", "Top/Bottom of the file");
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setFixedSize(18, 12);
        arrows->addWidget(b);
    }
    h->addWidget(UpDown1);

    connect(up, &QToolButton::clicked, this, [this] { UpDown1Click(true); });
    connect(down, &QToolButton::clicked, this, [this] { UpDown1Click(false); });
    connect(CheckBoxScrollDown, &QCheckBox::toggled, this, [this](bool on) {
        m_doc.AutoScrollDown = on;
        m_settings.AutoScrollDown = on;
    });
    connect(CoolButtonSpellingCorrection, &QToolButton::clicked, this,
            [this] { run(onPostOcrCorrection); });
    connect(CoolButtonTimeCorrection, &QToolButton::clicked, this,
            [this] { run(onTimeCorrection); });
    connect(CoolButtonOutputFormat, &QToolButton::clicked, this, [this] { run(onOutputFormat); });
    connect(CoolButtonSplitText, &QToolButton::clicked, this, [this] { run(onSplit); });
    connect(CoolButtonSaveAs, &QToolButton::clicked, this, [this] { Saveas1Click(); });
    connect(CoolButtonClearSub, &QToolButton::clicked, this, [this] { Clear1Click(); });
}

void SubtitlesWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    QMenu* file = named(bar->addMenu("&File"), "File1");
    Saveas1 = named(file->addAction("&Save As"), "Saveas1");
    OpenMirtalFormat1 = named(file->addAction("&Open Mirtal File (*.vtx)"), "OpenMirtalFormat1",
                              "Open a Mirtal subtitle file (*.vtx)");
    Clear1 = named(file->addAction("&Clear"), "Clear1");
    QMenu* corrections = named(bar->addMenu(" &Corrections"), "Corrections1");
    PostOCRCorrection1 =
        named(corrections->addAction("&Post OCR Spelling Correction"), "PostOCRCorrection1");
    TimeCorrection1 = named(corrections->addAction("&Time Correction"), "TimeCorrection1");
    QMenu* output = named(bar->addMenu("&Output Format"), "OutputFormat1");
    SetOutputFormat1 = named(output->addAction("Set &Output Format"), "SetOutputFormat1",
                             "Choose the output format");
    Splitoutputfile1 = named(output->addAction("&Split Output File"), "Splitoutputfile1");
    for (QMenu* m : {file, corrections, output}) m->setToolTipsVisible(true);

    connect(Saveas1, &QAction::triggered, this, [this] { Saveas1Click(); });
    connect(OpenMirtalFormat1, &QAction::triggered, this, [this] { OpenMirtalFormat1Click(); });
    connect(Clear1, &QAction::triggered, this, [this] { Clear1Click(); });
    connect(PostOCRCorrection1, &QAction::triggered, this, [this] { run(onPostOcrCorrection); });
    connect(TimeCorrection1, &QAction::triggered, this, [this] { run(onTimeCorrection); });
    connect(SetOutputFormat1, &QAction::triggered, this, [this] { run(onOutputFormat); });
    connect(Splitoutputfile1, &QAction::triggered, this, [this] { run(onSplit); });
}

void SubtitlesWindow::run(const std::function<void()>& command) {
    if (command) command();
}

void SubtitlesWindow::placeBesideMainWindow() {
    if (!m_mainWindow) return;
    const QRect main = m_mainWindow->frameGeometry();
    // The frame of a window not yet shown is unknown; count it as none.
    const QSize frame = frameGeometry().size() - size();
    resize(std::max(1, main.width() - frame.width()), height());
    move(main.left(), main.top() + main.height() - (height() + frame.height()));
}

FlowResult SubtitlesWindow::Saveas1Click() {
    if (!m_settings.SaveDialogText.empty()) m_doc.SaveFolder = m_settings.SaveDialogText;
    FlowResult r = SaveAs(m_doc, m_dialogs, m_catalogue);
    // The folder of a chosen file is the next initial folder, also kept between runs.
    if (r != FlowResult::Cancelled) m_settings.SaveDialogText = FolderText(m_doc.SaveFolder);
    return r;
}

FlowResult SubtitlesWindow::OpenMirtalFormat1Click() {
    if (!m_settings.OpenDialogMirtalText.empty())
        m_doc.OpenFolder = m_settings.OpenDialogMirtalText;
    FlowResult r = OpenDocument(m_doc, m_dialogs, m_catalogue);
    if (r != FlowResult::Cancelled) m_settings.OpenDialogMirtalText = FolderText(m_doc.OpenFolder);
    return r;
}

FlowResult SubtitlesWindow::Clear1Click() {
    return ClearDocument(m_doc, m_dialogs, m_catalogue);
}

void SubtitlesWindow::UpDown1Click(bool up) {
    if (up)
        m_doc.list().select(0);
    else
        m_doc.list().selectLast();
}

int SubtitlesWindow::lineCount() const {
    return m_model->rowCount();
}

QString SubtitlesWindow::lineText(int row) const {
    return m_model->data(m_model->index(row), Qt::DisplayRole).toString();
}

int SubtitlesWindow::selectedLine() const {
    QModelIndex i = ListBoxSubtitle->currentIndex();
    return i.isValid() && ListBoxSubtitle->selectionModel()->isSelected(i) ? i.row() : -1;
}

void SubtitlesWindow::documentStateChanged() {
    setWindowTitle(fromCp1252(m_doc.caption()));
    LabelNbSubTitle->setText(fromCp1252(m_doc.indexLabel()));
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
        ListBoxSubtitle->clearSelection();
        ListBoxSubtitle->setCurrentIndex({});
    } else {
        QModelIndex i = m_model->index(line);
        ListBoxSubtitle->setCurrentIndex(i);
        ListBoxSubtitle->scrollTo(i);
    }
    m_syncingSelection = false;
}

void SubtitlesWindow::showEvent(QShowEvent* event) {
    // The box follows the saved setting, which may have been read after this
    // window was made.
    CheckBoxScrollDown->setChecked(m_settings.AutoScrollDown);
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
