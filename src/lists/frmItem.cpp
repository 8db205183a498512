#include "lists/frmItem.h"

#include "controls/audio/AudioConverter.h"
#include "controls/widgets/DateTimePick.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/TabControl.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/Skin.h"
#include "core/TimeSizeText.h"
#include "core/WindowProcedures.h"
#include "lists/ItemRows.h"
#include "platform/MessageBox.h"
#include "platform/VbCompat.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

DefaultInstance<CfrmItem> g_frmItem;

namespace {

const int kTitleHeight = 40;
const int kMargin = 10;
const int kButtonsArea = 50;
// The pages reach a little further left than the tab control's page area.
const int kPageLeftOverlapTwips = 50;

// A time text ("H:MM:SS", hours of a day); invalid when it is none.
QTime TimeOfText(const QString& text) { return QTime::fromString(text.trimmed(), "H:mm:ss"); }

// Sets the picker's time of day; a time that is not valid leaves it as it was.
void SetPickerTime(cDateTimePick* picker, const QTime& time)
{
    if (time.isValid()) picker->SetValue(QDateTime(picker->Value().date(), time));
}

int PickerSeconds(const cDateTimePick* picker) { return QTime(0, 0).secsTo(picker->Value().time()); }

QPushButton* newButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    return button;
}

} // namespace

CfrmItem::CfrmItem() : Form("g_frmItem"), m_converter(CreateAudioConverter())
{
    setWindowTitle("Item Properties");
    setFixedSize(500, 430);

    MakeTitleStrip(this, kTitleHeight, picTitle, lblTitle);

    cTabControl1 = new cTabControl(this);
    const int tabTop = kTitleHeight + 8;
    cTabControl1->setGeometry(kMargin, tabTop, width() - 2 * kMargin, height() - kButtonsArea - tabTop);

    // Item Information
    TabInfo = new QFrame(this);
    txtItemName = new QLineEdit(TabInfo);
    FilterFileNameKeys(txtItemName);
    lblFileName = new LinkLabel(QString(), TabInfo);
    lblFileName->setToolTip("Open file with external player");
    lblPath = new LinkLabel(QString(), TabInfo);
    lblPath->setToolTip("Open directory");
    lblPath->setWordWrap(true);
    lblFormat = widgets::PlainLabel(QString(), TabInfo);
    lblSamples = widgets::PlainLabel(QString(), TabInfo);
    lblBitrate = widgets::PlainLabel(QString(), TabInfo);
    lblChannels = widgets::PlainLabel(QString(), TabInfo);
    lblTotalSize = widgets::PlainLabel(QString(), TabInfo);
    lblTotalTime = widgets::PlainLabel(QString(), TabInfo);
    lblCreated = widgets::PlainLabel(QString(), TabInfo);
    auto* info = new QGridLayout(TabInfo);
    const std::pair<const char*, QWidget*> facts[] = {
        {"Item Name", txtItemName},   {"File Name", lblFileName},   {"Location", lblPath},
        {"Format", lblFormat},        {"Samples", lblSamples},      {"Bitrate", lblBitrate},
        {"Channels", lblChannels},    {"Total Size", lblTotalSize}, {"Total Time", lblTotalTime},
        {"Created", lblCreated},
    };
    int row = 0;
    for (const auto& [caption, field] : facts) {
        info->addWidget(widgets::PlainLabel(caption, TabInfo), row, 0);
        info->addWidget(field, row++, 1);
    }
    info->setColumnStretch(1, 1);
    info->setRowStretch(row, 1);

    // Range To Process
    TabRange = new QFrame(this);
    ptnAllFile = new QRadioButton("Process all the file range", TabRange);
    ptnAllFile->setChecked(true);
    ptnConvertByTime = new QRadioButton("Process range by time", TabRange);
    Label20 = widgets::PlainLabel("Start after:", TabRange);
    dtStartAfter = new cDateTimePick(TabRange);
    cmdGoTSoStart = newButton("<<", "Go to start", TabRange);
    Label21 = widgets::PlainLabel("Until:", TabRange);
    dtUntil = new cDateTimePick(TabRange);
    cmdGoToEnd = newButton(">>", "Go to end", TabRange);
    for (cDateTimePick* picker : {dtStartAfter, dtUntil}) picker->SetCustomFormat("HH:mm:ss");
    auto* range = new QGridLayout(TabRange);
    range->addWidget(ptnAllFile, 0, 0, 1, 3);
    range->addWidget(ptnConvertByTime, 1, 0, 1, 3);
    range->addWidget(Label20, 2, 0);
    range->addWidget(dtStartAfter, 2, 1);
    range->addWidget(cmdGoTSoStart, 2, 2);
    range->addWidget(Label21, 3, 0);
    range->addWidget(dtUntil, 3, 1);
    range->addWidget(cmdGoToEnd, 3, 2);
    range->setColumnStretch(3, 1);
    range->setRowStretch(4, 1);

    // Destination ID3 Tags
    TabTags = new QFrame(this);
    auto* tags = new QGridLayout(TabTags);
    row = 0;
    const std::pair<const char*, QLineEdit**> tagBoxes[] = {
        {"Song:", &txtTagSong}, {"Artist:", &txtTagArtist}, {"Album:", &txtTagAlbum},    {"Year:", &txtTagYear},
        {"Track:", &txtTagTrack}, {"Genre:", &txtTagGenre}, {"Comment:", &txtTagComment},
    };
    for (const auto& [caption, box] : tagBoxes) {
        *box = new QLineEdit(TabTags);
        tags->addWidget(widgets::PlainLabel(caption, TabTags), row, 0);
        tags->addWidget(*box, row++, 1);
    }
    lblDefaultID3Tags = new LinkLabel("Default ID3 Tags Options...", TabTags);
    lblID3TagParameters = new LinkLabel("Parameters", TabTags);
    auto* links = new QHBoxLayout;
    for (LinkLabel* link : {lblDefaultID3Tags, lblID3TagParameters}) {
        link->setToolTip("Parameters");
        links->addWidget(link);
    }
    links->addStretch(1);
    tags->addLayout(links, row++, 0, 1, 2);
    tags->setRowStretch(row, 1);

    // Buttons
    const int buttonsTop = height() - kMargin - 30;
    cmdBack = newButton("<<", "Previous item", this);
    cmdNext = newButton(">>", "Next item", this);
    cmdBack->setGeometry(kMargin, buttonsTop, 46, 30);
    cmdNext->setGeometry(kMargin + 50, buttonsTop, 46, 30);
    cmdOk = new QPushButton("OK", this);
    cmdApply = new QPushButton("Apply", this);
    cmdExit = new QPushButton("Exit", this);
    SetKeyButtons(cmdOk, cmdExit);
    int left = width() - kMargin - 3 * 84 + 4;
    for (QPushButton* button : {cmdOk, cmdApply, cmdExit}) {
        button->setGeometry(left, buttonsTop, 80, 30);
        left += 84;
    }

    connect(cTabControl1, &cTabControl::TabClick, this, &CfrmItem::cTabControl1_TabClick);
    connect(ptnAllFile, &QRadioButton::toggled, this, &CfrmItem::UpdateRangeControls);
    connect(ptnConvertByTime, &QRadioButton::toggled, this, &CfrmItem::UpdateRangeControls);
    connect(dtStartAfter, &cDateTimePick::Change, this, &CfrmItem::dtStartAfter_Change);
    connect(dtUntil, &cDateTimePick::Change, this, &CfrmItem::dtUntil_Change);
    connect(cmdGoTSoStart, &QPushButton::clicked, this, &CfrmItem::cmdGoTSoStart_Click);
    connect(cmdGoToEnd, &QPushButton::clicked, this, &CfrmItem::cmdGoToEnd_Click);
    connect(cmdNext, &QPushButton::clicked, this, &CfrmItem::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &CfrmItem::cmdBack_Click);
    connect(cmdOk, &QPushButton::clicked, this, &CfrmItem::cmdOk_Click);
    connect(cmdApply, &QPushButton::clicked, this, &CfrmItem::cmdApply_Click);
    connect(cmdExit, &QPushButton::clicked, this, &CfrmItem::cmdExit_Click);
    connect(lblFileName, &LinkLabel::Click, this, &CfrmItem::lblFileName_Click);
    connect(lblPath, &LinkLabel::Click, this, &CfrmItem::lblPath_Click);
    connect(lblDefaultID3Tags, &LinkLabel::Click, this, &CfrmItem::lblDefaultID3Tags_Click);
    connect(lblID3TagParameters, &LinkLabel::Click, this, &CfrmItem::lblID3TagParameters_Click);
}

CfrmItem::~CfrmItem() = default;

cGrid* CfrmItem::Grid() const
{
    MainWindowServices* main = MainWindow();
    return main ? main->cGrid1 : nullptr;
}

QString CfrmItem::Cell(int row, const char* key) const
{
    cGrid* grid = Grid();
    return grid ? cGrid::DisplayText(grid->CellText(row, key)) : QString();
}

// ---------------------------------------------------------------- loading

void CfrmItem::Form_Load()
{
    SetFormIcon32(this, "document_music", true);
    ApplyWindowSkin(this, picTitle, lblTitle, {TabInfo, TabRange, TabTags, ptnAllFile, ptnConvertByTime});

    if (MainWindowServices* main = MainWindow()) cTabControl1->SetImageList(main->imgMenu);
    cTabControl1->AddTab("Item Information", 39, -1, "Item Information");
    cTabControl1->AddTab("Range To Process", 23, -1, "Range");
    cTabControl1->AddTab("Destination ID3 Tags  ", 18, -1, "ID3 Tags");
    PlaceTabPages(cTabControl1, {TabInfo, TabRange, TabTags}, kPageLeftOverlapTwips);
    HideTabPages();
    TabInfo->setVisible(true);

    lItem = Grid() ? Grid()->SelectedRow() : 0;
    l_lGridRowNum = lItem;
    GetFileInfo();
    UpdateRangeControls();
    GetRangeOptions();
    SetIDvTags();
    UpdateNavigation();
}

void CfrmItem::LoadItem(std::int32_t& row)
{
    cGrid* grid = Grid();
    if (!grid || row < 1 || row > grid->Rows()) return;
    grid->SetSelectedRow(row);
    lItem = l_lGridRowNum = row;
    GetFileInfo();
    SetIDvTags();
    UpdateRangeControls();
    GetRangeOptions();
    UpdateNavigation();
}

void CfrmItem::UpdateNavigation()
{
    const int rows = Grid() ? Grid()->Rows() : 0;
    cmdNext->setEnabled(l_lGridRowNum < rows);
    cmdBack->setEnabled(l_lGridRowNum > 1);
}

void CfrmItem::GetFileInfo()
{
    lblTitle->setText(Cell(lItem, kColItemName));
    const QString file = Cell(l_lGridRowNum, kColFile);
    // A file that cannot be read shows what the reader reports all the same.
    m_converter->OpenSourceFile(file);
    txtItemName->setText(Cell(l_lGridRowNum, kColItemName));
    lblFileName->setText(GetFileName(file));
    lblPath->setText(GetFolderOfPath(file));
    lblFormat->setText(GetExtension(GetFileName(file)).toUpper());
    lblSamples->setText(QString::number(m_converter->SourceSampleRate()));
    lblBitrate->setText(QString::number(m_converter->SourceBitsPerSample()));
    lblChannels->setText(m_converter->SourceChannels() == 1 ? "MONO" : "STEREO");
    lblTotalSize->setText(Cell(l_lGridRowNum, kColSize));
    lblTotalTime->setText(Cell(l_lGridRowNum, kColTime));
    lblCreated->setText(Cell(l_lGridRowNum, kColCreated));
    m_converter->CloseSourceFile();
    m_converter->Terminate();
    SetPickerTime(dtStartAfter, QTime(0, 0));
    SetPickerTime(dtUntil, TimeOfText(Cell(l_lGridRowNum, kColTime)));
}

void CfrmItem::SetIDvTags()
{
    txtTagSong->setText(Cell(l_lGridRowNum, kColTagTitle));
    txtTagArtist->setText(Cell(l_lGridRowNum, kColTagArtist));
    txtTagAlbum->setText(Cell(l_lGridRowNum, kColTagAlbum));
    txtTagYear->setText(Cell(l_lGridRowNum, kColTagYear));
    txtTagTrack->setText(Cell(l_lGridRowNum, kColTagTrack));
    txtTagGenre->setText(Cell(l_lGridRowNum, kColTagGenre));
    txtTagComment->setText(Cell(l_lGridRowNum, kColTagComment));
}

void CfrmItem::GetRangeOptions()
{
    if (Cell(lItem, kColRangeAll) == "1") ptnAllFile->setChecked(true);
    const QString startText = Cell(lItem, kColRangeStart);
    if (startText.isEmpty()) return;
    ptnConvertByTime->setChecked(true);
    bool startOk = false, lengthOk = false;
    const double start = startText.trimmed().toDouble(&startOk);
    const double length = Cell(lItem, kColRangeLength).trimmed().toDouble(&lengthOk);
    if (startOk) SetPickerTime(dtStartAfter, TimeOfText(FormatSeconds(platform::CLng(start))));
    if (startOk && lengthOk) SetPickerTime(dtUntil, TimeOfText(FormatSeconds(platform::CLng(start + length))));
}

// ---------------------------------------------------------------- pages and range

void CfrmItem::HideTabPages()
{
    for (QFrame* page : {TabInfo, TabRange, TabTags}) page->setVisible(false);
}

void CfrmItem::cTabControl1_TabClick(std::int32_t)
{
    HideTabPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == "Item Information") TabInfo->setVisible(true);
    else if (key == "Range") TabRange->setVisible(true);
    else if (key == "ID3 Tags") TabTags->setVisible(true);
}

void CfrmItem::UpdateRangeControls()
{
    const bool byTime = ptnConvertByTime->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{dtStartAfter, dtUntil, cmdGoTSoStart, cmdGoToEnd, Label20, Label21})
        w->setEnabled(byTime);
}

void CfrmItem::LimitToLength(cDateTimePick* picker)
{
    const QTime length = TimeOfText(lblTotalTime->text());
    if (length.isValid() && length < picker->Value().time()) SetPickerTime(picker, length);
}

void CfrmItem::dtStartAfter_Change() { LimitToLength(dtStartAfter); }

void CfrmItem::dtUntil_Change() { LimitToLength(dtUntil); }

void CfrmItem::cmdGoTSoStart_Click() { SetPickerTime(dtStartAfter, QTime(0, 0)); }

void CfrmItem::cmdGoToEnd_Click() { SetPickerTime(dtUntil, TimeOfText(lblTotalTime->text())); }

// ---------------------------------------------------------------- saving and moving

std::int32_t CfrmItem::SaveItem()
{
    const QString name = txtItemName->text().trimmed();
    txtItemName->setText(name);
    if (name.isEmpty()) {
        platform::MsgBox("Empty Item Name." + QString(42, ' '), platform::vbInformation);
        txtItemName->setFocus();
        return -1;
    }
    if (!IsValidFileName(name)) {
        platform::MsgBox("Illegal Item Name." + QString(42, ' '), platform::vbInformation);
        txtItemName->setFocus();
        int key = '?';
        CheckFileNameKey(txtItemName, key);
        return -1;
    }
    // The range is checked before anything is written: a refused save changes nothing.
    const bool byTime = ptnConvertByTime->isChecked();
    const int start = PickerSeconds(dtStartAfter), end = PickerSeconds(dtUntil);
    if (byTime && start >= end) {
        platform::MsgBox("'Start after' field is more or an equel to the 'Until' field." + QString(9, ' '),
                         platform::vbInformation);
        return 1;
    }
    MainWindowServices* main = MainWindow();
    cGrid* grid = Grid();
    if (!main || !grid) return 0;
    const int row = l_lGridRowNum;
    grid->SetCellText(row, kColItemName, name);
    grid->SetCellText(lItem, kColRangeAll, byTime ? "0" : "1");
    grid->SetCellText(lItem, kColRangeStart, byTime ? QString::number(start) : QString());
    grid->SetCellText(lItem, kColRangeLength, byTime ? QString::number(end - start) : QString());
    grid->SetCellText(lItem, kColRange, byTime ? RangeText(start, end) : QString("All"));
    const std::pair<const char*, QLineEdit*> tags[] = {
        {kColTagTitle, txtTagSong}, {kColTagArtist, txtTagArtist}, {kColTagAlbum, txtTagAlbum},
        {kColTagYear, txtTagYear},  {kColTagTrack, txtTagTrack},   {kColTagGenre, txtTagGenre},
        {kColTagComment, txtTagComment},
    };
    // A tag changed here is the user's from now on, also when the list opens again.
    QStringList typed = TypedTagsOfRow(grid, row);
    for (const auto& [column, box] : tags) {
        if (grid->CellText(row, column).toString() == box->text()) continue;
        if (!typed.contains(QLatin1String(column))) typed.append(column);
        grid->SetCellText(row, column, box->text());
    }
    grid->SetCellText(row, kColTagTyped, TypedTagsText(typed));
    main->SaveGridToFile();
    // The range counts in the list's total time.
    main->DisplayGridInfoStatusBar();
    return 0;
}

void CfrmItem::cmdOk_Click()
{
    if (SaveItem() == 0) Unload();
}

void CfrmItem::cmdApply_Click() { SaveItem(); }

void CfrmItem::cmdExit_Click() { Unload(); }

void CfrmItem::cmdNext_Click()
{
    std::int32_t row = l_lGridRowNum + 1;
    LoadItem(row);
}

void CfrmItem::cmdBack_Click()
{
    std::int32_t row = l_lGridRowNum - 1;
    LoadItem(row);
}

// ---------------------------------------------------------------- links

void CfrmItem::lblFileName_Click()
{
    // The file opens in the desktop's player for its type, in a window of its own.
    if (cGrid* grid = Grid()) OpenDocument(this, grid->CellText(grid->SelectedRow(), kColFile).toString());
}

void CfrmItem::lblPath_Click() { OpenDocument(this, lblPath->text()); }

void CfrmItem::lblDefaultID3Tags_Click() { ShowOptionsPage("ID3 Tags"); }

void CfrmItem::lblID3TagParameters_Click() { ShowProgParameters(1); }
