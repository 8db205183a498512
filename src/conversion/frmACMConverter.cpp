#include "conversion/frmACMConverter.h"

#include "controls/widgets/PlainText.h"
#include "core/Edition.h"
#include "core/TextFiles.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

DefaultInstance<CfrmACMConverter> g_frmACMConverter;

namespace {

JobWindowDesign acmConverterDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmACMConverter";
    d.caption = "ACM Converter";
    d.firstTabCaption = "ACM Converter        ";
    d.firstTabIcon = 61;
    d.noticeAppCaption = "Execute external program";
    d.destinationFormats = false;
    d.hourglass = false;
    return d;
}

// Inserts the entry in alphabetical order (ignoring case); a list with no
// selection keeps none.
void addSorted(QComboBox* box, const QString& text)
{
    const int selected = box->currentIndex();
    int at = 0;
    while (at < box->count() && QString::compare(box->itemText(at), text, Qt::CaseInsensitive) <= 0) ++at;
    box->insertItem(at, text);
    if (selected < 0) box->setCurrentIndex(-1);
}

// Selects the entry equal to the text (case-sensitive), or none.
void selectText(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

QString unreadableReason(std::int32_t code)
{
    if (code == kConvertErrSourceMissing) return "it does not exist";
    return "it is not an audio file this program can read";
}

} // namespace

CfrmACMConverter::CfrmACMConverter()
    : JobWindow(acmConverterDesign()), cAudioConverter1(CreateAudioConverter()),
      cSourceReader(CreateAudioConverter()), m_converterJob(std::make_unique<AudioConverterJob>(*cAudioConverter1))
{
    SetJobControl(m_converterJob.get());
    BuildCodecLists();
    cAudioConverter* c = cAudioConverter1.get();
    connect(c, &cAudioConverter::ACMFormatTagFound, this, &CfrmACMConverter::cAudioConverter1_ACMFormatTagFound);
    connect(c, &cAudioConverter::ACMFormatFound, this, &CfrmACMConverter::cAudioConverter1_ACMFormatFound);
    connect(c, &cAudioConverter::Progress, this, &CfrmACMConverter::cAudioConverter1_Progress);
    connect(c, &cAudioConverter::ConvertDone, this, &CfrmACMConverter::cAudioConverter1_ConvertDone);
    connect(c, &cAudioConverter::ConvertError, this, &CfrmACMConverter::cAudioConverter1_ConvertError);
    connect(c, &cAudioConverter::ConvertAborted, this, &CfrmACMConverter::cAudioConverter1_ConvertAborted);
    // A pick by the user; the window's own selections call the rules themselves.
    connect(cboBestAccordItem, &QComboBox::activated, this, &CfrmACMConverter::cboBestAccordItem_Click);
    connect(cboTags, &QComboBox::activated, this, &CfrmACMConverter::cboTags_Click);
}

CfrmACMConverter::~CfrmACMConverter() = default;

void CfrmACMConverter::BuildCodecLists()
{
    auto* g = new QGridLayout;
    Label1 = widgets::PlainLabel("Best ACM Codecs According:", TabSettings);
    cboBestAccordItem = new QComboBox(TabSettings);
    lblTag = widgets::PlainLabel("Target ACM Tag:", TabSettings);
    cboTags = new QComboBox(TabSettings);
    lblFormat = widgets::PlainLabel("Target ACM Format:", TabSettings);
    cboFormats = new QComboBox(TabSettings);
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(cboBestAccordItem, 1, 0, 1, 2);
    g->addWidget(lblTag, 2, 0);
    g->addWidget(lblFormat, 2, 1);
    g->addWidget(cboTags, 3, 0);
    g->addWidget(cboFormats, 3, 1);
    g->setColumnStretch(0, 1);
    g->setColumnStretch(1, 1);
    ToolSettingsArea->addLayout(g);
    ToolSettingsArea->addSpacing(8);
}

// ---------------------------------------------------------------- codec lists

void CfrmACMConverter::LoadToolSettings() { ListCodecs(0); }

void CfrmACMConverter::cAudioConverter1_ACMFormatTagFound(const QString& Name) { addSorted(cboTags, Name); }

void CfrmACMConverter::cAudioConverter1_ACMFormatFound(const QString& Description) { cboFormats->addItem(Description); }

void CfrmACMConverter::ListCodecs(std::int32_t flags)
{
    cboTags->clear();
    cboFormats->clear();
    cAudioConverter1->EnumACMFormatTags(1, m_sourceRate, m_sourceChannels, m_sourceBits, flags);
    if (cboTags->count() == 0) return;
    selectText(cboTags, "PCM");
    cboTags_Click();
}

void CfrmACMConverter::cboTags_Click()
{
    cboFormats->clear();
    cAudioConverter1->EnumACMFormats(cboTags->currentText());
    cboFormats->setCurrentIndex(cboFormats->count() > 0 ? 0 : -1);
}

void CfrmACMConverter::cboBestAccordItem_Click()
{
    const QString source = cboBestAccordItem->currentText();
    if (source != kAllACMCodecs) {
        const QString refusal = ReadSourceFormat(source);
        if (!refusal.isEmpty()) {
            platform::MsgBox(refusal + kCrLf + kCrLf + "The codec lists stay as they were.", platform::vbInformation);
            selectText(cboBestAccordItem, m_listedSource);
            return;
        }
    }
    ListCodecsOf(source);
}

void CfrmACMConverter::ListCodecsOf(const QString& source)
{
    m_listedSource = source;
    ListCodecs(source == kAllACMCodecs ? 0 : kACMFormatEnumSuggest);
}

QString CfrmACMConverter::ReadSourceFormat(const QString& path)
{
    const std::int32_t result = cSourceReader->OpenSourceFile(path);
    if (result == 0) {
        m_sourceRate = cSourceReader->SourceSampleRate();
        m_sourceChannels = cSourceReader->SourceChannels();
        m_sourceBits = cSourceReader->SourceBitsPerSample();
    }
    cSourceReader->CloseSourceFile();
    if (result == 0) return {};
    return "The codecs for '" + path + "' cannot be listed: " + unreadableReason(result) + ".";
}

void CfrmACMConverter::FillCodecSources(const QStringList& files, const QString& chosen)
{
    addSorted(cboBestAccordItem, kAllACMCodecs);
    for (const QString& file : files) addSorted(cboBestAccordItem, file);
    selectText(cboBestAccordItem, chosen);
    if (cboBestAccordItem->currentIndex() < 0) return;
    QString source = cboBestAccordItem->currentText();
    // The window opens on every codec rather than on an error about a row the user did not pick here.
    if (source != kAllACMCodecs) {
        if (const QString refusal = ReadSourceFormat(source); !refusal.isEmpty()) {
            source = kAllACMCodecs;
            selectText(cboBestAccordItem, source);
            lblCurrentTrack->setText(refusal + " All ACM codecs are listed.");
        }
    }
    ListCodecsOf(source);
}

void CfrmACMConverter::LockToolSettings(bool locked)
{
    for (QComboBox* list : {cboBestAccordItem, cboTags, cboFormats}) list->setEnabled(!locked);
}

// ---------------------------------------------------------------- the job

bool CfrmACMConverter::ToolSettingsRefused()
{
    QString message;
    if (cboTags->currentText().isEmpty())
        message = "Choose the target ACM codec (\"Target ACM Tag\") first.";
    else if (cboFormats->currentText().isEmpty())
        message = "Choose the target ACM format (\"Target ACM Format\") first.";
    if (message.isEmpty()) return false;
    platform::MsgBox(message, platform::vbInformation);
    return true;
}

void CfrmACMConverter::SetDestination()
{
    Job()->SetDestinationFormat(kDestFormatACM);
    Job()->SetACMFormat(cboTags->currentText(), cboFormats->currentText());
    Log(DestinationFormatLogLine(kDestFormatACM));
}

void CfrmACMConverter::ShowInCaption(CaptionMoment moment, const QString& text)
{
    switch (moment) {
    case CaptionMoment::Progress:
    case CaptionMoment::RunDone: setWindowTitle(g_sAppName + " " + g_sAppVersion); break;
    case CaptionMoment::RunCancelled: setWindowTitle(text); break;
    case CaptionMoment::ItemAborted: break; // the caption stays
    }
}

void CfrmACMConverter::EndRunDone()
{
    JobWindow::EndRunDone();
    lblTimeLeft->setText("Time Left: 00:00:00");
}

void CfrmACMConverter::EndRunCancelled()
{
    JobWindow::EndRunCancelled();
    lblTimeLeft->setText("Time Left: 00:00:00");
}
