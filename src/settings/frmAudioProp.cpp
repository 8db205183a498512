#include "settings/frmAudioProp.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "platform/VbCompat.h"
#include "settings/StoredControls.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

DefaultInstance<CfrmAudioProp> g_frmAudioProp;

namespace {

const QStringList kMP3Bitrates = {"8 ", "16",  "24",  "32",  "40",  "48",  "56",  "64",  "80", "96",
                                  "112", "128", "144", "160", "176", "192", "224", "256", "320"};
const QStringList kMP3Qualities = {"0 ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};
const char* const kAdvanced = "Advanced...";
const char* const kSimple = "Simple...";

struct PageText {
    const char* key;
    const char* title;
    const char* description;
};
const PageText kPageTexts[] = {
    {"WAV", "WAV -", "Waveform audio format"},
    {"ACM", "WAV(ACM) -", "Waveform audio format with ACM codec"},
    {"MP3", "MP3 -", "MPEG-1 Audio Layer 3"},
    {"WMA", "WMA -", "Windows Media Audio"},
    {"OGG", "OGG -", "Ogg Media format"},
    {"APE", "APE -", "Monkey\u2019s Audio file format"},
};

QComboBox* makeList(QWidget* parent, const QStringList& items = {})
{
    auto* box = new QComboBox(parent);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

// Adds "label" and a control as one row of a page's grid.
void addRow(QGridLayout* grid, int row, const QString& label, QWidget* control, int column = 0)
{
    grid->addWidget(widgets::PlainLabel(label, control->parentWidget()), row, column);
    grid->addWidget(control, row, column + 1);
}

void selectText(QComboBox* box, const QString& text) { ApplyItemText(box, text); }

// The number in the selected item's text; the field keeps its value when there is none.
void takeNumber(const QComboBox* box, std::int32_t& field)
{
    int n = 0;
    if (box->currentIndex() >= 0 && LeadingNumber(box->currentText(), &n)) field = n;
}

std::int16_t notClear(const QCheckBox* box) { return std::int16_t(platform::BoolToInt(CheckValue(box) != 0)); }
std::int16_t selected(const QRadioButton* button) { return std::int16_t(platform::BoolToInt(button->isChecked())); }

} // namespace

CfrmAudioProp::CfrmAudioProp() : Form("g_frmAudioProp"), cAudioConverter1(CreateAudioConverter())
{
    setWindowTitle("Audio Format");
    setFixedSize(540, 560);

    picTitle = new QFrame(this);
    picTitle->setGeometry(0, 0, width(), 44);
    lblTitle = widgets::PlainLabel("App Name", picTitle);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblTitle->setFont(bold);
    lblTitle->move(12, 12);
    lblFormatDesc = widgets::PlainLabel("FormatDesc", picTitle);
    lblFormatDesc->move(120, 14);

    cTabControl1 = new cTabControl(this);
    cTabControl1->setGeometry(8, 52, width() - 16, height() - 52 - 52);

    cmdOk = new QPushButton("OK", this);
    cmdOk->setDefault(true);
    cmdOk->setGeometry(width() - 200, height() - 42, 90, 30);
    cmdExit = new QPushButton("Exit", this);
    SetKeyButtons(cmdOk, cmdExit);
    cmdExit->setGeometry(width() - 100, height() - 42, 90, 30);

    BuildPages();

    connect(cTabControl1, &cTabControl::TabClick, this, &CfrmAudioProp::cTabControl1_TabClick);
    connect(cmdOk, &QPushButton::clicked, this, &CfrmAudioProp::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &CfrmAudioProp::cmdExit_Click);
    connect(cboTags, &QComboBox::currentIndexChanged, this, &CfrmAudioProp::cboTags_Click);
    connect(cboWMACodecs, &QComboBox::currentIndexChanged, this, &CfrmAudioProp::cboWMACodecs_Click);
    connect(chkBestAccordToSource, &QCheckBox::clicked, this, &CfrmAudioProp::chkBestAccordToSource_Click);
    connect(sldOGG, &QSlider::valueChanged, this, &CfrmAudioProp::sldOGG_Scroll);
    connect(lblMP3Advanced, &LinkLabel::Click, this, &CfrmAudioProp::lblMP3Advanced_Click);
    connect(cAudioConverter1.get(), &cAudioConverter::ACMFormatTagFound, this, [this](const QString& name) {
        // The codec list keeps itself sorted by name.
        int at = 0;
        while (at < cboTags->count() && cboTags->itemText(at).compare(name, Qt::CaseInsensitive) <= 0) ++at;
        QSignalBlocker block(cboTags);
        cboTags->insertItem(at, name);
        if (cboTags->count() == 1) cboTags->setCurrentIndex(-1);
    });
    connect(cAudioConverter1.get(), &cAudioConverter::ACMFormatFound, this, [this](const QString& description) {
        QSignalBlocker block(cboFormats);
        cboFormats->addItem(description);
        if (cboFormats->count() == 1) cboFormats->setCurrentIndex(-1);
    });
}

CfrmAudioProp::~CfrmAudioProp() = default;

void CfrmAudioProp::BuildPages()
{
    auto page = [this] {
        auto* f = new QFrame(this);
        f->hide();
        return f;
    };
    froToWAV = page();
    froToACM = page();
    froToMP3 = page();
    froToWMA = page();
    froToOGG = page();
    froToAPE = page();

    auto* wav = new QGridLayout(froToWAV);
    cboSamplesWAV = makeList(froToWAV, {"44100", "22050", "11025", "8000"});
    cboBitrateWAV = makeList(froToWAV);
    cboChannelsWAV = makeList(froToWAV, {"Mono", "Stereo"});
    addRow(wav, 0, "Samples:", cboSamplesWAV);
    addRow(wav, 1, "Bitrate:", cboBitrateWAV);
    addRow(wav, 2, "Channels:", cboChannelsWAV);
    wav->setRowStretch(3, 1);

    auto* acm = new QGridLayout(froToACM);
    chkBestAccordToSource = new QCheckBox("Get recommended codecs according to source file format.", froToACM);
    cboTags = makeList(froToACM);
    cboFormats = makeList(froToACM);
    acm->addWidget(chkBestAccordToSource, 0, 0, 1, 2);
    addRow(acm, 1, "Target ACM Tag:", cboTags);
    addRow(acm, 2, "Target ACM Format:", cboFormats);
    acm->setColumnStretch(1, 1);
    acm->setRowStretch(3, 1);

    auto* mp3 = new QGridLayout(froToMP3);
    cboMP3Bitrate = makeList(froToMP3, kMP3Bitrates);
    cboMP3Mode = makeList(froToMP3, {"STEREO_MODE = 0", "JOINT_STEREO_MODE = 1", "DUAL_CHANNEL_MODE = 2",
                                     "MONO_MODE = 3", "NOT_SET_MODE = 4", "FORCE_JOINT_STEREO_MODE = 5"});
    cboMP3Samplerate =
        makeList(froToMP3, {"8000", "11025", "12000", "16000", "22050", "24000", "32000", "44100", "48000"});
    cboMP3Quality = makeList(froToMP3, kMP3Qualities);
    addRow(mp3, 0, "Bitrate:", cboMP3Bitrate);
    addRow(mp3, 0, "Mode:", cboMP3Mode, 2);
    addRow(mp3, 1, "Samplerate:", cboMP3Samplerate);
    addRow(mp3, 1, "Quality:", cboMP3Quality, 2);
    lblMP3Advanced = new LinkLabel(kAdvanced, froToMP3);
    mp3->addWidget(lblMP3Advanced, 2, 0, 1, 4);

    picMP3Advanced = new QFrame(froToMP3);
    picMP3Advanced->setFrameShape(QFrame::StyledPanel);
    auto* adv = new QGridLayout(picMP3Advanced);
    chkMP3Original = new QCheckBox("Original", picMP3Advanced);
    chkMP3Copyright = new QCheckBox("Copyright", picMP3Advanced);
    chkMP3ErrorProtect = new QCheckBox("Error Protection", picMP3Advanced);
    chkMP3VBR = new QCheckBox("VBR Mode", picMP3Advanced);
    chkMP3VBRTag = new QCheckBox("Write VBR Tag", picMP3Advanced);
    chkMP3VBRForceMinBitrate = new QCheckBox("VBR Force Min Bitrate", picMP3Advanced);
    chkMP3ABR = new QCheckBox("ABR (Instead of VBR)", picMP3Advanced);
    cboMP3ABRBitrate = makeList(picMP3Advanced, kMP3Bitrates);
    chkMP3StrictISO = new QCheckBox("ISO Encoding", picMP3Advanced);
    cboMP3MinBitrate = makeList(picMP3Advanced, kMP3Bitrates);
    cboMP3MaxBitrate = makeList(picMP3Advanced, kMP3Bitrates);
    cboMP3VBRQuality = makeList(picMP3Advanced, kMP3Qualities);
    int r = 0;
    for (QCheckBox* box : {chkMP3Original, chkMP3Copyright, chkMP3ErrorProtect, chkMP3VBR, chkMP3VBRTag,
                           chkMP3VBRForceMinBitrate, chkMP3ABR})
        adv->addWidget(box, r++, 0);
    adv->addWidget(cboMP3ABRBitrate, r++, 0);
    adv->addWidget(chkMP3StrictISO, r++, 0);
    addRow(adv, 0, "Min VBR Bitrate:", cboMP3MinBitrate, 1);
    addRow(adv, 1, "Max VBR Bitrate:", cboMP3MaxBitrate, 1);
    addRow(adv, 2, "VBR Quality:", cboMP3VBRQuality, 1);
    mp3->addWidget(picMP3Advanced, 3, 0, 1, 4);
    mp3->setRowStretch(4, 1);

    auto* wma = new QGridLayout(froToWMA);
    cboWMACodecs = makeList(froToWMA);
    cboWMAFormat = makeList(froToWMA);
    addRow(wma, 0, "Codec:", cboWMACodecs);
    addRow(wma, 1, "Format:", cboWMAFormat);
    wma->setColumnStretch(1, 1);
    wma->setRowStretch(2, 1);

    auto* ogg = new QGridLayout(froToOGG);
    ptnQualityOGG = new QRadioButton("Quality:", froToOGG);
    sldOGG = new QSlider(Qt::Horizontal, froToOGG);
    sldOGG->setRange(0, 100);
    lblSensitivityVal = widgets::PlainLabel(froToOGG);
    lblSensitivityVal->setMinimumWidth(30);
    optOggBit = new QRadioButton("Bitrate:", froToOGG);
    cboOggBitNom = makeList(froToOGG, {"32", "40", "48", "64", "80", "96", "128", "160", "196", "256", "350"});
    ogg->addWidget(ptnQualityOGG, 0, 0);
    ogg->addWidget(sldOGG, 0, 1);
    ogg->addWidget(lblSensitivityVal, 0, 2);
    ogg->addWidget(optOggBit, 1, 0);
    ogg->addWidget(cboOggBitNom, 1, 1);
    ogg->setColumnStretch(1, 1);
    ogg->setRowStretch(2, 1);

    auto* ape = new QGridLayout(froToAPE);
    cboAPELevel = makeList(froToAPE, {"Fast", "Normal", "High", "Extra high", "Slow"});
    addRow(ape, 0, "APE Level:", cboAPELevel);
    ape->setColumnStretch(1, 1);
    ape->setRowStretch(1, 1);
}

void CfrmAudioProp::Form_Load()
{
    ApplyWindowSkin(this, picTitle, lblTitle, {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE,
                                               picMP3Advanced});
    SetForeColor(lblFormatDesc, ColorFromNumber(g_lTextColor));
    SetFormIcon32(this, "AAA", true);

    const std::int32_t offered[] = {g_lDestWAV, g_lDestACM, g_lDestMP3, g_lDestWMA, g_lDestOGG, g_lDestAPE};
    for (int i = 0; i < 6; ++i)
        if (offered[i] == 1) cTabControl1->AddTab(kPageTexts[i].key, -1, -1, kPageTexts[i].key);

    // Each page covers the tab control's page area.
    for (QFrame* page : {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE}) {
        const QRect area = cTabControl1->ClientRect();
        page->setGeometry(cTabControl1->x() + area.x(), cTabControl1->y() + area.y(), area.width(), area.height());
        page->raise();
    }
    HideAllFormatFrames();
    froToWAV->show();

    SetInitialState();

    cAudioConverter1->EnumACMFormatTags(1, 44100, 2, 16, 0);
    if (cboTags->count() > 0) {
        selectText(cboTags, "PCM");
        cboTags_Click();
    }

    m_reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    m_reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;
    GetOptions();
    sldOGG_Scroll();
}

void CfrmAudioProp::SetInitialState()
{
    cboBitrateWAV->addItems({"8", "16"});
    selectText(cboBitrateWAV, "16");
    selectText(cboSamplesWAV, "44100");
    cboChannelsWAV->setCurrentIndex(1);
    FillWMACodecs();
    cboAPELevel->setCurrentIndex(0);
    cboOggBitNom->setCurrentIndex(0);
    sldOGG->setValue(50);
    selectText(cboMP3Bitrate, "128");
    cboMP3Mode->setCurrentIndex(0);
    selectText(cboMP3Samplerate, "44100");
    cboMP3Quality->setCurrentIndex(5);
    SetCheckValue(chkMP3Copyright, 1);
    SetCheckValue(chkMP3Original, 1);
    SetCheckValue(chkMP3VBR, 1);
    cboMP3VBRQuality->setCurrentIndex(5);
    selectText(cboMP3MaxBitrate, "128");
    selectText(cboMP3MinBitrate, "96");
    SetCheckValue(chkMP3VBRTag, 1);
    selectText(cboMP3ABRBitrate, "96");
    ptnQualityOGG->setChecked(true);
    lblMP3Advanced->setText(kAdvanced);
    ApplyAdvancedCaption();
}

void CfrmAudioProp::HideAllFormatFrames()
{
    for (QFrame* page : {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE}) page->hide();
}

void CfrmAudioProp::cTabControl1_TabClick(int)
{
    HideAllFormatFrames();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    QFrame* pages[] = {froToWAV, froToACM, froToMP3, froToWMA, froToOGG, froToAPE};
    for (int i = 0; i < 6; ++i) {
        if (key != kPageTexts[i].key) continue;
        pages[i]->show();
        lblTitle->setText(kPageTexts[i].title);
        lblFormatDesc->setText(kPageTexts[i].description);
    }
    lblTitle->adjustSize();
    lblFormatDesc->adjustSize();
    lblFormatDesc->move(lblTitle->x() + lblTitle->width() + platform::TwipsToPixels(80),
                        lblTitle->y() + (lblTitle->height() - lblFormatDesc->height()) / 2);
}

// ---------------------------------------------------------------- lists

void CfrmAudioProp::cboTags_Click()
{
    {
        QSignalBlocker block(cboFormats);
        cboFormats->clear();
    }
    if (cboTags->currentIndex() >= 0) cAudioConverter1->EnumACMFormats(cboTags->currentText());
    if (cboFormats->count() > 0) cboFormats->setCurrentIndex(0);
}

void CfrmAudioProp::chkBestAccordToSource_Click()
{
    {
        QSignalBlocker blockTags(cboTags);
        QSignalBlocker blockFormats(cboFormats);
        cboTags->clear();
        cboFormats->clear();
    }
    if (CheckValue(chkBestAccordToSource) == 0) {
        cAudioConverter1->EnumACMFormatTags(1, 44100, 2, 16, 0);
    } else {
        g_OFN.lpstrFilter = QString("MP3 Audio Files (*.mp3)") + QChar(0) + "*.mp3";
        g_OFN.lpstrTitle = "Open MP3 audio file";
        FileDialogResult result = ShowOpen(this, true);
        if (result.bCancelled || result.asFiles.isEmpty() || result.asFiles.first().isEmpty()) return;
        cAudioConverter1->OpenSourceFile(result.asFiles.first());
        cAudioConverter1->EnumACMFormatTags(1, cAudioConverter1->SourceSampleRate(), cAudioConverter1->SourceChannels(),
                                            cAudioConverter1->SourceBitsPerSample(), kACMFormatEnumSuggest);
    }
    if (cboTags->count() > 0) {
        cboTags->setCurrentIndex(0);
        cboTags_Click();
    }
    if (cboFormats->count() > 0) cboFormats->setCurrentIndex(0);
}

void CfrmAudioProp::FillWMACodecs()
{
    const std::int32_t n = cAudioConverter1->WMACodecCount();
    {
        QSignalBlocker block(cboWMACodecs);
        for (std::int32_t c = 0; c < n; ++c) {
            QApplication::processEvents();
            cboWMACodecs->addItem(cAudioConverter1->WMACodecName(c));
        }
        cboWMACodecs->setCurrentIndex(-1);
    }
    if (cboWMACodecs->count() > 0) cboWMACodecs->setCurrentIndex(0);
}

void CfrmAudioProp::cboWMACodecs_Click() { FillWMAFormats(); }

void CfrmAudioProp::FillWMAFormats()
{
    cboWMAFormat->clear();
    const std::int32_t c = cboWMACodecs->currentIndex();
    if (c < 0) return;
    const std::int32_t n = cAudioConverter1->WMAFormatCount(c);
    for (std::int32_t j = 0; j < n; ++j) cboWMAFormat->addItem(cAudioConverter1->WMAFormatName(c, j));
    cboWMAFormat->setCurrentIndex(cboWMAFormat->count() > 0 ? 0 : -1);
}

void CfrmAudioProp::lblMP3Advanced_Click() { ToggleMP3Advanced(); }

void CfrmAudioProp::ToggleMP3Advanced()
{
    const QString caption = lblMP3Advanced->text();
    if (caption == kAdvanced)
        lblMP3Advanced->setText(kSimple);
    else if (caption == kSimple)
        lblMP3Advanced->setText(kAdvanced);
    ApplyAdvancedCaption();
}

void CfrmAudioProp::ApplyAdvancedCaption()
{
    picMP3Advanced->setVisible(lblMP3Advanced->text() != kAdvanced);
}

void CfrmAudioProp::sldOGG_Scroll() { lblSensitivityVal->setText(QString::number(sldOGG->value())); }

// ---------------------------------------------------------------- the store

QVariant CfrmAudioProp::Read(const QString& name) const { return m_reg.GetRegistryValue(name); }

void CfrmAudioProp::Write(const QString& name, const QString& text) const
{
    m_reg.SetRegistryValue(name, text, platform::reg::REG_SZ);
}

void CfrmAudioProp::GetOptions()
{
    ReadWAV();
    ReadACM();
    ReadMP3();
    ReadWMA();
    ReadOGG();
    ReadAPE();
}

void CfrmAudioProp::ReadWAV()
{
    m_reg.Subkey = "Formats\\WAV";
    ApplyItemText(cboSamplesWAV, Read("cboSamplesWAV"));
    takeNumber(cboSamplesWAV, g_WAVSettings.lSamples);
    ApplyItemText(cboBitrateWAV, Read("cboBitrateWAV"));
    takeNumber(cboBitrateWAV, g_WAVSettings.lBitrate);
    ApplyItemPosition(cboChannelsWAV, Read("cboChannelsWAV"));
    g_WAVSettings.lChannels = cboChannelsWAV->currentIndex();
}

void CfrmAudioProp::ReadACM()
{
    m_reg.Subkey = "Formats\\ACM";
    ApplyItemText(cboTags, Read("cboTags"));
    g_ACMSettings.sTags = ItemTextOf(cboTags);
    ApplyItemText(cboFormats, Read("cboFormats"));
    g_ACMSettings.sFormats = ItemTextOf(cboFormats);
}

void CfrmAudioProp::ReadMP3()
{
    m_reg.Subkey = "Formats\\MP3";
    MP3SettingsRecord& r = g_MP3Settings;
    ApplyItemText(cboMP3Bitrate, Read("cboMP3Bitrate"));
    takeNumber(cboMP3Bitrate, r.lBitrate);
    ApplyItemText(cboMP3Quality, Read("cboMP3Quality"));
    takeNumber(cboMP3Quality, r.lQuality);
    ApplyItemText(cboMP3Samplerate, Read("cboMP3Samplerate"));
    takeNumber(cboMP3Samplerate, r.lSamplerate);
    ApplyItemPosition(cboMP3Mode, Read("cboMP3Mode"));
    r.lMode = cboMP3Mode->currentIndex();
    ApplyCheck(chkMP3ErrorProtect, Read("chkMP3ErrorProtect"));
    r.bErrorProtect = notClear(chkMP3ErrorProtect);
    ApplyCheck(chkMP3Original, Read("chkMP3Original"));
    r.bOriginal = notClear(chkMP3Original);
    ApplyCheck(chkMP3Copyright, Read("chkMP3Copyright"));
    r.bCopyright = notClear(chkMP3Copyright);
    ApplyCheck(chkMP3StrictISO, Read("chkMP3StrictISO"));
    r.bStrictISO = notClear(chkMP3StrictISO);
    ApplyItemText(cboMP3VBRQuality, Read("cboMP3VBRQuality"));
    r.lVBRQuality = cboMP3VBRQuality->currentIndex();
    ApplyItemText(cboMP3MinBitrate, Read("cboMP3MinBitrate"));
    r.lMinBitrate = cboMP3MinBitrate->currentIndex();
    ApplyItemText(cboMP3MaxBitrate, Read("cboMP3MaxBitrate"));
    r.lMaxBitrate = cboMP3MaxBitrate->currentIndex();
    ApplyCheck(chkMP3VBRTag, Read("chkMP3VBRTag"));
    r.bVBRTag = notClear(chkMP3VBRTag);
    ApplyCheck(chkMP3VBRForceMinBitrate, Read("chkMP3VBRForceMinBitrate"));
    r.bVBRForceMinBitrate = notClear(chkMP3VBRForceMinBitrate);
    ApplyCheck(chkMP3ABR, Read("chkMP3ABR"));
    r.bABR = notClear(chkMP3ABR);
    ApplyItemText(cboMP3ABRBitrate, Read("cboMP3ABRBitrate"));
    takeNumber(cboMP3ABRBitrate, r.lABRBitrate);
    ApplyCaption(lblMP3Advanced, Read("lblMP3Advanced"), kAdvanced);
    ApplyAdvancedCaption();
}

void CfrmAudioProp::ReadWMA()
{
    m_reg.Subkey = "Formats\\WMA";
    ApplyItemPosition(cboWMACodecs, Read("cboWMACodecs"));
    g_WMASettings.lCodecs = cboWMACodecs->currentIndex();
    ApplyItemPosition(cboWMAFormat, Read("cboWMAFormat"));
    g_WMASettings.lFormat = cboWMAFormat->currentIndex();
}

void CfrmAudioProp::ReadOGG()
{
    m_reg.Subkey = "Formats\\OGG";
    ApplyOption(ptnQualityOGG, Read("ptnQualityOGG"));
    g_OGGSettings.bQualityMode = selected(ptnQualityOGG);
    ApplyNumber(sldOGG, Read("sldOGG"));
    g_OGGSettings.lQuality = sldOGG->value();
    ApplyOption(optOggBit, Read("optOggBit"));
    g_OGGSettings.bBitrateMode = selected(optOggBit);
    ApplyItemText(cboOggBitNom, Read("cboOggBitNom"));
    takeNumber(cboOggBitNom, g_OGGSettings.lBitNom);
}

void CfrmAudioProp::ReadAPE()
{
    m_reg.Subkey = "Formats\\APE";
    ApplyItemPosition(cboAPELevel, Read("cboAPELevel"));
    g_APESettings.lLevel = cboAPELevel->currentIndex();
}

void CfrmAudioProp::WriteAllSections()
{
    m_reg.Subkey = "Formats\\WAV";
    Write("cboSamplesWAV", ItemTextOf(cboSamplesWAV));
    Write("cboBitrateWAV", ItemTextOf(cboBitrateWAV));
    Write("cboChannelsWAV", ItemPositionOf(cboChannelsWAV));

    m_reg.Subkey = "Formats\\ACM";
    Write("cboTags", ItemTextOf(cboTags));
    Write("cboFormats", ItemTextOf(cboFormats));

    m_reg.Subkey = "Formats\\MP3";
    Write("cboMP3Bitrate", ItemTextOf(cboMP3Bitrate));
    Write("cboMP3Quality", ItemTextOf(cboMP3Quality));
    Write("cboMP3Samplerate", ItemTextOf(cboMP3Samplerate));
    Write("cboMP3Mode", ItemPositionOf(cboMP3Mode));
    Write("chkMP3ErrorProtect", CheckOf(chkMP3ErrorProtect));
    Write("chkMP3Original", CheckOf(chkMP3Original));
    Write("chkMP3Copyright", CheckOf(chkMP3Copyright));
    Write("chkMP3StrictISO", CheckOf(chkMP3StrictISO));
    Write("cboMP3VBRQuality", ItemTextOf(cboMP3VBRQuality));
    Write("cboMP3MinBitrate", ItemTextOf(cboMP3MinBitrate));
    Write("cboMP3MaxBitrate", ItemTextOf(cboMP3MaxBitrate));
    Write("chkMP3VBRTag", CheckOf(chkMP3VBRTag));
    Write("chkMP3VBRForceMinBitrate", CheckOf(chkMP3VBRForceMinBitrate));
    Write("chkMP3ABR", CheckOf(chkMP3ABR));
    Write("cboMP3ABRBitrate", ItemTextOf(cboMP3ABRBitrate));
    Write("lblMP3Advanced", lblMP3Advanced->text());

    m_reg.Subkey = "Formats\\WMA";
    Write("cboWMACodecs", ItemPositionOf(cboWMACodecs));
    Write("cboWMAFormat", ItemPositionOf(cboWMAFormat));

    m_reg.Subkey = "Formats\\OGG";
    Write("ptnQualityOGG", OptionOf(ptnQualityOGG));
    Write("sldOGG", NumberOf(sldOGG));
    Write("optOggBit", OptionOf(optOggBit));
    Write("cboOggBitNom", ItemTextOf(cboOggBitNom));

    m_reg.Subkey = "Formats\\APE";
    Write("cboAPELevel", ItemPositionOf(cboAPELevel));
}

void CfrmAudioProp::cmdOk_Click()
{
    frmOptions->cboTargetFormat->setCurrentIndex(cTabControl1->SelectedTab() - 1);
    WriteAllSections();
    GetOptions();
    m_bAccepted = true;
    Hide();
}

void CfrmAudioProp::cmdExit_Click() { Hide(); }

void CfrmAudioProp::Form_Unload(int& Cancel)
{
    if (g_bExitApp) {
        cAudioConverter1->Terminate();
        return;
    }
    Cancel = 1;
    Hide();
}

bool ShowAudioFormatPage(const QString& formatText)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    const QString key = formatText.left(3);
    dlg->cTabControl1->SelectTab(key);
    dlg->cTabControl1_TabClick(dlg->cTabControl1->TabIndex(key));
    dlg->m_bAccepted = false;
    dlg->ShowModal();
    return dlg->m_bAccepted;
}

bool EditTargetFormat(QComboBox* targetFormat)
{
    if (!ShowAudioFormatPage(targetFormat->currentText())) return false;
    targetFormat->setCurrentIndex(frmOptions->cboTargetFormat->currentIndex());
    return true;
}
