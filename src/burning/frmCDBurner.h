#pragma once
// "Audio CD Burner": writes the items handed over from the main window to an
// audio CD with one burn of the audio CD writer control, whose events, raised
// inside the burn, drive the bars, the labels and the end of the job.
#include "controls/burn/AudioCDBurner.h"
#include "controls/audio/AudioConverter.h"
#include "conversion/JobWindow.h"

#include <cstdint>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class cProgressBar;

class CfrmCDBurner : public JobWindow {
    Q_OBJECT
public:
    CfrmCDBurner();
    ~CfrmCDBurner() override;

    std::unique_ptr<cAudioBurner> cAudioBurner1;
    // Settings page.
    QLabel* lblDrives;
    QComboBox* cboDrv; // the writers, by drive name
    QLabel* lblSpeeds;
    QComboBox* cboSpeed; // item data: KB/s
    QPushButton* cmdOpenCD;
    QPushButton* cmdClose;
    QLabel* lblDiskSize;
    QLabel* lblDiskCapacity;
    QLabel* lblState;
    cProgressBar* prgSize; // minutes of the items against the disc
    QLabel* lblDataSize;
    // Events page.
    QCheckBox* chkOpenCDdrive; // "Open the CD drive", kept per user

    // Hands the writer's list to the writer and burns it in one call.
    void BurnDisk();

    void cmdConvert_Click() override;
    void cboDrv_Click();
    void cmdOpenCD_Click();
    void cmdClose_Click();
    void lblOpenDestinationDestinationFolder_Click();

    // The writer's events.
    void cAudioBurner1_TrackProgress(std::int16_t Percent, std::int16_t Track);
    void cAudioBurner1_Progress(std::int16_t Percent, std::int16_t);
    void cAudioBurner1_CachingTrack();
    void cAudioBurner1_WritingTrack();
    void cAudioBurner1_ClosingTrack(std::int16_t);
    void cAudioBurner1_ClosingSession();
    void cAudioBurner1_Error(std::int32_t Code, const QString& Description);
    void cAudioBurner1_Finished();

    // True from the start of a burn (cutting ranges included) until the
    // writer's Burn call has returned.
    bool BurnCallRunning() const { return m_burnCall; }
    // Where the ranges of ranged items are cut to before a burn.
    static QString TempFolder();
    // The seconds of audio the items to burn hold; the disc state line says
    // when they do not fit on the selected writer's disc.
    void SetSecondsToBurn(std::int32_t seconds);

protected:
    void LoadToolSettings() override;
    void Form_Unload(int& Cancel) override;
    // Stops the cutting of ranges and the writer; the window is idle at once.
    void AbortJob() override;
    void OpenEndFolder() override;
    void ToolEndEvents() override;

private:
    void BuildSettingsRows();
    void BuildEventsRows();
    void ConnectBurner();
    void FillBurnerDrives();
    void FillSpeedList();
    void ShowDiscState();
    void ShowPhase(const QString& text);
    void SetBurning(bool burning);
    // A tray move of the selected writer, telling the user when it fails.
    void MoveTray(bool open);
    // The file the writer gets for a row: its own, or for a ranged row a WAV
    // of just that range; "" when the range could not be cut.
    QString FileToBurn(std::int32_t row);
    QString CutRange(std::int32_t row);
    void EraseTempFiles();

    std::int32_t m_lastTrack = 0; // the last track number seen
    QString m_lastTrackFile;      // the file of the disc's last track
    std::int32_t m_secondsToBurn = 0;
    bool m_burnCall = false;
    std::unique_ptr<cAudioConverter> m_cutter; // while a range is cut
};

extern DefaultInstance<CfrmCDBurner> g_frmCDBurner;

// What the opener writes on the loaded window: the count and minutes of the
// `items` marked rows of `seconds` in all, against an 80-minute disc.
void ShowBurnTotals(CfrmCDBurner* window, std::int32_t items, std::int32_t seconds);
