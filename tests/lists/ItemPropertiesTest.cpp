// The item properties dialog on real files: the facts it shows, the range
// with its limits, names and tags, saving into the grid and the list file,
// and moving between rows.
#include "ListsTestSupport.h"

#include "controls/widgets/DateTimePick.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/LinkLabel.h"
#include "lists/frmItem.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

#include <functional>

namespace {

using namespace liststest;

QString TimeOf(const cDateTimePick* picker) { return picker->Value().time().toString("HH:mm:ss"); }

void SetTime(cDateTimePick* picker, const QString& time)
{
    picker->SetValue(QDateTime(picker->Value().date(), QTime::fromString(time, "HH:mm:ss")));
}

// List "L": a whole 100 s file, the same length with the range 30 + 60, and a
// short stereo file; the first row open.
class ItemProperties : public ListsTest {
protected:
    void SetUp() override
    {
        ListsTest::SetUp();
        Item whole = FileItem("whole.wav", 100);
        whole.title = "Song 1";
        whole.artist = "Artist 1";
        whole.album = "Album 1";
        whole.year = "2001";
        whole.track = "1";
        whole.genre = "Rock";
        whole.comment = "first";
        Item ranged = FileItem("ranged.wav", 100);
        ranged.rangeAll = "0";
        ranged.start = "30";
        ranged.length = "60";
        const Item stereo = ItemOf("stereo.wav", Wav("stereo.wav", 3, 44100, 2));
        WriteList("L", {whole, ranged, stereo});
        Open("L");
        ASSERT_EQ(Rows(), 3);
    }
    void RunKey(const QString& key) { Main()->m_cMenu_Click(Main()->m_cMenu->IndexForKey(key)); }
    // Opens the dialog on a row as "Rename Item" does, runs `drive` in it,
    // then closes it unless it closed itself. Other modal windows it opens go to `nested`.
    void OnItem(int row, const std::function<void(CfrmItem*)>& drive,
                const std::function<void(QWidget*)>& nested = {})
    {
        Main()->cGrid1->SetSelectedRow(row);
        bool ran = false;
        modal->hook = [&](QWidget* w) {
            if (w->objectName() != "g_frmItem") {
                ASSERT_TRUE(bool(nested)) << w->objectName().toStdString();
                nested(w);
                return;
            }
            ran = true;
            drive(static_cast<CfrmItem*>(w));
            if (w->isVisible()) w->close();
        };
        RunKey("Rename Item");
        EXPECT_TRUE(ran);
        modal->hook = nullptr;
    }
    QString FileText() { return QString::fromUtf8(ReadBytes(ListPath("L"))); }
    // The stored field of the list file's record `n` (from 1).
    QString Field(int n, const QString& key)
    {
        return FileText().split("<ITEM>").value(n).section("<" + key + ">", 1).section("</" + key + ">", 0, 0);
    }

    const QString kEmpty = "Empty Item Name." + QString(42, ' ');
    const QString kIllegal = "Illegal Item Name." + QString(42, ' ');
    const QString kRange = "'Start after' field is more or an equel to the 'Until' field." + QString(9, ' ');
};

TEST_F(ItemProperties, ShowsTheRowAndTheFactsOfItsFile)
{
    OnItem(3, [&](CfrmItem* w) {
        EXPECT_EQ(w->windowTitle(), "Item Properties");
        EXPECT_EQ(w->lblTitle->text(), "stereo.wav");
        EXPECT_EQ(w->txtItemName->text(), "stereo.wav");
        EXPECT_EQ(w->lblFileName->text(), "stereo.wav");
        EXPECT_EQ(w->lblPath->text(), MediaDir());
        EXPECT_EQ(w->lblFormat->text(), "WAV");
        EXPECT_EQ(w->lblSamples->text(), "44100");
        EXPECT_EQ(w->lblBitrate->text(), "16");
        EXPECT_EQ(w->lblChannels->text(), "STEREO");
        EXPECT_EQ(w->lblTotalSize->text(), Cell(3, "Size"));
        EXPECT_EQ(w->lblTotalTime->text(), "00:00:03");
        // As the grid shows it.
        EXPECT_EQ(w->lblCreated->text(), cGrid::DisplayText(Main()->cGrid1->CellText(3, "Created")));
        EXPECT_FALSE(w->lblCreated->text().contains('T'));
        ASSERT_EQ(w->cTabControl1->TabCount(), 3);
        EXPECT_EQ(w->cTabControl1->TabCaption(3), "Destination ID3 Tags  ");
        EXPECT_EQ(QStringList({w->cTabControl1->TabKey(1), w->cTabControl1->TabKey(2), w->cTabControl1->TabKey(3)}),
                  QStringList({"Item Information", "Range", "ID3 Tags"}));
        EXPECT_TRUE(w->TabInfo->isVisible());
        EXPECT_FALSE(w->TabRange->isVisible());
        w->cTabControl1->SetSelectedTab(3);
        w->cTabControl1_TabClick(3);
        EXPECT_TRUE(w->TabTags->isVisible());
        EXPECT_FALSE(w->TabInfo->isVisible());
    });
}

TEST_F(ItemProperties, FactsAreReadAgainForEachRow)
{
    OnItem(1, [&](CfrmItem* w) {
        EXPECT_EQ(w->lblSamples->text(), "8000");
        EXPECT_EQ(w->lblChannels->text(), "MONO");
        w->cmdNext_Click();
        w->cmdNext_Click();
        EXPECT_EQ(w->lblSamples->text(), "44100");
        EXPECT_EQ(w->lblChannels->text(), "STEREO");
    });
}

TEST_F(ItemProperties, AWholeRowOpensOnTheWholeLengthWithTheRangeOff)
{
    OnItem(1, [&](CfrmItem* w) {
        EXPECT_TRUE(w->ptnAllFile->isChecked());
        EXPECT_EQ(TimeOf(w->dtStartAfter), "00:00:00");
        EXPECT_EQ(TimeOf(w->dtUntil), "00:01:40");
        for (QWidget* c : std::initializer_list<QWidget*>{w->dtStartAfter, w->dtUntil, w->cmdGoTSoStart, w->cmdGoToEnd,
                                                          w->Label20, w->Label21})
            EXPECT_FALSE(c->isEnabled());
        EXPECT_EQ(w->txtTagSong->text(), "Song 1");
        EXPECT_EQ(w->txtTagComment->text(), "first");
    });
}

TEST_F(ItemProperties, ARangeOfThirtyAndSixtyShowsAndSavesUnchanged)
{
    OnItem(2, [&](CfrmItem* w) {
        EXPECT_TRUE(w->ptnConvertByTime->isChecked());
        EXPECT_EQ(TimeOf(w->dtStartAfter), "00:00:30");
        EXPECT_EQ(TimeOf(w->dtUntil), "00:01:30");
        EXPECT_TRUE(w->dtStartAfter->isEnabled());
        EXPECT_TRUE(w->cmdGoToEnd->isEnabled());
        w->cmdOk_Click();
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(QStringList({Cell(2, "COL_RANGE_ALL"), Cell(2, "COL_RANGE_START_TIME"), Cell(2, "COL_RANGE_LENGTH_TIME"),
                           Cell(2, "Range")}),
              QStringList({"0", "30", "60", "00:00:30 - 00:01:30"}));
    EXPECT_EQ(QStringList({Field(2, "COL_RANGE_ALL"), Field(2, "COL_RANGE_START_TIME"),
                           Field(2, "COL_RANGE_LENGTH_TIME")}),
              QStringList({"0", "30", "60"}));
}

TEST_F(ItemProperties, SavingTheWholeFileClearsTheRange)
{
    OnItem(2, [&](CfrmItem* w) {
        w->ptnAllFile->setChecked(true);
        EXPECT_FALSE(w->dtStartAfter->isEnabled());
        w->cmdOk_Click();
    });
    EXPECT_EQ(QStringList({Cell(2, "COL_RANGE_ALL"), Cell(2, "COL_RANGE_START_TIME"), Cell(2, "COL_RANGE_LENGTH_TIME"),
                           Cell(2, "Range")}),
              QStringList({"1", "", "", "All"}));
    EXPECT_EQ(Field(2, "COL_RANGE_ALL"), "1");
    EXPECT_EQ(Field(2, "COL_RANGE_START_TIME"), "");
    EXPECT_EQ(Main()->StatusPanelText("Items List Properties").section(", ", 2), "00:03:23")
        << "the total counts the whole file now";
}

TEST_F(ItemProperties, AStartNotBeforeUntilIsRefusedAndNothingIsWritten)
{
    const QByteArray saved = ReadBytes(ListPath("L"));
    for (const auto& [start, until] : {std::pair{"00:00:40", "00:00:40"}, std::pair{"00:01:00", "00:00:20"}}) {
        OnItem(1, [&](CfrmItem* w) {
            w->txtItemName->setText("Renamed");
            w->txtTagSong->setText("Changed");
            w->ptnConvertByTime->setChecked(true);
            SetTime(w->dtStartAfter, start);
            SetTime(w->dtUntil, until);
            msgBox->Expect(kRange);
            w->cmdOk_Click();
            EXPECT_TRUE(w->isVisible()) << start;
            EXPECT_EQ(msgBox->shown.back().text, kRange);
            EXPECT_EQ(msgBox->shown.back().flags, platform::vbInformation);
        });
        EXPECT_EQ(Cell(1, "Item Name"), "whole.wav") << start;
        EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Song 1") << start;
        EXPECT_EQ(Cell(1, "Range"), "All") << start;
        EXPECT_EQ(ReadBytes(ListPath("L")), saved) << start;
    }
}

TEST_F(ItemProperties, PickersStayWithinTheItemsLength)
{
    OnItem(1, [&](CfrmItem* w) {
        w->ptnConvertByTime->setChecked(true);
        SetTime(w->dtStartAfter, "00:05:00");
        EXPECT_EQ(TimeOf(w->dtStartAfter), "00:01:40");
        SetTime(w->dtUntil, "23:59:59");
        EXPECT_EQ(TimeOf(w->dtUntil), "00:01:40");
        SetTime(w->dtUntil, "00:01:39");
        EXPECT_EQ(TimeOf(w->dtUntil), "00:01:39");
        w->cmdGoTSoStart_Click();
        EXPECT_EQ(TimeOf(w->dtStartAfter), "00:00:00");
        SetTime(w->dtUntil, "00:00:10");
        w->cmdGoToEnd_Click();
        EXPECT_EQ(TimeOf(w->dtUntil), "00:01:40");
        w->cmdExit_Click();
    });
}

TEST_F(ItemProperties, NamesAreTrimmedAndChecked)
{
    const struct {
        const char* typed;
        QString message; // empty: saved
        bool tip;
    } cases[] = {
        {"     ", kEmpty, false},
        {"a?b", kIllegal, true},
        {"a/b", kIllegal, true},
        {"  New Name  ", "", false},
    };
    for (const auto& c : cases) {
        const QByteArray saved = ReadBytes(ListPath("L"));
        OnItem(1, [&](CfrmItem* w) {
            HideToolTip();
            w->txtItemName->setText(c.typed);
            if (!c.message.isEmpty()) msgBox->Expect(c.message);
            w->cmdOk_Click();
            EXPECT_EQ(w->isVisible(), !c.message.isEmpty()) << c.typed;
            EXPECT_EQ(!QToolTip::text().isEmpty(), c.tip) << c.typed;
        });
        if (c.message.isEmpty()) {
            EXPECT_EQ(Cell(1, "Item Name"), "New Name");
            EXPECT_EQ(Field(1, "Item Name"), "New Name");
        } else {
            EXPECT_EQ(msgBox->shown.back().text, c.message);
            EXPECT_EQ(Cell(1, "Item Name"), "whole.wav") << c.typed;
            EXPECT_EQ(ReadBytes(ListPath("L")), saved) << c.typed;
        }
    }
}

TEST_F(ItemProperties, TagsAreSavedAsTypedEmptyOnesIncluded)
{
    OnItem(1, [&](CfrmItem* w) {
        w->txtTagSong->setText("[ITEM_NAME] live");
        w->txtTagArtist->clear();
        w->txtTagGenre->setText("Jazz");
        w->cmdOk_Click();
    });
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "[ITEM_NAME] live");
    EXPECT_EQ(Cell(1, "COL_TAG_ARTIST"), "");
    EXPECT_EQ(Cell(1, "COL_TAG_GEN"), "Jazz");
    EXPECT_EQ(Cell(1, "COL_TAG_ALBUM"), "Album 1");
    EXPECT_EQ(Field(1, "COL_TAG_TITLE"), "[ITEM_NAME] live");
    EXPECT_EQ(Field(1, "COL_TAG_ARTIST"), "");
    EXPECT_EQ(Field(1, "COL_TAG_GEN"), "Jazz");
}

TEST_F(ItemProperties, NextAndBackStopAtTheEndsAndDropEdits)
{
    OnItem(1, [&](CfrmItem* w) {
        EXPECT_FALSE(w->cmdBack->isEnabled());
        EXPECT_TRUE(w->cmdNext->isEnabled());
        w->txtTagSong->setText("not saved");
        w->cmdNext_Click();
        EXPECT_EQ(w->lItem, 2);
        EXPECT_EQ(w->l_lGridRowNum, 2);
        EXPECT_EQ(Main()->cGrid1->SelectedRow(), 2);
        EXPECT_EQ(w->lblTitle->text(), "ranged.wav");
        EXPECT_TRUE(w->cmdBack->isEnabled());
        EXPECT_TRUE(w->cmdNext->isEnabled());
        w->cmdNext_Click();
        EXPECT_FALSE(w->cmdNext->isEnabled());
        EXPECT_TRUE(w->ptnAllFile->isChecked()) << "the range follows the row";
        w->cmdNext_Click(); // past the last row: nothing
        EXPECT_EQ(w->l_lGridRowNum, 3);
        w->cmdBack_Click();
        w->cmdBack_Click();
        EXPECT_EQ(w->txtTagSong->text(), "Song 1");
        EXPECT_FALSE(w->cmdBack->isEnabled());
    });
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Song 1");
}

TEST_F(ItemProperties, ARowAloneHasNoNeighbours)
{
    WriteList("One", {FileItem("one.wav")});
    Main()->setTree();
    Open("One");
    OnItem(1, [&](CfrmItem* w) {
        EXPECT_FALSE(w->cmdBack->isEnabled());
        EXPECT_FALSE(w->cmdNext->isEnabled());
    });
}

TEST_F(ItemProperties, ApplyStaysOpenAndOKClosesOnlyAfterASave)
{
    OnItem(1, [&](CfrmItem* w) {
        w->txtItemName->clear();
        msgBox->Expect(kEmpty);
        w->cmdApply_Click();
        EXPECT_TRUE(w->isVisible());
        w->txtItemName->setText("Applied");
        w->cmdApply_Click();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(Cell(1, "Item Name"), "Applied");
        EXPECT_EQ(Field(1, "Item Name"), "Applied");
        w->txtItemName->setText("a*b");
        msgBox->Expect(kIllegal);
        w->cmdOk_Click();
        EXPECT_TRUE(w->isVisible());
        w->txtItemName->setText("Done");
        w->cmdOk_Click();
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_EQ(Field(1, "Item Name"), "Done");
}

TEST_F(ItemProperties, ExitAndTheCloseBoxSaveNothing)
{
    const QByteArray saved = ReadBytes(ListPath("L"));
    OnItem(1, [&](CfrmItem* w) {
        w->txtItemName->setText("Exit");
        w->cmdExit_Click();
    });
    OnItem(1, [&](CfrmItem* w) {
        w->txtItemName->setText("Close box");
        w->close();
    });
    EXPECT_EQ(Cell(1, "Item Name"), "whole.wav");
    EXPECT_EQ(ReadBytes(ListPath("L")), saved);
}

TEST_F(ItemProperties, TheLinksOpenTheFileItsFolderTheTagOptionsAndTheParameters)
{
    QStringList nested;
    OnItem(
        2,
        [&](CfrmItem* w) {
            w->lblFileName_Click();
            w->lblPath_Click();
            EXPECT_EQ(shell->opened, QStringList({MediaDir() + "ranged.wav", MediaDir()}));
            w->lblDefaultID3Tags_Click();
            w->lblID3TagParameters_Click();
        },
        [&](QWidget* w) {
            nested << w->objectName();
            if (auto* options = qobject_cast<CfrmOptions*>(w)) {
                EXPECT_TRUE(options->froTags->isVisibleTo(options));
                options->cmdCancel_Click();
            } else if (auto* parameters = qobject_cast<CfrmProgParameters*>(w)) {
                EXPECT_EQ(parameters->cboSections->currentIndex(), 1);
                parameters->cmdOk_Click();
            }
        });
    EXPECT_EQ(nested, QStringList({"frmOptions", "g_frmProgParameters"}));
}

TEST_F(ItemProperties, RenameItemDropsAlwaysOnTopAndIsNothingOnAnEmptyList)
{
    Main()->SetOnTop(true);
    OnItem(1, [](CfrmItem*) {});
    EXPECT_FALSE(Main()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    WriteList("Empty", {});
    Main()->setTree();
    Open("Empty");
    RunKey("Rename Item");
    Main()->cGrid1_DblClick(0, 0);
    EXPECT_TRUE(modal->shown.count("g_frmItem") == 1);
}


// With "Copy the ID3 tags from source file" on, a list shows its files' own
// tags; the files are read by the scripted reader, whose tags a test changes.
class TypedTags : public ItemProperties {
protected:
    void SetUp() override
    {
        ItemProperties::SetUp();
        for (const char* name : {"whole.wav", "ranged.wav", "stereo.wav"}) files[MediaDir() + name] = FakeFile(100000);
        FakeAudioConverter::File& whole = files[MediaDir() + "whole.wav"];
        whole.title = "File Title";
        whole.artist = "File Artist";
        whole.track = "1";
        SetAudioConverterFactory([this] {
            auto fake = std::make_unique<FakeAudioConverter>();
            for (auto it = files.begin(); it != files.end(); ++it) fake->AddFile(it.key(), it.value());
            return fake;
        });
        Restart();
    }
    // Quits the program and starts it again with list "L" open.
    void Restart()
    {
        support::UnloadAllForms();
        g_bCopyID3FromSource = true;
        Open("L");
        ASSERT_EQ(Rows(), 3);
    }
    QHash<QString, FakeAudioConverter::File> files;
};

TEST_F(TypedTags, TypedTagsSurviveRestartsAndTheOthersFollowTheFile)
{
    ASSERT_EQ(Cell(1, "COL_TAG_TITLE"), "File Title");
    OnItem(1, [&](CfrmItem* w) {
        w->txtTagSong->setText("Walk Song ä");
        w->txtTagTrack->setText("5");
        w->cmdOk->click();
    });
    files[MediaDir() + "whole.wav"].artist = "Artist Retagged";
    files[MediaDir() + "whole.wav"].title = "Title Retagged";
    Restart();
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Walk Song ä");
    EXPECT_EQ(Cell(1, "COL_TAG_TRACK"), "5");
    EXPECT_EQ(Cell(1, "COL_TAG_ARTIST"), "Artist Retagged") << "not typed: follows the file";
    EXPECT_EQ(Cell(2, "COL_TAG_TITLE"), "");

    // A change of the list rewrites it from the grid: the typed tags stay the user's.
    OnItem(2, [&](CfrmItem* w) {
        w->txtItemName->setText("renamed");
        w->cmdOk->click();
    });
    Restart();
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Walk Song ä");
    EXPECT_EQ(Cell(1, "COL_TAG_TRACK"), "5");
    EXPECT_EQ(Cell(2, "Item Name"), "renamed");
    EXPECT_EQ(Field(2, "COL_TAG_TYPED"), "") << "nothing typed, nothing marked";
}

// A tag that holds the typed-tags field's own text marks nothing: after a
// save and a reopen every tag still follows the file.
TEST_F(TypedTags, ATagHoldingTheTypedTagsFieldMarksNothing)
{
    const QString odd = "<COL_TAG_TYPED>COL_TAG_TITLE</COL_TAG_TYPED>";
    files[MediaDir() + "whole.wav"].comment = odd;
    Restart();
    ASSERT_EQ(Cell(1, "COL_TAG_COMMENT"), odd);
    Main()->SaveGridToFile();
    files[MediaDir() + "whole.wav"].title = "Title Retagged";
    Restart();
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Title Retagged") << FileText().toStdString();
    EXPECT_EQ(Cell(1, "COL_TAG_COMMENT"), odd);
    EXPECT_EQ(Cell(1, "COL_TAG_TYPED"), "");

    // Typed tags beside such a value stay exactly what the user typed.
    OnItem(1, [&](CfrmItem* w) {
        w->txtTagTrack->setText("5");
        w->cmdOk->click();
    });
    files[MediaDir() + "whole.wav"].title = "Title Again";
    Restart();
    EXPECT_EQ(Cell(1, "COL_TAG_TYPED"), "COL_TAG_TRACK");
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "Title Again");
    EXPECT_EQ(Cell(1, "COL_TAG_TRACK"), "5");
}

// Lists written before typed tags were marked open as before: every tag from the file.
TEST_F(TypedTags, AnUnmarkedListTakesEveryTagFromTheFile)
{
    EXPECT_FALSE(FileText().contains("COL_TAG_TYPED"));
    EXPECT_EQ(Cell(1, "COL_TAG_TITLE"), "File Title");
    EXPECT_EQ(Cell(1, "COL_TAG_ARTIST"), "File Artist");
    EXPECT_EQ(Cell(1, "COL_TAG_ALBUM"), "") << "the stored album is not the file's";
}

} // namespace
