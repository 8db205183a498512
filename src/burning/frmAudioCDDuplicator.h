#pragma once
#include "controls/cd/AudioCD.h"
#include "controls/burn/AudioCDBurner.h"
#include "conversion/JobWindow.h"
#include "ripping/frmCDRipper.h"

#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

// The duplicator's job control: the CD ripper ripping the source's tracks
// into the temporary folder. Every destination it is given is remembered in
// rip order, and Abort stops the writer as well as the ripper.
class DuplicatorRipJob : public AudioCDRipperJob {
public:
    DuplicatorRipJob(cAudioCDRipper& ripper, cAudioBurner& burner, QStringList& rippedFiles)
        : AudioCDRipperJob(ripper), m_burner(burner), m_rippedFiles(rippedFiles)
    {
    }
    void SetDestinationFile(const QString& path) override;
    void Abort() override;

private:
    cAudioBurner& m_burner;
    QStringList& m_rippedFiles;
};

// "Audio CD Duplicator": rips every track of the audio CD in the source drive
// into the temporary folder "duptmp" beside the program, then burns those
// files as an audio CD in the target writer.
class CfrmAudioCDDuplicator : public JobWindow {
    Q_OBJECT
public:
    CfrmAudioCDDuplicator();
    ~CfrmAudioCDDuplicator() override;

    std::unique_ptr<cAudioCDRipper> cAudioCDRipper1; // reads the source
    std::unique_ptr<cAudioBurner> cAudioBurner1;     // writes the target

    // Settings page: the source drive.
    QLabel* Label1;
    QComboBox* cboDevices; // the ripper's drives, in its order: a position is a drive index
    QPushButton* cmdOpenCD;
    QPushButton* cmdCloseCD;
    QLabel* lblCDStatus;
    // Settings page: the target writer.
    QLabel* Label2;
    QComboBox* cboDrv;
    QLabel* Label3;
    QComboBox* cboSpeed; // item data: KB/s
    QPushButton* cmdOpenDestCD;
    QPushButton* cmdClose;
    QLabel* Label6;
    QLabel* lblDiskSize;
    QLabel* Label7;
    QLabel* lblDiskCapacity;
    QLabel* Label8;
    QLabel* lblState;
    QCheckBox* chkOnTheFly; // never shown nor ticked: every copy goes through the temporary folder
    // Events page.
    QCheckBox* chkOpenCDdrive; // "Eject the CD door": ejects the source at the end
    QTimer* tmrState;          // polls the source drive while no copy runs

    // How a burn ended.
    enum class BurnEnd { Finished, Failed, Aborted, Cancelled, NothingToBurn };

    void SetOnTheFly() {}
    bool DoOnFly() const;
    // Checks the target disc, hands the writer every grid row's file and burns them.
    BurnEnd BurnDisk();

    // ---- The window and its drives
    void cboDevices_Click();
    void ListCDTracks(const QString& drive);
    void tmrState_Timer() { cboDevices_Click(); }
    void cboDrv_Click();
    void cmdOpenCD_Click();
    void cmdCloseCD_Click();
    void cmdOpenDestCD_Click();
    void cmdClose_Click();
    void EnableControls(bool on) { SetRunning(!on); }

    // ---- The copy
    void cmdConvert_Click() override;

    // ---- The ripper's events
    void cAudioCDRipper1_Progress(std::int32_t Percent) { JobProgress(Percent); }
    void cAudioCDRipper1_Done() { JobDone(); }
    void cAudioCDRipper1_Error(std::int32_t Code, const QString& Description);
    void cAudioCDRipper1_Aborted();

    // ---- The writer's events
    void cAudioBurner1_TrackProgress(std::int16_t Percent, std::int16_t Track);
    void cAudioBurner1_Progress(std::int16_t Percent, std::int16_t DiscPercent);
    void cAudioBurner1_CachingTrack();
    void cAudioBurner1_WritingTrack();
    void cAudioBurner1_ClosingTrack(std::int16_t Track);
    void cAudioBurner1_ClosingSession();
    void cAudioBurner1_Finished();
    void cAudioBurner1_Error(std::int32_t Code, const QString& Description);

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void SetDestination() override;
    void EndRunDone() override;
    void LockToolSettings(bool locked) override;
    void ToolEndEvents() override;
    // "Open the destination folder" has nothing to open here.
    void OpenEndFolder() override {}
    bool JobRunning() const override { return m_controlsOff || m_burning; }

private:
    void BuildSourceRows();
    void BuildTargetRows();
    void ConnectDrives();
    void FillCDDevices();
    void FillBurnerDrives();
    void FillSpeedList();
    QString SourceDrive() const;  // "D:"
    QString TargetLetter() const; // "E"
    QString TargetTrayFailure(const QString& move, std::int32_t code) const;
    // The target's tray opened during a burn; a failure is logged.
    void EjectTarget();
    QString TemporaryFolder() const;
    void RebuildGridFromRippedFiles(const QStringList& list, cGrid* grid);
    // Burn: the source drive let go by the reader, and the writer ready with
    // an empty disc, asking until it is or the user cancels.
    bool DrivesReadyToBurn();
    void StageStep(const QString& text);
    // After the burn: what the user sees and whether the window closes.
    void EndCopy(BurnEnd end);
    void EndCopyInWindow(const QString& text);

    QStringList m_colRippedFiles; // the rip files of the job, in rip order
    std::int32_t m_trackCount = 0; // tracks of the job
    std::unique_ptr<DuplicatorRipJob> m_ripJob;
    bool m_controlsOff = false;   // a copy has switched the controls off
    bool m_burning = false;       // inside the writer's Burn call
    bool m_burnFailed = false;    // the writer raised Error in this burn
};

extern DefaultInstance<CfrmAudioCDDuplicator> g_frmAudioCDDuplicator;
