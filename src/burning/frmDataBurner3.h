#pragma once
#include "controls/burn/DataCDBurner.h"
#include "controls/burn/DataDiscBurner.h"
#include "conversion/JobWindow.h"

#include <functional>
#include <memory>

class LinkLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The conversion control as the data disc maker's job control: it remembers
// where the row in flight is written, and Abort stops whatever the window
// is doing (the conversion, the copying or the burn).
class DataBurnerJob : public AudioConverterJob {
public:
    DataBurnerJob(cAudioConverter& control, std::function<void()> abortWork)
        : AudioConverterJob(control), m_abortWork(std::move(abortWork))
    {
    }
    void SetDestinationFile(const QString& path) override
    {
        m_destination = path;
        AudioConverterJob::SetDestinationFile(path);
    }
    void Abort() override { m_abortWork(); }
    void AbortConversion() { AudioConverterJob::Abort(); }
    QString Destination() const { return m_destination; }

private:
    std::function<void()> m_abortWork;
    QString m_destination;
};

// "MP3 CD Maker" / "WMA CD Maker": converts the rows handed over from the
// list into MP3 or WMA files (or copies them unchanged) in the temporary
// folder "datacdtmp" beside the program, then burns those files onto a data
// CD or DVD with one of two engines.
class CfrmDataBurner3 : public JobWindow {
    Q_OBJECT
public:
    CfrmDataBurner3();
    ~CfrmDataBurner3() override;

    std::unique_ptr<cAudioConverter> cAudioConverter1;
    std::unique_ptr<cAudioDataBurner> cAudioDataBurner1; // first engine; also lists drives and moves trays
    std::unique_ptr<cBurner> cBurner1;                   // second engine: CDs and DVDs, file systems chosen

    // Settings page
    QLabel* Label1;
    QComboBox* cmbEngine; // 0: first engine, 1: second engine
    QLabel* Label2;
    QComboBox* cboDrv;
    QLabel* Label3;
    QComboBox* cboSpeed; // first engine: the KB/s of each row as its item data
    QLabel* Label6;
    QLineEdit* txtCDName;
    QLabel* lblFileSys;
    QCheckBox* chkJOLIET;
    QCheckBox* chkISO;
    QCheckBox* chkUDF;
    QCheckBox* chkDoNotConvertSource;
    QLabel* lblCDFormat; // the family's format label (Label5) under this window's name
    LinkLabel* lblOpenCDDoor;
    LinkLabel* lblCloseCDDoor;
    LinkLabel* lblRefreshCDInfo;
    QLabel* lblCDStatus;
    // Events page
    QCheckBox* chkOpenCDdrive;
    QCheckBox* chkEraseTempfiles;
    LinkLabel* lblErasetempfilesnow;

    // ---- Window
    void cmbEngine_Click();
    void FillDataBurnerDriveList();
    void FillImapiDriveList();
    void cboDrv_Click();
    void FillSpeedList();
    // Whether the second engine's libraries are present; says so when not.
    bool CheckImapi2Installed();
    void chkDoNotConvertSource_Click();
    void UpdateTargetFormatControls();
    void lblOpenCDDoor_Click();
    void lblCloseCDDoor_Click();
    void lblRefreshCDInfo_Click() {}
    void lblErasetempfilesnow_Click();
    // Deletes the files of the temporary folder.
    void EraseTempFiles();
    // The program's folder followed by "/datacdtmp/".
    static QString GetTempFolder();

    // ---- Queue
    void cmdConvert_Click() override;
    // The files this job wrote into the temporary folder, in row order.
    QStringList FilesToBurn() const { return m_written; }

    // ---- Burn
    void BurnWithDataBurner();
    void BurnWithImapiBurner();
    void EnableBurnControls(bool enabled);
    bool IsBurning() const { return m_burning; }

    void cAudioConverter1_Progress(std::int32_t Percent) { JobProgress(Percent); }
    void cAudioConverter1_ConvertDone();
    void cAudioConverter1_ConvertError(std::int32_t Code, const QString& Description) { JobError(Code, Description); }
    void cAudioConverter1_ConvertAborted() { JobAborted(); }

    void cAudioDataBurner1_BurnStarted();
    void cAudioDataBurner1_Progress(std::int16_t Percent);
    void cAudioDataBurner1_ClosingSession();
    void cAudioDataBurner1_Finished();
    void cAudioDataBurner1_Error(std::int32_t Code, const QString& Description);

    void cBurner1_BurnerInitializing();
    void cBurner1_BurnerWarning(const QString& Message);
    void cBurner1_AddingFile(const QString& Path);
    void cBurner1_FilesToBurn(std::int32_t Files, std::int32_t Folders);
    void cBurner1_StartBurning();
    void cBurner1_BurnerProgress(std::int32_t Percent);
    void cBurner1_BurnerFinalization();
    void cBurner1_BurnerDoneBurn();
    void cBurner1_BurnerCompleted();
    void cBurner1_BurnerCanceled();
    void cBurner1_BurnerEnd();
    void cBurner1_BurnerError(const QString& Message, const QString& Detail);

protected:
    void LoadToolSettings() override;
    void Form_Unload(int& Cancel) override;
    bool StartChecksFailed() override;
    void EndRunDone() override;
    void LockToolSettings(bool locked) override;
    void ToolEndEvents() override;
    std::optional<QString> DestinationExtension(std::int32_t row) const override;
    QString OutputFolder() const override { return GetTempFolder(); }
    void OpenEndFolder() override;

private:
    void BuildSettingsRows();
    void BuildEventBoxes();
    void ConnectOwnControls();
    bool CopyOnly() const;
    bool FirstEngine() const;
    // The first character of the selected drive row, and the row's first two ("D:").
    QString DriveLetter() const;
    QString DriveRoot() const;
    void MoveTray(bool open);
    bool DriveRefused(const QString& logLine, const QString& message);
    // Copy-only mode: every row's source copied under its output name.
    void CopySources();
    void CopyRow(std::int32_t row, const QString& target);
    void Remember(const QString& path);
    // Stops what runs: the burn, the copying or the conversion.
    void AbortWork();
    // False (with the user told) when the job wrote nothing to burn.
    bool BurnMayStart();
    void ResetBars();
    // After a Burn call: a burn that did not start gives the window back.
    void CheckBurnStarted(bool started);
    void Status(const QString& text);
    void BurnFailed(const QString& text);
    void BurnSucceeded();

    std::unique_ptr<DataBurnerJob> m_burnerJob;
    QStringList m_written;
    bool m_bAbortJob = false;
    bool m_burning = false;
};

extern DefaultInstance<CfrmDataBurner3> g_frmDataBurner3;
