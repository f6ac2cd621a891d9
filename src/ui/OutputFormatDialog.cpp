#include "ui/OutputFormatDialog.h"

#include "subtitles/SubtitleDocument.h"
#include "ui/PreviewPane.h"
#include "ui/UiDialogs.h"
#include "ui/WidgetSupport.h"

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
    buildTabs(root);
    buildButtonRow(root);

    connect(m_convertButton, &QPushButton::clicked, this, &OutputFormatDialog::convert);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_philipsFrameRateCombo, &QComboBox::currentIndexChanged, this,
            &OutputFormatDialog::updateDropFrameBoxes);
    connect(m_sonicFrameRateCombo, &QComboBox::currentIndexChanged, this,
            &OutputFormatDialog::updateDropFrameBoxes);
    connect(m_bitmapColoursBox, &QCheckBox::toggled, this,
            &OutputFormatDialog::updatePhilipsColourPanels);
    connect(m_fontButton, &QPushButton::clicked, this, &OutputFormatDialog::chooseFont);
    wireLiveOptions();
    loadFromDocument();
}

void OutputFormatDialog::buildTabs(QVBoxLayout* root) {
    m_formatTabs = named(new QTabWidget(this), "PageControlMirtal");
    // In the order of the output formats: the active tab is the format.
    QWidget* nativeTab = buildNativeTab();
    QWidget* subViewerTab = buildSubViewerTab();
    QWidget* subViewer2Tab = buildSubViewer2Tab();
    QWidget* iauthorTab = buildIAuthorTab();
    QWidget* philipsTab = buildPhilipsTab();
    QWidget* sonicTab = buildSonicTab();
    QWidget* webVttTab =
        buildNoteTab("TabSheetWebVtt", "For web browsers and HTML5 video players ( Always UTF-8 )");
    QWidget* assTab =
        buildNoteTab("TabSheetAss", "Advanced SubStation Alpha, for Matroska, ASS editors and "
                                    "players ( Always UTF-8 )");
    m_formatTabs->addTab(nativeTab, "Mirtal (*.vtx)");
    m_formatTabs->addTab(subViewerTab, "Subviewer (*.sub)");
    m_formatTabs->addTab(subViewer2Tab, "Subviewer 2 (*.sub)");
    m_formatTabs->addTab(iauthorTab, "IAuthor (*.txt)");
    m_formatTabs->addTab(philipsTab, "Philips SVCD Designer (*.sub)");
    m_formatTabs->addTab(sonicTab, "Sonic DVD Creator (*.txt)");
    m_formatTabs->addTab(webVttTab, "WebVTT (*.vtt)");
    m_formatTabs->addTab(assTab, "ASS (*.ass)");
    root->addWidget(m_formatTabs, 1);
    // Every tab's caption in sight: the tabs are the formats to choose from.
    setMinimumWidth(m_formatTabs->tabBar()->sizeHint().width() + 40);
}

// Under the tabs, for every format: the text encoding of the files.
void OutputFormatDialog::buildButtonRow(QVBoxLayout* root) {
    auto* buttons = new QHBoxLayout;
    auto* encodingLabel = named(new QLabel("Text Encoding :", this), "LabelEncoding");
    m_encodingCombo = named(new QComboBox(this), "ComboBoxEncoding",
                            "Encoding of the subtitle files written and of the Mirtal files "
                            "read; 8 bits for the older tools");
    m_encodingCombo->addItems({"Windows-1252 (8 bits)", "UTF-8"});
    encodingLabel->setBuddy(m_encodingCombo);
    buttons->addWidget(encodingLabel);
    buttons->addWidget(m_encodingCombo);
    buttons->addStretch(1);
    m_convertButton = named(new QPushButton("Convert to this &Format", this), "BitBtnConvert");
    m_convertButton->setDefault(true);
    m_cancelButton = named(new QPushButton("&Cancel", this), "BitBtn1");
    buttons->addWidget(m_convertButton);
    buttons->addWidget(m_cancelButton);
    root->addLayout(buttons);
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
    m_indexOffsetSpin = spin(page, "SpinEditMirtalOffset", 0, 65535, 0);
    row->addWidget(m_indexOffsetSpin);
    row->addStretch(1);
    v->addLayout(row);
    m_extendedFormatBox =
        named(new QCheckBox("Extended Format (With Picture(s) Coordinates) :", page),
              "CheckBoxVtxExtended",
              "Uncheck it to stay compatible with the old format (without coordinates)");
    m_extendedFormatBox->setLayoutDirection(Qt::RightToLeft);
    v->addWidget(m_extendedFormatBox, 0, Qt::AlignLeft | Qt::AlignAbsolute);
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
    m_subViewerTitleEdit = edit(1, "Title :", "EditSubviewerTitle");
    m_subViewerAuthorEdit = edit(2, "Author :", "EditSubviewerAuthor");
    m_subViewerSourceEdit =
        edit(3, "Source :", "EditSubviewerSource", "Subtitles captured by Mirtal 0.93b");
    m_subViewerProgramEdit = edit(4, "Program :", "EditSubviewerProgram");
    m_subViewerFilePathEdit = edit(5, "File Path :", "EditSubviewerFilePath");
    g->addWidget(label("Delay :", page), 6, 0);
    m_subViewerDelaySpin = spin(page, "SpinEditSubViewerDelay", -65535, 65535, 0);
    g->addWidget(m_subViewerDelaySpin, 6, 1);
    g->addWidget(
        label("Can be smaller than 0 to speed up the start of reading  ( Only with Quorvane )",
              page),
        6, 2);
    m_twoLinesMaxBox = named(new QCheckBox("If more than 2 lines, add next lines to the 2nd", page),
                             "CheckBox2LineMax");
    m_twoLinesMaxBox->setChecked(true);
    g->addWidget(m_twoLinesMaxBox, 7, 0, 1, 3);
    m_roundTimesBox =
        named(new QCheckBox("Round the Time Codes ( Recommended )", page), "CheckBoxRoundTC");
    m_roundTimesBox->setChecked(true);
    g->addWidget(m_roundTimesBox, 8, 0, 1, 3);
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
    m_subViewer2TitleEdit = edit(1, "Title :", "EditSubviewer2Title");
    m_subViewer2AuthorEdit = edit(2, "Author :", "EditSubviewer2Author");
    m_subViewer2SourceEdit =
        edit(3, "Source :", "EditSubviewer2Source", "Subtitles captured by Mirtal 0.93b");
    m_subViewer2ProgramEdit = edit(4, "Program :", "EditSubviewer2Program");
    m_subViewer2FilePathEdit = edit(5, "File Path :", "EditSubviewer2FilePath");
    m_subViewer2CommentEdit = edit(6, "Comment :", "EditSubviewer2Comment");
    g->addWidget(label("Delay :", page), 7, 0);
    m_subViewer2DelaySpin = spin(page, "SpinEditSubViewer2Delay", 0, 65535, 0);
    g->addWidget(m_subViewer2DelaySpin, 7, 1, Qt::AlignLeft);
    g->addWidget(label("CD Track :", page), 7, 2, Qt::AlignRight);
    m_cdTrackSpin = spin(page, "SpinEditSubViewer2CDTrack", 0, 255, 0);
    g->addWidget(m_cdTrackSpin, 7, 3);

    m_fontPanel = named(new QFrame(page), "PanelSubViewer2Font",
                        "Click here to change the colour of the font");
    m_fontPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_fontPanel->setAutoFillBackground(true);
    QPalette dark = m_fontPanel->palette();
    dark.setColor(QPalette::Window, QColor(0x40, 0x40, 0x50)); // so that white text shows
    m_fontPanel->setPalette(dark);
    m_fontPanel->setMinimumHeight(48);
    m_fontPanel->setCursor(Qt::PointingHandCursor);
    auto* sampleLayout = new QHBoxLayout(m_fontPanel);
    m_fontSample = new QLabel("FONT Sample", m_fontPanel);
    m_fontSample->setAlignment(Qt::AlignCenter);
    m_fontSample->setAttribute(Qt::WA_TransparentForMouseEvents);
    sampleLayout->addWidget(m_fontSample);
    m_fontPanel->installEventFilter(this);
    g->addWidget(m_fontPanel, 8, 0, 1, 3);
    m_fontButton = named(new QPushButton("Change Font", page), "ButtonSubviewer2Font");
    g->addWidget(m_fontButton, 8, 3);
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
        m_iauthorSwatches[k] =
            colourSwatch(page, QStringLiteral("PanelPColor%1").arg(k), defaults.Colors[k]);
        g->addWidget(m_iauthorSwatches[k], k + 1, 1);
        m_iauthorBlendSpins[k] =
            spin(page, QStringLiteral("SpinEditBlendPColor%1").arg(k), 0, 15, defaults.Blend[k]);
        g->addWidget(m_iauthorBlendSpins[k], k + 1, 2);
    }
    g->setColumnStretch(3, 1);
    v->addLayout(g);
    v->addWidget(
        label("( The Highlight colors are not used and are set to default values )", page));
    auto* row = new QHBoxLayout;
    row->addWidget(label("Minimum ms between two subtitles ( Avoid problems ) :", page));
    m_minIntervalSpin = spin(page, "SpinEditMinimumInterval", 0, 999, defaults.MinInterval);
    row->addWidget(m_minIntervalSpin);
    row->addStretch(1);
    v->addLayout(row);
    v->addStretch(1);
    return page;
}

// A colour of a palette: a click on it opens the colour chooser.
QFrame* OutputFormatDialog::colourSwatch(QWidget* page, const QString& name, Colour colour) {
    auto* swatch = named(new QFrame(page), name);
    swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    swatch->setFixedSize(40, 20);
    swatch->setCursor(Qt::PointingHandCursor);
    swatch->installEventFilter(this);
    setSwatch(swatch, colour);
    return swatch;
}

QWidget* OutputFormatDialog::buildPhilipsTab() {
    auto* page = named(new QWidget, "TabSheetPhilips");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        label("To create an SVCD with Subtitles using Philips SVCD Designer 1.5 or 2", page));
    QLabel* warn = label(kBmpModeOnly, page);
    warn->setStyleSheet("color: #b00000");
    v->addWidget(warn);
    v->addLayout(buildPhilipsPalette(page));
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(label("Title :", page));
    m_philipsTitleEdit = named(new QLineEdit(page), "EditPhilipsTitle");
    titleRow->addWidget(m_philipsTitleEdit, 1);
    v->addLayout(titleRow);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(label("Frame Rate :", page));
    m_philipsFrameRateCombo = frameRateCombo(page, "ComboBoxPhilipsFrameRate");
    rateRow->addWidget(m_philipsFrameRateCombo);
    m_philipsDropFrameBox = named(new QCheckBox(kDropFrame, page), "CheckBoxPhilipsDropFrame");
    m_philipsDropFrameBox->setChecked(PhilipsOptions{}.DropFrame);
    rateRow->addWidget(m_philipsDropFrameBox);
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

QGridLayout* OutputFormatDialog::buildPhilipsPalette(QWidget* page) {
    auto* g = new QGridLayout;
    m_philipsColourHeading = named(new QLabel("Color", page), "LabelPhilipsColor");
    g->addWidget(m_philipsColourHeading, 0, 1);
    g->addWidget(label("Contrast", page), 0, 2);
    const char* captions[4] = {"Color 0 (Background) :", "Color 1 (Font) :", "Color 2 (Outline) :",
                               "Color 3 (Antialiasing) :"};
    const PhilipsOptions defaults;
    for (int k = 0; k < 4; ++k) {
        g->addWidget(label(captions[k], page), k + 1, 0);
        m_philipsSwatches[k] =
            colourSwatch(page, QStringLiteral("PanelPhilipsColor%1").arg(k), defaults.Colors[k]);
        g->addWidget(m_philipsSwatches[k], k + 1, 1);
        m_philipsContrastSpins[k] = spin(page, QStringLiteral("SpinEditPhilipsContrast%1").arg(k),
                                         0, 15, defaults.Contrast[k]);
        g->addWidget(m_philipsContrastSpins[k], k + 1, 2);
    }
    // Keeps the colour column's width when its panels are hidden.
    g->setColumnMinimumWidth(1, 44);
    m_bitmapColoursBox =
        named(new QCheckBox("Use colors from bitmap", page), "CheckBoxPhilipsUseBmpColor",
              "You must enable this option for SVCD Designer 1.5 since it don't support other "
              "palette.");
    m_bitmapColoursBox->setChecked(defaults.UseBmpColors);
    g->addWidget(m_bitmapColoursBox, 1, 3);
    g->setColumnStretch(3, 1);
    return g;
}

QWidget* OutputFormatDialog::buildSonicTab() {
    auto* page = named(new QWidget, "TabSheetSonic");
    auto* v = new QVBoxLayout(page);
    v->addWidget(label("To create a DVD with Subtitles using Sonic DVD Creator", page));
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(label("Frame Rate :", page));
    m_sonicFrameRateCombo = frameRateCombo(page, "ComboBoxSonicFrameRate");
    rateRow->addWidget(m_sonicFrameRateCombo);
    m_sonicDropFrameBox = named(new QCheckBox(kDropFrame, page), "CheckBoxSonicDropFrame");
    rateRow->addWidget(m_sonicDropFrameBox);
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
    text(m_subViewerTitleEdit, o.subViewer.Title);
    text(m_subViewerAuthorEdit, o.subViewer.Author);
    text(m_subViewerSourceEdit, o.subViewer.Source);
    text(m_subViewerProgramEdit, o.subViewer.Program);
    text(m_subViewerFilePathEdit, o.subViewer.FilePath);
    text(m_subViewer2TitleEdit, o.subViewer2.Title);
    text(m_subViewer2AuthorEdit, o.subViewer2.Author);
    text(m_subViewer2SourceEdit, o.subViewer2.Source);
    text(m_subViewer2ProgramEdit, o.subViewer2.Program);
    text(m_subViewer2FilePathEdit, o.subViewer2.FilePath);
    text(m_subViewer2CommentEdit, o.subViewer2.Comment);
    text(m_philipsTitleEdit, o.philips.Title);
    auto number = [this](QSpinBox* s, auto& target) {
        connect(s, qOverload<int>(&QSpinBox::valueChanged), this, [this, &target](int value) {
            if (!m_filling) target = static_cast<std::remove_reference_t<decltype(target)>>(value);
        });
    };
    number(m_indexOffsetSpin, o.native.IndexOffset);
    number(m_subViewerDelaySpin, o.subViewer.Delay);
    number(m_subViewer2DelaySpin, o.subViewer2.Delay);
    number(m_cdTrackSpin, o.subViewer2.CDTrack);
    auto box = [this](QCheckBox* c, bool& target) {
        connect(c, &QCheckBox::toggled, this, [this, &target](bool on) {
            if (!m_filling) target = on;
        });
    };
    box(m_twoLinesMaxBox, o.subViewer.TwoLineMax);
    box(m_roundTimesBox, o.subViewer.RoundTC);
}

void OutputFormatDialog::loadFromDocument() {
    m_filling = true;
    const OutputOptions& o = m_doc.options();
    // Live options: the document may have changed them (a file read sets
    // the index offset).
    m_indexOffsetSpin->setValue(o.native.IndexOffset);
    setText(m_subViewerTitleEdit, o.subViewer.Title);
    setText(m_subViewerAuthorEdit, o.subViewer.Author);
    setText(m_subViewerSourceEdit, o.subViewer.Source);
    setText(m_subViewerProgramEdit, o.subViewer.Program);
    setText(m_subViewerFilePathEdit, o.subViewer.FilePath);
    m_subViewerDelaySpin->setValue(o.subViewer.Delay);
    m_twoLinesMaxBox->setChecked(o.subViewer.TwoLineMax);
    m_roundTimesBox->setChecked(o.subViewer.RoundTC);
    setText(m_subViewer2TitleEdit, o.subViewer2.Title);
    setText(m_subViewer2AuthorEdit, o.subViewer2.Author);
    setText(m_subViewer2SourceEdit, o.subViewer2.Source);
    setText(m_subViewer2ProgramEdit, o.subViewer2.Program);
    setText(m_subViewer2FilePathEdit, o.subViewer2.FilePath);
    setText(m_subViewer2CommentEdit, o.subViewer2.Comment);
    m_subViewer2DelaySpin->setValue(o.subViewer2.Delay);
    m_cdTrackSpin->setValue(o.subViewer2.CDTrack);
    setSampleFont(o.subViewer2.Font);
    setText(m_philipsTitleEdit, o.philips.Title);
    // Stored options: whatever was changed and cancelled last time is gone.
    m_extendedFormatBox->setChecked(o.native.ExtendedFormat);
    for (int k = 0; k < 4; ++k) {
        setSwatch(m_iauthorSwatches[k], o.iauthor.Colors[k]);
        m_iauthorBlendSpins[k]->setValue(o.iauthor.Blend[k]);
        setSwatch(m_philipsSwatches[k], o.philips.Colors[k]);
        m_philipsContrastSpins[k]->setValue(o.philips.Contrast[k]);
    }
    m_minIntervalSpin->setValue(o.iauthor.MinInterval);
    m_philipsFrameRateCombo->setCurrentIndex(o.philips.FrameRate == 1 ? 1 : 0);
    m_philipsDropFrameBox->setChecked(o.philips.DropFrame);
    m_bitmapColoursBox->setChecked(o.philips.UseBmpColors);
    m_sonicFrameRateCombo->setCurrentIndex(o.sonic.FrameRate == 1 ? 1 : 0);
    m_sonicDropFrameBox->setChecked(o.sonic.DropFrame);
    m_encodingCombo->setCurrentIndex(o.Encoding == TextEncoding::Utf8 ? 1 : 0);
    m_filling = false;
    updateDropFrameBoxes();
    updatePhilipsColourPanels();
    m_formatTabs->setCurrentIndex(int(m_doc.outputFormat()));
}

void OutputFormatDialog::convert() {
    OutputOptions& o = m_doc.options();
    o.native.ExtendedFormat = m_extendedFormatBox->isChecked();
    o.Encoding = m_encodingCombo->currentIndex() == 1 ? TextEncoding::Utf8 : TextEncoding::Cp1252;
    for (int k = 0; k < 4; ++k) {
        o.iauthor.Colors[k] = swatchColour(m_iauthorSwatches[k]);
        o.iauthor.Blend[k] = uint8_t(m_iauthorBlendSpins[k]->value());
        o.philips.Colors[k] = swatchColour(m_philipsSwatches[k]);
        o.philips.Contrast[k] = uint8_t(m_philipsContrastSpins[k]->value());
    }
    o.iauthor.MinInterval = uint16_t(m_minIntervalSpin->value());
    o.philips.FrameRate = uint8_t(m_philipsFrameRateCombo->currentIndex());
    o.philips.DropFrame = m_philipsDropFrameBox->isChecked();
    o.philips.UseBmpColors = m_bitmapColoursBox->isChecked();
    o.sonic.FrameRate = uint8_t(m_sonicFrameRateCombo->currentIndex());
    o.sonic.DropFrame = m_sonicDropFrameBox->isChecked();

    const int tab = m_formatTabs->currentIndex();
    m_doc.setOutputFormat(TOutputFormat(tab));
    if (tab == ofIAuthor) o.native.ExtendedFormat = true;
    // The save dialog's default name takes the new format's extension.
    m_doc.setFileName(m_doc.fileName());
    accept();
    m_doc.refreshList();
}

void OutputFormatDialog::convertTo(TOutputFormat format) {
    loadFromDocument();
    m_formatTabs->setCurrentIndex(int(format));
    convert();
}

void OutputFormatDialog::showEvent(QShowEvent* event) {
    loadFromDocument();
    QDialog::showEvent(event);
}

bool OutputFormatDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_fontPanel) {
            chooseFontColour();
            return true;
        }
        for (int k = 0; k < 4; ++k) {
            for (QFrame* panel : {m_iauthorSwatches[k], m_philipsSwatches[k]}) {
                if (watched != panel) continue;
                if (auto c = m_dialogs.chooseColour(toQColor(swatchColour(panel))))
                    setSwatch(panel, fromQColor(*c));
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OutputFormatDialog::updateDropFrameBoxes() {
    m_philipsDropFrameBox->setEnabled(m_philipsFrameRateCombo->currentIndex() == 1);
    m_sonicDropFrameBox->setEnabled(m_sonicFrameRateCombo->currentIndex() == 1);
}

void OutputFormatDialog::updatePhilipsColourPanels() {
    const bool fromBitmap = m_bitmapColoursBox->isChecked();
    for (QFrame* panel : m_philipsSwatches) panel->setVisible(!fromBitmap);
    m_philipsColourHeading->setEnabled(!fromBitmap);
}

void OutputFormatDialog::setSampleFont(const FontSpec& font) {
    QFont f(fromCp1252(font.Name));
    if (font.PointSize > 0) f.setPointSize(font.PointSize);
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    m_fontSample->setFont(f);
    QPalette p = m_fontSample->palette();
    p.setColor(QPalette::WindowText, toQColor(font.Color));
    m_fontSample->setPalette(p);
}

void OutputFormatDialog::chooseFont() {
    std::optional<QFont> chosen = m_dialogs.chooseFont(m_fontSample->font());
    if (!chosen) return;
    FontSpec font = m_doc.options().subViewer2.Font;
    font.Name = toCp1252(chosen->family());
    if (chosen->pointSize() > 0) font.PointSize = chosen->pointSize();
    font.Bold = chosen->bold();
    font.Italic = chosen->italic();
    font.Underline = chosen->underline();
    font.StrikeOut = chosen->strikeOut();
    setSampleFont(font);
    m_doc.options().subViewer2.Font = font;
}

void OutputFormatDialog::chooseFontColour() {
    FontSpec font = m_doc.options().subViewer2.Font;
    std::optional<QColor> chosen = m_dialogs.chooseColour(toQColor(font.Color));
    if (!chosen) return;
    font.Color = fromQColor(*chosen);
    setSampleFont(font);
    m_doc.options().subViewer2.Font = font;
}

} // namespace mirtal
