#include "recording/frmWaveTTS.h"

#include "controls/widgets/ImageList.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/Slider.h"
#include "controls/speech/TextToSpeech.h"
#include "controls/widgets/TreeView.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/NamingProcedures.h"
#include "core/Paths.h"
#include "core/Skin.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "lists/OpenListAdding.h"
#include "platform/MessageBox.h"
#include "platform/UserSettings.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"

#include <QComboBox>
#include <QDir>
#include <QSignalBlocker>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

DefaultInstance<CfrmWaveTTS> g_frmWaveTTS;

namespace {

constexpr int kTitleHeight = 36;
constexpr std::int32_t kSpeakFlags = kTTSFlagAsync | kTTSFlagPurge | kTTSFlagMarkup; // 11
constexpr char kSampleText[] = "This sample shows you how to use the 'Text To Speech'.";
constexpr char kSection[] = "TTS";
constexpr char kSaveAsFolderKey[] = "SaveAsFolder";
// Images of the main window's menu list beside Say It, Stop, Save As and Add.
constexpr std::array<int, 4> kToolImages = {84, 41, 47, 3};

QComboBox* DropDownList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    return list;
}

} // namespace

CfrmWaveTTS::CfrmWaveTTS() : Form("g_frmWaveTTS"), cWaveTTS1(CreateWaveTTS())
{
    setWindowTitle("Text To Speech");
    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle, "Text To Speech");
    picTitle->setFixedHeight(kTitleHeight);

    txtSpeak = new QPlainTextEdit(this);
    txtSpeak->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cboVoices = DropDownList(this);
    cboAudioOutputs = DropDownList(this);
    cboFormats = DropDownList(this);
    cboTargetFormat = DropDownList(this);
    sldRate = new cSlider(this);
    sldRate->SetMin(-10);
    lblRateVal = widgets::PlainLabel("0", this);
    sldVolume = new cSlider(this);
    sldVolume->SetMax(100);
    sldVolume->SetValue(50);
    lblValumeVal = widgets::PlainLabel("50", this);
    lblClearText = new LinkLabel("Clear Text", this);
    lblID3Tags = new LinkLabel("ID3Tags", this);
    lblID3Tags->setToolTip("Set the ID3 tags");
    cmdSay = new QPushButton("Say It", this);
    cmdStop = new QPushButton("Stop", this);
    cmdSaveAs = new QPushButton("Save As...", this);
    cmdAdd = new QPushButton("Add to Items List", this);
    cmdEditTargetFormat = new QPushButton("Edit", this);
    cmdEditTargetFormat->setToolTip("Edit Target Audio Formats");
    const std::array<const char*, 4> tips = {"Say it", "Stop", "Save 'Text To Speech' as a wav file.",
                                             "Add to items list."};
    for (size_t i = 0; i < cmdToolsIcon.size(); ++i) {
        cmdToolsIcon[i] = new QToolButton(this);
        cmdToolsIcon[i]->setAutoRaise(true);
        cmdToolsIcon[i]->setToolTip(tips[i]);
    }
    BuildLayout();
    ConnectControls();
}

CfrmWaveTTS::~CfrmWaveTTS() = default;

QString CfrmWaveTTS::TempWaveFile() { return UserDataFolder() + "tmptts.wav"; }

void CfrmWaveTTS::BuildLayout()
{
    auto* fields = new QGridLayout;
    int row = 0;
    const auto field = [&](const QString& caption, QWidget* widget, QWidget* extra = nullptr) {
        fields->addWidget(widgets::PlainLabel(caption, this), row, 0);
        fields->addWidget(widget, row, 1);
        if (extra) fields->addWidget(extra, row, 2);
        ++row;
    };
    field("Voices:", cboVoices);
    field("Audio Outputs:", cboAudioOutputs);
    field("Formats:", cboFormats);
    field("Rate:", sldRate, lblRateVal);
    field("Volume:", sldVolume, lblValumeVal);
    auto* target = new QHBoxLayout;
    target->addWidget(cboTargetFormat, 1);
    target->addWidget(cmdEditTargetFormat);
    fields->addWidget(widgets::PlainLabel("Destination Format:", this), row, 0);
    fields->addLayout(target, row, 1, 1, 2);

    auto* textHead = new QHBoxLayout;
    textHead->addWidget(widgets::PlainLabel("Text:", this));
    textHead->addStretch();
    textHead->addWidget(lblID3Tags);
    textHead->addWidget(lblClearText);

    auto* buttons = new QHBoxLayout;
    const std::array<QPushButton*, 4> commands = {cmdSay, cmdStop, cmdSaveAs, cmdAdd};
    for (size_t i = 0; i < commands.size(); ++i) {
        buttons->addWidget(cmdToolsIcon[i]);
        buttons->addWidget(commands[i]);
    }
    buttons->addStretch();

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 6, 10, 0);
    body->addLayout(fields);
    body->addLayout(textHead);
    body->addWidget(txtSpeak, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(picTitle);
    layout->addLayout(body, 1);
    resize(560, 460);
}

void CfrmWaveTTS::ConnectControls()
{
    connect(cmdSay, &QPushButton::clicked, this, &CfrmWaveTTS::cmdSay_Click);
    connect(cmdStop, &QPushButton::clicked, this, &CfrmWaveTTS::cmdStop_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &CfrmWaveTTS::cmdSaveAs_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &CfrmWaveTTS::cmdAdd_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &CfrmWaveTTS::cmdEditTargetFormat_Click);
    connect(lblID3Tags, &LinkLabel::Click, this, &CfrmWaveTTS::lblID3Tags_Click);
    connect(lblClearText, &LinkLabel::Click, this, &CfrmWaveTTS::lblClearText_Click);
    connect(txtSpeak, &QPlainTextEdit::textChanged, this, &CfrmWaveTTS::txtSpeak_Change);
    connect(sldRate, &cSlider::Change, this, &CfrmWaveTTS::sldRate_Change);
    connect(sldVolume, &cSlider::Change, this, &CfrmWaveTTS::sldVolume_Change);
    cWaveTTS* c = cWaveTTS1.get();
    connect(c, &cWaveTTS::FormatFound, this, &CfrmWaveTTS::cWaveTTS1_FormatFound);
    connect(c, &cWaveTTS::WordBoundary, this, &CfrmWaveTTS::cWaveTTS1_WordBoundary);
    connect(c, &cWaveTTS::SpeakDone, this, &CfrmWaveTTS::cWaveTTS1_SpeakDone);
}

// ---------------------------------------------------------------- loading

void CfrmWaveTTS::Form_Load()
{
    SetFormIcon32(this, "AAA", true);
    SetToolIcons();
    ApplyWindowSkin(this, picTitle, lblTitle);
    bool ok = false;
    const std::int32_t appColor = std::int32_t(g_sAppColor.toLongLong(&ok));
    if (ok) {
        sldVolume->SetBackColor(appColor);
        sldRate->SetBackColor(appColor);
    }
    FillVoices();
    FillAudioOutputs();
    cWaveTTS1->EnumFormats();
    const int format = cboFormats->findText(platform::GetSetting(g_sAppName, kSection, "Format", kTTSDefaultFormat));
    if (format >= 0) cboFormats->setCurrentIndex(format);
    const int voice = cboVoices->findText(platform::GetSetting(g_sAppName, kSection, "Voice"));
    if (voice >= 0) cboVoices->setCurrentIndex(voice);
    sldVolume->SetValue(50);
    sldRate->SetValue(0);
    txtSpeak->setPlainText(kSampleText);
    FillDestinationFormats(cboTargetFormat);
    cboTargetFormat->setCurrentIndex(frmOptions->cboTargetFormat->currentIndex());
}

void CfrmWaveTTS::SetToolIcons()
{
    MainWindowServices* main = MainWindow();
    if (!main || !main->imgMenu) return;
    for (size_t i = 0; i < cmdToolsIcon.size(); ++i)
        cmdToolsIcon[i]->setIcon(QIcon(main->imgMenu->ItemPicture(kToolImages[i])));
}

void CfrmWaveTTS::FillVoices()
{
    const std::int32_t n = cWaveTTS1->GetVoiceCount();
    cboVoices->clear();
    for (std::int32_t i = 1; i <= n; ++i) cboVoices->addItem(cWaveTTS1->GetVoiceName(i));
    if (cboVoices->count() > 0) cboVoices->setCurrentIndex(0);
}

void CfrmWaveTTS::FillAudioOutputs()
{
    const std::int32_t n = cWaveTTS1->GetOutputCount();
    cboAudioOutputs->clear();
    for (std::int32_t i = 1; i <= n; ++i)
        cboAudioOutputs->addItem(cWaveTTS1->GetOutputDescription(i), cWaveTTS1->GetOutputName(i));
    if (cboAudioOutputs->count() > 0) cboAudioOutputs->setCurrentIndex(0);
}

void CfrmWaveTTS::cWaveTTS1_FormatFound(const QString& name, std::int32_t id)
{
    // Appending selects the first entry of an empty list: the saved format chooses instead.
    const QSignalBlocker quiet(cboFormats);
    const int selected = cboFormats->currentIndex();
    cboFormats->addItem(name, id);
    cboFormats->setCurrentIndex(selected);
}

void CfrmWaveTTS::Form_Unload(int&)
{
    cWaveTTS1->Terminate();
    m_speaking = false;
    platform::SaveSetting(g_sAppName, kSection, "Format", cboFormats->currentText());
    platform::SaveSetting(g_sAppName, kSection, "Voice", cboVoices->currentText());
}

// ---------------------------------------------------------------- speaking

void CfrmWaveTTS::ApplySpeechSettings(std::int32_t rate, std::int32_t volume)
{
    cWaveTTS& c = *cWaveTTS1;
    c.SetOutputIndex(cboAudioOutputs->currentIndex());
    c.SetVoiceIndex(cboVoices->currentIndex());
    c.SetRate(rate);
    c.SetVolume(volume);
    c.SetSpeakFlags(kSpeakFlags);
    // Without a selected format the control keeps its own.
    if (cboFormats->currentIndex() >= 0) c.SetAudioFormat(cboFormats->currentData().toInt());
}

bool CfrmWaveTTS::HasTextToSpeak()
{
    if (!txtSpeak->toPlainText().trimmed().isEmpty()) return true;
    platform::MsgBox("There is no text to speak.\r\n\r\nType the text to speak first.", platform::vbInformation);
    return false;
}

void CfrmWaveTTS::cmdSay_Click()
{
    if (!HasTextToSpeak()) return;
    // During speech the settings of the speech in progress stay.
    if (!cWaveTTS1->IsBusy()) ApplySpeechSettings(sldRate->Value(), sldVolume->Value());
    const std::int32_t result = cWaveTTS1->Speak(txtSpeak->toPlainText());
    m_speaking = result == 0;
    if (result != 0)
        platform::MsgBox("The text cannot be spoken.\r\n\r\n" + cWaveTTS1->ErrorText(cWaveTTS1->LastError()),
                         platform::vbExclamation);
}

void CfrmWaveTTS::cmdStop_Click() { cWaveTTS1->Stop(); }

void CfrmWaveTTS::SelectText(int start, int length)
{
    const int size = int(txtSpeak->toPlainText().size());
    const int from = std::clamp(start, 0, size);
    QTextCursor cursor = txtSpeak->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(std::clamp(from + length, from, size), QTextCursor::KeepAnchor);
    txtSpeak->setTextCursor(cursor);
}

void CfrmWaveTTS::cWaveTTS1_WordBoundary(std::int32_t position, std::int32_t length) { SelectText(position, length); }

void CfrmWaveTTS::cWaveTTS1_SpeakDone()
{
    SelectText(0, int(txtSpeak->toPlainText().size()));
    const bool wasSpeaking = std::exchange(m_speaking, false);
    const std::int32_t error = cWaveTTS1->LastError();
    // A speech that broke off on the way is not passed off as spoken.
    if (wasSpeaking && (error == kTTSErrSpeech || error == kTTSErrDevice))
        platform::MsgBox("The speech stopped before its end.\r\n\r\n" + cWaveTTS1->ErrorText(error),
                         platform::vbExclamation);
}

void CfrmWaveTTS::sldRate_Change() { lblRateVal->setText(QString::number(sldRate->Value())); }

void CfrmWaveTTS::sldVolume_Change() { lblValumeVal->setText(QString::number(sldVolume->Value())); }

// ---------------------------------------------------------------- rendering

bool CfrmWaveTTS::SpeakToWaveFile(const QString& sFile)
{
    // Renderings do not follow the sliders.
    ApplySpeechSettings(0, 100);
    if (cWaveTTS1->SpeakToFile(txtSpeak->toPlainText(), sFile) == 0) return true;
    platform::MsgBox("The speech cannot be rendered into a file.\r\n\r\n" +
                         cWaveTTS1->ErrorText(cWaveTTS1->LastError()),
                     platform::vbExclamation);
    return false;
}

bool CfrmWaveTTS::RenderInto(const QString& destination)
{
    const QString temp = TempWaveFile();
    // An earlier rendering must never pass for this one.
    if (FileExists(temp) && !KillFile(temp)) {
        platform::MsgBox("The temporary file cannot be replaced:\r\n" + temp, platform::vbExclamation);
        return false;
    }
    if (!SpeakToWaveFile(temp)) return false;
    setCursor(Qt::WaitCursor);
    const AudioEditorProcEnding ending = ConvertWithAudioEditorProc(temp, destination, cboTargetFormat->currentText());
    unsetCursor();
    // A failed or aborted conversion has told the user itself.
    return ending == AudioEditorProcEnding::Done;
}

QString CfrmWaveTTS::TargetLetters() const { return cboTargetFormat->currentText().left(3).toLower(); }

void CfrmWaveTTS::cmdSaveAs_Click()
{
    if (!HasTextToSpeak()) return;
    const QString ext = TargetLetters();
    g_OFN.lpstrFilter = "Audio Files (*." + ext + ")" + QChar(0) + "*." + ext + QChar(0);
    g_OFN.lpstrTitle = "Save As";
    g_OFN.lpstrDefExt = ext;
    g_OFN.Flags = 0;
    // Never the folder or file another window's dialog left in the shared record.
    g_OFN.lpstrInitialDir = SaveAsFolder();
    QString name = NewOutputName();
    const FileDialogResult result = ShowSave(this, name, true);
    if (result.bCancelled) return;
    platform::SaveSetting(g_sAppName, kSection, kSaveAsFolderKey, result.sFolder);
    RenderInto(result.asFiles.value(1));
}

QString CfrmWaveTTS::SaveAsFolder()
{
    const QString folder = platform::GetSetting(g_sAppName, kSection, kSaveAsFolderKey);
    return IsFolder(folder) ? folder : QDir::homePath();
}

QString CfrmWaveTTS::NewOutputName() const
{
    const QString name = "TTS_" + CreateFileName(cboTargetFormat->currentText());
    return name.left(name.size() - 3) + TargetLetters();
}

QString CfrmWaveTTS::NewOutputPath() const
{
    const QString name = NewOutputName();
    const QString folder = DefaultDestination(UserDataFolder());
    // Two renderings within the same second keep both.
    const QFileInfo info(name);
    const QString base = info.completeBaseName(), suffix = "." + info.suffix();
    QString path = folder + name;
    for (int n = 2; FileExists(path); ++n) path = folder + base + "_" + QString::number(n) + suffix;
    return path;
}

void CfrmWaveTTS::cmdAdd_Click()
{
    if (!HasTextToSpeak() || !OpenListTakesNewFiles("speech")) return;
    const QString path = NewOutputPath();
    if (!RenderInto(path)) return;
    MainWindowServices* main = MainWindow();
    // A file the list refused stays beside the program, and the window stays open.
    if (!main || !AddFileToOpenList(path, main->Widget())) return;
    if (MainWindow() == main && main->cTreeView1) main->cTreeView1_NodeClick(main->cTreeView1->SelectedItem());
    Unload();
}

// ---------------------------------------------------------------- settings and text

void CfrmWaveTTS::cmdEditTargetFormat_Click() { EditTargetFormat(cboTargetFormat); }

void CfrmWaveTTS::lblID3Tags_Click() { ShowOptionsPage("ID3 Tags"); }

void CfrmWaveTTS::lblClearText_Click()
{
    if (platform::MsgBox("This action will clear the Text-Box, continue?", platform::vbYesNo | platform::vbInformation) ==
        platform::vbYes)
        txtSpeak->clear();
}

void CfrmWaveTTS::txtSpeak_Change() { lblClearText->setEnabled(!txtSpeak->toPlainText().isEmpty()); }

// ---------------------------------------------------------------- the command

void RunTextToSpeech(QWidget* caller)
{
    if (caller) caller->setCursor(Qt::WaitCursor);
    g_frmWaveTTS->ShowModal();
    if (caller) caller->unsetCursor();
}
