// The main window's members that hand the marked rows over to the job tools
// and fill in the end-of-job program's placeholders.
#include "mainwindow/frmMain.h"

#include <QProcess>

#include "burning/frmCDBurner.h"
#include "controls/audio/AudioConverter.h"
#include "burning/frmAudioCDDuplicator.h"
#include "controls/widgets/PopupMenu.h"
#include "controls/widgets/WindowWidgets.h"
#include "burning/frmDataBurner3.h"
#include "conversion/frmACMConverter.h"
#include "conversion/frmConverter.h"
#include "ripping/frmCDRipper.h"
#include "splitjoin/frmJoiner.h"
#include "splitjoin/frmSplitter.h"
#include "core/Edition.h"
#include "core/Paths.h"
#include "core/TimeSizeText.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

bool listToolMayOpen(CfrmMain& main, const QString& verb)
{
    return main.ListToolMayOpen("Mark the items to " + verb + ".");
}

// The job window's count label, its two panels (each text goes to the panel
// of the other name) and its sub-folder name from the open list or CD.
void handOverTexts(CfrmMain& main, JobWindow* window, const QString& count, const QString& time, const QString& size)
{
    window->lblFilesToConvert->setText(count);
    window->cStatusBar1->SetPanelText("Total Size", "Total Time: " + time);
    window->cStatusBar1->SetPanelText("Total Time", "Total Size: " + size);
    window->txtUndeForlder->setText(MakeSafeName(main.cTreeView1->SelectedItem()->Text()));
}

// Fills in a loaded job window: the count of marked rows, their total time
// and size, and the sub-folder named after the open list or CD.
void handOverTotals(CfrmMain& main, JobWindow* window, const QString& countText)
{
    const std::int32_t seconds = main.GetTotalTime(true).toInt();
    window->g_ltmrItemSecsTotal = seconds;
    handOverTexts(main, window, QString::number(main.GetMarkedCount()) + countText, FormatSeconds(seconds),
                  main.GetTotalSize(true));
}

// Shows the job window modally with CD polling paused; polling goes on
// afterwards while a CD is on show.
void showJobWindow(CfrmMain& main, JobWindow* window)
{
    main.unsetCursor();
    main.ShowWithCDPollPaused([window] { window->ShowModal(); });
    main.unsetCursor();
}

// The ACM Converter's codec sources: every file of the list, marked or not,
// with the selected row's file chosen.
void offerCodecSources(CfrmMain& main, CfrmACMConverter& window)
{
    QStringList files;
    for (int row = 1; row <= main.cGrid1->Rows(); ++row) files << main.cGrid1->CellText(row, kColFile).toString();
    window.FillCodecSources(files, main.cGrid1->CellText(main.cGrid1->SelectedRow(), kColFile).toString());
}

// Loads the job window, hands it the marked rows with their count, totals
// and sub-folder name, then what `afterRows` adds, and shows it.
void handOverMarkedRows(CfrmMain& main, const std::function<JobWindow*()>& loadWindow, const QString& countText,
                        const std::function<void()>& afterRows = {})
{
    main.setCursor(Qt::WaitCursor);
    QPointer<JobWindow> window = loadWindow();
    handOverTotals(main, window, countText);
    CfrmMain::CopyMarkedRows(main.cGrid1, window->cGrid1, true);
    if (afterRows) afterRows();
    showJobWindow(main, window);
}

// The splitter takes the selected row, marked or not: its file, its texts
// and its cells from the second column on as the one row of its grid.
void handOverSelectedRow(CfrmMain& main)
{
    const int row = main.cGrid1->SelectedRow();
    main.setCursor(Qt::WaitCursor);
    QPointer<CfrmSplitter> window = g_frmSplitter.get();
    auto cell = [&main, row](const char* key) { return main.cGrid1->CellText(row, key).toString(); };
    handOverTexts(main, window, "Split: " + cell(kColItemName), cell(kColTime),
                  FormatFileSize(CellNumber(main.cGrid1, row, kColBytesSize)));
    window->g_sFileToSplit = cell(kColFile);
    for (int column = 2; column <= main.cGrid1->Columns(); ++column)
        window->cGrid1->CellDetails(1, column, main.cGrid1->CellText(row, column));
    showJobWindow(main, window);
}

// The checks before the CD Ripper opens: a CD drive's node with marked rows.
bool ripperMayOpen(CfrmMain& main)
{
    cTreeNode* node = main.cTreeView1 ? main.cTreeView1->SelectedItem() : nullptr;
    if (!node || CfrmMain::IsMainNode(node->Key())) {
        platform::MsgBox("Select the Items List of the CD." + QString(40, ' '), platform::vbInformation);
        if (node && node->Child()->Count() > 0) main.cTreeView1_NodeClick(node->Child()->Item(1));
        return false;
    }
    if (!CfrmMain::IsCDNode(node->Key())) {
        platform::MsgBox("Select the the Audio CD device to rip from." + QString(40, ' '), platform::vbInformation);
        if (cTreeNode* cds = main.g_nodMainCDs) {
            cds->SetExpanded(true);
            if (cds->Child()->Count() > 0) main.cTreeView1_NodeClick(cds->Child()->Item(1));
        }
        return false;
    }
    if (main.GetMarkedCount() == 0) {
        platform::MsgBox("Mark the items to rip." + QString(29, ' '), platform::vbInformation);
        return false;
    }
    return true;
}

// The ripper gets every track of the CD with its mark, and the drive of the
// node fixed in its drive list.
void handOverCD(CfrmMain& main)
{
    main.setCursor(Qt::WaitCursor);
    QPointer<CfrmCDRipper> window = g_frmCDRipper.get();
    handOverTotals(main, window, " items to convert.");
    CfrmMain::CopyMarkedRows(main.cGrid1, window->cGrid1, false);
    const QString drive = CfrmMain::GetCDNameNode(main.cTreeView1->SelectedItem()->Key());
    for (int i = 0; i < window->cboDevices->count(); ++i) {
        if (!window->cboDevices->itemText(i).startsWith(drive)) continue;
        window->cboDevices->setCurrentIndex(i);
        window->cboDevices->setEnabled(false);
        window->cmdOpenCD->setEnabled(false);
    }
    showJobWindow(main, window);
}

// The Audio CD Maker: the marked rows, their count and minutes against the disc.
bool openAudioCDMaker(CfrmMain& main)
{
    if (!listToolMayOpen(main, "burn")) return false;
    CfrmCDBurner* window = nullptr;
    handOverMarkedRows(
        main, [&window] { return window = g_frmCDBurner.get(); }, " items to burn.",
        [&main, &window] { ShowBurnTotals(window, main.GetMarkedCount(), main.GetTotalTime(true).toInt()); });
    return true;
}

// The duplicator takes nothing from the list: it finds the source disc itself.
// The main window keeps the hourglass while it is open.
void openDuplicator(CfrmMain& main)
{
    main.ShowWithCDPollPaused([&main] {
        main.setCursor(Qt::WaitCursor);
        g_frmAudioCDDuplicator->ShowModal();
        main.unsetCursor();
    });
}

// The data disc maker for "MP3 CD Maker" or "WMA CD Maker": titled after the
// command, set to its format, the disc named after the open list. A WMA disc
// needs a WMA encoder: without one the command says so and opens nothing.
void openDataDiscMaker(CfrmMain& main, const QString& command)
{
    const bool wma = command == "WMA CD Maker";
    if (wma && CreateAudioConverter()->WMACodecCount() == 0) {
        platform::MsgBox("WMA files cannot be made on this system: no WMA encoder was found. Use the \"MP3 CD Maker\" "
                         "instead.",
                         platform::vbExclamation);
        return;
    }
    CfrmDataBurner3* window = nullptr;
    handOverMarkedRows(main, [&window] { return window = g_frmDataBurner3.get(); }, " items to burn.", [&] {
        window->lblTitle->setText(command);
        window->setWindowTitle(command);
        window->cboTargetFormat->setCurrentText(kDestinationFormatTexts[wma ? 3 : 2]);
        window->txtCDName->setText(MakeSafeName(main.cTreeView1->SelectedItem()->Text()));
    });
}

// The text with every placeholder replaced by its value, case-sensitively,
// in one pass: a value (a file name holding "[FILE_SIZE]", say) stays as it is.
QString FillPlaceholders(const QString& text, const QList<std::pair<QString, QString>>& values)
{
    QString out;
    for (qsizetype at = 0; at < text.size();) {
        const auto found = std::find_if(values.begin(), values.end(), [&](const auto& value) {
            return QStringView(text).mid(at).startsWith(value.first);
        });
        if (found == values.end()) {
            out += text[at++];
            continue;
        }
        out += found->second;
        at += found->first.size();
    }
    return out;
}

} // namespace

void CfrmMain::ShowWithCDPollPaused(const std::function<void()>& show)
{
    if (tmrCDs) tmrCDs->stop();
    show();
    // The program's exit may have run while the window was open.
    if (IsUnloaded()) return;
    cTreeNode* node = cTreeView1->SelectedItem();
    if (node && IsCDNode(node->Key()) && tmrCDs) tmrCDs->start();
}

bool CfrmMain::ListToolMayOpen(const QString& markMessage)
{
    cTreeNode* node = cTreeView1 ? cTreeView1->SelectedItem() : nullptr;
    if (!node || IsMainNode(node->Key())) {
        platform::MsgBox("Select the Items List." + QString(40, ' '), platform::vbInformation);
        if (node && node->Child()->Count() > 0) cTreeView1_NodeClick(node->Child()->Item(1));
        return false;
    }
    if (cGrid1->Rows() == 0) {
        m_cMenu_Click(m_cMenu->IndexForKey("Add Files"));
        return false;
    }
    if (GetMarkedCount() == 0) {
        platform::MsgBox(markMessage + QString(29, ' '), platform::vbInformation);
        return false;
    }
    return true;
}

QList<std::pair<QString, QString>> CfrmMain::NoticeValues(const QString& madeFile)
{
    QList<std::pair<QString, QString>> values = {{"[PROG_NAME]", g_sAppName}, {"[PROG_VERSION]", g_sAppVersion}};
    // A job that made no file leaves the file placeholders as written.
    if (madeFile.isEmpty()) return values;
    std::unique_ptr<cAudioConverter> reader = CreateAudioConverter();
    const bool read = reader->OpenSourceFile(madeFile) == 0;
    const FileFacts facts = FactsOfOpenFile(*reader, madeFile);
    if (read) reader->CloseSourceFile();
    // A length that cannot be read is not made up.
    values << std::pair<QString, QString>{"[FILE_RECORDED]", madeFile}
           << std::pair<QString, QString>{"[FILE_SIZE]", facts.size}
           << std::pair<QString, QString>{"[FILE_TIME_LENGTH]", read ? facts.time : QString()}
           << std::pair<QString, QString>{"[FILE_CREATED]", cGrid::DisplayText(facts.created)};
    return values;
}

QString CfrmMain::GetNoticAppParameters(const QString& madeFile)
{
    return FillPlaceholders(g_sAppNotice, NoticeValues(madeFile));
}

QStringList CfrmMain::GetNoticAppArguments(const QString& madeFile)
{
    const auto values = NoticeValues(madeFile);
    // Split first, so a value with blanks or quotes stays one argument.
    QStringList words = QProcess::splitCommand(g_sAppNotice);
    for (QString& word : words) word = FillPlaceholders(word, values);
    return words;
}

bool CfrmMain::LaunchTool(const QString& key)
{
    if (key == "Audio Converter") {
        if (!listToolMayOpen(*this, "convert")) return false;
        handOverMarkedRows(*this, [] { return g_frmConverter.get(); }, " items to convert.");
    } else if (key == "ACM Converter") {
        if (!listToolMayOpen(*this, "convert")) return false;
        CfrmACMConverter* window = nullptr;
        handOverMarkedRows(
            *this, [&window] { return window = g_frmACMConverter.get(); }, " items to convert.",
            [this, &window] { offerCodecSources(*this, *window); });
    } else if (key == "Audio CD Ripper") {
        if (!ripperMayOpen(*this)) return false;
        handOverCD(*this);
    } else if (key == "Audio Joiner") {
        if (!listToolMayOpen(*this, "join")) return false;
        if (GetMarkedCount() < 2) {
            platform::MsgBox("Nothing to join." + QString(55, ' ') + "\r\n\r\n", platform::vbInformation);
            return false;
        }
        handOverMarkedRows(*this, [] { return g_frmJoiner.get(); }, " items to join.");
    } else if (key == "Audio Splitter") {
        if (!listToolMayOpen(*this, "split")) return false;
        if (cGrid1->SelectedRow() < 1) {
            platform::MsgBox("Select the item to split.", platform::vbInformation);
            return false;
        }
        handOverSelectedRow(*this);
    } else if (key == "Audio CD Maker") {
        if (!openAudioCDMaker(*this)) return false;
    } else if (key == "Audio CD Duplicator") {
        openDuplicator(*this);
    } else if (key == "MP3 CD Maker" || key == "WMA CD Maker") {
        if (!listToolMayOpen(*this, "burn")) return false;
        openDataDiscMaker(*this, key);
    }
    return true;
}
