#pragma once
// The Audio Analyser: one wave file in the audio editor control, with a
// toolbar to play, pause, stop, zoom and save the selection, the file's facts
// and the selection's figures, and "Add Selection", which saves the selection
// and adds the saved file to the open items list.
#include "core/Form.h"

#include <QString>
#include <cstdint>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class XP_ProgressBar;
class cAudioEditor;
class cReBar;
class cToolbar;

class CfrmAudioEditor : public Form {
    Q_OBJECT
public:
    CfrmAudioEditor();
    ~CfrmAudioEditor() override;

    QFrame* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    cAudioEditor* cAudioEditor1 = nullptr;
    QWidget* picList = nullptr;
    cReBar* rbrList = nullptr;
    cToolbar* tlbrList = nullptr;
    QGroupBox* fraInfo = nullptr;
    QLabel* lblInfoSamples = nullptr;
    QLabel* lblInfoBits = nullptr;
    QLabel* lblInfoChannels = nullptr;
    QLabel* lblNumOfSamples = nullptr;
    QLabel* lblLength = nullptr;
    QGroupBox* fraPosition = nullptr;
    QLabel* lblSamplesStart = nullptr;
    QLabel* lblSamplesEnd = nullptr;
    QLabel* lblTimeStart = nullptr;
    QLabel* lblTimeEnd = nullptr;
    QLabel* lblSelectedTime = nullptr;
    XP_ProgressBar* prgCurrnet = nullptr;
    QPushButton* cmdAddSelection = nullptr;
    QPushButton* cmdAbort = nullptr;
    QPushButton* cmdExit = nullptr;
    QLineEdit* txtWavFile = nullptr; // the loaded file's path; never shown

    // "<ms> ms [H:MM:SS]", the seconds rounded half to even.
    static QString TimeText(std::int32_t ms);

    void tlbrList_ButtonClick(int index);
    // Asks where to save the selection and starts writing it there; the
    // chosen path, or an empty text when the dialog was cancelled.
    QString SaveSelection();
    void cmdAddSelection_Click();
    void cmdAbort_Click();
    void cmdExit_Click();
    void AbortForExit() override { cmdAbort_Click(); }

    void cAudioEditor1_FileLoaded(std::int32_t rate, std::int32_t bits, std::int32_t channels, std::int32_t seconds,
                                  std::int32_t samples);
    void cAudioEditor1_SelectionChanged(std::int32_t s0, std::int32_t s1, std::int32_t t0, std::int32_t t1);
    void cAudioEditor1_Progress(std::int32_t percent);
    void cAudioEditor1_Done();
    void cAudioEditor1_Aborted();
    void cAudioEditor1_Error(std::int32_t code, const QString& text);
    void cAudioEditor1_PlayDone();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void BuildToolbar();
    void ConnectControl();
    void SetSaving(bool saving);
    // The milliseconds a time label shows, before its " ms [".
    static std::int32_t LabelMs(const QLabel* label);
    // Adds the file the last save wrote to the open list, then closes.
    void AddSavedFile();

    QString m_savedPath;         // the file the running or last save writes
    bool m_saving = false;       // a save runs
    bool m_addWhenSaved = false; // "Add Selection" waits for the save's Done
};

extern DefaultInstance<CfrmAudioEditor> g_frmAudioEditor;

