#pragma once
#include "core/Form.h"

#include <cstdint>
#include <memory>

class LinkLabel;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class cAudioConverter;
class cDateTimePick;
class cGrid;
class cTabControl;

// "Item Properties": one row of the open list (the grid's selected row when
// it opens), with the facts of its file, its name, the part of the file the
// jobs process and its seven tag texts. Modal over the main window; edits
// reach the row and the list file only through OK or Apply.
class CfrmItem : public Form {
    Q_OBJECT
public:
    CfrmItem();
    ~CfrmItem() override;

    // The row on show (1-based); both always hold the same number.
    std::int32_t lItem = 0;
    std::int32_t l_lGridRowNum = 0;

    void SetIDvTags();
    void GetFileInfo();
    void cTabControl1_TabClick(std::int32_t lTab);
    void GetRangeOptions();

    QFrame* picTitle;
    QLabel* lblTitle;
    cTabControl* cTabControl1;
    QPushButton* cmdOk;
    QPushButton* cmdApply;
    QPushButton* cmdExit;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

    // "Item Information"
    QFrame* TabInfo;
    QLineEdit* txtItemName;
    LinkLabel* lblFileName;
    LinkLabel* lblPath;
    QLabel* lblFormat;
    QLabel* lblSamples;
    QLabel* lblBitrate;
    QLabel* lblChannels;
    QLabel* lblTotalSize;
    QLabel* lblTotalTime;
    QLabel* lblCreated;

    // "Range To Process"
    QFrame* TabRange;
    QRadioButton* ptnAllFile;
    QRadioButton* ptnConvertByTime;
    QLabel* Label20;
    cDateTimePick* dtStartAfter;
    QPushButton* cmdGoTSoStart;
    QLabel* Label21;
    cDateTimePick* dtUntil;
    QPushButton* cmdGoToEnd;

    // "Destination ID3 Tags"
    QFrame* TabTags;
    QLineEdit* txtTagSong;
    QLineEdit* txtTagArtist;
    QLineEdit* txtTagAlbum;
    QLineEdit* txtTagYear;
    QLineEdit* txtTagTrack;
    QLineEdit* txtTagGenre;
    QLineEdit* txtTagComment;
    LinkLabel* lblDefaultID3Tags;
    LinkLabel* lblID3TagParameters;

    // The window's own reader of file facts.
    cAudioConverter* cAudioConverter1() const { return m_converter.get(); }

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdOk_Click();
    void cmdApply_Click();
    void cmdExit_Click();
    void cmdGoTSoStart_Click();
    void cmdGoToEnd_Click();
    void dtStartAfter_Change();
    void dtUntil_Change();
    void lblFileName_Click();
    void lblPath_Click();
    void lblDefaultID3Tags_Click();
    void lblID3TagParameters_Click();

protected:
    void Form_Load() override;

private:
    void LoadItem(std::int32_t& row);
    void HideTabPages();
    void UpdateRangeControls();
    void UpdateNavigation();
    // 0 saved; -1 the name was refused; 1 the range was refused. A refusal writes nothing.
    std::int32_t SaveItem();
    // Keeps a picker within the item's length.
    void LimitToLength(cDateTimePick* picker);

    cGrid* Grid() const;
    QString Cell(int row, const char* key) const;

    std::unique_ptr<cAudioConverter> m_converter;
};

extern DefaultInstance<CfrmItem> g_frmItem;
