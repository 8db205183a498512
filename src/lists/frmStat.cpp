#include "lists/frmStat.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "controls/widgets/ProgressBar.h"
#include "core/Edition.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/WindowProcedures.h"
#include "lists/ItemRows.h"
#include "lists/ParallelReading.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>
#include <vector>

bool g_bCancelAdd = false;
QString g_sAddStatus;
DefaultInstance<CfrmStat> g_frmStat;

namespace {

// The extensions the supported-formats filter names, in lower case.
QStringList SupportedExtensions()
{
    QStringList extensions;
    const QStringList parts = GetSupportedFormatsFilter().split(QChar(0));
    for (int i = 1; i < parts.size(); i += 2)
        for (const QString& pattern : parts[i].split(';', Qt::SkipEmptyParts))
            if (pattern.startsWith("*.")) {
                const QString ext = pattern.mid(2).toLower();
                if (!extensions.contains(ext)) extensions << ext;
            }
    return extensions;
}

} // namespace

CfrmStat::CfrmStat() : Form("g_frmStat")
{
    setWindowTitle("Add Files");
    resize(460, 110);
    lblStat = widgets::PlainLabel("Adding", this);
    cProgressBar1 = new cProgressBar(this);
    cmdCancel = new QPushButton("Cancel", this);
    SetKeyButtons(nullptr, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStat);
    layout->addWidget(cProgressBar1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    cAudioConverter1 = CreateAudioConverter().release();
    cAudioConverter1->setParent(this);

    tmrUpdate = new QTimer(this);
    tmrUpdate->setInterval(20);
    connect(tmrUpdate, &QTimer::timeout, this, &CfrmStat::tmrUpdate_Timer);
    tmrUpdate->start();
    connect(cmdCancel, &QPushButton::clicked, this, &CfrmStat::cmdCancel_Click);
}

CfrmStat::~CfrmStat() = default;

void CfrmStat::Form_Load()
{
    SetFormIcon32(this, "replace2", true);
    g_bCancelAdd = false;
}

void CfrmStat::Form_Unload(int& Cancel)
{
    // The reading may be using the window's own control.
    if (m_reading) m_reading->Stop();
    cAudioConverter1->Terminate();
    cmdCancel_Click();
    // Closed while adding: the loop stops at the next file and unloads the window itself.
    if (m_bAdding) Cancel = 1;
}

void CfrmStat::cmdCancel_Click()
{
    g_bCancelAdd = true;
    // Rows of the files read so far are not written any more.
    if (m_reading) m_reading->Stop();
}

void CfrmStat::tmrUpdate_Timer() { lblStat->setText(g_sAddStatus); }

// What adding makes of one path, worked out off the window thread.
struct CfrmStat::PathRead {
    enum class Outcome { Skipped, Refused, Row } outcome = Outcome::Skipped;
    FileFacts facts;
    std::optional<ItemTags> fileTags;
};

CfrmStat::PathRead CfrmStat::ReadPath(const QString& path, cAudioConverter& reader, bool tagsFromFile)
{
    PathRead read;
    // Folders, empty files and other formats are left out without a word; a
    // file whose length cannot be read goes on to the reader.
    if (IsFolder(path)) return read;
    const QFileInfo info(path);
    if ((info.exists() && info.size() == 0) || !SupportAudioFile(path)) return read;
    if (reader.OpenSourceFile(path) != 0) {
        read.outcome = PathRead::Outcome::Refused;
        return read;
    }
    // The file stays open: the reader's next OpenSourceFile replaces it.
    read.outcome = PathRead::Outcome::Row;
    read.facts = FactsOfOpenFile(reader, path);
    if (tagsFromFile) read.fileTags = TagsOfFile(reader, path);
    return read;
}

void CfrmStat::AddFilesToList(const QStringList& Data, cGrid* cGrid1, QWidget* frm, bool bHide)
{
    if (!cGrid1 || m_bAdding) return;
    QPointer<CfrmStat> self(this);
    QPointer<cGrid> grid(cGrid1);
    MainWindowServices* main = MainWindow();
    const bool fillsMainList = main && main->cGrid1 == cGrid1;

    // A list that is opening takes the files once it has opened.
    while (fillsMainList && MainWindow() == main && main->IsListLoading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!self || !grid || (fillsMainList && MainWindow() != main)) return;

    if (frm) setParent(frm, windowFlags());
    Show();
    cProgressBar1->SetMin(1);
    cProgressBar1->SetMax(int(Data.size()) + 1);
    cProgressBar1->SetValue(1);

    m_bAdding = true;
    if (fillsMainList) main->SetAddingFiles(true);
    grid->SetRedraw(false);
    // The files are read on other threads; each row is written here, in the
    // order of the paths, while the window goes on working.
    const bool tagsFromFile = g_bCopyID3FromSource;
    std::vector<PathRead> reads(size_t(Data.size()));
    ParallelReading reading(
        Data.size(),
        [&](qsizetype i, cAudioConverter& reader) { reads[size_t(i)] = ReadPath(Data[i], reader, tagsFromFile); },
        [&](qsizetype i) {
            if (g_bCancelAdd || !grid) {
                reading.Stop();
                return;
            }
            AddReadFile(Data[i], reads[size_t(i)], grid, grid->Rows() + 1);
            reads[size_t(i)] = {};
            cProgressBar1->SetValue(int(i) + 1);
        });
    QEventLoop loop;
    connect(&reading, &ParallelReading::Ended, &loop, &QEventLoop::quit);
    m_reading = &reading;
    reading.Start(cAudioConverter1);
    loop.exec();
    reading.Stop();
    if (!self) return;
    m_reading = nullptr;
    m_bAdding = false;
    // The loop let events run: the main window may have gone meanwhile.
    main = MainWindow();
    if (fillsMainList && main) main->SetAddingFiles(false);
    if (grid) {
        grid->SetRedraw(true);
        AfterAdding(grid, main);
    }
    Unload();
}

bool CfrmStat::AddReadFile(const QString& path, const PathRead& read, cGrid* grid, int row)
{
    if (read.outcome == PathRead::Outcome::Skipped) return false;
    if (read.outcome == PathRead::Outcome::Refused) {
        platform::MsgBox("Cannot add " + path, platform::vbInformation);
        return false;
    }
    g_sAddStatus = "Adding " + path;
    lblStat->setText(g_sAddStatus);
    setWindowTitle(g_sAddStatus);

    grid->CellDetails(row, kColInc, QVariant(), kIconCellFormat, kIconMarked);
    grid->CellDetails(row, kColType, "", kIconCellFormat, 3);
    grid->CellDetails(row, kColItemName, getLegaName(GetFileName(path)));
    grid->CellDetails(row, kColFile, path);
    const ItemColumnNumbers columns(grid);
    WriteFileFacts(grid, columns, row, read.facts);
    grid->CellDetails(row, kColRange, "All");
    grid->CellDetails(row, kColRangeAll, "1");
    WriteTags(grid, columns, row, read.fileTags ? *read.fileTags : DefaultTags());
    return true;
}

void CfrmStat::AfterAdding(cGrid* grid, MainWindowServices* main)
{
    if (grid->Rows() < 1) {
        if (main) main->picEmptyMsg->show();
        return;
    }
    grid->SetSelectedRow(g_bSelectTheLastItem ? grid->Rows() : 1);
    if (main) main->GetFileInfoToGridInfo();
    grid->SetSelectedCol(2);
    if (!main) return;
    main->picEmptyMsg->hide();
    main->SetStatusPanelText("Items List Properties", QString::number(main->cGrid1->Rows()) + " Items.");
    main->SetStatusPanelText("Main", "Ready.");
}

bool CfrmStat::SupportAudioFile(const QString& sFileName)
{
    static const QStringList extensions = SupportedExtensions();
    const QString ext = GetLastExtension(sFileName).toLower();
    return !ext.isEmpty() && extensions.contains(ext);
}

QString CfrmStat::getLegaName(const QString& sPath)
{
    QString name = sPath;
    for (QChar c : QStringLiteral(":?<>\\/*|")) {
        const qsizetype at = name.indexOf(c);
        if (at >= 0) name.remove(at, 1);
    }
    return name;
}

bool CfrmStat::GetTagsFromSource(const QString& sSource)
{
    if (sSource.size() < 5) return false;
    const QString ext = sSource.right(4).toLower();
    if (ext == ".mp3") return g_MP3Settings.bTagsFromSource != 0;
    if (ext == ".wma") return g_WMASettings.bTagsFromSource != 0;
    if (ext == ".ogg") return g_OGGSettings.bTagsFromSource != 0;
    if (ext == ".ape") return g_APESettings.bTagsFromSource != 0;
    return false;
}
