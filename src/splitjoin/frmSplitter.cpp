#include "splitjoin/frmSplitter.h"

#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/Paths.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

DefaultInstance<CfrmSplitter> g_frmSplitter;

namespace {

JobWindowDesign splitterDesign()
{
    JobWindowDesign d;
    d.formName = "g_frmSplitter";
    d.caption = "Audio Splitter";
    d.iconName = "cut";
    d.firstTabCaption = "Settings        ";
    d.firstTabIcon = 9;
    d.startCaption = "Split";
    d.jobVerb = "split";
    d.noticeAppCaption = "Execute external program";
    d.linkToolTips = true;
    d.fileNamePatterns = false;
    d.longTagPlaceholders = false;
    d.timeLeft = false;
    return d;
}

// An option whose caption has a stretch of blanks, with its number box lying
// over the blanks ("Split to [ 6 ] parts").
QWidget* optionWithBox(QRadioButton*& option, QLineEdit*& box, const QString& caption, const QString& value,
                       QWidget* parent)
{
    auto* holder = new QWidget(parent);
    option = new QRadioButton(caption, holder);
    box = new QLineEdit(value, holder);
    const QFontMetrics metrics(option->font());
    const qsizetype blanksFrom = caption.indexOf("  ");
    const qsizetype blanksTo = caption.lastIndexOf("  ") + 2;
    const int indicator = option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option) +
                          option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option);
    const int space = metrics.horizontalAdvance(' ');
    const int left = indicator + metrics.horizontalAdvance(caption.left(blanksFrom)) + space;
    const int width = metrics.horizontalAdvance(caption.mid(blanksFrom, blanksTo - blanksFrom)) - 2 * space;
    const QSize optionSize = option->sizeHint();
    const int height = std::max(optionSize.height(), box->sizeHint().height());
    holder->setFixedSize(optionSize.width(), height);
    option->setGeometry(0, (height - optionSize.height()) / 2, optionSize.width(), optionSize.height());
    box->setGeometry(left, 0, width, height);
    box->raise();
    return holder;
}

// The text of a number box as a real number: "6", " 10.5 ", and in the
// user's own number format; nothing for an empty text or one that is no number.
std::optional<double> readNumber(const QString& text)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

CfrmSplitter::CfrmSplitter()
    : JobWindow(splitterDesign()), cAudioConverter1(CreateAudioConverter()),
      m_converterJob(std::make_unique<AudioConverterJob>(*cAudioConverter1))
{
    SetJobControl(m_converterJob.get());

    auto* mode = new QHBoxLayout;
    Label2 = widgets::PlainLabel("Splitter Mode:", TabSettings);
    mode->addWidget(Label2);
    mode->addWidget(optionWithBox(ptnSplitByParts, txtSplitParts, "Split to" + QString(25, ' ') + "parts", "6",
                                  TabSettings));
    mode->addSpacing(16);
    mode->addWidget(optionWithBox(ptnSplitBySecs, txtSplitSecs, "Split each" + QString(20, ' ') + "seconds", "10",
                                  TabSettings));
    mode->addStretch(1);
    ToolSettingsArea->addLayout(mode);
    // The two options stand in boxes of their own: a group makes them one choice.
    auto* modeChoice = new QButtonGroup(this);
    modeChoice->addButton(ptnSplitByParts);
    modeChoice->addButton(ptnSplitBySecs);
    ptnSplitByParts->setChecked(true);

    connect(ptnSplitByParts, &QRadioButton::clicked, this, &CfrmSplitter::ptnSplitByParts_Click);
    connect(ptnSplitBySecs, &QRadioButton::clicked, this, &CfrmSplitter::ptnSplitBySecs_Click);
    txtSplitParts->installEventFilter(this);
    txtSplitSecs->installEventFilter(this);

    cAudioConverter* c = cAudioConverter1.get();
    connect(c, &cAudioConverter::Progress, this, &CfrmSplitter::cAudioConverter1_Progress);
    connect(c, &cAudioConverter::ConvertDone, this, &CfrmSplitter::cAudioConverter1_ConvertDone);
    connect(c, &cAudioConverter::ConvertError, this, &CfrmSplitter::cAudioConverter1_ConvertError);
    connect(c, &cAudioConverter::ConvertAborted, this, &CfrmSplitter::cAudioConverter1_ConvertAborted);
}

CfrmSplitter::~CfrmSplitter() = default;

void CfrmSplitter::LoadToolSettings() { UpdateSplitModeControls(); }

// ---------------------------------------------------------------- mode and number boxes

void CfrmSplitter::UpdateSplitModeControls()
{
    const bool byParts = ptnSplitByParts->isChecked();
    txtSplitParts->setEnabled(byParts);
    txtSplitSecs->setEnabled(!byParts);
}

void CfrmSplitter::txtSplitParts_KeyPress(int& KeyAscii) { CheckFileNameKey(txtSplitParts, KeyAscii); }

void CfrmSplitter::txtSplitSecs_KeyPress(int& KeyAscii) { CheckFileNameKey(txtSplitSecs, KeyAscii); }

bool CfrmSplitter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtSplitParts || watched == txtSplitSecs)) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (!typed.isEmpty()) {
            int KeyAscii = typed.at(0).unicode();
            if (watched == txtSplitParts)
                txtSplitParts_KeyPress(KeyAscii);
            else
                txtSplitSecs_KeyPress(KeyAscii);
            if (KeyAscii == 0) return true;
        }
    }
    return JobWindow::eventFilter(watched, event);
}

void CfrmSplitter::LockToolSettings(bool locked)
{
    ptnSplitByParts->setEnabled(!locked);
    ptnSplitBySecs->setEnabled(!locked);
    if (locked) {
        txtSplitParts->setEnabled(false);
        txtSplitSecs->setEnabled(false);
    } else {
        UpdateSplitModeControls();
    }
}

// A count or length that can make no parts is refused before anything is done:
// no part length, or one that rounds to under a second, would never reach the
// end of the source. A length over half a second makes parts of one second.
bool CfrmSplitter::ToolSettingsRefused()
{
    const bool byParts = ptnSplitByParts->isChecked();
    QLineEdit* box = byParts ? txtSplitParts : txtSplitSecs;
    const QString text = box->text().trimmed();
    const std::optional<double> value = readNumber(text);
    QString message;
    if (text.isEmpty())
        message = byParts ? "Type the number of parts to split into." : "Type the length of the parts in seconds.";
    else if (!value)
        message = (byParts ? "The number of parts is not a number: " : "The length of the parts is not a number: ") +
                  text;
    else if (byParts && *value <= 0)
        message = "The number of parts must be more than 0.";
    else if (!byParts && platform::CLng(*value) < 1)
        message = "The parts must be at least 1 second long.";
    if (message.isEmpty()) return false;
    platform::MsgBox(message, platform::vbInformation);
    box->setFocus();
    box->selectAll();
    return true;
}

// ---------------------------------------------------------------- the job

void CfrmSplitter::cmdConvert_Click()
{
    if (!PrepareJob("Preparing to split: " + GetFileName(g_sFileToSplit) + "..")) return;
    g_lSourceLength = 0;
    g_lPartCount = 0;
    const std::int32_t opened = cAudioConverter1->OpenSourceFile(g_sFileToSplit);
    if (opened != 0) {
        StopOnUnreadableSource(opened);
        return;
    }
    g_lSourceLength = cAudioConverter1->SourceLength();
    cAudioConverter1->CloseSourceFile();
    if (!ComputeSplit()) return;
    ConvertTracks();
}

void CfrmSplitter::StopOnUnreadableSource(std::int32_t code)
{
    g_bConvertError = true;
    const QString reason = code == kConvertErrSourceMissing ? "The file does not exist: " : "The file cannot be read: ";
    const QString text = "Error: " + reason + g_sFileToSplit + "(" + QString::number(code) + ")";
    Log(text);
    lblCurrentTrack->setText(text);
}

bool CfrmSplitter::ComputeSplit()
{
    g_lPartNumber = 1;
    g_lPartStart = 0;
    const double seconds = g_lSourceLength / 1000.0;
    const double value = readNumber(ptnSplitByParts->isChecked() ? txtSplitParts->text() : txtSplitSecs->text())
                             .value_or(0);
    bool tooShort = false;
    if (ptnSplitByParts->isChecked()) {
        g_lPartLength = platform::CLng(seconds / value);
        tooShort = g_lPartLength < 1;
    } else {
        tooShort = value >= seconds;
        g_lPartLength = platform::CLng(value);
    }
    if (tooShort) {
        platform::MsgBox("Source file length is to small.       ", platform::vbInformation);
        return false;
    }
    const std::int64_t partMs = std::int64_t(g_lPartLength) * 1000;
    g_lPartCount = std::int32_t((std::int64_t(g_lSourceLength) + partMs - 1) / partMs);
    // One hundred per part: the bar is full when the last part is.
    prgTotal->SetMax(g_lPartCount * 100);
    return true;
}

std::int32_t CfrmSplitter::CurrentPartLength() const
{
    const std::int64_t leftMs = std::int64_t(g_lSourceLength) - std::int64_t(g_lPartStart) * 1000;
    const std::int64_t leftSeconds = (leftMs + 999) / 1000;
    return std::int32_t(std::min<std::int64_t>(g_lPartLength, leftSeconds));
}

QString CfrmSplitter::GetPartFileName(const QString& sPath) const
{
    const QString f = GetFileName(sPath);
    return "Part_" + QString::number(g_lPartNumber) + "_" + f.left(std::max<qsizetype>(0, f.size() - 3)) +
           cboTargetFormat->currentText().left(3);
}

void CfrmSplitter::ConvertTracks()
{
    SetRunning(true);
    std::int32_t result = 0;
    if (std::int64_t(g_lPartStart) * 1000 < g_lSourceLength) {
        result = ConvertTask();
        if (result == 0) return;
        if (result == 2) Log("Aborted.");
    }
    SetRunning(false);
    EndSplit(result);
}

void CfrmSplitter::EndSplit(std::int32_t result)
{
    const QString text = result == 0 ? EndText(g_lPartCount, "parts") : QString("Aborted.");
    lblCurrentTrack->setText(text);
    ShowJobBalloon(text);
    if (result == 0) DoEndEvents(MadeFile());
}

std::int32_t CfrmSplitter::ConvertTask()
{
    std::int32_t row = 1;
    SetID3Tags(row);
    const QString name = GetFileName(g_sFileToSplit);
    lblCurrentTrack->setText(name);
    Log("Start to split: " + name + "...");
    Job()->SetSource(row, g_sFileToSplit);
    Job()->SetRange(g_lPartStart, CurrentPartLength());
    const QString path = txtToPath->currentText() + GetSubFolder() + GetPartFileName(g_sFileToSplit);
    if (const std::int32_t answer = AskOverwrite(path, {g_sFileToSplit}); answer != 0) return answer;
    m_partFile = path;
    Job()->SetDestinationFile(path);
    Job()->Start();
    return 0;
}

// ---------------------------------------------------------------- the control's events

void CfrmSplitter::cAudioConverter1_Progress(std::int32_t Percent)
{
    if (Percent <= 0) return;
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue(std::min((g_lPartNumber - 1) * 100 + Percent, prgTotal->Max()));
    setWindowTitle(g_sAppName + " " + g_sAppVersion);
}

void CfrmSplitter::cAudioConverter1_ConvertDone()
{
    CountItemMade(m_partFile);
    Log("Done.");
    lblCurrentTrack->setText("Done.");
    NextPart();
}

void CfrmSplitter::cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description)
{
    g_bConvertError = true;
    CountItemFailed();
    Log("Error: " + Description + "(" + QString::number(Code) + ")");
    SetRunning(false);
    NextPart();
}

void CfrmSplitter::NextPart()
{
    g_lPartNumber += 1;
    g_lPartStart = std::int32_t(std::min<std::int64_t>(std::int64_t(g_lPartStart) + g_lPartLength,
                                                       std::numeric_limits<std::int32_t>::max()));
    ConvertTracks();
}

void CfrmSplitter::cAudioConverter1_ConvertAborted()
{
    SetRunning(false);
    Log("Aborted.");
    lblCurrentTrack->setText("Aborted.");
}
