#pragma once
// "Text To Speech": speaks typed text aloud with a chosen voice, output,
// speech format, rate and volume, and renders it into a file of any
// destination format, either one the user names or a new "TTS_" file beside
// the program that joins the open items list. A rendering goes through the
// temporary "tmptts.wav" and the single-file conversion window.
#include "core/Form.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class LinkLabel;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class cSlider;
class cWaveTTS;

class CfrmWaveTTS : public Form {
    Q_OBJECT
public:
    CfrmWaveTTS();
    ~CfrmWaveTTS() override;

    QFrame* picTitle;
    QLabel* lblTitle;
    QPlainTextEdit* txtSpeak;
    QComboBox* cboVoices;
    QComboBox* cboAudioOutputs;
    QComboBox* cboFormats; // item data: the control's format id
    cSlider* sldRate;
    QLabel* lblRateVal;
    cSlider* sldVolume;
    QLabel* lblValumeVal;
    QComboBox* cboTargetFormat;
    LinkLabel* lblClearText;
    LinkLabel* lblID3Tags;
    QPushButton* cmdSay;
    QPushButton* cmdStop;
    QPushButton* cmdSaveAs;
    QPushButton* cmdAdd;
    QPushButton* cmdEditTargetFormat;
    // Pictures beside Say It, Stop, Save As and Add; no action of their own.
    std::array<QToolButton*, 4> cmdToolsIcon{};
    std::unique_ptr<cWaveTTS> cWaveTTS1;

    // The temporary wave file every rendering goes through.
    static QString TempWaveFile();

    void FillVoices();
    void FillAudioOutputs();
    void cWaveTTS1_FormatFound(const QString& name, std::int32_t id);
    void cmdSay_Click();
    void cmdStop_Click();
    // Renders the text into the wave file at rate 0 and volume 100; false
    // (the user told why) when the control could not.
    bool SpeakToWaveFile(const QString& sFile);
    void cmdSaveAs_Click();
    void cmdAdd_Click();
    void cmdEditTargetFormat_Click();
    void lblID3Tags_Click();
    void lblClearText_Click();
    void txtSpeak_Change();
    void cWaveTTS1_WordBoundary(std::int32_t position, std::int32_t length);
    void cWaveTTS1_SpeakDone();
    void sldRate_Change();
    void sldVolume_Change();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void BuildLayout();
    void ConnectControls();
    void SetToolIcons();
    // Output, voice, rate, volume, flags and the selected format onto the control.
    void ApplySpeechSettings(std::int32_t rate, std::int32_t volume);
    // False, after telling the user, when there is nothing to speak.
    bool HasTextToSpeak();
    // The text rendered afresh into the temporary wave file, then converted
    // into `destination` in the destination format; true once it is complete.
    bool RenderInto(const QString& destination);
    void SelectText(int start, int length);
    // "TTS_" and the time and date, with the destination format's extension.
    QString NewOutputName() const;
    // Where "Add to Items List" writes: a new name in the user's data folder,
    // with a number added when that name is taken.
    QString NewOutputPath() const;
    // Where Save As starts: the folder this window saved into last.
    static QString SaveAsFolder();
    // The extension the destination format's first three letters give ("acm" too).
    QString TargetLetters() const;

    bool m_speaking = false; // from a Speak that started until its SpeakDone
};

extern DefaultInstance<CfrmWaveTTS> g_frmWaveTTS;

// The main window's "Text To Speech" command: the window, shown modally with
// the hourglass over `caller` until it has closed.
void RunTextToSpeech(QWidget* caller);
