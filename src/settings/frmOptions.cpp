#include "settings/frmOptions.h"

#include "controls/audio/AlsaDevice.h"
#include "controls/audio/Player.h"
#include "controls/widgets/PlainText.h"
#include "controls/widgets/WindowWidgets.h"
#include "core/Edition.h"
#include "core/FileSystem.h"
#include "core/LinkLabel.h"
#include "core/MainWindowServices.h"
#include "core/Paths.h"
#include "core/RunOnStart.h"
#include "core/Skin.h"
#include "core/TextFiles.h"
#include "core/WindowProcedures.h"
#include "core/mdlCommDialog.h"
#include "lists/ListImages.h"
#include "platform/AppInfo.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/VbCompat.h"
#include "settings/StoredControls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

DefaultInstance<CfrmOptions> frmOptions;

namespace {


struct PageNode {
    const char* key;
    const char* text;
    int image;
};
const PageNode kPages[] = {
    {"General", "General", 9}, {"Events", "Events", 10}, {"View", "View", 11},
    {"ID3 Tags", "Default ID3 Tags", 6}, {"Advanced", "Advanced", 59},
};

QString withSlash(QString path)
{
    if (!path.endsWith('/')) path += '/';
    return path;
}

QCheckBox* check(const QString& caption, QWidget* parent) { return new QCheckBox(caption, parent); }

QGroupBox* page(const QString& heading, QWidget* parent)
{
    auto* g = new QGroupBox(heading, parent);
    g->hide();
    return g;
}

bool ticked(const QCheckBox* box) { return CheckValue(box) == 1; }

} // namespace

std::int32_t ColorBoxValue(const QLabel* box) { return box->property("colorValue").toInt(); }

void SetColorBoxValue(QLabel* box, std::int32_t color)
{
    box->setProperty("colorValue", color);
    SetBackColor(box, ColorFromNumber(color));
}

CfrmOptions::CfrmOptions() : Form("frmOptions")
{
    setWindowTitle("Options");
    setFixedSize(660, 480);

    picTitle = new QFrame(this);
    picTitle->setGeometry(0, 0, width(), 40);
    lblTitle = widgets::PlainLabel(picTitle);
    lblTitle->setGeometry(12, 0, width() - 24, 40);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblTitle->setFont(bold);

    imgMenu = new cImageList(this);
    cTreeView1 = new cTreeView(this);
    cTreeView1->setGeometry(8, 48, 170, 372);

    cmdOk = new QPushButton("OK", this);
    cmdOk->setGeometry(width() - 200, height() - 44, 90, 30);
    cmdCancel = new QPushButton("Cancel", this);
    SetKeyButtons(cmdOk, cmdCancel);
    cmdCancel->setGeometry(width() - 100, height() - 44, 90, 30);

    BuildPages();

    connect(cmdOk, &QPushButton::clicked, this, &CfrmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &CfrmOptions::cmdCancel_Click);
    connect(cTreeView1, &cTreeView::NodeClick, this, &CfrmOptions::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::KeyUp, this, [this] { cTreeView1_NodeClick(cTreeView1->SelectedItem()); });
}

void CfrmOptions::BuildPages()
{
    // General
    froGeneral = page("General Properties:", this);
    auto* g = new QGridLayout(froGeneral);
    lblParameters = new LinkLabel("Parameters", froGeneral);
    cboFileName = new QComboBox(froGeneral);
    cboFileName->addItems(BuiltInFileNameFormats());
    cboFileName->setCurrentIndex(-1);
    cboTargetFormat = new QComboBox(froGeneral);
    cmdEditTargetFormat = new QPushButton("Edit", froGeneral);
    cmdEditTargetFormat->setToolTip("Edit Target Audio Formats");
    // The preview's output device; with none chosen the player plays on "default".
    cboDevices = new QComboBox(froGeneral);
    cboDevices->setPlaceholderText("default");
    chkGoToNextItem = check("Go to next item when done playing an item", froGeneral);
    chkClearOnExit = check("Clear the 'Items List' on exit", froGeneral);
    chkSelectTheLastItem = check("Auto select the last Item", froGeneral);
    chkAutoFreeDB = check("Open the FreeDB service automatically", froGeneral);
    lblMoreAdvancedOptions = new LinkLabel("More advanced options...", froGeneral);
    g->addWidget(widgets::PlainLabel("Default File Name Format:", froGeneral), 0, 0);
    g->addWidget(lblParameters, 0, 1, Qt::AlignRight);
    g->addWidget(cboFileName, 1, 0, 1, 2);
    g->addWidget(widgets::PlainLabel("Default Audio Format:", froGeneral), 2, 0, 1, 2);
    g->addWidget(cboTargetFormat, 3, 0);
    g->addWidget(cmdEditTargetFormat, 3, 1);
    g->addWidget(widgets::PlainLabel("Sound Output Device:", froGeneral), 4, 0, 1, 2);
    g->addWidget(cboDevices, 5, 0);
    g->addWidget(chkGoToNextItem, 6, 0, 1, 2);
    g->addWidget(chkClearOnExit, 7, 0, 1, 2);
    g->addWidget(chkSelectTheLastItem, 8, 0, 1, 2);
    g->addWidget(chkAutoFreeDB, 9, 0, 1, 2);
    g->setRowStretch(10, 1);
    g->addWidget(lblMoreAdvancedOptions, 11, 0, 1, 2, Qt::AlignRight);
    g->setColumnStretch(0, 1);

    // Events
    froEvents = page("Default Events When Done:", this);
    auto* e = new QGridLayout(froEvents);
    chkPlaySound = check("Play sound", froEvents);
    txtPlayAtEnd = new QLineEdit(froEvents);
    txtPlayAtEnd->setReadOnly(true);
    cmdAddSound = new QPushButton("Add", froEvents);
    cmdTestSound = new QPushButton("Test", froEvents);
    chkNoticeApp = check("Execute external application", froEvents);
    txtAppNotice = new QPlainTextEdit(froEvents);
    txtAppNotice->setFixedHeight(70);
    lblNoticParameters = new LinkLabel("Parameters", froEvents);
    cmdTestApp = new QPushButton("Test", froEvents);
    chkOpenDestFolder = check("Open the destination folder", froEvents);
    chkTurnOffComputer = check("Turn off computer", froEvents);
    e->addWidget(chkPlaySound, 0, 0, 1, 3);
    e->addWidget(txtPlayAtEnd, 1, 0);
    e->addWidget(cmdAddSound, 1, 1);
    e->addWidget(cmdTestSound, 1, 2);
    e->addWidget(chkNoticeApp, 2, 0, 1, 3);
    e->addWidget(txtAppNotice, 3, 0, 1, 3);
    e->addWidget(lblNoticParameters, 4, 0);
    e->addWidget(cmdTestApp, 4, 2);
    e->addWidget(chkOpenDestFolder, 5, 0, 1, 3);
    e->addWidget(chkTurnOffComputer, 6, 0, 1, 3);
    e->setRowStretch(7, 1);
    e->setColumnStretch(0, 1);

    // View
    froView = page("Program View:", this);
    auto* v = new QGridLayout(froView);
    chkDisplayTitle = check("Display Title", froView);
    chkDisplayPlayer = check("Display player", froView);
    chkDisplayAudioGraph = check("Display the 'Audio Graph'", froView);
    chkDisplayGridHotTrack = check("Display grid hot track", froView);
    chkDisplayGridLine = check("Display grid lines", froView);
    chkMenuXPStyle = check("Advanced menus style", froView);
    picColor = widgets::PlainLabel(froView);
    picTextColor = widgets::PlainLabel(froView);
    for (QLabel* box : {picColor, picTextColor}) {
        box->setFixedSize(60, 24);
        box->setFrameShape(QFrame::Box);
        box->setCursor(Qt::PointingHandCursor);
        box->installEventFilter(this);
        SetColorBoxValue(box, 0);
    }
    v->addWidget(chkDisplayTitle, 0, 0);
    v->addWidget(chkDisplayPlayer, 1, 0);
    v->addWidget(chkDisplayAudioGraph, 2, 0);
    v->addWidget(chkDisplayGridHotTrack, 0, 1);
    v->addWidget(chkDisplayGridLine, 1, 1);
    v->addWidget(chkMenuXPStyle, 2, 1);
    v->addWidget(widgets::PlainLabel("Application Color", froView), 3, 0);
    v->addWidget(widgets::PlainLabel("Text Color", froView), 3, 1);
    v->addWidget(picColor, 4, 0);
    v->addWidget(picTextColor, 4, 1);
    v->setRowStretch(5, 1);

    // ID3 Tags
    froTags = page("Default ID3 Tags:", this);
    auto* t = new QGridLayout(froTags);
    chkCopyID3FromSource = check("Copy the ID3 tags from source file", froTags);
    lblID3TagParameters = new LinkLabel("Parameters", froTags);
    auto field = [this](const QString& caption, QLabel*& label, QLineEdit*& box) {
        label = widgets::PlainLabel(caption, froTags);
        box = new QLineEdit(froTags);
    };
    field("Artist:", lblTagArtist, txtTagArtist);
    field("Song:", lblTagSong, txtTagSong);
    field("Album:", lblTagAlbum, txtTagAlbum);
    field("Genre:", lblTagGenre, txtTagGenre);
    field("Track:", lblTagTrack, txtTagTrack);
    field("Year:", lblTagYear, txtTagYear);
    field("Comment:", lblTagComment, txtTagComment);
    t->addWidget(chkCopyID3FromSource, 0, 0, 1, 3);
    t->addWidget(lblID3TagParameters, 0, 3, Qt::AlignRight);
    t->addWidget(lblTagArtist, 1, 0);
    t->addWidget(txtTagArtist, 1, 1, 1, 3);
    t->addWidget(lblTagSong, 2, 0);
    t->addWidget(txtTagSong, 2, 1);
    t->addWidget(lblTagAlbum, 2, 2);
    t->addWidget(txtTagAlbum, 2, 3);
    t->addWidget(lblTagGenre, 3, 0);
    t->addWidget(txtTagGenre, 3, 1);
    t->addWidget(lblTagTrack, 3, 2);
    t->addWidget(txtTagTrack, 3, 3);
    t->addWidget(lblTagYear, 4, 0);
    t->addWidget(txtTagYear, 4, 1);
    t->addWidget(lblTagComment, 5, 0);
    t->addWidget(txtTagComment, 5, 1, 1, 3);
    t->setRowStretch(6, 1);
    t->setColumnStretch(1, 1);
    t->setColumnStretch(3, 1);

    // Advanced
    froAdvanced = page("Advanced Properties:", this);
    auto* a = new QGridLayout(froAdvanced);
    lblOpenDestinationDestinationFolder = new LinkLabel("Open destination folder", froAdvanced);
    txtToPath = new QComboBox(froAdvanced);
    txtToPath->setEditable(true);
    txtToPath->setInsertPolicy(QComboBox::NoInsert);
    cmdSelectPath = new QPushButton("...", froAdvanced);
    cmdSelectPath->setToolTip("Select a new directory");
    cmdSelectPath->setMaximumWidth(cmdSelectPath->minimumSizeHint().width());
    chkDisplayMSGWhenErase = check("Display a confirmation message when erasing an item", froAdvanced);
    chkDisplayMSGWhenExit = check("Display a confirmation message when exiting the program", froAdvanced);
    chkSaveLogWhenExit = check("Save the 'Log' to a text file when exiting the program", froAdvanced);
    chkRunWhenWinStarts = check("Run this program when windows is started", froAdvanced);
    chkAutoUpdate = check("Auto check for new updates", froAdvanced);
    chkDisplayLiveUpdateWindow = check("Display the Live Update window", froAdvanced);
    chkAutoUpdate->hide();
    chkDisplayLiveUpdateWindow->hide();
    a->addWidget(widgets::PlainLabel("Items List Main Directory:", froAdvanced), 0, 0);
    a->addWidget(lblOpenDestinationDestinationFolder, 0, 1, Qt::AlignRight);
    a->addWidget(txtToPath, 1, 0);
    a->addWidget(cmdSelectPath, 1, 1);
    a->addWidget(chkDisplayMSGWhenErase, 2, 0, 1, 2);
    a->addWidget(chkDisplayMSGWhenExit, 3, 0, 1, 2);
    a->addWidget(chkSaveLogWhenExit, 4, 0, 1, 2);
    a->addWidget(chkRunWhenWinStarts, 5, 0, 1, 2);
    a->setRowStretch(6, 1);
    a->setColumnStretch(0, 1);

    // Each stored control is named after the registry value that holds it.
#define NAME_CONTROL(w) (w)->setObjectName(QStringLiteral(#w))
    NAME_CONTROL(cboDevices);
    NAME_CONTROL(cboTargetFormat);
    NAME_CONTROL(txtToPath);
    NAME_CONTROL(cboFileName);
    NAME_CONTROL(picColor);
    NAME_CONTROL(picTextColor);
    NAME_CONTROL(txtPlayAtEnd);
    NAME_CONTROL(txtAppNotice);
    NAME_CONTROL(chkGoToNextItem);
    NAME_CONTROL(chkClearOnExit);
    NAME_CONTROL(chkSelectTheLastItem);
    NAME_CONTROL(chkAutoFreeDB);
    NAME_CONTROL(chkPlaySound);
    NAME_CONTROL(chkNoticeApp);
    NAME_CONTROL(chkOpenDestFolder);
    NAME_CONTROL(chkTurnOffComputer);
    NAME_CONTROL(chkDisplayTitle);
    NAME_CONTROL(chkDisplayPlayer);
    NAME_CONTROL(chkDisplayAudioGraph);
    NAME_CONTROL(chkDisplayGridHotTrack);
    NAME_CONTROL(chkDisplayGridLine);
    NAME_CONTROL(chkMenuXPStyle);
    NAME_CONTROL(chkCopyID3FromSource);
    NAME_CONTROL(txtTagArtist);
    NAME_CONTROL(txtTagSong);
    NAME_CONTROL(txtTagAlbum);
    NAME_CONTROL(txtTagGenre);
    NAME_CONTROL(txtTagTrack);
    NAME_CONTROL(txtTagYear);
    NAME_CONTROL(txtTagComment);
    NAME_CONTROL(chkDisplayMSGWhenErase);
    NAME_CONTROL(chkDisplayMSGWhenExit);
    NAME_CONTROL(chkSaveLogWhenExit);
    NAME_CONTROL(chkRunWhenWinStarts);
    NAME_CONTROL(chkAutoUpdate);
    NAME_CONTROL(chkDisplayLiveUpdateWindow);
#undef NAME_CONTROL

    connect(chkPlaySound, &QCheckBox::stateChanged, this, &CfrmOptions::UpdatePlaySoundEnabled);
    connect(chkNoticeApp, &QCheckBox::stateChanged, this, &CfrmOptions::UpdateNoticeAppEnabled);
    connect(chkCopyID3FromSource, &QCheckBox::stateChanged, this, &CfrmOptions::UpdateTagFieldsEnabled);
    connect(cmdSelectPath, &QPushButton::clicked, this, &CfrmOptions::cmdSelectPath_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &CfrmOptions::lblOpenDestinationDestinationFolder_Click);
    connect(cmdAddSound, &QPushButton::clicked, this, &CfrmOptions::cmdAddSound_Click);
    connect(cmdTestSound, &QPushButton::clicked, this, &CfrmOptions::cmdTestSound_Click);
    connect(cmdTestApp, &QPushButton::clicked, this, &CfrmOptions::cmdTestApp_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &CfrmOptions::cmdEditTargetFormat_Click);
    connect(lblMoreAdvancedOptions, &LinkLabel::Click, this, &CfrmOptions::lblMoreAdvancedOptions_Click);
    connect(lblNoticParameters, &LinkLabel::Click, this, [this] { ShowParameters(0); });
    connect(lblID3TagParameters, &LinkLabel::Click, this, [this] { ShowParameters(1); });
    connect(lblParameters, &LinkLabel::Click, this, [this] { ShowParameters(2); });
}

bool CfrmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == picColor) picColor_Click();
        if (watched == picTextColor) picTextColor_Click();
    }
    return Form::eventFilter(watched, event);
}

void CfrmOptions::Form_Load()
{
    QList<QWidget*> panels = {froGeneral, froEvents, froView, froTags, froAdvanced};
    ApplyWindowSkin(this, picTitle, lblTitle, {froGeneral, froEvents, froView, froTags, froAdvanced});
    chkAutoFreeDB->setVisible(lAppIncCDRipper == 1);
    SetFormIcon32(this, "gears", true);

    m_reg.hkey = platform::reg::HKEY_LOCAL_MACHINE;
    m_reg.KeyRoot = "SOFTWARE\\" + g_sAppCompany + "\\" + g_sAppName;

    const int left = cTreeView1->x() + cTreeView1->width() + platform::TwipsToPixels(200);
    for (QWidget* p : panels)
        p->setGeometry(left, cTreeView1->y(), width() - left - 8, cTreeView1->height());

    LoadFileNameFormats();
    LoadPathHistory(txtToPath);
    if (txtToPath->currentText().isEmpty()) txtToPath->setEditText(platform::AppPath() + "/Main/");
    BuildOptionsTree();
    FillDestinationFormats(cboTargetFormat);
    FillDevices();
    GetOptions();
    cTreeView1_NodeClick(cTreeView1->Nodes()->Item(1));
    UpdatePlaySoundEnabled();
    UpdateNoticeAppEnabled();
    UpdateTagFieldsEnabled();
}

// The player's output devices in the player's order, so that a position in
// the list is the device number the player takes.
void CfrmOptions::FillDevices()
{
    const std::unique_ptr<cPlayer> player = CreatePlayer();
    cboDevices->clear();
    for (int i = 0; i < player->DeviceCount(); ++i) {
        const QString name = player->DeviceName(i);
        const QString description = player->DeviceDescription(i);
        cboDevices->addItem(alsa::DisplayName({name, description}), name);
        cboDevices->setItemData(i, widgets::PlainToolTip(name), Qt::ToolTipRole);
    }
    cboDevices->setCurrentIndex(-1);
}

// The device is stored by its name. Older settings stored its position in
// the list of that time: read once, and stored again as the name it meant.
// "default" and a device that is gone leave none chosen: the player plays on "default".
void CfrmOptions::SelectOutputDevice(const QString& stored)
{
    QString name = stored.trimmed();
    bool isPosition = false;
    const int position = name.toInt(&isPosition);
    if (isPosition) name = alsa::DeviceAtOldPosition(alsa::Direction::Playback, position);
    const int index = name.isEmpty() || name == "default" ? -1 : cboDevices->findData(name);
    if (index < 0 && !name.isEmpty() && name != "default") qWarning().noquote() << DeviceGoneLogLine(name);
    cboDevices->setCurrentIndex(index);
    g_lDevices = index;
    g_sOutputDevice = index < 0 ? QString() : name;
    if (isPosition) WriteValue("cboDevices", ChosenOutputDevice());
}

QString CfrmOptions::ChosenOutputDevice() const
{
    return cboDevices->currentIndex() < 0 ? QString("default") : cboDevices->currentData().toString();
}

void CfrmOptions::LoadFileNameFormats()
{
    const QString file = platform::AppPath() + "/FileNameFormats.txt";
    if (FileExists(file)) LoadComboFromFile(file, cboFileName);
}

void CfrmOptions::BuildOptionsTree()
{
    FillMenuImages(imgMenu);
    cTreeView1->SetImageList(imgMenu);
    bool first = true;
    for (const PageNode& p : kPages) {
        cTreeView1->Nodes()->Add(nullptr, first ? 0 : 2, p.key, p.text, p.image, -1);
        first = false;
    }
}

void CfrmOptions::HideAllPages()
{
    for (QWidget* p : {froGeneral, froEvents, froView, froTags, froAdvanced}) p->hide();
}

void CfrmOptions::cTreeView1_NodeClick(cTreeNode* node)
{
    if (!node) return;
    HideAllPages();
    const QString key = node->Key();
    QGroupBox* pages[] = {froGeneral, froEvents, froView, froTags, froAdvanced};
    for (int i = 0; i < 5; ++i)
        if (key == kPages[i].key) pages[i]->show();
    node->SetSelected(true);
    lblTitle->setText(node->Text());
}

void CfrmOptions::lblMoreAdvancedOptions_Click() { cTreeView1_NodeClick(cTreeView1->Nodes()->Item("Advanced")); }

bool CfrmOptions::IsFormLoaded(const QString& formName) const
{
    for (Form* f : Form::Forms())
        if (f->Name() == formName) return true;
    return false;
}

// ---------------------------------------------------------------- enabling rules

void CfrmOptions::UpdatePlaySoundEnabled()
{
    const bool on = ticked(chkPlaySound);
    for (QWidget* w : {static_cast<QWidget*>(txtPlayAtEnd), static_cast<QWidget*>(cmdAddSound),
                       static_cast<QWidget*>(cmdTestSound)})
        w->setEnabled(on);
}

void CfrmOptions::UpdateNoticeAppEnabled()
{
    const bool on = ticked(chkNoticeApp);
    txtAppNotice->setEnabled(on);
    cmdTestApp->setEnabled(on);
}

void CfrmOptions::UpdateTagFieldsEnabled()
{
    const bool fromSource = ticked(chkCopyID3FromSource);
    for (QWidget* w : std::initializer_list<QWidget*>{lblTagArtist, lblTagSong, lblTagAlbum, lblTagGenre, lblTagTrack,
                                                      lblTagYear, lblTagComment, txtTagArtist, txtTagSong, txtTagAlbum,
                                                      txtTagGenre, txtTagTrack, txtTagYear, txtTagComment})
        w->setEnabled(!fromSource);
}

// ---------------------------------------------------------------- load and save

void CfrmOptions::LoadCheck(QCheckBox* box, bool& setting)
{
    ApplyCheck(box, m_reg.GetRegistryValue(box->objectName()));
    setting = CheckValue(box) != 0;
}

void CfrmOptions::SetPlayAtEnd(const QString& path)
{
    txtPlayAtEnd->setProperty("tag", path);
    txtPlayAtEnd->setText(GetFileName(path));
    widgets::SetPlainToolTip(txtPlayAtEnd, path);
}

QString CfrmOptions::PlayAtEndPath() const { return txtPlayAtEnd->property("tag").toString(); }

void CfrmOptions::WriteValue(const QString& name, const QString& text)
{
    m_reg.SetRegistryValue(name, text, platform::reg::REG_SZ);
}

void CfrmOptions::GetOptions()
{
    auto read = [this](const QString& name) { return m_reg.GetRegistryValue(name); };
    auto text = [&](const QString& name) { return read(name).toString(); };

    m_reg.Subkey = "General";
    SelectOutputDevice(text("cboDevices"));
    if (!text("cboTargetFormat").isEmpty()) {
        ApplyItemText(cboTargetFormat, read("cboTargetFormat"));
        g_sTargetFormat = ItemTextOf(cboTargetFormat);
    }
    txtToPath->setEditText(text("txtToPath"));
    LoadCheck(chkSelectTheLastItem, g_bSelectTheLastItem);
    LoadCheck(chkAutoFreeDB, g_bAutoFreeDB);
    if (txtToPath->currentText().isEmpty()) {
        const QString mainFolder = platform::AppPath() + "/Main/";
        txtToPath->setEditText(mainFolder);
        if (!QDir(mainFolder).exists()) CreateFolderPath(mainFolder);
        // An installed program's lists lie hidden among its data files: the
        // path history, whose first entry is every job's destination, leaves them out.
        if (!IsInstalledProgram()) RememberPath(txtToPath);
    }
    g_sToPath = txtToPath->currentText();
    ApplyItemText(cboFileName, read("cboFileName"));
    g_sFileName = ItemTextOf(cboFileName);
    LoadCheck(chkSaveLogWhenExit, g_bSaveLogWhenExit);
    LoadCheck(chkDisplayMSGWhenExit, g_bDisplayMSGWhenExit);
    LoadCheck(chkDisplayMSGWhenErase, g_bDisplayMSGWhenErase);
    LoadCheck(chkGoToNextItem, g_bGoToNextItem);
    LoadCheck(chkDisplayPlayer, g_bDisplayPlayer);
    LoadCheck(chkClearOnExit, g_bClearOnExit);
    LoadCheck(chkDisplayAudioGraph, g_bDisplayAudioGraph);
    LoadCheck(chkMenuXPStyle, g_bMenuXPStyle);
    LoadCheck(chkDisplayGridHotTrack, g_bDisplayGridHotTrack);
    LoadCheck(chkDisplayTitle, g_bDisplayTitle);
    LoadCheck(chkDisplayGridLine, g_bDisplayGridLine);
    for (auto [box, setting] : {std::pair{picColor, &g_lColor}, std::pair{picTextColor, &g_lTextColor}}) {
        bool ok = true;
        const QString stored = text(box->objectName());
        const std::int32_t value = stored.isEmpty() ? 0 : std::int32_t(stored.trimmed().toLongLong(&ok));
        if (ok) SetColorBoxValue(box, value);
        *setting = ColorBoxValue(box);
    }
    SetBackColor(picTitle, ColorFromNumber(ColorBoxValue(picColor)));
    SetForeColor(lblTitle, ColorFromNumber(g_lTextColor));
    SetCheckValue(chkRunWhenWinStarts, IsRunOnStart() ? 1 : 0);
    LoadCheck(chkDisplayLiveUpdateWindow, g_bDisplayLiveUpdateWindow);
    LoadCheck(chkAutoUpdate, g_bAutoUpdate);

    m_reg.Subkey = "Events";
    LoadCheck(chkOpenDestFolder, g_bOpenDestFolder);
    LoadCheck(chkTurnOffComputer, g_bTurnOffComputer);
    LoadCheck(chkPlaySound, g_bPlaySound);
    SetPlayAtEnd(text("txtPlayAtEnd"));
    if (txtPlayAtEnd->text().isEmpty()) SetPlayAtEnd(platform::AppPath() + "/sound/notify.wav");
    g_sPlayAtEnd = PlayAtEndPath();
    LoadCheck(chkNoticeApp, g_bNoticeApp);
    txtAppNotice->setPlainText(text("txtAppNotice"));
    g_sAppNotice = txtAppNotice->toPlainText();

    m_reg.Subkey = "ID3 Tags";
    ApplyCheck(chkCopyID3FromSource, text("chkCopyID3FromSource").isEmpty() ? QVariant("1")
                                                                              : read("chkCopyID3FromSource"));
    g_bCopyID3FromSource = CheckValue(chkCopyID3FromSource) != 0;
    const std::pair<QLineEdit*, QString*> tags[] = {
        {txtTagArtist, &g_sTagArtist}, {txtTagSong, &g_sTagSong},   {txtTagAlbum, &g_sTagAlbum},
        {txtTagTrack, &g_sTagTrack},   {txtTagGenre, &g_sTagGenre}, {txtTagYear, &g_sTagYear},
        {txtTagComment, &g_sTagComment},
    };
    for (auto [box, setting] : tags) {
        box->setText(text(box->objectName()));
        *setting = box->text();
    }
}

void CfrmOptions::cmdOk_Click()
{
    m_reg.Subkey = "General";
    for (QCheckBox* box : {chkClearOnExit, chkDisplayAudioGraph, chkMenuXPStyle, chkSelectTheLastItem, chkAutoFreeDB,
                           chkDisplayPlayer, chkDisplayGridHotTrack, chkDisplayTitle, chkDisplayGridLine})
        WriteValue(box->objectName(), CheckOf(box));
    WriteValue("picColor", QString::number(ColorBoxValue(picColor)));
    WriteValue("picTextColor", QString::number(ColorBoxValue(picTextColor)));
    WriteValue("cboDevices", ChosenOutputDevice());
    WriteValue("cboTargetFormat", ItemTextOf(cboTargetFormat));

    const bool folderChanged = txtToPath->currentText() != g_sToPath;
    g_sToPath = txtToPath->currentText();
    if (MainWindowServices* main = MainWindow(); folderChanged && main) main->ListsFolderChanged();

    WriteValue("txtToPath", txtToPath->currentText());
    WriteValue("cboFileName", ItemTextOf(cboFileName));
    SetRunOnStart(ticked(chkRunWhenWinStarts));
    for (QCheckBox* box : {chkSaveLogWhenExit, chkDisplayMSGWhenExit, chkDisplayMSGWhenErase, chkGoToNextItem,
                           chkDisplayLiveUpdateWindow, chkAutoUpdate})
        WriteValue(box->objectName(), CheckOf(box));

    m_reg.Subkey = "Events";
    WriteValue("chkOpenDestFolder", CheckOf(chkOpenDestFolder));
    WriteValue("chkTurnOffComputer", CheckOf(chkTurnOffComputer));
    WriteValue("chkPlaySound", CheckOf(chkPlaySound));
    WriteValue("txtPlayAtEnd", PlayAtEndPath());
    WriteValue("chkNoticeApp", CheckOf(chkNoticeApp));
    WriteValue("txtAppNotice", txtAppNotice->toPlainText());

    m_reg.Subkey = "ID3 Tags";
    WriteValue("chkCopyID3FromSource", CheckOf(chkCopyID3FromSource));
    for (QLineEdit* box :
         {txtTagArtist, txtTagSong, txtTagAlbum, txtTagGenre, txtTagTrack, txtTagYear, txtTagComment})
        WriteValue(box->objectName(), box->text());

    GetOptions();
    g_sToPath = txtToPath->currentText();
    if (MainWindowServices* main = MainWindow()) main->ApplyViewOptions();
    close();
}

void CfrmOptions::cmdCancel_Click()
{
    GetOptions();
    close();
}

// ---------------------------------------------------------------- pickers

void CfrmOptions::picColor_Click()
{
    PickColor(picColor, [this](std::int32_t color) {
        SetBackColor(picTitle, ColorFromNumber(color));
        if (MainWindowServices* main = MainWindow()) main->SetTitleBackColor(color);
    });
}

void CfrmOptions::picTextColor_Click()
{
    PickColor(picTextColor, [this](std::int32_t color) {
        SetForeColor(lblTitle, ColorFromNumber(color));
        if (MainWindowServices* main = MainWindow()) main->SetTitleTextColor(color);
    });
}

// A picked colour goes into its box and the Display section at once; the
// settings follow only when OK saves the dialog.
void CfrmOptions::PickColor(QLabel* box, const std::function<void(std::int32_t)>& apply)
{
    ColorDialogResult result = ShowColor(this, false);
    if (result.lColor == -1) return;
    SetColorBoxValue(box, result.lColor);
    m_reg.Subkey = "Display";
    WriteValue(box->objectName(), QString::number(result.lColor));
    apply(result.lColor);
}

void CfrmOptions::cmdSelectPath_Click()
{
    QString folder = BrowseForFolder("Select a new directory", txtToPath->currentText(), this, true, true, true, false);
    if (folder.isEmpty()) return;
    txtToPath->setEditText(withSlash(folder));
    RememberPath(txtToPath);
}

void CfrmOptions::lblOpenDestinationDestinationFolder_Click()
{
    if (!txtToPath->currentText().endsWith('/')) txtToPath->setEditText(txtToPath->currentText() + "/");
    const QString path = txtToPath->currentText();
    if (!QDir(path).exists()) {
        const int answer = platform::MsgBox("The folder " + path + " does not exist." + QString(44, ' ') +
                                                "\r\n\r\nWould you like to create it?",
                                            platform::vbInformation | platform::vbYesNo);
        if (answer != platform::vbYes) return;
        if (CreateFolderPath(path) != 0) {
            platform::MsgBox("The path: " + path + " cannot be created.", platform::vbOKOnly);
        } else {
            RememberPath(txtToPath);
        }
    }
    OpenDocument(this, path);
}

void CfrmOptions::cmdAddSound_Click()
{
    g_OFN.Flags = 0;
    g_OFN.lpstrFilter = QString("media files (*.wav; *.mp3)") + QChar(0) + "*.wav; *.mp3" + QChar(0) + "mp3 (*.mp3)" +
                        QChar(0) + "*.mp3" + QChar(0) + "wav (*.wav)" + QChar(0) + "*.wav" + QChar(0);
    g_OFN.lpstrTitle = "Select files";
    FileDialogResult result = ShowOpen(this, true);
    if (result.bCancelled || result.asFiles.size() < 2) return;
    SetPlayAtEnd(withSlash(result.sFolder) + result.asFiles[1]);
}

void CfrmOptions::cmdTestSound_Click() { platform::Sounds().PlayAsync(PlayAtEndPath()); }

void CfrmOptions::cmdTestApp_Click() { platform::Shell().StartProgram(txtAppNotice->toPlainText(), QString()); }

void CfrmOptions::cmdEditTargetFormat_Click()
{
    ShowAudioFormatPage(cboTargetFormat->currentText());
}

void CfrmOptions::ShowParameters(int section) { ShowProgParameters(section); }

void ShowOptionsPage(const QString& key)
{
    CfrmOptions* options = frmOptions.get();
    cTreeNode* node = options->cTreeView1->Nodes()->Item(key);
    if (node) node->SetSelected(true);
    options->cTreeView1_NodeClick(node);
    options->ShowModal();
}

// ---------------------------------------------------------------- closing

void CfrmOptions::Form_Unload(int& Cancel)
{
    platform::Sounds().Stop();
    // Closing only hides the dialog; it unloads when the program exits.
    if (!g_bExitApp) {
        Cancel = 1;
        Hide();
    }
}

void CfrmOptions::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    cmdOk->setFocus();
}
