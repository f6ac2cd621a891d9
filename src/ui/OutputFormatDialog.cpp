#include "ui/OutputFormatDialog.h"
#include "ui/WidgetSupport.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/UiDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <optional>
#include <type_traits>

namespace mirtal {

namespace {

QColor toQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
Colour fromQColor(const QColor& q) {
    return Colour(q.red()) | (Colour(q.green()) << 8) | (Colour(q.blue()) << 16);
}

QSpinBox* spin(QWidget* parent, const QString& name, int min, int max, int value) {
    auto* s = named(new QSpinBox(parent), name);
    s->setRange(min, max);
    s->setValue(value);
    return s;
}

const char* const kFrameRates[] = {"PAL     25 Fps", "NTSC  30 Fps"};
const char* const kFrameRateHint =
    "!! Be careful : if you choose NTSC and movie is PAL some Subtitles may not appear !!";
const char* const kDropFrame = "DropFrame ( 29,97 Fps )";
const char* const kBmpModeOnly = "!! Only use with the \"Save As BMP\" Mode ( Without OCR ) !!";

QComboBox* frameRateCombo(QWidget* parent, const QString& name) {
    auto* c = named(new QComboBox(parent), name, kFrameRateHint);
    for (const char* item : kFrameRates) c->addItem(item);
    return c;
}

void setText(QLineEdit* e, const std::string& text) {
    QString t = fromCp1252(text);
    if (e->text() != t) e->setText(t);
}

} // namespace

OutputFormatDialog::OutputFormatDialog(SubtitleDocument& document, UiDialogs& dialogs,
                                       QWidget* parent)
    : QDialog(parent), m_doc(document), m_dialogs(dialogs) {
    setObjectName("Form13");
    setWindowTitle("Output Format");
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    auto* root = new QVBoxLayout(this);
    PageControlMirtal = named(new QTabWidget(this), "PageControlMirtal");
    // In the order of the output formats: the active tab is the format.
    TabSheetMirtal = buildNativeTab();
    TabSheetSubviewer = buildSubViewerTab();
    TabSheetSubviewer2 = buildSubViewer2Tab();
    TabSheetIAuthor = buildIAuthorTab();
    TabSheetPhilips = buildPhilipsTab();
    TabSheetSonic = buildSonicTab();
    TabSheetWebVtt = buildNoteTab("TabSheetWebVtt",
                                  "For web browsers and HTML5 video players ( Always UTF-8 )");
    TabSheetAss = buildNoteTab("TabSheetAss",
                               "Advanced SubStation Alpha, for Matroska, ASS editors and players "
                               "( Always UTF-8 )");
    PageControlMirtal->addTab(TabSheetMirtal, "Mirtal (*.vtx)");
    PageControlMirtal->addTab(TabSheetSubviewer, "Subviewer (*.sub)");
    PageControlMirtal->addTab(TabSheetSubviewer2, "Subviewer 2 (*.sub)");
    PageControlMirtal->addTab(TabSheetIAuthor, "IAuthor (*.txt)");
    PageControlMirtal->addTab(TabSheetPhilips, "Philips SVCD Designer (*.sub)");
    PageControlMirtal->addTab(TabSheetSonic, "Sonic DVD Creator (*.txt)");
    PageControlMirtal->addTab(TabSheetWebVtt, "WebVTT (*.vtt)");
    PageControlMirtal->addTab(TabSheetAss, "ASS (*.ass)");
    root->addWidget(PageControlMirtal, 1);
    // Every tab's caption in sight: the tabs are the formats to choose from.
    setMinimumWidth(PageControlMirtal->tabBar()->sizeHint().width() + 40);

    auto* buttons = new QHBoxLayout;
    LabelEncoding = named(new QLabel("Text Encoding :", this), "LabelEncoding");
    ComboBoxEncoding = named(new QComboBox(this), "ComboBoxEncoding",
                             "Encoding of the subtitle files written and of the Mirtal files "
                             "read; 8 bits for the older tools");
    ComboBoxEncoding->addItems({"Windows-1252 (8 bits)", "UTF-8"});
    LabelEncoding->setBuddy(ComboBoxEncoding);
    buttons->addWidget(LabelEncoding);
    buttons->addWidget(ComboBoxEncoding);
    buttons->addStretch(1);
    BitBtnConvert = named(new QPushButton("Convert to this &Format", this), "BitBtnConvert");
    BitBtnConvert->setDefault(true);
    BitBtn1 = named(new QPushButton("&Cancel", this), "BitBtn1");
    buttons->addWidget(BitBtnConvert);
    buttons->addWidget(BitBtn1);
    root->addLayout(buttons);

    connect(BitBtnConvert, &QPushButton::clicked, this, [this] { BitBtnConvertClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboBoxPhilipsFrameRate, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { updateDropFrameBoxes(); });
    connect(ComboBoxSonicFrameRate, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this] { updateDropFrameBoxes(); });
    connect(CheckBoxPhilipsUseBmpColor, &QCheckBox::toggled, this,
            [this] { updatePhilipsColourPanels(); });
    connect(ButtonSubviewer2Font, &QPushButton::clicked, this, [this] { chooseFont(); });
    wireLiveOptions();
    FormShow();
}

QLabel* OutputFormatDialog::label(const QString& text, QWidget* parent) {
    // Named so that a language file can translate every caption.
    return named(new QLabel(text, parent), QStringLiteral("Label%1").arg(++m_labels));
}

QWidget* OutputFormatDialog::buildNativeTab() {
    auto* page = named(new QWidget, "TabSheetMirtal");
    auto* v = new QVBoxLayout(page);
    QLabel* head = label("Mirtal own Format ( To re-open and modify later )", page);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    v->addWidget(head);
    auto* row = new QHBoxLayout;
    row->addWidget(label("Subtitle Index Offset (To combine with another file) :", page));
    SpinEditMirtalOffset = spin(page, "SpinEditMirtalOffset", 0, 65535, 0);
    row->addWidget(SpinEditMirtalOffset);
    row->addStretch(1);
    v->addLayout(row);
    CheckBoxVtxExtended =
        named(new QCheckBox("Extended Format (With Picture(s) Coordinates) :", page),
              "CheckBoxVtxExtended",
              "Uncheck it to stay compatible with the old format (without coordinates)");
    CheckBoxVtxExtended->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(CheckBoxVtxExtended, 0, Qt::AlignLeft | Qt::AlignAbsolute);
    v->addStretch(1);
    return page;
}

QWidget* OutputFormatDialog::buildSubViewerTab() {
    auto* page = named(new QWidget, "TabSheetSubviewer");
    auto* g = new QGridLayout(page);
    g->addWidget(label("For displaying with SubViewer 1 or Quorvane 1", page), 0, 0, 1, 3);
    auto edit = [&](int row, const QString& caption, const char* name, const QString& text = {}) {
        g->addWidget(label(caption, page), row, 0);
        auto* e = named(new QLineEdit(text, page), name);
        g->addWidget(e, row, 1, 1, 2);
        return e;
    };
    EditSubviewerTitle = edit(1, "Title :", "EditSubviewerTitle");
    EditSubviewerAuthor = edit(2, "Author :", "EditSubviewerAuthor");
    EditSubviewerSource =
        edit(3, "Source :", "EditSubviewerSource", "Subtitles captured by Mirtal 0.93b");
    EditSubviewerProgram = edit(4, "Program :", "EditSubviewerProgram");
    EditSubviewerFilePath = edit(5, "File Path :", "EditSubviewerFilePath");
    g->addWidget(label("Delay :", page), 6, 0);
    SpinEditSubViewerDelay = spin(page, "SpinEditSubViewerDelay", -65535, 65535, 0);
    g->addWidget(SpinEditSubViewerDelay, 6, 1);
    g->addWidget(
        label("Can be smaller than 0 to speed up the start of reading  ( Only with Quorvane )",
              page),
        6, 2);
    CheckBox2LineMax = named(new QCheckBox("If more than 2 lines, add next lines to the 2nd", page),
                             "CheckBox2LineMax");
    CheckBox2LineMax->setChecked(true);
    g->addWidget(CheckBox2LineMax, 7, 0, 1, 3);
    CheckBoxRoundTC =
        named(new QCheckBox("Round the Time Codes ( Recommended )", page), "CheckBoxRoundTC");
    CheckBoxRoundTC->setChecked(true);
    g->addWidget(CheckBoxRoundTC, 8, 0, 1, 3);
    g->setColumnStretch(2, 1);
    g->setRowStretch(9, 1);
    return page;
}

QWidget* OutputFormatDialog::buildSubViewer2Tab() {
    auto* page = named(new QWidget, "TabSheetSubviewer2");
    auto* g = new QGridLayout(page);
    g->addWidget(label("For displaying with SubViewer 2.x", page), 0, 0, 1, 4);
    auto edit = [&](int row, const QString& caption, const char* name, const QString& text = {}) {
        g->addWidget(label(caption, page), row, 0);
        auto* e = named(new QLineEdit(text, page), name);
        g->addWidget(e, row, 1, 1, 3);
        return e;
    };
    EditSubviewer2Title = edit(1, "Title :", "EditSubviewer2Title");
    EditSubviewer2Author = edit(2, "Author :", "EditSubviewer2Author");
    EditSubviewer2Source =
        edit(3, "Source :", "EditSubviewer2Source", "Subtitles captured by Mirtal 0.93b");
    EditSubviewer2Program = edit(4, "Program :", "EditSubviewer2Program");
    EditSubviewer2FilePath = edit(5, "File Path :", "EditSubviewer2FilePath");
    EditSubviewer2Comment = edit(6, "Comment :", "EditSubviewer2Comment");
    g->addWidget(label("Delay :", page), 7, 0);
    SpinEditSubViewer2Delay = spin(page, "SpinEditSubViewer2Delay", 0, 65535, 0);
    g->addWidget(SpinEditSubViewer2Delay, 7, 1, Qt::AlignLeft);
    g->addWidget(label("CD Track :", page), 7, 2, Qt::AlignRight);
    SpinEditSubViewer2CDTrack = spin(page, "SpinEditSubViewer2CDTrack", 0, 255, 0);
    g->addWidget(SpinEditSubViewer2CDTrack, 7, 3);

    PanelSubViewer2Font = named(new QFrame(page), "PanelSubViewer2Font",
                                "Click here to change the colour of the font");
    PanelSubViewer2Font->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelSubViewer2Font->setAutoFillBackground(true);
    QPalette dark = PanelSubViewer2Font->palette();
    dark.setColor(QPalette::Window, QColor(0x40, 0x40, 0x50)); // so that white text shows
    PanelSubViewer2Font->setPalette(dark);
    PanelSubViewer2Font->setMinimumHeight(48);
    PanelSubViewer2Font->setCursor(Qt::PointingHandCursor);
    auto* sampleLayout = new QHBoxLayout(PanelSubViewer2Font);
    m_fontSample = new QLabel("FONT Sample", PanelSubViewer2Font);
    m_fontSample->setAlignment(Qt::AlignCenter);
    m_fontSample->setAttribute(Qt::WA_TransparentForMouseEvents);
    sampleLayout->addWidget(m_fontSample);
    PanelSubViewer2Font->installEventFilter(this);
    g->addWidget(PanelSubViewer2Font, 8, 0, 1, 3);
    ButtonSubviewer2Font = named(new QPushButton("Change Font", page), "ButtonSubviewer2Font");
    g->addWidget(ButtonSubviewer2Font, 8, 3);
    g->setColumnStretch(1, 1);
    g->setRowStretch(9, 1);
    setSampleFont(FontSpec{});
    return page;
}

QWidget* OutputFormatDialog::buildIAuthorTab() {
    auto* page = named(new QWidget, "TabSheetIAuthor");
    auto* v = new QVBoxLayout(page);
    v->addWidget(label("To create an SVCD with Subtitles using I-Author 1.0", page));
    QLabel* warn = label(kBmpModeOnly, page);
    warn->setStyleSheet("color: #b00000");
    v->addWidget(warn);
    QLabel* big = label("!! Because of the large size of the resulting text file, it will not be "
                        "showed but converted at the \"Save As\" stage !!",
                        page);
    big->setWordWrap(true);
    v->addWidget(big);
    auto* g = new QGridLayout;
    g->addWidget(label("Blend (0=invisible)", page), 0, 2);
    const char* captions[4] = {"Primary Color 0 (Background) :", "Primary Color 1 (Font) :",
                               "Primary Color 2 (Outline) :", "Primary Color 3 (Antialiasing) :"};
    const IAuthorOptions defaults;
    for (int k = 0; k < 4; ++k) {
        g->addWidget(label(captions[k], page), k + 1, 0);
        PanelPColor[k] = named(new QFrame(page), QStringLiteral("PanelPColor%1").arg(k));
        g->addWidget(PanelPColor[k], k + 1, 1);
        SpinEditBlendPColor[k] =
            spin(page, QStringLiteral("SpinEditBlendPColor%1").arg(k), 0, 15, defaults.Blend[k]);
        g->addWidget(SpinEditBlendPColor[k], k + 1, 2);
    }
    g->setColumnStretch(3, 1);
    v->addLayout(g);
    v->addWidget(
        label("( The Highlight colors are not used and are set to default values )", page));
    auto* row = new QHBoxLayout;
    row->addWidget(label("Minimum ms between two subtitles ( Avoid problems ) :", page));
    SpinEditMinimumInterval = spin(page, "SpinEditMinimumInterval", 0, 999, defaults.MinInterval);
    row->addWidget(SpinEditMinimumInterval);
    row->addStretch(1);
    v->addLayout(row);
    v->addStretch(1);
    for (int k = 0; k < 4; ++k) {
        PanelPColor[k]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        PanelPColor[k]->setAutoFillBackground(true);
        PanelPColor[k]->setFixedSize(40, 20);
        PanelPColor[k]->setCursor(Qt::PointingHandCursor);
        PanelPColor[k]->installEventFilter(this);
        setPanelColour(PanelPColor[k], defaults.Colors[k]);
    }
    return page;
}

QWidget* OutputFormatDialog::buildPhilipsTab() {
    auto* page = named(new QWidget, "TabSheetPhilips");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        label("To create an SVCD with Subtitles using Philips SVCD Designer 1.5 or 2", page));
    QLabel* warn = label(kBmpModeOnly, page);
    warn->setStyleSheet("color: #b00000");
    v->addWidget(warn);
    auto* g = new QGridLayout;
    LabelPhilipsColor = named(new QLabel("Color", page), "LabelPhilipsColor");
    g->addWidget(LabelPhilipsColor, 0, 1);
    g->addWidget(label("Contrast", page), 0, 2);
    const char* captions[4] = {"Color 0 (Background) :", "Color 1 (Font) :", "Color 2 (Outline) :",
                               "Color 3 (Antialiasing) :"};
    const PhilipsOptions defaults;
    for (int k = 0; k < 4; ++k) {
        g->addWidget(label(captions[k], page), k + 1, 0);
        PanelPhilipsColor[k] =
            named(new QFrame(page), QStringLiteral("PanelPhilipsColor%1").arg(k));
        PanelPhilipsColor[k]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        PanelPhilipsColor[k]->setAutoFillBackground(true);
        PanelPhilipsColor[k]->setFixedSize(40, 20);
        PanelPhilipsColor[k]->setCursor(Qt::PointingHandCursor);
        PanelPhilipsColor[k]->installEventFilter(this);
        setPanelColour(PanelPhilipsColor[k], defaults.Colors[k]);
        g->addWidget(PanelPhilipsColor[k], k + 1, 1);
        SpinEditPhilipsContrast[k] = spin(page, QStringLiteral("SpinEditPhilipsContrast%1").arg(k),
                                          0, 15, defaults.Contrast[k]);
        g->addWidget(SpinEditPhilipsContrast[k], k + 1, 2);
    }
    // Keeps the colour column's width when its panels are hidden.
    g->setColumnMinimumWidth(1, 44);
    CheckBoxPhilipsUseBmpColor =
        named(new QCheckBox("Use colors from bitmap", page), "CheckBoxPhilipsUseBmpColor",
              "You must enable this option for SVCD Designer 1.5 since it don't support other "
              "palette.");
    CheckBoxPhilipsUseBmpColor->setChecked(defaults.UseBmpColors);
    g->addWidget(CheckBoxPhilipsUseBmpColor, 1, 3);
    g->setColumnStretch(3, 1);
    v->addLayout(g);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(label("Title :", page));
    EditPhilipsTitle = named(new QLineEdit(page), "EditPhilipsTitle");
    titleRow->addWidget(EditPhilipsTitle, 1);
    v->addLayout(titleRow);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(label("Frame Rate :", page));
    ComboBoxPhilipsFrameRate = frameRateCombo(page, "ComboBoxPhilipsFrameRate");
    rateRow->addWidget(ComboBoxPhilipsFrameRate);
    CheckBoxPhilipsDropFrame = named(new QCheckBox(kDropFrame, page), "CheckBoxPhilipsDropFrame");
    CheckBoxPhilipsDropFrame->setChecked(defaults.DropFrame);
    rateRow->addWidget(CheckBoxPhilipsDropFrame);
    rateRow->addStretch(1);
    v->addLayout(rateRow);
    QLabel* note = label("With SVCD Designer 1.5 you must use 8 bits bitmap !  It don't support 4 "
                         "bits despite what the help file say :-(",
                         page);
    note->setWordWrap(true);
    v->addWidget(note);
    v->addStretch(1);
    return page;
}

QWidget* OutputFormatDialog::buildSonicTab() {
    auto* page = named(new QWidget, "TabSheetSonic");
    auto* v = new QVBoxLayout(page);
    v->addWidget(label("To create a DVD with Subtitles using Sonic DVD Creator", page));
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(label("Frame Rate :", page));
    ComboBoxSonicFrameRate = frameRateCombo(page, "ComboBoxSonicFrameRate");
    rateRow->addWidget(ComboBoxSonicFrameRate);
    CheckBoxSonicDropFrame = named(new QCheckBox(kDropFrame, page), "CheckBoxSonicDropFrame");
    rateRow->addWidget(CheckBoxSonicDropFrame);
    rateRow->addStretch(1);
    v->addLayout(rateRow);
    v->addStretch(1);
    return page;
}

QWidget* OutputFormatDialog::buildNoteTab(const char* name, const QString& purpose) {
    auto* page = named(new QWidget, name);
    auto* v = new QVBoxLayout(page);
    v->addWidget(label(purpose, page));
    v->addWidget(label("Subtitles shown in the upper half of the picture stay on top", page));
    v->addStretch(1);
    return page;
}

void OutputFormatDialog::wireLiveOptions() {
    OutputOptions& o = m_doc.options();
    auto text = [this](QLineEdit* e, std::string& target) {
        connect(e, &QLineEdit::textChanged, this, [this, &target](const QString& t) {
            if (!m_filling) target = toCp1252(t);
        });
    };
    text(EditSubviewerTitle, o.subViewer.Title);
    text(EditSubviewerAuthor, o.subViewer.Author);
    text(EditSubviewerSource, o.subViewer.Source);
    text(EditSubviewerProgram, o.subViewer.Program);
    text(EditSubviewerFilePath, o.subViewer.FilePath);
    text(EditSubviewer2Title, o.subViewer2.Title);
    text(EditSubviewer2Author, o.subViewer2.Author);
    text(EditSubviewer2Source, o.subViewer2.Source);
    text(EditSubviewer2Program, o.subViewer2.Program);
    text(EditSubviewer2FilePath, o.subViewer2.FilePath);
    text(EditSubviewer2Comment, o.subViewer2.Comment);
    text(EditPhilipsTitle, o.philips.Title);
    auto number = [this](QSpinBox* s, auto& target) {
        connect(s, qOverload<int>(&QSpinBox::valueChanged), this, [this, &target](int value) {
            if (!m_filling) target = static_cast<std::remove_reference_t<decltype(target)>>(value);
        });
    };
    number(SpinEditMirtalOffset, o.native.IndexOffset);
    number(SpinEditSubViewerDelay, o.subViewer.Delay);
    number(SpinEditSubViewer2Delay, o.subViewer2.Delay);
    number(SpinEditSubViewer2CDTrack, o.subViewer2.CDTrack);
    auto box = [this](QCheckBox* c, bool& target) {
        connect(c, &QCheckBox::toggled, this, [this, &target](bool on) {
            if (!m_filling) target = on;
        });
    };
    box(CheckBox2LineMax, o.subViewer.TwoLineMax);
    box(CheckBoxRoundTC, o.subViewer.RoundTC);
}

void OutputFormatDialog::FormShow() {
    m_filling = true;
    const OutputOptions& o = m_doc.options();
    // Live options: the document may have changed them (a file read sets
    // the index offset).
    SpinEditMirtalOffset->setValue(o.native.IndexOffset);
    setText(EditSubviewerTitle, o.subViewer.Title);
    setText(EditSubviewerAuthor, o.subViewer.Author);
    setText(EditSubviewerSource, o.subViewer.Source);
    setText(EditSubviewerProgram, o.subViewer.Program);
    setText(EditSubviewerFilePath, o.subViewer.FilePath);
    SpinEditSubViewerDelay->setValue(o.subViewer.Delay);
    CheckBox2LineMax->setChecked(o.subViewer.TwoLineMax);
    CheckBoxRoundTC->setChecked(o.subViewer.RoundTC);
    setText(EditSubviewer2Title, o.subViewer2.Title);
    setText(EditSubviewer2Author, o.subViewer2.Author);
    setText(EditSubviewer2Source, o.subViewer2.Source);
    setText(EditSubviewer2Program, o.subViewer2.Program);
    setText(EditSubviewer2FilePath, o.subViewer2.FilePath);
    setText(EditSubviewer2Comment, o.subViewer2.Comment);
    SpinEditSubViewer2Delay->setValue(o.subViewer2.Delay);
    SpinEditSubViewer2CDTrack->setValue(o.subViewer2.CDTrack);
    setSampleFont(o.subViewer2.Font);
    setText(EditPhilipsTitle, o.philips.Title);
    // Stored options: whatever was changed and cancelled last time is gone.
    CheckBoxVtxExtended->setChecked(o.native.ExtendedFormat);
    for (int k = 0; k < 4; ++k) {
        setPanelColour(PanelPColor[k], o.iauthor.Colors[k]);
        SpinEditBlendPColor[k]->setValue(o.iauthor.Blend[k]);
        setPanelColour(PanelPhilipsColor[k], o.philips.Colors[k]);
        SpinEditPhilipsContrast[k]->setValue(o.philips.Contrast[k]);
    }
    SpinEditMinimumInterval->setValue(o.iauthor.MinInterval);
    ComboBoxPhilipsFrameRate->setCurrentIndex(o.philips.FrameRate == 1 ? 1 : 0);
    CheckBoxPhilipsDropFrame->setChecked(o.philips.DropFrame);
    CheckBoxPhilipsUseBmpColor->setChecked(o.philips.UseBmpColors);
    ComboBoxSonicFrameRate->setCurrentIndex(o.sonic.FrameRate == 1 ? 1 : 0);
    CheckBoxSonicDropFrame->setChecked(o.sonic.DropFrame);
    ComboBoxEncoding->setCurrentIndex(o.Encoding == TextEncoding::Utf8 ? 1 : 0);
    m_filling = false;
    updateDropFrameBoxes();
    updatePhilipsColourPanels();
    PageControlMirtal->setCurrentIndex(int(m_doc.OutputFormat()));
}

void OutputFormatDialog::BitBtnConvertClick() {
    OutputOptions& o = m_doc.options();
    o.native.ExtendedFormat = CheckBoxVtxExtended->isChecked();
    o.Encoding = ComboBoxEncoding->currentIndex() == 1 ? TextEncoding::Utf8 : TextEncoding::Cp1252;
    for (int k = 0; k < 4; ++k) {
        o.iauthor.Colors[k] = panelColour(PanelPColor[k]);
        o.iauthor.Blend[k] = uint8_t(SpinEditBlendPColor[k]->value());
        o.philips.Colors[k] = panelColour(PanelPhilipsColor[k]);
        o.philips.Contrast[k] = uint8_t(SpinEditPhilipsContrast[k]->value());
    }
    o.iauthor.MinInterval = uint16_t(SpinEditMinimumInterval->value());
    o.philips.FrameRate = uint8_t(ComboBoxPhilipsFrameRate->currentIndex());
    o.philips.DropFrame = CheckBoxPhilipsDropFrame->isChecked();
    o.philips.UseBmpColors = CheckBoxPhilipsUseBmpColor->isChecked();
    o.sonic.FrameRate = uint8_t(ComboBoxSonicFrameRate->currentIndex());
    o.sonic.DropFrame = CheckBoxSonicDropFrame->isChecked();

    const int tab = PageControlMirtal->currentIndex();
    m_doc.setOutputFormat(TOutputFormat(tab));
    if (tab == ofIAuthor) o.native.ExtendedFormat = true;
    // The save dialog's default name takes the new format's extension.
    m_doc.SetFileName(m_doc.FileName());
    accept();
    m_doc.RefreshList();
}

void OutputFormatDialog::ConvertTo(TOutputFormat format) {
    FormShow();
    PageControlMirtal->setCurrentIndex(int(format));
    BitBtnConvertClick();
}

void OutputFormatDialog::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

bool OutputFormatDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == PanelSubViewer2Font) {
            chooseFontColour();
            return true;
        }
        for (int k = 0; k < 4; ++k) {
            for (QFrame* panel : {PanelPColor[k], PanelPhilipsColor[k]}) {
                if (watched != panel) continue;
                if (auto c = m_dialogs.chooseColor(toQColor(panelColour(panel))))
                    setPanelColour(panel, fromQColor(*c));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OutputFormatDialog::updateDropFrameBoxes() {
    CheckBoxPhilipsDropFrame->setEnabled(ComboBoxPhilipsFrameRate->currentIndex() == 1);
    CheckBoxSonicDropFrame->setEnabled(ComboBoxSonicFrameRate->currentIndex() == 1);
}

void OutputFormatDialog::updatePhilipsColourPanels() {
    const bool fromBitmap = CheckBoxPhilipsUseBmpColor->isChecked();
    for (QFrame* panel : PanelPhilipsColor) panel->setVisible(!fromBitmap);
    LabelPhilipsColor->setEnabled(!fromBitmap);
}

Colour OutputFormatDialog::panelColour(const QFrame* panel) {
    return fromQColor(panel->palette().color(QPalette::Window));
}

void OutputFormatDialog::setPanelColour(QFrame* panel, Colour c) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, toQColor(c));
    panel->setPalette(p);
}

FontSpec OutputFormatDialog::sampleFont() const {
    const QFont f = m_fontSample->font();
    FontSpec s;
    s.Name = toCp1252(f.family());
    s.PointSize = f.pointSize() > 0 ? f.pointSize() : 0;
    s.Bold = f.bold();
    s.Italic = f.italic();
    s.Underline = f.underline();
    s.StrikeOut = f.strikeOut();
    s.Color = fromQColor(m_fontSample->palette().color(QPalette::WindowText));
    return s;
}

void OutputFormatDialog::setSampleFont(const FontSpec& spec) {
    QFont f(fromCp1252(spec.Name));
    if (spec.PointSize > 0) f.setPointSize(spec.PointSize);
    f.setBold(spec.Bold);
    f.setItalic(spec.Italic);
    f.setUnderline(spec.Underline);
    f.setStrikeOut(spec.StrikeOut);
    m_fontSample->setFont(f);
    QPalette p = m_fontSample->palette();
    p.setColor(QPalette::WindowText, toQColor(spec.Color));
    m_fontSample->setPalette(p);
}

void OutputFormatDialog::chooseFont() {
    std::optional<QFont> chosen = m_dialogs.chooseFont(m_fontSample->font());
    if (!chosen) return;
    FontSpec spec = m_doc.options().subViewer2.Font;
    spec.Name = toCp1252(chosen->family());
    if (chosen->pointSize() > 0) spec.PointSize = chosen->pointSize();
    spec.Bold = chosen->bold();
    spec.Italic = chosen->italic();
    spec.Underline = chosen->underline();
    spec.StrikeOut = chosen->strikeOut();
    setSampleFont(spec);
    m_doc.options().subViewer2.Font = spec;
}

// The toolkit's font dialog has no colour: the sample itself picks it.
void OutputFormatDialog::chooseFontColour() {
    FontSpec spec = m_doc.options().subViewer2.Font;
    std::optional<QColor> chosen = m_dialogs.chooseColor(toQColor(spec.Color));
    if (!chosen) return;
    spec.Color = fromQColor(*chosen);
    setSampleFont(spec);
    m_doc.options().subViewer2.Font = spec;
}

} // namespace mirtal
