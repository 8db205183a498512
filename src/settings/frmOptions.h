#pragma once
#include "core/Form.h"
#include "core/RegistryRoutines.h"

#include <functional>

class cImageList;
class cTreeNode;
class cTreeView;
class LinkLabel;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Options": the general, event, view, tag and advanced settings. Loaded at
// start-up (reading the settings), kept loaded and hidden until the program exits.
class CfrmOptions : public Form {
    Q_OBJECT
public:
    CfrmOptions();

    // Loads every setting: registry into its control, control into the setting.
    void GetOptions();
    // Shows the page of the node's key.
    void cTreeView1_NodeClick(cTreeNode* node);
    bool IsFormLoaded(const QString& formName) const;

    void cmdOk_Click();
    void cmdCancel_Click();
    void picColor_Click();
    void picTextColor_Click();
    void cmdSelectPath_Click();
    void lblOpenDestinationDestinationFolder_Click();
    void cmdAddSound_Click();
    void cmdTestSound_Click();
    void cmdTestApp_Click();
    void cmdEditTargetFormat_Click();
    void lblMoreAdvancedOptions_Click();
    void ShowParameters(int section);

    // Outside the pages
    QFrame* picTitle;
    QLabel* lblTitle;
    cTreeView* cTreeView1;
    cImageList* imgMenu;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;

    // General
    QGroupBox* froGeneral;
    LinkLabel* lblParameters;
    QComboBox* cboFileName;
    QComboBox* cboTargetFormat;
    QComboBox* cboDevices; // the preview's output device (its position is g_lDevices, its name g_sOutputDevice)
    QPushButton* cmdEditTargetFormat;
    QCheckBox* chkGoToNextItem;
    QCheckBox* chkClearOnExit;
    QCheckBox* chkSelectTheLastItem;
    QCheckBox* chkAutoFreeDB;
    LinkLabel* lblMoreAdvancedOptions;

    // Events
    QGroupBox* froEvents;
    QCheckBox* chkPlaySound;
    QLineEdit* txtPlayAtEnd;
    QPushButton* cmdAddSound;
    QPushButton* cmdTestSound;
    QCheckBox* chkNoticeApp;
    QPlainTextEdit* txtAppNotice;
    LinkLabel* lblNoticParameters;
    QPushButton* cmdTestApp;
    QCheckBox* chkOpenDestFolder;
    QCheckBox* chkTurnOffComputer;

    // View
    QGroupBox* froView;
    QCheckBox* chkDisplayTitle;
    QCheckBox* chkDisplayPlayer;
    QCheckBox* chkDisplayAudioGraph;
    QCheckBox* chkDisplayGridHotTrack;
    QCheckBox* chkDisplayGridLine;
    QCheckBox* chkMenuXPStyle;
    QLabel* picColor;
    QLabel* picTextColor;

    // ID3 Tags
    QGroupBox* froTags;
    QCheckBox* chkCopyID3FromSource;
    LinkLabel* lblID3TagParameters;
    QLabel* lblTagArtist;
    QLabel* lblTagSong;
    QLabel* lblTagAlbum;
    QLabel* lblTagGenre;
    QLabel* lblTagTrack;
    QLabel* lblTagYear;
    QLabel* lblTagComment;
    QLineEdit* txtTagArtist;
    QLineEdit* txtTagSong;
    QLineEdit* txtTagAlbum;
    QLineEdit* txtTagGenre;
    QLineEdit* txtTagTrack;
    QLineEdit* txtTagYear;
    QLineEdit* txtTagComment;

    // Advanced
    QGroupBox* froAdvanced;
    LinkLabel* lblOpenDestinationDestinationFolder;
    QComboBox* txtToPath;
    QPushButton* cmdSelectPath;
    QCheckBox* chkDisplayMSGWhenErase;
    QCheckBox* chkDisplayMSGWhenExit;
    QCheckBox* chkSaveLogWhenExit;
    QCheckBox* chkRunWhenWinStarts;
    QCheckBox* chkAutoUpdate;
    QCheckBox* chkDisplayLiveUpdateWindow;

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    void BuildOptionsTree();
    void HideAllPages();
    void FillDevices();
    void SelectOutputDevice(const QString& stored);
    QString ChosenOutputDevice() const;
    void LoadFileNameFormats();
    void UpdatePlaySoundEnabled();
    void UpdateNoticeAppEnabled();
    void UpdateTagFieldsEnabled();
    void LoadCheck(QCheckBox* box, bool& setting);
    void SetPlayAtEnd(const QString& path);
    QString PlayAtEndPath() const;
    void WriteValue(const QString& name, const QString& text);
    void PickColor(QLabel* box, const std::function<void(std::int32_t)>& apply);

    RegistryRoutines m_reg;
};

extern DefaultInstance<CfrmOptions> frmOptions;

// Shows the options dialog modally on the page of that key ("General",
// "Events", "View", "ID3 Tags", "Advanced").
void ShowOptionsPage(const QString& key);

// The value a colour box holds (red in the low byte).
std::int32_t ColorBoxValue(const QLabel* box);
void SetColorBoxValue(QLabel* box, std::int32_t color);
