#include "ui/JobSetupDialog.h"

#include "base/Files.h"
#include "ocr/MatrixFlows.h"
#include "rip/Session.h"
#include "rip/VobSubIndex.h"
#include "ui/NumericEdit.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mirtal {

namespace {

// An up/down arrow pair whose own position never changes: each click only
// says its direction.
class ArrowPair : public QWidget {
public:
    explicit ArrowPair(QWidget* parent) : QWidget(parent) {
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        up = new QToolButton(this);
        up->setObjectName("UpDownFilePoseUp");
        up->setArrowType(Qt::UpArrow);
        down = new QToolButton(this);
        down->setObjectName("UpDownFilePoseDown");
        down->setArrowType(Qt::DownArrow);
        v->addStretch(1);
        v->addWidget(up);
        v->addWidget(down);
        v->addStretch(1);
    }
    QToolButton* up;
    QToolButton* down;
};

// The check-list text of one file: name padded to 14, "[", KiB right-aligned
// in 8 with underscores, " Kb]".
QString vobEntryText(const QString& fileName, uint64_t byteSize) {
    QString kb = QString::number(byteSize >> 10);
    if (kb.size() < 8) kb = QString(8 - kb.size(), '_') + kb;
    QString name = fileName;
    if (name.size() < 14) name += QString(14 - name.size(), ' ');
    return name + "[" + kb + " Kb]";
}

const char* const kVobFilter = "VOB (*.vob)|*.vob|VTS Ifo (vts_*.ifo)|vts_*.ifo|All Ifo "
                               "(*.ifo)|*.ifo|VobSub (*.idx;*.sub)|*.idx;*.sub|All (*.*)|*.*";
// The same filters with the second one first: the file type the IFO button
// starts with.
const char* const kIfoFilter = "VTS Ifo (vts_*.ifo)|vts_*.ifo|VOB (*.vob)|*.vob|All Ifo "
                               "(*.ifo)|*.ifo|VobSub (*.idx;*.sub)|*.idx;*.sub|All (*.*)|*.*";

// The files the list offers: every *.VOB, and every *.sub with its .idx
// beside it (a .sub alone may be a text subtitle file), sorted by name
// without regard to case.
std::vector<std::filesystem::path> listedFiles(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files = listFilesMatching(dir, "*.VOB");
    for (const auto& sub : listFilesMatching(dir, "*.SUB"))
        if (findVobSubPartner(sub)) files.push_back(sub);
    std::stable_sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        const std::string na = a.filename().string(), nb = b.filename().string();
        if (lessIgnoreCase(na, nb)) return true;
        if (lessIgnoreCase(nb, na)) return false;
        return na < nb;
    });
    return files;
}

} // namespace

JobSetupDialog::JobSetupDialog(Session& session, UiDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_session(session), m_dialogs(dialogs) {
    setObjectName("Form6");
    setWindowTitle("What To Do ?");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);
    auto* columns = new QHBoxLayout;
    root->addLayout(columns);
    columns->addLayout(buildStreamColumn());
    columns->addLayout(buildVobColumn(), 1);
    root->addWidget(buildBottomPanel());
    connectControls();
    fillStreamList();
    fillTitleList({});
}

// Left: stream, matrix, action, options, text file.
QLayout* JobSetupDialog::buildStreamColumn() {
    auto* left = new QVBoxLayout;
    left->addWidget(named(new QLabel("Language Stream :", this), "Label1"));
    auto* streamRow = new QHBoxLayout;
    m_streamCombo = named(new QComboBox(this), "ComboBoxLanguage");
    m_streamCombo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_streamCombo->setMinimumWidth(170);
    m_openIfoButton = named(new QPushButton("Open &IFO", this), "ButtonOpenIfo",
                            "View available subtitle languages from IFO");
    streamRow->addWidget(m_streamCombo, 1);
    streamRow->addWidget(m_openIfoButton);
    left->addLayout(streamRow);
    m_viewGroup = new RadioGroup("View :", {"Widescreen", "Letterbox", "Pan-Scan"}, this);
    m_viewGroup->setObjectName("RadioGroupView");
    m_viewGroup->setToolTip("Which picture the subtitles of a 16:9 disc are drawn for");
    m_viewGroup->setItemIndex(0);
    left->addWidget(m_viewGroup);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(named(new QLabel("Title :", this), "LabelTitle"));
    m_titleCombo = named(new QComboBox(this), "ComboBoxTitle");
    titleRow->addWidget(m_titleCombo, 1);
    left->addLayout(titleRow);

    left->addWidget(named(
        new QLabel("Characters Matrix File        (Different for each DVD) :", this), "Label2"));
    left->addLayout(buildMatrixRow());

    m_actionGroup = new RadioGroup("Action :",
                                   {"SubPictures to Text via OCR", "Save SubPictures As BMP",
                                    "Save SubPictures As SUP Files", "Only Show SubPictures",
                                    "Save SubPictures As VobSub"},
                                   this);
    m_actionGroup->setObjectName("RadioGroupAction");
    m_actionGroup->setItemIndex(0);
    left->addWidget(m_actionGroup);
    left->addWidget(buildOptions());

    auto* textRow = new QHBoxLayout;
    m_clearTextButton = named(new QPushButton("C&lear Text File", this), "ButtonClearText",
                              "Clear the Subtitles Text File");
    m_viewTextButton =
        named(new QPushButton("&View Text File", this), "Button1", "Show the Subtitles Text File");
    textRow->addWidget(m_clearTextButton);
    textRow->addWidget(m_viewTextButton);
    left->addLayout(textRow);
    left->addStretch(1);
    return left;
}

QLayout* JobSetupDialog::buildMatrixRow() {
    auto* matrixRow = new QHBoxLayout;
    m_matrixFileEdit = named(new QLineEdit("New File", this), "EditCharMatrixFile");
    m_openMatrixButton = named(new QPushButton("- - -", this), "ButtonOpenCharMatrixFile",
                               "Open a Characters Matrix File");
    m_newMatrixButton =
        named(new QPushButton("X", this), "ButtonNewMatrix", "New Characters Matrix File");
    m_openMatrixButton->setMaximumWidth(40);
    m_newMatrixButton->setMaximumWidth(30);
    matrixRow->addWidget(m_matrixFileEdit, 1);
    matrixRow->addWidget(m_openMatrixButton);
    matrixRow->addWidget(m_newMatrixButton);
    return matrixRow;
}

QWidget* JobSetupDialog::buildOptions() {
    auto* options = named(new QGroupBox("Options", this), "GroupBoxOptions");
    auto* ov = new QVBoxLayout(options);
    m_timingBox = named(new QCheckBox("+ TC && Res.", options), "CheckBoxPictTiming",
                        "Get the timing and image(s) size(s) & position(s)");
    ov->addWidget(m_timingBox);
    m_forcedOnlyBox =
        named(new QCheckBox("Forced Subs Only", options), "CheckBoxForcedOnly",
              "Only the subpictures a player shows even with subtitles off (forced start)");
    ov->addWidget(m_forcedOnlyBox);
    m_fromVideoStartBox =
        named(new QCheckBox("times from the first video frame", options), "CheckBoxFromVideoStart",
              "Time the subtitles from the film's first picture, as players of a remuxed film "
              "(MKV, MP4) do; off: from the disc's stream clock");
    ov->addWidget(m_fromVideoStartBox);
    return options;
}

// Right: the VOB list and the time code.
QLayout* JobSetupDialog::buildVobColumn() {
    auto* right = new QVBoxLayout;
    right->addWidget(named(new QLabel("Vob Files :", this), "Label3"));
    m_folderLabel = named(new QLabel(this), "LabelVobPath");
    showsValue({m_folderLabel});
    m_folderLabel->setMinimumWidth(290);
    m_folderLabel->setMaximumWidth(340);
    right->addWidget(m_folderLabel);
    auto* listRow = new QHBoxLayout;
    m_vobList = named(new QListWidget(this), "CheckListBoxVob",
                      "Select Vob(s) from which you want to extract subtitles.");
    m_vobList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_vobList->setMinimumSize(290, 180);
    m_vobList->installEventFilter(this);
    auto* arrows = new ArrowPair(this);
    named(static_cast<QWidget*>(arrows), "UpDownFilePose",
          "Change file position ( You can also use [Ctrl] + Up/Down keys )");
    connect(arrows->up, &QToolButton::clicked, this, [this] { moveSelected(-1); });
    connect(arrows->down, &QToolButton::clicked, this, [this] { moveSelected(1); });
    listRow->addWidget(m_vobList, 1);
    listRow->addWidget(arrows);
    right->addLayout(listRow, 1);
    m_openFolderButton = named(new QPushButton("Open &Dir", this), "ButtonOpenDir");
    right->addWidget(m_openFolderButton, 0, Qt::AlignLeft);
    right->addWidget(named(new QLabel("Last TimeCode :", this), "Label4"));
    right->addLayout(buildTimeCodeRow());
    return right;
}

QLayout* JobSetupDialog::buildTimeCodeRow() {
    auto* tcRow = new QHBoxLayout;
    auto field = [&](const char* name, uint16_t max) {
        auto* f = new TWord_u(this);
        f->setObjectName(name);
        f->setDialogs(&m_dialogs);
        f->setValMax(max);
        f->setMaximumWidth(44);
        f->setAlignment(Qt::AlignRight);
        connect(f, &QLineEdit::textChanged, this, &JobSetupDialog::timeCodeEdited);
        return f;
    };
    m_hourEdit = field("Word_uHour", 24);
    m_minuteEdit = field("Word_uMin", 59);
    m_secondEdit = field("Word_uSec", 59);
    m_millisecondEdit = field("Word_uMSec", 999);
    tcRow->addWidget(m_hourEdit);
    tcRow->addWidget(new QLabel(":", this));
    tcRow->addWidget(m_minuteEdit);
    tcRow->addWidget(new QLabel(":", this));
    tcRow->addWidget(m_secondEdit);
    tcRow->addWidget(new QLabel(",", this));
    tcRow->addWidget(m_millisecondEdit);
    tcRow->addStretch(1);
    m_resetTimeButton = named(new QPushButton("&Reset", this), "ButtonResetTC",
                              "Reset if you start working on a new DVD But keep this Code if "
                              "this is the next Vob of a DVD !");
    tcRow->addWidget(m_resetTimeButton);
    return tcRow;
}

QFrame* JobSetupDialog::buildBottomPanel() {
    m_bottomPanel = named(new QFrame(this), "Panel5");
    m_bottomPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* bottom = new QHBoxLayout(m_bottomPanel);
    m_startHint = named(
        new QLabel("!! Start with the first 1Gb VOB and use the Last Time Code !!", m_bottomPanel),
        "Label5");
    m_startButton = named(new QPushButton("&Start", m_bottomPanel), "BitBtnStart");
    m_startButton->setDefault(true);
    m_cancelButton = named(new QPushButton("&Cancel", m_bottomPanel), "BitBtnCancel");
    bottom->addWidget(m_startHint, 1);
    bottom->addWidget(m_startButton);
    bottom->addWidget(m_cancelButton);
    m_bottomPanel->installEventFilter(this);
    m_startHint->installEventFilter(this);
    return m_bottomPanel;
}

void JobSetupDialog::connectControls() {
    connect(m_actionGroup, &RadioGroup::clicked, this, &JobSetupDialog::actionChosen);
    connect(m_streamCombo, qOverload<int>(&QComboBox::activated), this,
            &JobSetupDialog::streamChosen);
    connect(m_viewGroup, &RadioGroup::clicked, this, &JobSetupDialog::streamChosen);
    connect(m_openFolderButton, &QPushButton::clicked, this, &JobSetupDialog::chooseVobFolder);
    connect(m_openIfoButton, &QPushButton::clicked, this, &JobSetupDialog::chooseIfo);
    connect(m_resetTimeButton, &QPushButton::clicked, this, &JobSetupDialog::resetTimeCode);
    connect(m_openMatrixButton, &QPushButton::clicked, this, &JobSetupDialog::openMatrix);
    connect(m_newMatrixButton, &QPushButton::clicked, this, &JobSetupDialog::newMatrix);
    connect(m_clearTextButton, &QPushButton::clicked, this,
            &JobSetupDialog::clearSubtitlesRequested);
    connect(m_viewTextButton, &QPushButton::clicked, this, &JobSetupDialog::viewText);
    connect(m_startButton, &QPushButton::clicked, this, &JobSetupDialog::start);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

// The open flow asks about unsaved changes itself; asking here too would put
// the same question twice to a user who answers No.
void JobSetupDialog::openMatrix() {
    emit openMatrixRequested();
    refreshMatrixField();
}

void JobSetupDialog::newMatrix() {
    emit newMatrixRequested();
    refreshMatrixField();
}

void JobSetupDialog::viewText() {
    reject();
    emit subtitlesWindowRequested();
}

void JobSetupDialog::start() {
    if (startJob()) accept();
}

JobSetupDialog::Choices JobSetupDialog::choices() const {
    return {m_vobFolder, m_actionGroup->itemIndex(), m_timingBox->isChecked(),
            m_forcedOnlyBox->isChecked(), m_fromVideoStartBox->isChecked()};
}

void JobSetupDialog::setChoices(const Choices& c) {
    m_vobFolder = c.vobFolder;
    // An action the dialog does not have (a damaged file) is the first one.
    m_actionGroup->setItemIndex(c.action >= 0 && c.action < m_actionGroup->count() ? c.action : 0);
    m_timingBox->setChecked(c.withTimingAndPosition);
    m_forcedOnlyBox->setChecked(c.forcedOnly);
    m_fromVideoStartBox->setChecked(c.fromVideoStart);
    actionChosen();
}

void JobSetupDialog::listFolder(const std::filesystem::path& dir) {
    m_vobFolder = dir;
    m_folderLabel->setText(QString::fromStdString(dir.string()));
    m_folderLabel->setToolTip(m_folderLabel->text());
    m_vobList->clear();
    m_vobPaths.clear();
    for (const auto& p : listedFiles(dir)) {
        std::error_code ec;
        uint64_t size = std::filesystem::file_size(p, ec);
        if (ec) size = 0;
        auto* item =
            new QListWidgetItem(vobEntryText(QString::fromStdString(p.filename().string()), size));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        m_vobList->addItem(item);
        m_vobPaths.push_back(p);
    }
}

void JobSetupDialog::moveSelected(int delta) {
    const int row = m_vobList->currentRow();
    if (row < 0 || !m_vobList->currentItem() || !m_vobList->currentItem()->isSelected()) return;
    const int to = row + delta;
    if (to < 0 || to >= m_vobList->count() || size_t(std::max(row, to)) >= m_vobPaths.size())
        return;
    QListWidgetItem* item = m_vobList->takeItem(row);
    m_vobList->insertItem(to, item);
    std::swap(m_vobPaths[size_t(row)], m_vobPaths[size_t(to)]);
    m_vobList->setCurrentRow(to);
}

void JobSetupDialog::readIfoLanguages(const std::filesystem::path& ifo) {
    const IfoReadResult r = mirtal::readIfoStreamLanguages(ifo, m_streamLanguages);
    if (r.found) m_streamMap = readStreamMap(ifo);
    if (r.found) m_streamCodes = r.codes;
    fillStreamList();
    fillTitleList(ifo);
    if (r.found && !r.ok()) m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.message);
}

bool JobSetupDialog::readVobSubLanguages(const std::filesystem::path& file) {
    VobSubPair pair;
    std::string error;
    if (!loadVobSubPair(file, pair, error)) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, error);
        return false;
    }
    m_streamLanguages = pair.index->languages();
    m_streamMap = {};
    m_streamCodes = pair.index->codes();
    fillStreamList();
    fillTitleList({});
    return true;
}

// The title set's titles as a player plays them; the first line keeps the
// job to the checked files, read whole.
void JobSetupDialog::fillTitleList(const std::filesystem::path& ifo) {
    auto titles = readTitles(ifo);
    m_titles = titles ? std::move(*titles) : std::vector<Title>{};
    m_titleIfo = ifo;
    m_titleCombo->clear();
    m_titleCombo->addItem("Whole title set");
    for (const Title& t : m_titles)
        m_titleCombo->addItem(
            QString("Title %1 - %2 - %3 chapter(s)")
                .arg(t.number)
                .arg(QString::fromStdString(timeCodeToStr(msToTimeCode(t.lengthMs)).substr(0, 8)))
                .arg(t.chapters.size()));
    m_titleCombo->setEnabled(!m_titles.empty());
}

// A chosen title replaces the checked files by the stretches of its cells.
bool JobSetupDialog::chooseTitleFiles(JobSetup& setup) {
    const int t = m_titleCombo->currentIndex();
    if (t <= 0 || size_t(t) > m_titles.size()) return true;
    const Title& title = m_titles[size_t(t - 1)];
    const TitleJob job = titleJob(m_titleIfo, title, 1, 1, title.chapters.size());
    if (job.stretches.empty()) return false;
    setup.files = job.files();
    setup.ranges = job.ranges();
    setup.titleFile = job.titleStart.file;
    setup.titlePack = job.titleStart.packs.first;
    return true;
}

void JobSetupDialog::fillStreamList() {
    m_streamCombo->clear();
    for (const std::string& line : mirtal::streamListTexts(m_streamLanguages))
        m_streamCombo->addItem(fromCp1252(line));
    m_streamCombo->setCurrentIndex(0);
    // The list shows its first line chosen; the job follows what it shows.
    streamChosen();
}

void JobSetupDialog::streamChosen() {
    const int line = std::max(0, m_streamCombo->currentIndex());
    m_viewGroup->setEnabled(m_streamMap.mapped());
    for (int v = 0; v < kSubpictureViews; ++v)
        m_viewGroup->setItemEnabled(v, m_streamMap.hasView(line, SubpictureView(v)));
    if (!m_streamMap.hasView(line, SubpictureView(std::max(0, m_viewGroup->itemIndex()))))
        m_viewGroup->setItemIndex(0);
    const auto view = SubpictureView(std::max(0, m_viewGroup->itemIndex()));
    m_session.chooseStream(m_streamMap.substream(line, view));
}

std::vector<std::filesystem::path> JobSetupDialog::checkedPaths() const {
    std::vector<std::filesystem::path> out;
    for (int i = 0; i < m_vobList->count() && size_t(i) < m_vobPaths.size(); ++i)
        if (m_vobList->item(i)->checkState() == Qt::Checked) out.push_back(m_vobPaths[size_t(i)]);
    return out;
}

TTimeCode JobSetupDialog::lastTimeCode() const {
    return {uint8_t(m_hourEdit->value()), uint8_t(m_minuteEdit->value()),
            uint8_t(m_secondEdit->value()), m_millisecondEdit->value()};
}

void JobSetupDialog::setLastTimeCode(TTimeCode tc) {
    m_hourEdit->setValue(tc.Hour);
    m_minuteEdit->setValue(tc.Min);
    m_secondEdit->setValue(tc.Sec);
    m_millisecondEdit->setValue(tc.MSec);
}

// Any change of a field, typed or refilled, re-anchors the time line at the
// next pack.
void JobSetupDialog::timeCodeEdited() {
    Demuxer& demuxer = m_session.demuxer();
    demuxer.restartTimeLineAt(lastTimeCode());
}

void JobSetupDialog::refreshMatrixField() {
    m_matrixFileEdit->setText(fromCp1252(matrixFileFieldText(m_session.matrix())));
}

void JobSetupDialog::actionChosen() {
    const int a = m_actionGroup->itemIndex();
    m_timingBox->setEnabled(a == 1 || a == 2);
}

void JobSetupDialog::resetTimeCode() {
    m_session.resetTimeBase();
    setLastTimeCode(m_session.demuxer().lastTimeCode());
}

void JobSetupDialog::chooseVobFolder() {
    FileDialogRequest r;
    r.title = "Open";
    r.filter = kVobFilter;
    r.initialFolder = m_vobFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    if (isVobSubFileName(f->filename().string())) readVobSubLanguages(*f);
    listFolder(f->parent_path());
}

void JobSetupDialog::chooseIfo() {
    FileDialogRequest r;
    r.title = "Open";
    r.filter = kIfoFilter;
    r.initialFolder = m_vobFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    m_vobFolder = f->parent_path();
    if (isVobSubFileName(f->filename().string()))
        readVobSubLanguages(*f);
    else
        readIfoLanguages(*f);
    listFolder(f->parent_path());
}

bool JobSetupDialog::confirmAppend() {
    if (m_session.document().nbSubTitle() == 0) return true;
    const MessageCatalogue& msg = m_session.catalogue();
    return m_dialogs.ask(MessageKind::Information, {Answer::Ok, Answer::Cancel},
                         msg.text(Message::TextFileNotEmpty) + "\r" +
                             msg.text(Message::AddToEndOfFile)) == Answer::Ok;
}

std::optional<std::filesystem::path> JobSetupDialog::choosePicturePrefix(Message title) {
    FileDialogRequest r;
    r.title = m_session.catalogue().text(title);
    std::filesystem::path& folder = m_session.actions().pictureFolder;
    r.initialFolder = folder;
    auto chosen = m_dialogs.chooseSaveFile(r);
    if (chosen) folder = chosen->parent_path();
    return chosen;
}

std::optional<std::filesystem::path> JobSetupDialog::chooseVobSubName() {
    FileDialogRequest r;
    r.title = m_session.catalogue().text(Message::SaveVobSubTitle);
    r.filter = "VobSub (*.idx)|*.idx|All|*.*";
    r.defaultExtension = "idx";
    std::filesystem::path& folder = m_session.actions().pictureFolder;
    r.initialFolder = folder;
    auto chosen = m_dialogs.chooseSaveFile(r);
    if (!chosen) return chosen;
    folder = chosen->parent_path();
    // NAME.idx or NAME.sub both name the pair NAME.
    if (isVobSubFileName(chosen->filename().string())) chosen->replace_extension();
    return chosen;
}

bool JobSetupDialog::startJob() {
    const MessageCatalogue& msg = m_session.catalogue();
    JobSetup setup;
    setup.files = checkedPaths();
    if (!chooseTitleFiles(setup) || setup.files.empty()) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, msg.text(Message::NoVobSelected));
        return false;
    }
    setup.action = uint8_t(std::clamp(m_actionGroup->itemIndex(), 0, 4) + 1);
    setup.withTimingAndPosition = m_timingBox->isChecked();
    setup.forcedOnly = m_forcedOnlyBox->isChecked();
    setup.fromVideoStart = m_fromVideoStartBox->isChecked();
    if (!readJobIndexes(setup) || !askOutputNames(setup)) return false;
    if (setup.action != kActionShow && setup.action != kActionVobSub &&
        m_session.document().splitActive())
        m_dialogs.ask(MessageKind::Plain, {Answer::Ok},
                      msg.text(Message::SplitOutputEnabled) + "\r" +
                          msg.text(Message::SubtitlesMightNotAppear));
    // The main window's "Show Pict." box, which the job follows.
    setup.showSubPict = m_session.job().ShowSubPict;
    streamChosen();
    m_session.demuxer().setLastTimeCode(lastTimeCode());
    emit aboutToStart(
        m_streamCodes[size_t(std::max(0, m_streamCombo->currentIndex())) % m_streamCodes.size()]);
    if (Result r = m_session.startJob(setup); !r) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
        return false;
    }
    emit jobStarted();
    return true;
}

// A VobSub .sub is timed by its .idx, read again now: it may have changed
// since the list was made.
bool JobSetupDialog::readJobIndexes(JobSetup& setup) {
    setup.indexes.resize(setup.files.size());
    for (size_t i = 0; i < setup.files.size(); ++i) {
        if (!isVobSubFileName(setup.files[i].filename().string())) continue;
        VobSubPair pair;
        std::string error;
        if (!loadVobSubPair(setup.files[i], pair, error)) {
            m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, error);
            return false;
        }
        setup.indexes[i] = pair.index;
    }
    return true;
}

bool JobSetupDialog::askOutputNames(JobSetup& setup) {
    switch (setup.action) {
    case kActionOcr:
        if (!confirmAppend()) return false;
        emit subtitlesWindowRequested();
        return true;
    case kActionBmp:
    case kActionSup: {
        if (setup.withTimingAndPosition) {
            if (!confirmAppend()) return false;
            emit subtitlesWindowRequested();
        }
        auto prefix = choosePicturePrefix(setup.action == kActionBmp ? Message::SaveBmpsTitle
                                                                     : Message::SaveSupsTitle);
        if (!prefix) return false;
        setup.picturePrefix = prefix->string();
        emit subtitlesWindowRequested();
        return true;
    }
    case kActionVobSub: {
        auto name = chooseVobSubName();
        if (!name) return false;
        setup.vobSubName = *name;
        return true;
    }
    default: // only show: the session arms the adjustment step and the controller
        return true;
    }
}

void JobSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setLastTimeCode(m_session.demuxer().currentStreamTime());
    actionChosen();
    refreshMatrixField();
}

bool JobSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_vobList && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down) &&
            (ke->modifiers() & Qt::ControlModifier)) {
            moveSelected(ke->key() == Qt::Key_Up ? -1 : 1);
            return true; // swallowed: the selection follows the moved entry
        }
    }
    // The bottom panel moves the window, as a title bar would.
    if ((watched == m_bottomPanel || watched == m_startHint) &&
        event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) m_dragStart = me->globalPosition().toPoint();
    }
    if ((watched == m_bottomPanel || watched == m_startHint) &&
        event->type() == QEvent::MouseMove) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->buttons() & Qt::LeftButton) {
            const QPoint p = me->globalPosition().toPoint();
            move(pos() + (p - m_dragStart));
            m_dragStart = p;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mirtal
