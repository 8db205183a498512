// The totals of the open list, its summary in the status bar, the info panel
// and opening a folder.
#include "ListsTestSupport.h"

#include "controls/widgets/WindowWidgets.h"
#include "core/TextFiles.h"
#include "core/TimeSizeText.h"
#include "mainwindow/frmMain.h"
#include "platform/MessageBox.h"

#include <QDir>

namespace {

using namespace liststest;

class Totals : public ListsTest {
protected:
    // Appends a row with the cells the totals read.
    void AddRow(int mark, const QString& time, const QString& rangeAll, const QString& rangeLength,
                const QVariant& bytes)
    {
        cGrid* grid = Main()->cGrid1;
        const int row = grid->Rows() + 1;
        grid->CellDetails(row, "Inc", QVariant(), 0x40020, mark);
        grid->CellDetails(row, "Time", time);
        grid->CellDetails(row, "COL_RANGE_ALL", rangeAll);
        grid->CellDetails(row, "COL_RANGE_LENGTH_TIME", rangeLength);
        grid->CellDetails(row, "COL_BYTES_SIZE", bytes);
    }
    QString Info(int row) { return Main()->cGridInfo->CellText(row, 2).toString(); }
};

TEST_F(Totals, TimeCountsWholeFilesByLengthAndRangesByTheirLength)
{
    Main();
    EXPECT_EQ(Main()->GetTotalTime(), "0");
    AddRow(1, "00:00:02", "1", "", 10);
    AddRow(0, "01:00:00", "0", "30", 20);
    AddRow(1, "00:10:00", "0", "", 30);
    AddRow(0, "00:00:05", "1", "99", "");
    EXPECT_EQ(Main()->GetTotalTime(), QString::number(2 + 30 + 0 + 5));
    EXPECT_EQ(Main()->GetTotalTime(true), "2");
    Main()->SetAllMarked(false);
    EXPECT_EQ(Main()->GetTotalTime(true), "0");
}

TEST_F(Totals, SizesOfTwoGibibytesAndMoreAreCounted)
{
    Main();
    AddRow(1, "00:00:01", "1", "", qint64(3'000'000'000));
    AddRow(0, "00:00:01", "1", "", qint64(2'500'000'000));
    AddRow(1, "00:00:01", "1", "", "");
    // Sizes written as text or as a small number count the same way.
    AddRow(1, "00:00:01", "1", "", " 2048 ");
    AddRow(0, "00:00:01", "1", "", int(1024));
    AddRow(1, "00:00:01", "1", "", "1 KB");
    EXPECT_EQ(Main()->GetTotalSize(), FormatBytesShort(5'500'003'072.0));
    EXPECT_EQ(Main()->GetTotalSize(true), FormatBytesShort(3'000'002'048.0));
}

TEST_F(Totals, TheSummaryCountsItemsSizeAndTime)
{
    Main();
    Main()->DisplayGridInfoStatusBar();
    EXPECT_EQ(Main()->StatusPanelText("Items List Properties"), "0 Items, 0 KB, 00:00:00");
    AddRow(1, "01:00:00", "1", "", 0);
    AddRow(1, "00:02:03", "1", "", 0);
    Main()->DisplayGridInfoStatusBar();
    EXPECT_EQ(Main()->StatusPanelText("Items List Properties"), "2 Items, 0, 01:02:03");
}

TEST_F(Totals, TheInfoPanelShowsTheSelectedFile)
{
    WriteList("L", {FileItem("mono.wav", 1), FileItem("stereo.wav", 2)});
    Wav("stereo.wav", 2, 44100, 2);
    Main();
    cGrid* info = Main()->cGridInfo;
    ASSERT_EQ(info->Rows(), 9);
    QStringList names;
    for (int row = 1; row <= 9; ++row) names << info->CellText(row, 1).toString();
    EXPECT_EQ(names, QStringList({"File Name", "Total Time", "File Size", "Created", "Format", "Samples", "Bitrate",
                                  "Channels", "Item"}));
    EXPECT_EQ(Info(1), "mono.wav");
    EXPECT_EQ(Info(2), "00:00:01");
    EXPECT_EQ(Info(3), Cell(1, "Size"));
    EXPECT_EQ(info->CellText(4, 2), Main()->cGrid1->CellText(1, "Created"));
    EXPECT_EQ(QStringList({Info(5), Info(6), Info(7), Info(8), Info(9)}),
              QStringList({"WAV", "8000", "128", "MONO", "1"}));

    Main()->cGrid1->SetSelectedRow(2);
    Main()->GetFileInfoToGridInfo();
    EXPECT_EQ(QStringList({Info(1), Info(6), Info(7), Info(8), Info(9)}),
              QStringList({"stereo.wav", "44100", "1411", "STEREO", "2"}));
}

TEST_F(Totals, AnEmptyListLeavesTheInfoPanelEmpty)
{
    Main();
    EXPECT_EQ(Main()->cGridInfo->Rows(), 0);
}

TEST_F(Totals, OpeningAFolderOffersToCreateItWhenMissing)
{
    Main();
    const QString missing = ProgramFolder() + "/out/new";
    const QString question = "The folder " + missing + "/ does not exist." + QString(44, ' ') + kCrLf + kCrLf +
                             "Would you like to create it?";
    msgBox->Expect(question, platform::vbNo);
    Main()->OpenDestFolder(missing);
    EXPECT_TRUE(shell->opened.isEmpty());
    EXPECT_FALSE(QDir(missing).exists());

    msgBox->Expect(question, platform::vbYes);
    Main()->OpenDestFolder(missing);
    EXPECT_TRUE(QDir(missing).exists());
    ASSERT_EQ(shell->opened.size(), 1);
    EXPECT_TRUE(shell->opened[0].endsWith("/out/new/")) << shell->opened[0].toStdString();

    // A file of that name cannot become a folder; the path still goes to the file manager.
    const QString file = ProgramFolder() + "/afile";
    WriteBytes(file, "x");
    msgBox->Expect("does not exist.", platform::vbYes);
    msgBox->Expect("The path: " + file + "/ cannot be created.");
    Main()->OpenDestFolder(file);
    EXPECT_EQ(shell->opened.size(), 2);
}

} // namespace
