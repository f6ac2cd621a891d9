#include "ui/JobSetupDialog.h"

#include "base/Files.h"
#include "ui/NumericEdit.h"
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
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace mirtal {

namespace {

template <typename W> W* named(W* w, const char* name, const QString& hint = {}) {
    w->setObjectName(name);
    if (!hint.isEmpty()) w->setToolTip(hint);
    return w;
}

// An up/down arrow pair whose own position never changes: each click only
// reports its direction.
class ArrowPair : public QWidget {
public:
    std::function<void(int)> onStep;
    QToolButton* up;
    QToolButton* down;
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
        v->addWidget(up);
        v->addWidget(down);
        v->addStretch(1);
        connect(up, &QToolButton::clicked, this, [this] { if (onStep) onStep(-1); });
        connect(down, &QToolButton::clicked, this, [this] { if (onStep) onStep(1); });
    }
};

} // namespace

JobSetupDialog::JobSetupDialog(UiDialogs& dialogs, QWidget* parent) : QDialog(parent), m_dialogs(dialogs) {
    setObjectName("Form6");
    setWindowTitle("What To Do ?");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
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
    ButtonOpenIfo = named(new QPushButton("Open &IFO", this), "ButtonOpenIfo", "View available subtitle languages from IFO");
    streamRow->addWidget(ComboBoxLanguage, 1);
    streamRow->addWidget(ButtonOpenIfo);
    left->addLayout(streamRow);

    left->addWidget(named(new QLabel("Characters Matrix File        (Different for each DVD) :", this), "Label2"));
    auto* matrixRow = new QHBoxLayout;
    EditCharMatrixFile = named(new QLineEdit("New File", this), "EditCharMatrixFile");
    ButtonOpenCharMatrixFile = named(new QPushButton("- - -", this), "ButtonOpenCharMatrixFile", "Open a Characters Matrix File");
    ButtonNewMatrix = named(new QPushButton("X", this), "ButtonNewMatrix", "New Characters Matrix File");
    ButtonOpenCharMatrixFile->setMaximumWidth(40);
    ButtonNewMatrix->setMaximumWidth(30);
    matrixRow->addWidget(EditCharMatrixFile, 1);
    matrixRow->addWidget(ButtonOpenCharMatrixFile);
    matrixRow->addWidget(ButtonNewMatrix);
    left->addLayout(matrixRow);

    RadioGroupAction = new RadioGroup("Action :",
                                      {"SubPictures to Text via OCR", "Save SubPictures As BMP",
                                       "Save SubPictures As SUP Files", "Only Show SubPictures"},
                                      this);
    RadioGroupAction->setObjectName("RadioGroupAction");
    RadioGroupAction->setItemIndex(0);
    left->addWidget(RadioGroupAction);

    auto* options = named(new QGroupBox("Options", this), "GroupBoxOptions");
    auto* ov = new QVBoxLayout(options);
    CheckBoxPictTiming = named(new QCheckBox("+ TC && Res.", options), "CheckBoxPictTiming",
                               "Get the timing and image(s) size(s) & position(s)");
    ov->addWidget(CheckBoxPictTiming);
    left->addWidget(options);

    auto* textRow = new QHBoxLayout;
    ButtonClearText = named(new QPushButton("&Clear Text File", this), "ButtonClearText", "Clear the Subtitles Text File");
    Button1 = named(new QPushButton("&View Text File", this), "Button1", "Show the Subtitles Text File");
    textRow->addWidget(ButtonClearText);
    textRow->addWidget(Button1);
    left->addLayout(textRow);
    left->addStretch(1);

    // Right: the VOB list and the time code.
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    right->addWidget(named(new QLabel("Vob Files :", this), "Label3"));
    LabelVobPath = named(new QLabel(this), "LabelVobPath");
    right->addWidget(LabelVobPath);
    auto* listRow = new QHBoxLayout;
    CheckListBoxVob = named(new QListWidget(this), "CheckListBoxVob",
                            "Select Vob(s) from which you want to extract subtitles.");
    CheckListBoxVob->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CheckListBoxVob->setMinimumSize(260, 180);
    CheckListBoxVob->installEventFilter(this);
    auto* arrows = new ArrowPair(this);
    UpDownFilePose = named(static_cast<QWidget*>(arrows), "UpDownFilePose",
                           "Change file position ( You can also use [Ctrl] + Up/Down keys )");
    arrows->onStep = [this](int d) { moveSelected(d); };
    listRow->addWidget(CheckListBoxVob, 1);
    listRow->addWidget(UpDownFilePose);
    right->addLayout(listRow, 1);
    ButtonOpenDir = named(new QPushButton("Open &Dir", this), "ButtonOpenDir");
    right->addWidget(ButtonOpenDir);

    right->addWidget(named(new QLabel("Last TimeCode :", this), "Label4"));
    auto* tcRow = new QHBoxLayout;
    auto mk = [&](const char* name, uint16_t max) {
        auto* f = new TWord_u(this);
        f->setObjectName(name);
        f->setDialogs(&m_dialogs);
        f->setValMax(max);
        f->setMaximumWidth(44);
        connect(f, &QLineEdit::textChanged, this, [this] {
            if (!m_filling && onTimeCodeChanged) onTimeCodeChanged();
        });
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
    ButtonResetTC = named(new QPushButton("&Reset", this), "ButtonResetTC",
                          "Reset if you start working on a new DVD But keep this Code if this is the next Vob of a DVD !");
    tcRow->addWidget(ButtonResetTC);
    right->addLayout(tcRow);

    Panel5 = named(new QFrame(this), "Panel5");
    Panel5->setFrameStyle(QFrame::StyledPanel);
    auto* bottom = new QHBoxLayout(Panel5);
    Label5 = named(new QLabel("!! Start with the first 1Gb VOB and use the Last Time Code !!", Panel5), "Label5");
    BitBtnStart = named(new QPushButton("&Start", Panel5), "BitBtnStart");
    BitBtnStart->setDefault(true);
    BitBtnCancel = named(new QPushButton("&Cancel", Panel5), "BitBtnCancel");
    bottom->addWidget(Label5, 1);
    bottom->addWidget(BitBtnStart);
    bottom->addWidget(BitBtnCancel);
    Panel5->installEventFilter(this);
    Label5->installEventFilter(this);
    root->addWidget(Panel5);

    connect(RadioGroupAction, &RadioGroup::clicked, this, [this] { updateActionEnabling(); });
    connect(ComboBoxLanguage, qOverload<int>(&QComboBox::activated), this, [this](int i) {
        if (onStreamChosen) onStreamChosen(i);
    });
    connect(ButtonOpenDir, &QPushButton::clicked, this, [this] { openDir(); });
    connect(ButtonOpenIfo, &QPushButton::clicked, this, [this] { openIfo(); });
    connect(ButtonResetTC, &QPushButton::clicked, this, [this] {
        if (onResetTimeCode) onResetTimeCode();
    });
    connect(ButtonOpenCharMatrixFile, &QPushButton::clicked, this, [this] {
        if (onOpenMatrix) onOpenMatrix();
    });
    connect(ButtonNewMatrix, &QPushButton::clicked, this, [this] {
        if (onNewMatrix) onNewMatrix();
    });
    connect(ButtonClearText, &QPushButton::clicked, this, [this] {
        if (onClearText) onClearText();
    });
    connect(Button1, &QPushButton::clicked, this, [this] {
        reject();
        if (onViewText) onViewText();
    });
    connect(BitBtnStart, &QPushButton::clicked, this, [this] {
        if (onStart && onStart()) accept();
    });
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    QStringList lines;
    for (int k = 1; k <= 32; ++k) lines << QString::number(k) + (k < 10 ? "  - " : " - ");
    fillStreamList(lines);
}

QString JobSetupDialog::vobEntryText(const QString& fileName, uint64_t byteSize) {
    QString kb = QString::number(byteSize >> 10);
    if (kb.size() < 8) kb = QString(8 - kb.size(), '_') + kb;
    QString name = fileName;
    if (name.size() < 14) name += QString(14 - name.size(), ' ');
    return name + "[" + kb + " Kb]";
}

void JobSetupDialog::scanDirectory(const std::filesystem::path& dirIn) {
    std::filesystem::path dir = dirIn;
    openDialogFolder = dir;
    LabelVobPath->setText(QString::fromStdString(dir.string()));
    CheckListBoxVob->clear();
    VobPaths.clear();
    for (const auto& p : listFilesMatching(dir, "*.VOB")) {
        std::error_code ec;
        uint64_t size = std::filesystem::file_size(p, ec);
        if (ec) size = 0;
        auto* item = new QListWidgetItem(vobEntryText(QString::fromStdString(p.filename().string()), size));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        CheckListBoxVob->addItem(item);
        VobPaths.push_back(p);
    }
}

void JobSetupDialog::moveSelected(int delta) {
    const int row = CheckListBoxVob->currentRow();
    if (row < 0 || !CheckListBoxVob->currentItem() || !CheckListBoxVob->currentItem()->isSelected()) return;
    const int to = row + delta;
    if (to < 0 || to >= CheckListBoxVob->count()) return;
    // The check mark and the selection travel with the entry.
    QListWidgetItem* item = CheckListBoxVob->takeItem(row);
    CheckListBoxVob->insertItem(to, item);
    std::swap(VobPaths[size_t(row)], VobPaths[size_t(to)]);
    CheckListBoxVob->setCurrentRow(to);
}

void JobSetupDialog::fillStreamList(const QStringList& lines) {
    ComboBoxLanguage->clear();
    ComboBoxLanguage->addItems(lines);
    ComboBoxLanguage->setCurrentIndex(0);
}

std::vector<std::filesystem::path> JobSetupDialog::checkedPaths() const {
    std::vector<std::filesystem::path> out;
    for (int i = 0; i < CheckListBoxVob->count() && size_t(i) < VobPaths.size(); ++i)
        if (CheckListBoxVob->item(i)->checkState() == Qt::Checked) out.push_back(VobPaths[size_t(i)]);
    return out;
}

void JobSetupDialog::setLastTimeCode(uint8_t h, uint8_t m, uint8_t s, uint16_t ms) {
    Word_uHour->setValeur(h);
    Word_uMin->setValeur(m);
    Word_uSec->setValeur(s);
    Word_uMSec->setValeur(ms);
}

void JobSetupDialog::updateActionEnabling() {
    const int a = RadioGroupAction->itemIndex();
    CheckBoxPictTiming->setEnabled(a == 1 || a == 2);
}

void JobSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
    updateActionEnabling();
}

bool JobSetupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CheckListBoxVob && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if ((ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down) && (ke->modifiers() & Qt::ControlModifier)) {
            moveSelected(ke->key() == Qt::Key_Up ? -1 : 1);
            return true; // swallowed: the selection follows the moved entry
        }
    }
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

void JobSetupDialog::openDir() {
    FileDialogRequest r;
    r.title = "Open";
    r.filter = "VOB (*.vob)|*.vob|VTS Ifo (vts_*.ifo)|vts_*.ifo|All Ifo (*.ifo)|*.ifo|All (*.*)|*.*";
    r.initialFolder = openDialogFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    scanDirectory(f->parent_path());
}

void JobSetupDialog::openIfo() {
    FileDialogRequest r;
    r.title = "Open";
    // The IFO filter first, as the dialog's chosen file type.
    r.filter = "VTS Ifo (vts_*.ifo)|vts_*.ifo|VOB (*.vob)|*.vob|All Ifo (*.ifo)|*.ifo|All (*.*)|*.*";
    r.initialFolder = openDialogFolder;
    auto f = m_dialogs.chooseOpenFile(r);
    if (!f) return;
    openDialogFolder = f->parent_path();
    if (onIfoChosen) onIfoChosen(*f);
    scanDirectory(f->parent_path());
}

} // namespace mirtal
