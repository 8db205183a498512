#pragma once
#include "controls/cd/AudioCD.h"
#include "conversion/JobWindow.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The CD ripper control as a job control: row n of the ripper's grid is
// track n of the disc in the drive chosen before the queue starts.
class AudioCDRipperJob : public AudioOutputJob {
public:
    explicit AudioCDRipperJob(cAudioCDRipper& control) : AudioOutputJob(control), m_c(control) {}
    void SetSource(std::int32_t row, const QString&) override { m_c.SetTrackNumber(row); }
    // Setting the track again makes the control forget any earlier range.
    void SetWholeSource() override { m_c.SetTrackNumber(m_c.TrackNumber()); }
    void Start() override { m_c.Rip(); }
    void Abort() override { m_c.Abort(); }
    void Terminate() override { m_c.Terminate(); }

private:
    cAudioCDRipper& m_c;
};

// "Audio CD Ripper": rips the marked tracks of the CD handed over from the
// main window, one at a time, into the chosen destination format, and ejects
// the disc at the end when asked to.
class CfrmCDRipper : public JobWindow {
    Q_OBJECT
public:
    CfrmCDRipper();
    ~CfrmCDRipper() override;

    std::unique_ptr<cAudioCDRipper> cAudioCDRipper1;
    // Settings page: the drive and what it holds.
    QLabel* Label1;
    QLabel* lblCDStatus;
    QComboBox* cboDevices; // the control's drives, in its order: a position is a drive index
    QPushButton* cmdOpenCD;
    // Events page.
    QCheckBox* chkOpenCDdrive; // "Eject the CD door", ticked at every opening

    // Checks the disc of the selected drive and says what it holds in lblCDStatus.
    void cboDevices_Click();
    // Ejects the disc of the selected drive.
    void cmdOpenCD_Click();

    void cAudioCDRipper1_Progress(std::int32_t Percent) { JobProgress(Percent); }
    void cAudioCDRipper1_Done() { JobDone(); }
    void cAudioCDRipper1_Error(std::int32_t Code, const QString& Description) { JobError(Code, Description); }
    void cAudioCDRipper1_Aborted() { JobAborted(); }

protected:
    void Form_Load() override;
    void BeforeQueue() override;
    bool RowInJob(std::int32_t row) const override;
    void ToolEndEvents() override;

private:
    void BuildDriveRow();
    void FillCDDevices();
    // The selected drive's letter and colon ("D:").
    QString SelectedDrive() const;

    std::unique_ptr<AudioCDRipperJob> m_ripperJob;
};

extern DefaultInstance<CfrmCDRipper> g_frmCDRipper;
