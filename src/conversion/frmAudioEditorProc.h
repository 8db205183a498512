#pragma once
// The single-file conversion window: converts one file into one other file
// for the tools that need their input or output in another format (the
// audio editor, text to speech), showing a status line, a progress bar and
// Abort, and closes itself when the conversion is done.
//
// Converting a file:
//     const AudioEditorProcEnding ending =
//         ConvertWithAudioEditorProc(source, destination);          // WAV, no tags
//     ConvertWithAudioEditorProc(source, destination, "OGG - ...");  // that format, default tags
//     if (ending == AudioEditorProcEnding::Done) ... use destination ...
// Only Done leaves a complete file under the destination name. Aborted
// (Abort, or the window closed during the conversion) also sets the main
// window's g_bAbortedAudioEditor; Failed means the user read the error and
// closed the window. Callers that drive the window themselves (load, set
// g_sConvertToTarget and g_bConvertTo, ConvertFile, ShowModal) get the same
// answer from the Ended signal.
#include "controls/audio/AudioConverter.h"
#include "core/Form.h"

#include <QString>
#include <cstdint>
#include <memory>

class AudioConverterJob;
class QLabel;
class QPushButton;
class QTimer;
class XP_ProgressBar;

enum class AudioEditorProcEnding {
    NotEnded, // no conversion has ended yet
    Done,     // the destination is complete
    Aborted,  // stopped by the user; no output
    Failed,   // the control reported an error; no output
};

class CfrmAudioEditorProc : public Form {
    Q_OBJECT
public:
    CfrmAudioEditorProc();
    ~CfrmAudioEditorProc() override;

    QLabel* lblCurrentTrack;
    XP_ProgressBar* prgCurrnet;
    QPushButton* cmdAbort;
    QTimer* Timer1; // starts the conversion once the modal show runs
    std::unique_ptr<cAudioConverter> cAudioConverter1;

    // True: into the format g_sConvertToTarget names (its first three
    // letters), with the default tag texts; False: into WAV in the WAV
    // settings, without tags. Every ending sets it back to False.
    bool g_bConvertTo = false;
    QString g_sConvertToTarget;

    // A default tag text with [DATE], [TIME], [TRACK_NUM] (1), [PROG_NAME],
    // [PROG_VERSION] and [YEAR] filled in.
    QString CreateID3TagsString(const QString& text) const;
    void SetID3Tags();
    void SetDestination();
    std::int32_t ConvertX();
    // Keeps both paths and arms the start.
    void ConvertFile(const QString& sSource, const QString& sDest);

    AudioEditorProcEnding Ending() const { return m_ending; }

    void Timer1_Timer() { ConvertX(); }
    void cmdAbort_Click();
    void AbortForExit() override { cmdAbort_Click(); }
    void cAudioConverter1_Progress(std::int32_t Percent);
    void cAudioConverter1_ConvertDone();
    void cAudioConverter1_ConvertAborted();
    void cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description);

signals:
    // Once per conversion, when it has ended.
    void Ended(AudioEditorProcEnding ending);

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void End(AudioEditorProcEnding ending);
    // What a control left under the destination name of a conversion that
    // did not end Done, unless the file was there before.
    void RemovePartialOutput();

    QString m_source, m_dest;
    bool m_destExisted = false;
    bool m_converting = false;
    AudioEditorProcEnding m_ending = AudioEditorProcEnding::NotEnded;
    std::unique_ptr<AudioConverterJob> m_job;
};

extern DefaultInstance<CfrmAudioEditorProc> g_frmAudioEditorProc;

// Converts `source` into `destination` in g_frmAudioEditorProc, shown
// modally: into WAV in the WAV settings without tags when `target` is empty,
// else into the format of the list text `target` ("OGG - Ogg Media Format
// (*.ogg)"; its first three letters count) with the default tag texts.
// Returns once the window has closed; how the conversion ended.
AudioEditorProcEnding ConvertWithAudioEditorProc(const QString& source, const QString& destination,
                                                 const QString& target = QString());
