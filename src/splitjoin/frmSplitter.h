#pragma once
#include "conversion/JobWindow.h"

#include <memory>

class QRadioButton;

// "Audio Splitter": cuts one file into parts, by a number of parts or by a
// length in seconds, each part written in the destination format. The opener
// sets g_sFileToSplit and puts the item's row into row 1 of the grid.
class CfrmSplitter : public JobWindow {
    Q_OBJECT
public:
    CfrmSplitter();
    ~CfrmSplitter() override;

    std::unique_ptr<cAudioConverter> cAudioConverter1;

    // Settings page: the split mode and its two number boxes.
    QLabel* Label2;
    QRadioButton* ptnSplitByParts;
    QLineEdit* txtSplitParts;
    QRadioButton* ptnSplitBySecs;
    QLineEdit* txtSplitSecs;

    QString g_sFileToSplit; // the file to cut, set by the opener

    // ---- Job state, set at every start ----
    std::int32_t g_lSourceLength = 0; // milliseconds
    std::int32_t g_lPartLength = 0;   // whole seconds
    std::int32_t g_lPartStart = 0;    // whole seconds
    std::int32_t g_lPartNumber = 0;   // 1 for the first part
    std::int32_t g_lPartCount = 0;    // parts of this job
    QString m_partFile;               // the output of the part in hand

    void cmdConvert_Click() override;
    // Starts the current part, or ends the job when no part is left.
    void ConvertTracks();
    // Prepares and starts the current part: 0 started, 1 skipped, 2 cancelled.
    std::int32_t ConvertTask();
    void UpdateSplitModeControls();
    void ptnSplitByParts_Click() { UpdateSplitModeControls(); }
    void ptnSplitBySecs_Click() { UpdateSplitModeControls(); }
    void txtSplitParts_KeyPress(int& KeyAscii);
    void txtSplitSecs_KeyPress(int& KeyAscii);

    void cAudioConverter1_Progress(std::int32_t Percent);
    void cAudioConverter1_ConvertDone();
    void cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description);
    void cAudioConverter1_ConvertAborted();

protected:
    void LoadToolSettings() override;
    bool ToolSettingsRefused() override;
    void LockToolSettings(bool locked) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The part length and count from the mode's value and the source's
    // length; false (the user told) when the source is too short.
    bool ComputeSplit();
    // "Part_" & number & "_" & the name less its last three characters & the format's three letters.
    QString GetPartFileName(const QString& sPath) const;
    // The current part's length, the last one ending with the source.
    std::int32_t CurrentPartLength() const;
    // The part after this one, started by the queue step.
    void NextPart();
    void EndSplit(std::int32_t result);
    void StopOnUnreadableSource(std::int32_t code);

    std::unique_ptr<AudioConverterJob> m_converterJob;
};

extern DefaultInstance<CfrmSplitter> g_frmSplitter;
