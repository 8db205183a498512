#include "recording/frmAudioEditor.h"

#include "controls/widgets/AudioEditor.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/ProgressBars.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/MainWindowServices.h"
#include "core/Skin.h"
#include "core/TimeSizeText.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "lists/OpenListAdding.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

DefaultInstance<CfrmAudioEditor> g_frmAudioEditor;

namespace {

constexpr int kTitleHeight = 36;
// A saved file this long or shorter holds no samples.
constexpr qint64 kEmptyWaveBytes = 64;

struct ToolButton {
    const char* key;
    const char* caption;
    const char* toolTip;
    int image; // -1: a separator
};

const ToolButton kToolButtons[] = {
    {"Play", "Play", "Play", 55},
    {"Pause", "Pause", "Pause", 67},
    {"Stop", "Stop", "Stop", 40},
    {nullptr, nullptr, nullptr, -1},
    {"Zoom", "Zoom", "Zoom", 68},
    {"Restore", "Restore", "Restore", 62},
    {nullptr, nullptr, nullptr, -1},
    {"Save Selection", "Save As", "Save Selection As...", 5},
    {nullptr, nullptr, nullptr, -1},
    {"Abort", "Abort", "Abort Operation", 27},
};

QLabel* tahomaLabel(const QString& text, QWidget* parent)
{
    auto* label = widgets::PlainLabel(text, parent);
    QFont font("Tahoma");
    font.setPointSize(label->font().pointSize());
    label->setFont(font);
    return label;
}

// A frame of rows: caption, "-", value label.
QGroupBox* factsFrame(const QString& title, QWidget* parent, std::initializer_list<std::pair<const char*, QLabel**>> rows)
{
    auto* frame = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (const auto& [caption, value] : rows) {
        grid->addWidget(tahomaLabel(caption, frame), row, 0);
        grid->addWidget(tahomaLabel("-", frame), row, 1);
        *value = tahomaLabel("0", frame);
        grid->addWidget(*value, row, 2);
        ++row;
    }
    grid->setColumnStretch(2, 1);
    return frame;
}

} // namespace

CfrmAudioEditor::CfrmAudioEditor() : Form("g_frmAudioEditor")
{
    setWindowTitle("Audio Editor");
    resize(760, 520);
    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle, "Audio Analyzer");
    picTitle->setFixedHeight(kTitleHeight);

    cAudioEditor1 = CreateAudioEditor(this);
    cAudioEditor1->setMinimumHeight(200);
    picList = new QWidget(this);
    tlbrList = new cToolbar(picList);
    rbrList = new cReBar(picList);

    fraInfo = factsFrame("File Information", this,
                         {{"Info Samples", &lblInfoSamples},
                          {"Info Bits", &lblInfoBits},
                          {"Info Channels", &lblInfoChannels},
                          {"Total Samples", &lblNumOfSamples},
                          {"Time Length", &lblLength}});
    fraPosition = factsFrame("Selection Position", this,
                             {{"Samples Start", &lblSamplesStart},
                              {"Samples End", &lblSamplesEnd},
                              {"Time Start", &lblTimeStart},
                              {"Time End", &lblTimeEnd},
                              {"Selected Time", &lblSelectedTime}});
    prgCurrnet = new XP_ProgressBar(this);
    prgCurrnet->setFixedHeight(14);
    cmdAddSelection = new QPushButton("Add Selection", this);
    cmdAbort = new QPushButton("Abort", this);
    cmdExit = new QPushButton("Exit", this);
    SetKeyButtons(nullptr, cmdExit);
    txtWavFile = new QLineEdit(this);
    txtWavFile->hide();

    auto* frames = new QHBoxLayout;
    frames->addWidget(fraInfo);
    frames->addWidget(fraPosition);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAddSelection);
    buttons->addStretch();
    buttons->addWidget(cmdAbort);
    buttons->addWidget(cmdExit);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(cAudioEditor1, 1);
    body->addWidget(picList);
    body->addLayout(frames);
    body->addWidget(prgCurrnet);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(picTitle);
    layout->addLayout(body, 1);

    connect(tlbrList, &cToolbar::ButtonClick, this, &CfrmAudioEditor::tlbrList_ButtonClick);
    connect(cmdAddSelection, &QPushButton::clicked, this, &CfrmAudioEditor::cmdAddSelection_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &CfrmAudioEditor::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &CfrmAudioEditor::cmdExit_Click);
    ConnectControl();
}

CfrmAudioEditor::~CfrmAudioEditor() = default;

void CfrmAudioEditor::ConnectControl()
{
    cAudioEditor* c = cAudioEditor1;
    connect(c, &cAudioEditor::FileLoaded, this, &CfrmAudioEditor::cAudioEditor1_FileLoaded);
    connect(c, &cAudioEditor::SelectionChanged, this, &CfrmAudioEditor::cAudioEditor1_SelectionChanged);
    connect(c, &cAudioEditor::Progress, this, &CfrmAudioEditor::cAudioEditor1_Progress);
    connect(c, &cAudioEditor::Done, this, &CfrmAudioEditor::cAudioEditor1_Done);
    connect(c, &cAudioEditor::Aborted, this, &CfrmAudioEditor::cAudioEditor1_Aborted);
    connect(c, &cAudioEditor::Error, this, &CfrmAudioEditor::cAudioEditor1_Error);
    connect(c, &cAudioEditor::PlayDone, this, &CfrmAudioEditor::cAudioEditor1_PlayDone);
}

void CfrmAudioEditor::Form_Load()
{
    SetFormIcon32(this, "document_pulse", true);
    ApplyWindowSkin(this, picTitle, lblTitle, {fraInfo, fraPosition, picList});
    cAudioEditor1->SetForeColor(g_lTextColor);
    cAudioEditor1->SetBarColor(g_lColor);
    cAudioEditor1->SetBackColor(g_lColor);
    prgCurrnet->SetColor(g_lColor);
    BuildToolbar();
}

void CfrmAudioEditor::BuildToolbar()
{
    MainWindowServices* main = MainWindow();
    tlbrList->SetDrawStyle(2);
    tlbrList->SetButtonTextPosition(0);
    tlbrList->SetListStyle(true);
    tlbrList->SetImageList(main ? main->imgMenu : nullptr);
    tlbrList->CreateToolbar(16, false, true, true);
    for (const ToolButton& b : kToolButtons) {
        if (!b.key)
            tlbrList->AddButton("", -1, QString(), 0, QString(), cToolbar::StyleSeparator);
        else
            tlbrList->AddButton(b.toolTip, b.image, QString(), 0, b.caption, cToolbar::StylePlain, b.key);
    }
    tlbrList->SetWrappable(true);
    tlbrList->SetButtonTextVisible(0, true);

    rbrList->SetImageSource(1);
    rbrList->CreateRebar(picList);
    rbrList->AddBandByHwnd(tlbrList->hWnd(), "", false, false, "Toolbar1");
    rbrList->SetBandChildMinWidth(0, 0);
    picList->setMinimumHeight(tlbrList->sizeHint().height());
}

void CfrmAudioEditor::Form_Unload(int&)
{
    // Stops playing and any save; a partly written file is removed.
    cAudioEditor1->Terminate();
    m_addWhenSaved = false;
}

// ---- the toolbar and the buttons ----

void CfrmAudioEditor::tlbrList_ButtonClick(int index)
{
    const QString key = tlbrList->ButtonKey(index);
    if (key == "Play") {
        if (cAudioEditor1->Play() == 0) tlbrList->SetButtonEnabled("Play", false);
    } else if (key == "Pause") {
        if (cAudioEditor1->IsPaused())
            cAudioEditor1->Resume();
        else
            cAudioEditor1->Pause();
    } else if (key == "Stop") {
        cAudioEditor1->StopPlay();
        tlbrList->SetButtonEnabled("Play", true);
    } else if (key == "Zoom") {
        cAudioEditor1->Zoom();
    } else if (key == "Restore") {
        cAudioEditor1->RestoreZoom();
    } else if (key == "Save Selection") {
        SaveSelection();
    } else if (key == "Abort") {
        cAudioEditor1->Abort();
    }
}

QString CfrmAudioEditor::SaveSelection()
{
    g_OFN.lpstrFilter = QString("Wav Audio Files (*.wav)") + QChar(0) + "*.wav" + QChar(0);
    g_OFN.lpstrTitle = "Save Selection As";
    g_OFN.lpstrFile.clear();
    g_OFN.lpstrDefExt = "wav";
    QString name;
    const FileDialogResult picked = ShowSave(this, name, true);
    if (picked.bCancelled || picked.asFiles.size() < 2) return QString();
    const QString path = picked.asFiles[1];

    cAudioEditor1->SetSourceFile(txtWavFile->text());
    cAudioEditor1->SetDestinationFile(path);
    const std::int32_t start = LabelMs(lblTimeStart);
    const std::int32_t end = LabelMs(lblTimeEnd);
    cAudioEditor1->SetSelectionStart(start);
    cAudioEditor1->SetSelectionLength(end - start);
    m_savedPath = path;
    SetSaving(true);
    cAudioEditor1->SaveSelection();
    return path;
}

void CfrmAudioEditor::cmdAddSelection_Click()
{
    if (!OpenListTakesNewFiles("selection")) return;
    // The file is added once the save has written it; a cancelled dialog keeps the window.
    m_addWhenSaved = !SaveSelection().isEmpty();
}

void CfrmAudioEditor::cmdAbort_Click() { cAudioEditor1->Abort(); }

void CfrmAudioEditor::cmdExit_Click()
{
    cAudioEditor1->Abort();
    Unload();
}

void CfrmAudioEditor::SetSaving(bool saving)
{
    m_saving = saving;
    cmdAddSelection->setEnabled(!saving);
    tlbrList->SetButtonEnabled("Save Selection", !saving);
}

void CfrmAudioEditor::AddSavedFile()
{
    const QFileInfo saved(m_savedPath);
    if (!saved.exists()) {
        platform::MsgBox("The file:" + m_savedPath + " was not found.", platform::vbInformation);
        return;
    }
    if (saved.size() <= kEmptyWaveBytes) {
        platform::MsgBox("The file:" + m_savedPath + " is empty.", platform::vbInformation);
        return;
    }
    // A file the list cannot take keeps the window open.
    if (!OpenListTakesNewFiles("selection") || !AddFileToOpenList(m_savedPath, this)) return;
    Unload();
}

// ---- the control's events ----

QString CfrmAudioEditor::TimeText(std::int32_t ms)
{
    std::int32_t seconds = ms / 1000;
    const std::int32_t rest = ms % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0)) ++seconds;
    return QString::number(ms) + " ms [" + FormatSeconds(seconds) + "]";
}

std::int32_t CfrmAudioEditor::LabelMs(const QLabel* label)
{
    return label->text().section(' ', 0, 0).toInt();
}

void CfrmAudioEditor::cAudioEditor1_FileLoaded(std::int32_t rate, std::int32_t bits, std::int32_t channels,
                                               std::int32_t seconds, std::int32_t samples)
{
    lblInfoBits->setText(QString::number(bits));
    lblInfoChannels->setText(QString::number(channels));
    lblInfoSamples->setText(QString::number(rate));
    lblNumOfSamples->setText(QString::number(samples));
    lblLength->setText(FormatSeconds(seconds));
    lblSamplesStart->setText("0");
    lblSamplesEnd->setText(QString::number(samples));
    lblTimeStart->setText(TimeText(0));
    // The whole file, to its last sample rather than its whole seconds.
    const std::int32_t endMs = rate > 0 ? std::int32_t(std::llround(double(samples) * 1000.0 / rate)) : seconds * 1000;
    lblTimeEnd->setText(TimeText(endMs));
    lblSelectedTime->setText(lblTimeEnd->text());
}

void CfrmAudioEditor::cAudioEditor1_SelectionChanged(std::int32_t s0, std::int32_t s1, std::int32_t t0,
                                                     std::int32_t t1)
{
    lblSamplesStart->setText(QString::number(s0));
    lblSamplesEnd->setText(QString::number(s1));
    lblTimeStart->setText(TimeText(t0));
    lblTimeEnd->setText(TimeText(t1));
    lblSelectedTime->setText(TimeText(t1 - t0));
}

void CfrmAudioEditor::cAudioEditor1_Progress(std::int32_t percent) { prgCurrnet->SetValue(percent); }

void CfrmAudioEditor::cAudioEditor1_Done()
{
    SetSaving(false);
    if (!m_addWhenSaved) return;
    m_addWhenSaved = false;
    AddSavedFile();
}

void CfrmAudioEditor::cAudioEditor1_Aborted()
{
    m_addWhenSaved = false;
    SetSaving(false);
    tlbrList->SetButtonEnabled("Play", true);
}

void CfrmAudioEditor::cAudioEditor1_Error(std::int32_t code, const QString& text)
{
    if (IsUnloaded()) return;
    // A refused play leaves a running save alone; any other error ends it, and
    // the user may save again, to another file.
    const bool playError = code == kEditorErrNoFile || code == kEditorErrPlay;
    if (m_saving && !playError) {
        m_addWhenSaved = false;
        SetSaving(false);
    }
    cmdAddSelection->setEnabled(!m_saving);
    platform::MsgBox(text, platform::vbExclamation);
}

void CfrmAudioEditor::cAudioEditor1_PlayDone() { tlbrList->SetButtonEnabled("Play", true); }
