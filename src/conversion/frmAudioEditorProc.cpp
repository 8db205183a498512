#include "conversion/frmAudioEditorProc.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "conversion/JobWindow.h"
#include "core/Edition.h"
#include "core/MainWindowServices.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "settings/mdlOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

DefaultInstance<CfrmAudioEditorProc> g_frmAudioEditorProc;

namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 136;

void setAbortedFlag()
{
    if (MainWindowServices* main = MainWindow()) main->g_bAbortedAudioEditor = true;
}

} // namespace

CfrmAudioEditorProc::CfrmAudioEditorProc()
    : Form("g_frmAudioEditorProc"), cAudioConverter1(CreateAudioConverter()),
      m_job(std::make_unique<AudioConverterJob>(*cAudioConverter1))
{
    setWindowTitle("Preparing Audio Analyzer");
    QFont tahoma = font();
    tahoma.setFamily("Tahoma");
    setFont(tahoma);
    setFixedSize(kWidth, kHeight);

    // Room for an error text of three lines.
    lblCurrentTrack = widgets::PlainLabel("Preparing...", this);
    lblCurrentTrack->setGeometry(12, 8, kWidth - 24, 50);
    lblCurrentTrack->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblCurrentTrack->setWordWrap(true);
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setGeometry(12, 62, kWidth - 24, 16);
    cmdAbort = new QPushButton("Abort", this);
    cmdAbort->setGeometry(kWidth - 108, kHeight - 42, 96, 30);
    Timer1 = new QTimer(this);
    Timer1->setInterval(10);

    connect(cmdAbort, &QPushButton::clicked, this, &CfrmAudioEditorProc::cmdAbort_Click);
    connect(Timer1, &QTimer::timeout, this, &CfrmAudioEditorProc::Timer1_Timer);
    cAudioConverter* c = cAudioConverter1.get();
    connect(c, &cAudioConverter::Progress, this, &CfrmAudioEditorProc::cAudioConverter1_Progress);
    connect(c, &cAudioConverter::ConvertDone, this, &CfrmAudioEditorProc::cAudioConverter1_ConvertDone);
    connect(c, &cAudioConverter::ConvertAborted, this, &CfrmAudioEditorProc::cAudioConverter1_ConvertAborted);
    connect(c, &cAudioConverter::ConvertError, this, &CfrmAudioEditorProc::cAudioConverter1_ConvertError);
}

CfrmAudioEditorProc::~CfrmAudioEditorProc() = default;

void CfrmAudioEditorProc::Form_Load()
{
    ApplyWindowSkin(this, nullptr, nullptr);
    prgCurrnet->SetColor(g_lColor);
    SetFormIcon32(this, "document_pulse", true);
}

// ---------------------------------------------------------------- the conversion

QString CfrmAudioEditorProc::CreateID3TagsString(const QString& text) const { return FillTagPlaceholders(text, 1); }

void CfrmAudioEditorProc::SetID3Tags()
{
    JobTags tags;
    tags.album = CreateID3TagsString(g_sTagAlbum);
    tags.artist = CreateID3TagsString(g_sTagArtist);
    tags.comment = CreateID3TagsString(g_sTagComment);
    tags.genre = CreateID3TagsString(g_sTagGenre);
    tags.title = CreateID3TagsString(g_sTagSong);
    tags.track = CreateID3TagsString(g_sTagTrack);
    tags.year = CreateID3TagsString(g_sTagYear);
    m_job->SetTags(tags);
}

void CfrmAudioEditorProc::SetDestination()
{
    const QString key = g_sConvertToTarget.left(3).toUpper();
    const std::int32_t code = GetDestinationFormatIndex(key) + 1;
    // A target of no known format: the control keeps its own.
    if (code == kDestFormatWAV && key != "WAV") return;
    HandOverDestinationFormat(*m_job, code);
}

void CfrmAudioEditorProc::ConvertFile(const QString& sSource, const QString& sDest)
{
    m_source = sSource;
    m_dest = sDest;
    Timer1->start();
}

std::int32_t CfrmAudioEditorProc::ConvertX()
{
    Timer1->stop();
    if (g_bConvertTo) {
        SetDestination();
        SetID3Tags();
    } else {
        HandOverDestinationFormat(*m_job, kDestFormatWAV);
    }
    cAudioConverter1->SetSourceFile(m_source);
    cAudioConverter1->SetDestinationFile(m_dest);
    m_destExisted = QFileInfo::exists(m_dest);
    m_converting = true;
    cAudioConverter1->Convert();
    return 0;
}

void CfrmAudioEditorProc::End(AudioEditorProcEnding ending)
{
    m_converting = false;
    Timer1->stop();
    g_bConvertTo = false;
    m_ending = ending;
    if (ending != AudioEditorProcEnding::Done) RemovePartialOutput();
    if (ending == AudioEditorProcEnding::Aborted) setAbortedFlag();
    emit Ended(ending);
}

void CfrmAudioEditorProc::RemovePartialOutput()
{
    if (!m_dest.isEmpty() && !m_destExisted && QFileInfo(m_dest).isFile()) QFile::remove(m_dest);
}

// ---------------------------------------------------------------- events

void CfrmAudioEditorProc::cAudioConverter1_Progress(std::int32_t Percent)
{
    if (Percent > 0) prgCurrnet->SetValue(Percent);
}

void CfrmAudioEditorProc::cAudioConverter1_ConvertDone()
{
    lblCurrentTrack->setText("Done.");
    End(AudioEditorProcEnding::Done);
    Unload();
}

void CfrmAudioEditorProc::cAudioConverter1_ConvertAborted()
{
    lblCurrentTrack->setText("Aborted.");
    End(AudioEditorProcEnding::Aborted);
    Unload();
}

void CfrmAudioEditorProc::cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description)
{
    lblCurrentTrack->setText(Description + "(" + QString::number(Code) + ")");
    widgets::SetPlainToolTip(lblCurrentTrack, lblCurrentTrack->text());
    End(AudioEditorProcEnding::Failed);
    // The error stays on show until the user closes the window.
    cmdAbort->setText("Close");
}

void CfrmAudioEditorProc::cmdAbort_Click()
{
    if (m_ending == AudioEditorProcEnding::Failed)
        Unload();
    else
        cAudioConverter1->Abort();
}

void CfrmAudioEditorProc::Form_Unload(int&)
{
    // Closed before the conversion ended: it stops, and leaves nothing behind.
    const bool midRun = m_converting || Timer1->isActive();
    cAudioConverter1->Terminate();
    if (midRun) End(AudioEditorProcEnding::Aborted);
}

AudioEditorProcEnding ConvertWithAudioEditorProc(const QString& source, const QString& destination,
                                                 const QString& target)
{
    QPointer<CfrmAudioEditorProc> window = g_frmAudioEditorProc.get();
    if (!target.isEmpty()) {
        window->g_sConvertToTarget = target;
        window->g_bConvertTo = true;
    }
    AudioEditorProcEnding ending = AudioEditorProcEnding::NotEnded;
    QObject::connect(window, &CfrmAudioEditorProc::Ended, window,
                     [&ending](AudioEditorProcEnding how) { ending = how; });
    window->ConvertFile(source, destination);
    window->ShowModal();
    // A window hidden without closing stops here too: nothing runs on behind the caller.
    if (window && window->IsLoaded()) window->Unload();
    return ending;
}
