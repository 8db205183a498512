#pragma once
// "Audio Recorder": records from a sound device into a wave file, meters the
// input, plays the file back and adds it to the open items list. A recording
// stops by itself after 30 seconds.
#include "controls/audio/WaveRecorder.h"
#include "core/Form.h"

#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class LinkLabel;
class cProgressBar;
class cSlider;

class CfrmMicRecorder : public Form {
    Q_OBJECT
public:
    CfrmMicRecorder();
    ~CfrmMicRecorder() override;

    std::unique_ptr<cWave> cWave1;
    QFrame* picTitle;
    QLabel* lblTitle;
    QComboBox* cboDevices;
    QLineEdit* txtAudioFile;
    QPushButton* cmdPath;
    QComboBox* cboBitPerSample;
    QComboBox* cboSamplesPerSec;
    QComboBox* cboChannels;
    QPushButton* cmdRecord;
    QPushButton* cmdStopRec;
    QPushButton* cmdPauseIn;
    QPushButton* cmdUnPauseIn;
    QLabel* lblRecTime;
    QLabel* Label6;
    cProgressBar* prgMeter;
    QPushButton* cmdPlay;
    QPushButton* cmdStop;
    QPushButton* cmdPauseOut;
    QPushButton* cmdUnPauseOut;
    cSlider* cSlider1;
    QLabel* lblCurrentPositionSec;
    QLabel* lbTotalLengthSec;
    QPlainTextEdit* txtResults;
    QPushButton* cmdAdd;
    QPushButton* cmdExit;
    QTimer* tmrRec;
    QTimer* tmSlider;
    LinkLabel* lblNoticParameters;

    // The recording format handed to the control, built from the three lists.
    WAVEFORMATEX m_WaveFormat;
    // Clock ticks since the running recording started.
    std::int32_t m_lRecSeconds = 0;

    void cmdRecord_Click();
    void cmdStopRec_Click();
    void cmdPauseIn_Click();
    void cmdUnPauseIn_Click();
    void cmdPlay_Click();
    void cmdStop_Click();
    void cmdPauseOut_Click();
    void cmdUnPauseOut_Click();
    void cmdPath_Click();
    void cmdAdd_Click();
    void cmdExit_Click();
    void lblNoticParameters_Click();
    void tmrRec_Timer();
    void tmSlider_Timer();
    void cWave1_RecordDone();
    void cWave1_PlayDone();
    void cWave1_Level(std::int16_t level);

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void BuildLayout();
    void ConnectHandlers();
    void FillFormatLists();
    void FillDevices();
    void FillWaveFormat();
    // Appends the time and the step's text (": ...") to the log.
    void Log(const QString& step, bool blankLineBefore = false);
    // Asks before a recording replaces an existing file; true to go on.
    bool MayOverwrite(const QString& path);
    // Logs how StopRecord ended.
    void ReportStop(std::int32_t code);
    void RecordingEnded();

    // A recording was started and its end not yet collected from the control.
    bool m_bRecording = false;
    // The path the user already agreed to replace when choosing it.
    QString m_sOverwriteAgreed;
};

extern DefaultInstance<CfrmMicRecorder> g_frmMicRecorder;

// The main window's "Audio Recorder" command: opens the recorder modally
// over `main` with the hourglass shown while it loads.
void ShowMicRecorder(QWidget* main);
