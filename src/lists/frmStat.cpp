#include "lists/frmStat.h"

#include "controls/AudioConverter.h"
#include "controls/WindowWidgets.h"
#include "controls/ProgressBar.h"
#include "core/Edition.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/WindowProcedures.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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
    lblStat = new QLabel("Adding", this);
    lblStat->setTextFormat(Qt::PlainText);
    cProgressBar1 = new cProgressBar(this);
    cmdCancel = new QPushButton("Cancel", this);
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
    cAudioConverter1->Terminate();
    cmdCancel_Click();
    // Closed while adding: the loop stops at the next file and unloads the window itself.
    if (m_bAdding) Cancel = 1;
}

void CfrmStat::cmdCancel_Click() { g_bCancelAdd = true; }

void CfrmStat::tmrUpdate_Timer() { lblStat->setText(g_sAddStatus); }

void CfrmStat::AddFilesToList(const QStringList& Data, cGrid* cGrid1, QWidget* frm, bool bHide)
{
    if (!cGrid1 || m_bAdding) return;
    QPointer<CfrmStat> self(this);
    QPointer<cGrid> grid(cGrid1);
    MainWindowServices* main = MainWindow();
    const bool fillsMainList = main && main->cGrid1 == cGrid1;

    if (frm) setParent(frm, windowFlags());
    Show();
    cProgressBar1->SetMin(1);
    cProgressBar1->SetMax(int(Data.size()) + 1);
    cProgressBar1->SetValue(1);

    m_bAdding = true;
    if (fillsMainList) main->SetAddingFiles(true);
    grid->SetRedraw(false);
    for (int i = 0; i < Data.size(); ++i) {
        if (g_bCancelAdd || !grid) break;
        AddOneFile(Data[i], grid, grid->Rows() + 1);
        cProgressBar1->SetValue(i + 1);
        // Once per file: repaint, the timer, and Cancel.
        QApplication::processEvents();
        if (!self) return;
    }
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

bool CfrmStat::AddOneFile(const QString& path, cGrid* grid, int row)
{
    if (IsFolder(path)) return false;
    const QFileInfo info(path);
    if ((info.exists() && info.size() == 0) || !SupportAudioFile(path)) return false;
    if (cAudioConverter1->OpenSourceFile(path) != 0) {
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
    WriteFileFacts(grid, row, path, *cAudioConverter1);
    grid->CellDetails(row, kColRange, "All");
    grid->CellDetails(row, kColRangeAll, "1");
    WriteTags(grid, row, g_bCopyID3FromSource ? TagsOfFile(*cAudioConverter1, path) : DefaultTags());
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
