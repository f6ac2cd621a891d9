#include "ui/JobSetupDialog.h"
#include "ui/WidgetSupport.h"

#include "base/Files.h"
#include "ocr/MatrixFlows.h"
#include "rip/Session.h"
#include "rip/VobSubIndex.h"
#include "ui/NumericEdit.h"
#include "ui/QtLanguageTarget.h"
#include "ui/RadioGroup.h"
#include "ui/UiDialogs.h"

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
// reports its direction.
class ArrowPair : public QWidget {
public:
    std::function<void(int)> onStep;
    explicit ArrowPair(QWidget* parent) : QWidget(parent) {
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        auto* up = new QToolButton(this);
        up->setObjectName("UpDownFilePoseUp");
        up->setArrowType(Qt::UpArrow);
        auto* down = new QToolButton(this);
        down->setObjectName("UpDownFilePoseDown");
        down->setArrowType(Qt::DownArrow);
        v->addStretch(1);
        v->addWidget(up);
        v->addWidget(down);
        v->addStretch(1);
        connect(up, &QToolButton::clicked, this, [this] {
            if (onStep) onStep(-1);
        });
        connect(down, &QToolButton::clicked, this, [this] {
            if (onStep) onStep(1);
        });
    }
};

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
        if (FindVobSubPartner(sub)) files.push_back(sub);
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

    // Left: stream, matrix, action, options, text file.
    auto* left = new QVBoxLayout;
    columns->addLayout(left);
    left->addWidget(named(new QLabel("Language Stream :", this), "Label1"));
    auto* streamRow = new QHBoxLayout;
    ComboBoxLanguage = named(new QComboBox(this), "ComboBoxLanguage");
    ComboBoxLanguage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ComboBoxLanguage->setMinimumWidth(170);
    ButtonOpenIfo = named(new QPushButton("Open &IFO", this), "ButtonOpenIfo",
                          "View available subtitle languages from IFO");
    streamRow->addWidget(ComboBoxLanguage, 1);
    streamRow->addWidget(ButtonOpenIfo);
    left->addLayout(streamRow);
    RadioGroupView = new RadioGroup("View :", {"Widescreen", "Letterbox", "Pan-Scan"}, this);
    RadioGroupView->setObjectName("RadioGroupView");
    RadioGroupView->setToolTip("Which picture the subtitles of a 16:9 disc are drawn for");
    RadioGroupView->setItemIndex(0);
    left->addWidget(RadioGroupView);

    left->addWidget(named(
        new QLabel("Characters Matrix File        (Different for each DVD) :", this), "Label2"));
    auto* matrixRow = new QHBoxLayout;
    EditCharMatrixFile = named(new QLineEdit("New File", this), "EditCharMatrixFile");
    ButtonOpenCharMatrixFile = named(new QPushButton("- - -", this), "ButtonOpenCharMatrixFile",
                                     "Open a Characters Matrix File");
    ButtonNewMatrix =
        named(new QPushButton("X", this), "ButtonNewMatrix", "New Characters Matrix File");
    ButtonOpenCharMatrixFile->setMaximumWidth(40);
    ButtonNewMatrix->setMaximumWidth(30);
    matrixRow->addWidget(EditCharMatrixFile, 1);
    matrixRow->addWidget(ButtonOpenCharMatrixFile);
    matrixRow->addWidget(ButtonNewMatrix);
    left->addLayout(matrixRow);

    RadioGroupAction = new RadioGroup("Action :",
                                      {"SubPictures to Text via OCR", "Save SubPictures As BMP",
                                       "Save SubPictures As SUP Files", "Only Show SubPictures",
                                       "Save SubPictures As VobSub"},
                                      this);
    RadioGroupAction->setObjectName("RadioGroupAction");
    RadioGroupAction->setItemIndex(0);
    left->addWidget(RadioGroupAction);

    auto* options = named(new QGroupBox("Options", this), "GroupBoxOptions");
    auto* ov = new QVBoxLayout(options);
    CheckBoxPictTiming = named(new QCheckBox("+ TC && Res.", options), "CheckBoxPictTiming",
                               "Get the timing and image(s) size(s) & position(s)");
    ov->addWidget(CheckBoxPictTiming);
    CheckBoxForcedOnly =
        named(new QCheckBox("Forced Subs Only", options), "CheckBoxForcedOnly",
              "Only the subpictures a player shows even with subtitles off (forced start)");
    ov->addWidget(CheckBoxForcedOnly);
    CheckBoxFromVideoStart =
        named(new QCheckBox("times from the first video frame", options), "CheckBoxFromVideoStart",
              "Time the subtitles from the film's first picture, as players of a remuxed film "
              "(MKV, MP4) do; off: from the disc's stream clock");
    ov->addWidget(CheckBoxFromVideoStart);
    left->addWidget(options);

    auto* textRow = new QHBoxLayout;
    ButtonClearText = named(new QPushButton("C&lear Text File", this), "ButtonClearText",
                            "Clear the Subtitles Text File");
    Button1 =
        named(new QPushButton("&View Text File", this), "Button1", "Show the Subtitles Text File");
    textRow->addWidget(ButtonClearText);
    textRow->addWidget(Button1);
    left->addLayout(textRow);
    left->addStretch(1);

    // Right: the VOB list and the time code.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    right->addWidget(named(new QLabel("Vob Files :", this), "Label3"));
    LabelVobPath = named(new QLabel(this), "LabelVobPath");
    showsValue({LabelVobPath});
    LabelVobPath->setMinimumWidth(290);
    LabelVobPath->setMaximumWidth(340);
    right->addWidget(LabelVobPath);
    auto* listRow = new QHBoxLayout;
    CheckListBoxVob = named(new QListWidget(this), "CheckListBoxVob",
                            "Select Vob(s) from which you want to extract subtitles.");
    CheckListBoxVob->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CheckListBoxVob->setMinimumSize(290, 180);
    CheckListBoxVob->installEventFilter(this);
    auto* arrows = new ArrowPair(this);
    UpDownFilePose = named(static_cast<QWidget*>(arrows), "UpDownFilePose",
                           "Change file position ( You can also use [Ctrl] + Up/Down keys )");
    arrows->onStep = [this](int d) { moveSelected(d); };
    listRow->addWidget(CheckListBoxVob, 1);
    listRow->addWidget(UpDownFilePose);
    right->addLayout(listRow, 1);
    ButtonOpenDir = named(new QPushButton("Open &Dir", this), "ButtonOpenDir");
    right->addWidget(ButtonOpenDir, 0, Qt::AlignLeft);

    right->addWidget(named(new QLabel("Last TimeCode :", this), "Label4"));
    auto* tcRow = new QHBoxLayout;
    auto mk = [&](const char* name, uint16_t max) {
        auto* f = new TWord_u(this);
        f->setObjectName(name);
        f->setDialogs(&m_dialogs);
        f->setValMax(max);
        f->setMaximumWidth(44);
        f->setAlignment(Qt::AlignRight);
        connect(f, &QLineEdit::textChanged, this, [this] { timeCodeEdited(); });
        return f;
    };
    Word_uHour = mk("Word_uHour", 24);
    Word_uMin = mk("Word_uMin", 59);
    Word_uSec = mk("Word_uSec", 59);
    Word_uMSec = mk("Word_uMSec", 999);
    tcRow->addWidget(Word_uHour);
    tcRow->addWidget(new QLabel(":", this));
    tcRow->addWidget(Word_uMin);
    tcRow->addWidget(new QLabel(":", this));
    tcRow->addWidget(Word_uSec);
    tcRow->addWidget(new QLabel(",", this));
    tcRow->addWidget(Word_uMSec);
    tcRow->addStretch(1);
    ButtonResetTC = named(new QPushButton("&Reset", this), "ButtonResetTC",
                          "Reset if you start working on a new DVD But keep this Code if this is "
                          "the next Vob of a DVD !");
    tcRow->addWidget(ButtonResetTC);
    right->addLayout(tcRow);

    Panel5 = named(new QFrame(this), "Panel5");
    Panel5->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* bottom = new QHBoxLayout(Panel5);
    Label5 =
        named(new QLabel("!! Start with the first 1Gb VOB and use the Last Time Code !!", Panel5),
              "Label5");
    BitBtnStart = named(new QPushButton("&Start", Panel5), "BitBtnStart");
    BitBtnStart->setDefault(true);
    BitBtnCancel = named(new QPushButton("&Cancel", Panel5), "BitBtnCancel");
    bottom->addWidget(Label5, 1);
    bottom->addWidget(BitBtnStart);
    bottom->addWidget(BitBtnCancel);
    Panel5->installEventFilter(this);
    Label5->installEventFilter(this);
    root->addWidget(Panel5);

    connect(RadioGroupAction, &RadioGroup::clicked, this, [this] { RadioGroupActionClick(); });
    connect(ComboBoxLanguage, qOverload<int>(&QComboBox::activated), this,
            [this] { streamChosen(); });
    connect(RadioGroupView, &RadioGroup::clicked, this, [this] { streamChosen(); });
    connect(ButtonOpenDir, &QPushButton::clicked, this, [this] { ButtonOpenDirClick(); });
    connect(ButtonOpenIfo, &QPushButton::clicked, this, [this] { ButtonOpenIfoClick(); });
    connect(ButtonResetTC, &QPushButton::clicked, this, [this] { ButtonResetTCClick(); });
    // The open flow asks about unsaved changes itself; asking here too would
    // put the same question twice to a user who answers No.
    connect(ButtonOpenCharMatrixFile, &QPushButton::clicked, this, [this] {
        if (openMatrix) openMatrix();
        refreshMatrixField();
    });
    connect(ButtonNewMatrix, &QPushButton::clicked, this, [this] {
        if (newMatrix) newMatrix();
        refreshMatrixField();
    });
    connect(ButtonClearText, &QPushButton::clicked, this, [this] {
        if (clearSubtitles) clearSubtitles();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        reject();
        if (showSubtitlesWindow) showSubtitlesWindow();
    });
    connect(BitBtnStart, &QPushButton::clicked, this, [this] {
        if (BitBtnStartClick()) accept();
    });
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FillStreamList();
}

QString JobSetupDialog::vobEntryText(const QString& fileName, uint64_t byteSize) {
    QString kb = QString::number(byteSize >> 10);
    if (kb.size() < 8) kb = QString(8 - kb.size(), '_') + kb;
    QString name = fileName;
    if (name.size() < 14) name += QString(14 - name.size(), ' ');
    return name + "[" + kb + " Kb]";
}

void JobSetupDialog::scanDirectory(const std::filesystem::path& dir) {
    openDialogFolder = dir;
    LabelVobPath->setText(QString::fromStdString(dir.string()));
    LabelVobPath->setToolTip(LabelVobPath->text());
    CheckListBoxVob->clear();
    VobPaths.clear();
    for (const auto& p : listedFiles(dir)) {
        std::error_code ec;
        uint64_t size = std::filesystem::file_size(p, ec);
        if (ec) size = 0;
        auto* item =
            new QListWidgetItem(vobEntryText(QString::fromStdString(p.filename().string()), size));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        CheckListBoxVob->addItem(item);
        VobPaths.push_back(p);
    }
}

void JobSetupDialog::moveSelected(int delta) {
    const int row = CheckListBoxVob->currentRow();
    if (row < 0 || !CheckListBoxVob->currentItem() || !CheckListBoxVob->currentItem()->isSelected())
        return;
    const int to = row + delta;
    if (to < 0 || to >= CheckListBoxVob->count() || size_t(std::max(row, to)) >= VobPaths.size())
        return;
    QListWidgetItem* item = CheckListBoxVob->takeItem(row);
    CheckListBoxVob->insertItem(to, item);
    std::swap(VobPaths[size_t(row)], VobPaths[size_t(to)]);
    CheckListBoxVob->setCurrentRow(to);
}

void JobSetupDialog::ReadIfoLanguages(const std::filesystem::path& ifo) {
    const IfoReadResult r = mirtal::ReadIfoLanguages(ifo, StreamLanguages);
    if (r.found) streamMap = ReadStreamMap(ifo);
    if (r.found) StreamCodes = r.codes;
    FillStreamList();
    if (r.found && !r.ok()) m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.message);
}

bool JobSetupDialog::ReadVobSubLanguages(const std::filesystem::path& file) {
    VobSubPair pair;
    std::string error;
    if (!LoadVobSubPair(file, pair, error)) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, error);
        return false;
    }
    StreamLanguages = pair.index->languages();
    streamMap = {};
    StreamCodes = pair.index->codes();
    FillStreamList();
    return true;
}

void JobSetupDialog::FillStreamList() {
    ComboBoxLanguage->clear();
    for (const std::string& line : mirtal::FillStreamList(StreamLanguages))
        ComboBoxLanguage->addItem(fromCp1252(line));
    ComboBoxLanguage->setCurrentIndex(0);
    // The list shows its first line chosen; the job follows what it shows.
    streamChosen();
}

void JobSetupDialog::streamChosen() {
    const int line = std::max(0, ComboBoxLanguage->currentIndex());
    RadioGroupView->setEnabled(streamMap.mapped());
    for (int v = 0; v < kSubpictureViews; ++v)
        RadioGroupView->setItemEnabled(v, streamMap.hasView(line, SubpictureView(v)));
    if (!streamMap.hasView(line, SubpictureView(std::max(0, RadioGroupView->itemIndex()))))
        RadioGroupView->setItemIndex(0);
    const auto view = SubpictureView(std::max(0, RadioGroupView->itemIndex()));
    m_session.chooseStream(streamMap.substream(line, view));
}

std::vector<std::filesystem::path> JobSetupDialog::checkedPaths() const {
    std::vector<std::filesystem::path> out;
    for (int i = 0; i < CheckListBoxVob->count() && size_t(i) < VobPaths.size(); ++i)
        if (CheckListBoxVob->item(i)->checkState() == Qt::Checked)
            out.push_back(VobPaths[size_t(i)]);
    return out;
}

TTimeCode JobSetupDialog::LastTimeCode() {
    return {uint8_t(Word_uHour->valeur()), uint8_t(Word_uMin->valeur()),
            uint8_t(Word_uSec->valeur()), Word_uMSec->valeur()};
}

void JobSetupDialog::setLastTimeCode(TTimeCode tc) {
    Word_uHour->setValeur(tc.Hour);
    Word_uMin->setValeur(tc.Min);
    Word_uSec->setValeur(tc.Sec);
    Word_uMSec->setValeur(tc.MSec);
}

// Any change of a field, typed or refilled, re-anchors the time line at the
// next pack.
void JobSetupDialog::timeCodeEdited() {
    Demuxer& demuxer = m_session.demuxer();
    demuxer.restartTimeLineAt(LastTimeCode());
}

void JobSetupDialog::refreshMatrixField() {
    EditCharMatrixFile->setText(fromCp1252(MatrixFileFieldText(m_session.matrix())));
}

void JobSetupDialog::RadioGroupActionClick() {
    const int a = RadioGroupAction->itemIndex();
    CheckBoxPictTiming->setEnabled(a == 1 || a == 2);
}

void JobSetupDialog::ButtonResetTCClick() {
    m_session.resetTimeBase();
    setLastTimeCode(m_session.demuxer().lastTimeCode());
}

void JobSetupDialog::ButtonOpenDirClick() {
    FileDialogRequest r;
    r.title = "Open";
    r.filter = kVobFilter;
    r.initialFolder = openDialogFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    if (IsVobSubFileName(f->filename().string())) ReadVobSubLanguages(*f);
    scanDirectory(f->parent_path());
}

void JobSetupDialog::ButtonOpenIfoClick() {
    FileDialogRequest r;
    r.title = "Open";
    r.filter = kIfoFilter;
    r.initialFolder = openDialogFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    openDialogFolder = f->parent_path();
    if (IsVobSubFileName(f->filename().string()))
        ReadVobSubLanguages(*f);
    else
        ReadIfoLanguages(*f);
    scanDirectory(f->parent_path());
}

bool JobSetupDialog::ConfirmAppend() {
    if (m_session.document().NbSubTitle() == 0) return true;
    const MessageCatalogue& msg = m_session.catalogue();
    return m_dialogs.ask(MessageKind::Information, {Answer::Ok, Answer::Cancel},
                         msg.text(Message::TextFileNotEmpty) + "\r" + msg.text(Message::AddToEndOfFile)) == Answer::Ok;
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
    if (IsVobSubFileName(chosen->filename().string())) chosen->replace_extension();
    return chosen;
}

bool JobSetupDialog::BitBtnStartClick() {
    const MessageCatalogue& msg = m_session.catalogue();
    JobSetup setup;
    setup.files = checkedPaths();
    if (setup.files.empty()) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, msg.text(Message::NoVobSelected));
        return false;
    }
    setup.action = uint8_t(std::clamp(RadioGroupAction->itemIndex(), 0, 4) + 1);
    setup.withTimingAndPosition = CheckBoxPictTiming->isChecked();
    setup.forcedOnly = CheckBoxForcedOnly->isChecked();
    setup.fromVideoStart = CheckBoxFromVideoStart->isChecked();
    // A VobSub .sub is timed by its .idx, read again now: it may have
    // changed since the list was made.
    setup.indexes.resize(setup.files.size());
    for (size_t i = 0; i < setup.files.size(); ++i) {
        if (!IsVobSubFileName(setup.files[i].filename().string())) continue;
        VobSubPair pair;
        std::string error;
        if (!LoadVobSubPair(setup.files[i], pair, error)) {
            m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, error);
            return false;
        }
        setup.indexes[i] = pair.index;
    }
    auto showSubtitles = [this] {
        if (showSubtitlesWindow) showSubtitlesWindow();
    };
    switch (setup.action) {
    case kActionOcr:
        if (!ConfirmAppend()) return false;
        showSubtitles();
        break;
    case kActionBmp:
    case kActionSup: {
        if (setup.withTimingAndPosition) {
            if (!ConfirmAppend()) return false;
            showSubtitles();
        }
        auto prefix = choosePicturePrefix(setup.action == kActionBmp ? Message::SaveBmpsTitle : Message::SaveSupsTitle);
        if (!prefix) return false;
        setup.picturePrefix = prefix->string();
        showSubtitles();
        break;
    }
    case kActionVobSub: {
        auto name = chooseVobSubName();
        if (!name) return false;
        setup.vobSubName = *name;
        break;
    }
    default: // only show: the session arms the adjustment step and the controller
        break;
    }
    if (setup.action != kActionShow && setup.action != kActionVobSub &&
        m_session.document().SplitActive())
        m_dialogs.ask(MessageKind::Plain, {Answer::Ok}, msg.text(Message::SplitOutputEnabled) + "\r" + msg.text(Message::SubtitlesMightNotAppear));
    setup.showSubPict = showSubPict ? showSubPict() : true;
    streamChosen();
    m_session.demuxer().setLastTimeCode(LastTimeCode());
    if (beforeStart)
        beforeStart(StreamCodes[size_t(std::max(0, ComboBoxLanguage->currentIndex())) %
                                StreamCodes.size()]);
    if (Result r = m_session.startJob(setup); !r) {
        m_dialogs.ask(MessageKind::Warning, {Answer::Ok}, r.error);
        return false;
    }
    if (onStarted) onStarted();
    return true;
}

void JobSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setLastTimeCode(m_session.demuxer().currentStreamTime());
    RadioGroupActionClick();
    refreshMatrixField();
}

bool JobSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CheckListBoxVob && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down) &&
            (ke->modifiers() & Qt::ControlModifier)) {
            moveSelected(ke->key() == Qt::Key_Up ? -1 : 1);
            return true; // swallowed: the selection follows the moved entry
        }
    }
    // The bottom panel moves the window, as a title bar would.
    if ((watched == Panel5 || watched == Label5) && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) m_dragStart = me->globalPosition().toPoint();
    }
    if ((watched == Panel5 || watched == Label5) && event->type() == QEvent::MouseMove) {
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
