#pragma once
#include "core/Form.h"
#include "core/RegistryRoutines.h"

#include <memory>

class cAudioConverter;
class cTabControl;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class LinkLabel;
class QPushButton;
class QRadioButton;
class QSlider;

// "Audio Format": the encoder settings of each destination format, one page
// per format. Loaded at start-up (reading the format settings), kept loaded
// and hidden until the program exits.
class CfrmAudioProp : public Form {
    Q_OBJECT
public:
    CfrmAudioProp();
    ~CfrmAudioProp() override;

    // Reads every format section into the controls, then the controls into the records.
    void GetOptions();
    // Shows the page of the selected tab (the argument is not used).
    void cTabControl1_TabClick(int tabIndex);

    void cmdOk_Click();
    void cmdExit_Click();
    void cboTags_Click();
    void chkBestAccordToSource_Click();
    void cboWMACodecs_Click();
    void lblMP3Advanced_Click();
    void sldOGG_Scroll();

    QFrame* picTitle;
    QLabel* lblTitle;
    QLabel* lblFormatDesc;
    cTabControl* cTabControl1;
    QFrame* froToWAV;
    QFrame* froToACM;
    QFrame* froToMP3;
    QFrame* froToWMA;
    QFrame* froToOGG;
    QFrame* froToAPE;
    QFrame* picMP3Advanced;
    QPushButton* cmdOk;
    QPushButton* cmdExit;

    QComboBox* cboSamplesWAV;
    QComboBox* cboBitrateWAV;
    QComboBox* cboChannelsWAV;

    QCheckBox* chkBestAccordToSource;
    QComboBox* cboTags;
    QComboBox* cboFormats;

    QComboBox* cboMP3Bitrate;
    QComboBox* cboMP3Mode;
    QComboBox* cboMP3Samplerate;
    QComboBox* cboMP3Quality;
    LinkLabel* lblMP3Advanced;
    QCheckBox* chkMP3Original;
    QCheckBox* chkMP3Copyright;
    QCheckBox* chkMP3ErrorProtect;
    QCheckBox* chkMP3VBR;
    QCheckBox* chkMP3VBRTag;
    QCheckBox* chkMP3VBRForceMinBitrate;
    QCheckBox* chkMP3ABR;
    QComboBox* cboMP3ABRBitrate;
    QCheckBox* chkMP3StrictISO;
    QComboBox* cboMP3MinBitrate;
    QComboBox* cboMP3MaxBitrate;
    QComboBox* cboMP3VBRQuality;

    QComboBox* cboWMACodecs;
    QComboBox* cboWMAFormat;

    QRadioButton* ptnQualityOGG;
    QSlider* sldOGG;
    QLabel* lblSensitivityVal;
    QRadioButton* optOggBit;
    QComboBox* cboOggBitNom;

    QComboBox* cboAPELevel;

    std::unique_ptr<cAudioConverter> cAudioConverter1;

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    void BuildPages();
    void HideAllFormatFrames();
    void SetInitialState();
    void FillWMACodecs();
    void FillWMAFormats();
    void ToggleMP3Advanced();
    void ApplyAdvancedCaption();
    void ReadWAV();
    void ReadACM();
    void ReadMP3();
    void ReadWMA();
    void ReadOGG();
    void ReadAPE();
    void WriteAllSections();
    QVariant Read(const QString& name) const;
    void Write(const QString& name, const QString& text) const;

    RegistryRoutines m_reg;
    bool m_bAccepted = false; // closed with OK since it was last shown
    friend bool ShowAudioFormatPage(const QString& formatText);
};

extern DefaultInstance<CfrmAudioProp> g_frmAudioProp;

// Shows the dialog modally on the page of a destination format, named by the
// first three letters of its list text ("WAV", "ACM", "MP3", "WMA", "OGG", "APE").
// True when it was closed with OK (which makes its page the options' format).
bool ShowAudioFormatPage(const QString& formatText);
// "Edit" beside a destination-format list: the dialog on the list's format.
// Closed with OK, the list takes the format OK made the default; closed
// without, it keeps the format it showed. True after OK.
bool EditTargetFormat(QComboBox* targetFormat);
