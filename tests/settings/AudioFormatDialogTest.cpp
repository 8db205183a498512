#include "controls/audio/AudioConverter.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/LinkLabel.h"
#include "core/RegistryRoutines.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "SettingsFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>

namespace {

class AudioFormatDialog : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        frmOptions.get(); // sets the destination flags, as at start-up
    }
    // Shows the page of a key the way the openers do.
    void OpenOn(CfrmAudioProp* dlg, const QString& key)
    {
        dlg->cTabControl1->SelectTab(key);
        dlg->cTabControl1_TabClick(dlg->cTabControl1->TabIndex(key));
    }
};

TEST_F(AudioFormatDialog, EmptySectionsGiveTheInitialListsAndClearBoxes)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    EXPECT_EQ(dlg->cTabControl1->TabKey(1), "WAV");
    EXPECT_EQ(dlg->cTabControl1->TabIndex("APE"), 0) << "no APE page in this edition";
    EXPECT_EQ(g_WAVSettings.lSamples, 44100);
    EXPECT_EQ(g_WAVSettings.lBitrate, 16);
    EXPECT_EQ(g_WAVSettings.lChannels, 0); // position 0, "Mono"
    EXPECT_EQ(g_ACMSettings.sTags, "PCM");
    EXPECT_EQ(g_ACMSettings.sFormats, dlg->cboFormats->itemText(0));
    EXPECT_EQ(g_MP3Settings.lBitrate, 128);
    EXPECT_EQ(g_MP3Settings.lSamplerate, 44100);
    EXPECT_EQ(g_MP3Settings.lQuality, 5);
    EXPECT_EQ(g_MP3Settings.lVBRQuality, 5);
    EXPECT_EQ(g_MP3Settings.lMinBitrate, 9);  // 96 kbit/s
    EXPECT_EQ(g_MP3Settings.lMaxBitrate, 11); // 128 kbit/s
    EXPECT_EQ(g_MP3Settings.lABRBitrate, 96);
    EXPECT_EQ(g_MP3Settings.lMode, 0);
    for (auto flag : {g_MP3Settings.bOriginal, g_MP3Settings.bCopyright, g_MP3Settings.bVBRTag, g_MP3Settings.bABR})
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(g_WMASettings.lCodecs, 0);
    EXPECT_EQ(g_WMASettings.lFormat, 0);
    EXPECT_EQ(g_OGGSettings.bQualityMode, 0);
    EXPECT_EQ(g_OGGSettings.bBitrateMode, 0);
    EXPECT_EQ(g_OGGSettings.lQuality, 0);
    EXPECT_EQ(g_OGGSettings.lBitNom, 32);
    EXPECT_EQ(g_APESettings.lLevel, 0);
    EXPECT_EQ(dlg->lblMP3Advanced->text(), "Advanced...");
    EXPECT_FALSE(dlg->picMP3Advanced->isVisibleTo(dlg->froToMP3));
    EXPECT_EQ(dlg->lblSensitivityVal->text(), "0");
}

TEST_F(AudioFormatDialog, StoredValuesAreAppliedByTheirKind)
{
    Store("Formats\\WAV", "cboSamplesWAV", "22050");
    Store("Formats\\WAV", "cboChannelsWAV", "7"); // outside the list: stays Stereo
    Store("Formats\\ACM", "cboTags", "No Such Codec");
    Store("Formats\\MP3", "cboMP3Quality", "5");  // without the blank: no item
    Store("Formats\\MP3", "cboMP3MinBitrate", "320");
    Store("Formats\\MP3", "cboMP3Bitrate", "8 ");
    Store("Formats\\MP3", "chkMP3ABR", "1");
    Store("Formats\\MP3", "lblMP3Advanced", "Simple...");
    Store("Formats\\WMA", "cboWMACodecs", "99");
    Store("Formats\\OGG", "ptnQualityOGG", "0");
    Store("Formats\\OGG", "optOggBit", "-1");
    Store("Formats\\OGG", "sldOGG", "101");
    Store("Formats\\OGG", "cboOggBitNom", "196");
    Store("Formats\\APE", "cboAPELevel", "4");
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    EXPECT_EQ(g_WAVSettings.lSamples, 22050);
    EXPECT_EQ(g_WAVSettings.lChannels, 1);
    EXPECT_EQ(g_ACMSettings.sTags, "PCM");
    EXPECT_EQ(g_MP3Settings.lQuality, 5);
    EXPECT_EQ(dlg->cboMP3Quality->currentText(), "5 ");
    EXPECT_EQ(g_MP3Settings.lMinBitrate, 18);
    EXPECT_EQ(g_MP3Settings.lBitrate, 8);
    EXPECT_EQ(g_MP3Settings.bABR, -1);
    EXPECT_TRUE(dlg->picMP3Advanced->isVisibleTo(dlg->froToMP3));
    EXPECT_EQ(g_WMASettings.lCodecs, 0);
    EXPECT_FALSE(dlg->ptnQualityOGG->isChecked());
    EXPECT_TRUE(dlg->optOggBit->isChecked());
    EXPECT_EQ(g_OGGSettings.bBitrateMode, -1);
    EXPECT_EQ(g_OGGSettings.lQuality, 50); // refused: the slider keeps its place
    EXPECT_EQ(g_OGGSettings.lBitNom, 196);
    EXPECT_EQ(g_APESettings.lLevel, 4);
}

TEST_F(AudioFormatDialog, OkWritesEverySectionAndSetsTheDefaultFormat)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    OpenOn(dlg, "MP3");
    EXPECT_EQ(dlg->lblTitle->text(), "MP3 -");
    EXPECT_EQ(dlg->lblFormatDesc->text(), "MPEG-1 Audio Layer 3");
    dlg->cboSamplesWAV->setCurrentText("8000");
    dlg->cboMP3Mode->setCurrentIndex(3);
    dlg->chkMP3StrictISO->setChecked(true);
    dlg->lblMP3Advanced_Click();
    dlg->optOggBit->setChecked(true);
    dlg->sldOGG->setValue(40);
    dlg->cboOggBitNom->setCurrentText("128");
    dlg->cmdOk_Click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(frmOptions->cboTargetFormat->currentIndex(), 2);
    EXPECT_EQ(Stored("Formats\\WAV", "cboSamplesWAV"), "8000");
    EXPECT_EQ(Stored("Formats\\WAV", "cboChannelsWAV"), "0");
    EXPECT_EQ(Stored("Formats\\MP3", "cboMP3Mode"), "3");
    EXPECT_EQ(Stored("Formats\\MP3", "cboMP3Quality"), "5 ");
    EXPECT_EQ(Stored("Formats\\MP3", "chkMP3StrictISO"), "1");
    EXPECT_EQ(Stored("Formats\\MP3", "lblMP3Advanced"), "Simple...");
    EXPECT_EQ(Stored("Formats\\OGG", "ptnQualityOGG"), "False");
    EXPECT_EQ(Stored("Formats\\OGG", "optOggBit"), "True");
    EXPECT_EQ(Stored("Formats\\OGG", "sldOGG"), "40");
    EXPECT_EQ(Stored("Formats\\APE", "cboAPELevel"), "0"); // written though not offered
    EXPECT_EQ(g_WAVSettings.lSamples, 8000);
    EXPECT_EQ(g_MP3Settings.lMode, 3);
    EXPECT_EQ(g_MP3Settings.bStrictISO, -1);
    EXPECT_EQ(g_OGGSettings.bBitrateMode, -1);
    EXPECT_EQ(g_OGGSettings.lBitNom, 128);

    // A fresh dialog reads the same back.
    support::UnloadAllForms();
    frmOptions.get();
    CfrmAudioProp* again = g_frmAudioProp.get();
    EXPECT_EQ(again->cboSamplesWAV->currentText(), "8000");
    EXPECT_TRUE(again->picMP3Advanced->isVisibleTo(again->froToMP3));
    EXPECT_TRUE(again->optOggBit->isChecked());
    EXPECT_EQ(again->sldOGG->value(), 40);
}

TEST_F(AudioFormatDialog, ExitKeepsChangesForTheNextOk)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    dlg->cboAPELevel->setCurrentIndex(2);
    dlg->cmdExit_Click();
    EXPECT_TRUE(g_frmAudioProp.IsLoaded());
    EXPECT_EQ(g_APESettings.lLevel, 0);
    EXPECT_EQ(g_frmAudioProp->cboAPELevel->currentIndex(), 2);
    dlg->cmdOk_Click();
    EXPECT_EQ(g_APESettings.lLevel, 2);
}

TEST_F(AudioFormatDialog, AMissingSectionIsNotSaved)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    reg.Subkey = "";
    ASSERT_EQ(reg.DeleteKey("Formats\\MP3"), 0);
    dlg->cboMP3Mode->setCurrentIndex(3);
    dlg->chkMP3Original->setChecked(true);
    dlg->cboMP3Bitrate->setCurrentText("320");
    dlg->cmdOk_Click();
    EXPECT_EQ(g_MP3Settings.lMode, 0);          // positions go to their first item
    EXPECT_EQ(g_MP3Settings.bOriginal, 0);      // check boxes clear
    EXPECT_EQ(g_MP3Settings.lBitrate, 320);     // item texts keep the user's choice
}

TEST_F(AudioFormatDialog, RecommendedCodecsFollowTheSourceBox)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    const int allCodecs = dlg->cboTags->count();
    ASSERT_GT(allCodecs, 1);
    dialogs->ExpectOpen({}); // cancelled
    dlg->chkBestAccordToSource->setChecked(true);
    dlg->chkBestAccordToSource_Click();
    EXPECT_EQ(dlg->cboTags->count(), 0);
    EXPECT_EQ(dlg->cboFormats->count(), 0);
    dlg->chkBestAccordToSource->setChecked(false);
    dlg->chkBestAccordToSource_Click();
    EXPECT_EQ(dlg->cboTags->count(), allCodecs);
    EXPECT_EQ(dlg->cboTags->currentIndex(), 0); // the first by name, not PCM
    EXPECT_GT(dlg->cboFormats->count(), 0);
    // Several files chosen: only empties the lists.
    dialogs->ExpectOpen({ProgramFolder() + "/a.mp3", ProgramFolder() + "/b.mp3"});
    dlg->chkBestAccordToSource->setChecked(true);
    dlg->chkBestAccordToSource_Click();
    EXPECT_EQ(dlg->cboTags->count(), 0);
}

TEST_F(AudioFormatDialog, PagesAndTheirTitleStrip)
{
    CfrmAudioProp* dlg = g_frmAudioProp.get();
    const struct {
        const char* key;
        QFrame* page;
        const char* title;
        const char* description;
    } pages[] = {
        {"WAV", dlg->froToWAV, "WAV -", "Waveform audio format"},
        {"ACM", dlg->froToACM, "WAV(ACM) -", "Waveform audio format with ACM codec"},
        {"MP3", dlg->froToMP3, "MP3 -", "MPEG-1 Audio Layer 3"},
        {"WMA", dlg->froToWMA, "WMA -", "Windows Media Audio"},
        {"OGG", dlg->froToOGG, "OGG -", "Ogg Media format"},
    };
    for (const auto& p : pages) {
        OpenOn(dlg, p.key);
        EXPECT_EQ(dlg->lblTitle->text(), p.title);
        EXPECT_EQ(dlg->lblFormatDesc->text(), p.description);
        EXPECT_GT(dlg->lblFormatDesc->x(), dlg->lblTitle->geometry().right());
        for (const auto& other : pages) EXPECT_EQ(other.page->isVisibleTo(dlg), other.page == p.page) << p.key;
    }
    dlg->lblMP3Advanced->Click();
    EXPECT_EQ(dlg->lblMP3Advanced->text(), "Simple...");
    dlg->lblMP3Advanced->Click();
    EXPECT_EQ(dlg->lblMP3Advanced->text(), "Advanced...");
    EXPECT_FALSE(dlg->picMP3Advanced->isVisibleTo(dlg->froToMP3));
}

} // namespace
