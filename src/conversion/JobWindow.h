#pragma once
// The job-window family: what every job window (converters, ripper, splitter,
// joiner, disc makers) carries on its own controls and its own job control.
// Three pages under tabs, the destination and file-name choices with their
// set-as-default links, output names, sub-folders and tag texts, the encoder
// settings handed to the job control, the queue of items with its progress,
// time-left clock, overwrite question and log, and the end-of-job actions.
//
// A window derives from JobWindow, describes itself in a JobWindowDesign,
// adds its own controls to ToolSettingsArea / ToolEventsArea, and hands the
// family its job control through SetJobControl (an adapter such as
// AudioConverterJob). Windows whose run is not an item queue (joiner,
// splitter) start their own run after PrepareJob, and use the pages,
// destination, tags, overwrite question and end-of-job parts.
#include "controls/audio/AudioConverter.h"
#include "core/Form.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class LinkLabel;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;
class XP_ProgressBar;
class cGrid;
class cImageList;
class cStatusBar;
class cTabControl;

// The seven tag texts of one output, in the order they are handed over.
struct JobTags {
    QString album, artist, comment, genre, title, track, year;
};

// What the family asks of a window's job control.
class JobControl {
public:
    virtual ~JobControl() = default;
    // Once per job: the format code (1 WAV ... 6 APE), then its settings.
    virtual void SetDestinationFormat(std::int32_t code) = 0;
    virtual void SetWAVFormat(const WAVFormatSettings& settings) = 0;
    virtual void SetACMFormat(const QString& FormatTagName, const QString& FormatName) = 0;
    virtual void SetMP3Format(const MP3FormatSettings& settings) = 0;
    virtual void SetWMAFormat(const WMAFormatSettings& settings) = 0;
    virtual void SetOGGFormat(const OGGFormatSettings& settings) = 0;
    virtual void SetAPEFormat(std::int32_t CompressionLevel) = 0;
    // Per item, in this order: tags, source, range, destination, start.
    virtual void SetTags(const JobTags& tags) = 0;
    virtual void SetSource(std::int32_t row, const QString& file) = 0;
    virtual void SetRange(std::int32_t start, std::int32_t length) = 0;
    virtual void SetWholeSource() = 0;
    virtual void SetDestinationFile(const QString& path) = 0;
    virtual void Start() = 0;
    virtual void Abort() = 0;
    // Once, when the window unloads.
    virtual void Terminate() = 0;
};

// A control that writes through AudioOutput as a job control: the format and
// its settings, the tags, the range and the destination file go to its output
// settings; the source and the start are each control's own.
class AudioOutputJob : public JobControl {
public:
    explicit AudioOutputJob(AudioOutput& output) : m_out(output) {}
    void SetDestinationFormat(std::int32_t code) override { m_out.SetDestinationFormat(code); }
    void SetWAVFormat(const WAVFormatSettings& settings) override { m_out.SetWAVFormat(settings); }
    void SetACMFormat(const QString& tag, const QString& format) override { m_out.SetACMFormat(tag, format); }
    void SetMP3Format(const MP3FormatSettings& settings) override { m_out.SetMP3Format(settings); }
    void SetWMAFormat(const WMAFormatSettings& settings) override { m_out.SetWMAFormat(settings); }
    void SetOGGFormat(const OGGFormatSettings& settings) override { m_out.SetOGGFormat(settings); }
    void SetAPEFormat(std::int32_t level) override { m_out.SetAPEFormat(level); }
    void SetTags(const JobTags& tags) override;
    void SetRange(std::int32_t start, std::int32_t length) override;
    void SetDestinationFile(const QString& path) override { m_out.SetDestinationFile(path); }

private:
    AudioOutput& m_out;
};

// The conversion control as a job control: the source is the row's file.
class AudioConverterJob : public AudioOutputJob {
public:
    explicit AudioConverterJob(cAudioConverter& control) : AudioOutputJob(control), m_c(control) {}
    void SetSource(std::int32_t row, const QString& file) override { m_c.SetSourceFile(file); }
    // Setting the source again makes the control forget any earlier range.
    void SetWholeSource() override { m_c.SetSourceFile(m_c.SourceFile()); }
    void Start() override { m_c.Convert(); }
    void Abort() override { m_c.Abort(); }
    void Terminate() override { m_c.Terminate(); }

private:
    cAudioConverter& m_c;
};

// The encoder settings records built from the program's format settings.
WAVFormatSettings WAVFormatFromSettings();
ACMFormatSettings ACMFormatFromSettings();
MP3FormatSettings MP3FormatFromSettings();
WMAFormatSettings WMAFormatFromSettings();
OGGFormatSettings OGGFormatFromSettings();
APEFormatSettings APEFormatFromSettings();
// "Destination format: WAV" ... "Destination format: APE" for codes 1 to 6.
QString DestinationFormatLogLine(std::int32_t code);
// Hands the format code and that format's settings to the control.
void HandOverDestinationFormat(JobControl& control, std::int32_t code);

// What a row gives the long tag placeholders.
struct TagRowTexts {
    QString sourceName, itemName, range; // [SOURCE_NAME], [ITEM_NAME], [RANGE]
};
// A tag text with its placeholders filled in, each in this order: [DATE],
// [TIME], [TRACK_NUM] (`track`), [PROG_NAME], [PROG_VERSION], with `row` the
// three long ones, and [YEAR]. Any other text stays as written.
QString FillTagPlaceholders(QString text, std::int32_t track, const TagRowTexts* row = nullptr);
// A file name from a pattern: each macro, in the order given, replaced by its
// value, which cannot reach another folder ("/" becomes "-"); a folder part
// that the values turned into "." or ".." gets dashes for its dots.
QString ExpandNameMacros(const QString& pattern, const std::vector<std::pair<QString, QString>>& macros);

// A setting flag as a check-box value: 1 when set, else 0.
int BoolToCheckValue(bool flag);
// A job window's grid: the columns of the items row, showing the seven
// visible ones. Icons from `images`, by default the main window's imgMenu
// (the ripper passes imgGrid).
void SetupJobGrid(cGrid* grid, cImageList* images = nullptr);
// The tray balloon of a job window: the text under the product name and version.
void ShowJobBalloon(const QString& text);

// The end-of-job boxes of the Events page.
enum class EventBox { PlaySound, OpenDestFolder, NoticeApp, TurnOffComputer };

// How one member of the family differs from the others.
struct JobWindowDesign {
    QString formName;               // "g_frmConverter"
    QString caption;                // window caption and title strip
    QString iconName = "replace2";  // the window's icon resource
    QString firstTabCaption;        // the Settings tab's caption
    int firstTabIcon = 7;
    QString startCaption = "Convert";
    QString jobVerb = "convert";    // "Preparing to convert: ", "Start to convert: "
    QString playSoundCaption = "Play a sound";
    QString noticeAppCaption = "Execute external program ";
    // The end-of-job boxes from the top of the Events page down.
    std::vector<EventBox> eventBoxOrder{EventBox::PlaySound, EventBox::OpenDestFolder, EventBox::NoticeApp,
                                        EventBox::TurnOffComputer};
    bool destinationFormats = true; // the format list, its Edit button and its link
    bool fileNamePatterns = true;   // the pattern list with its links
    bool longTagPlaceholders = true; // [SOURCE_NAME], [ITEM_NAME] and [RANGE] in tag texts
    bool hourglass = true;          // the pointer shows the hourglass while an item starts
    bool gridIconsInJobGrid = false; // the job grid takes the main window's grid icons (imgGrid), not imgMenu
    bool overwriteBox = true;       // without it, an existing output is always asked about
    bool timeLeft = true;           // the time-left label
    // The destination row with its history, sub-folder and overwrite box;
    // without it the window writes into a folder of its own (OutputFolder())
    // under plain file names (no folder parts), and its outputs there are
    // never asked about unless ownFolderAsks.
    bool destinationFolder = true;
    bool ownFolderAsks = false;     // without the destination row, an existing output is still asked about
    // The set-as-default links, and the saved default pattern selected at load
    // (without them the first pattern is selected and Edit saves nothing).
    bool savedDefaults = true;
    bool itemDoneLine = true;       // "Done." logged and shown after each item
    bool linkToolTips = false;      // "Open destination folder" and "Parameters" show their captions as tool tips
    bool startLineInStatus = false; // the status label shows the whole "Start to ..." line, not only the file name
};

// The moments of a run at which a job window writes its caption.
enum class CaptionMoment { Progress, ItemAborted, RunDone, RunCancelled };

class JobWindow : public Form {
    Q_OBJECT
public:
    explicit JobWindow(const JobWindowDesign& design);
    ~JobWindow() override;

    // ---- Controls ----
    QFrame* picTitle;
    QLabel* lblTitle;
    cTabControl* cTabControl1;
    QFrame* TabSettings;
    QFrame* TabEvents;
    QFrame* TabLog;
    cGrid* cGrid1; // the job's items; never shown
    QLabel* lblCurrentTrack;
    QLabel* lblFilesToConvert;
    QLabel* lblTimeLeft;
    XP_ProgressBar* prgCurrnet;
    XP_ProgressBar* prgTotal;
    QPushButton* cmdConvert; // enabled: idle; disabled: a job runs
    QPushButton* cmdAbort;
    QPushButton* cmdExit;
    cStatusBar* cStatusBar1;
    QTimer* Timer1;
    // Settings page
    QLabel* Label5;
    QComboBox* cboTargetFormat;
    QPushButton* cmdEditTargetFormat;
    LinkLabel* lblSetAsDefaultFormat;
    QLabel* Label4;
    QComboBox* txtToPath;
    QPushButton* cmdSelectPath;
    LinkLabel* lblSetAsDefaultDestination;
    LinkLabel* lblOpenDestinationDestinationFolder;
    QLabel* Label21;
    QComboBox* cboFileName;
    LinkLabel* lblSetAsDefaultFileName;
    LinkLabel* lblParameters;
    QCheckBox* chkCreateSubFolder;
    QLineEdit* txtUndeForlder;
    QCheckBox* chkOverWrite;
    // Events page
    QLabel* Label20;
    QCheckBox* chkPlaySound;
    QCheckBox* chkOpenDestFolder;
    QCheckBox* chkNoticeApp;
    QCheckBox* chkTurnOffComputer;
    LinkLabel* lblEventsSettings;
    // Log page
    QPlainTextEdit* txtLog;

    // ---- Run state ----
    std::int32_t g_ltmrItemSecsTotal = 0; // the job's total seconds, set by the opener
    std::int32_t g_lCurRow = 0;           // the row being worked
    bool g_bConvertError = false;         // an item of this run failed
    std::int32_t g_ltmrItemSecs = 0;      // length of the current item
    std::int32_t g_ltmrCurItemSecs = 0;   // seconds of it done
    std::int32_t g_ltmrUpToItemSecs = 0;  // seconds of the items finished in this run
    std::int32_t g_ltmrSces = 0;          // ticks of the time-left clock in this run

    // ---- The job ----
    virtual void cmdConvert_Click();
    // Runs the queue from g_lCurRow; returns as soon as an item is started.
    void ConvertTracks();
    // Prepares the row and starts it: 0 started, 1 skipped, 2 cancel the run.
    std::int32_t ConvertTask(std::int32_t& row);
    // Asks, then stops the running job.
    void cmdAbort_Click();
    // A running job stops as a confirmed Abort stops it.
    void AbortForExit() override;
    void Timer1_Timer();
    // The end-of-job actions; the external program is told about `madeFile`,
    // the file the job made (a disc job: the last file it wrote on the disc).
    void DoEndEvents(const QString& madeFile);
    // The job control's events.
    virtual void JobProgress(std::int32_t percent);
    virtual void JobDone();
    virtual void JobError(std::int32_t code, const QString& description);
    virtual void JobAborted();

    // ---- Names, sub-folder, tags, destination ----
    QString BuildDestFileName(std::int32_t& row);
    QString GetSubFolder() const;
    virtual void SetID3Tags(std::int32_t& row);
    QString CreateID3TagsString(QString text) const;
    virtual void SetDestination();
    void CheckUnderFolderEna();

    // ---- Pages and links ----
    void cTabControl1_TabClick(int tabIndex);
    void HideTabPages();
    void LoadFileNameFormats();
    void cboTargetFormat_Click();
    void lblSetAsDefaultFormat_Click();
    void cmdEditTargetFormat_Click();
    void txtToPath_Click();
    void lblSetAsDefaultDestination_Click();
    void cmdSelectPath_Click();
    void lblOpenDestinationDestinationFolder_Click();
    void cboFileName_Click();
    void lblSetAsDefaultFileName_Click();
    void lblParameters_Click();
    void lblEventsSettings_Click();
    void cmdExit_Click();

protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

    // The window's job control; the family never owns it.
    void SetJobControl(JobControl* control) { m_job = control; }
    JobControl* Job() const { return m_job; }
    const JobWindowDesign& Design() const { return m_design; }

    // Hooks for the members that differ.
    // Load: the tool's own set-up, after the status panels.
    virtual void LoadToolSettings() {}
    // Start: the tool's own step just before the queue runs.
    virtual void BeforeQueue() {}
    // Whether the queue works on the row (the ripper takes only marked rows).
    virtual bool RowInJob(std::int32_t row) const { return true; }
    // "[dest_extension]" of the row: the format text before " -", lower-cased;
    // nothing when there is no " -" (the macro then stays).
    virtual std::optional<QString> DestinationExtension(std::int32_t row) const;
    // The folder the outputs are written to, ending in "/".
    virtual QString OutputFolder() const;
    // Start: the tool's own checks after the preparing line; true when the
    // job cannot start (the tool has logged and said why).
    virtual bool StartChecksFailed() { return false; }
    // How a run ends: out of rows, or cancelled at the overwrite question.
    virtual void EndRunDone();
    virtual void EndRunCancelled();
    // The caption at a moment of the run; the converter shows `text`.
    virtual void ShowInCaption(CaptionMoment moment, const QString& text);
    // An item's error in the label and caption.
    virtual void ShowItemError(const QString& text);
    // Start: a tool's own settings that cannot make a job (with the user told why).
    virtual bool ToolSettingsRefused() { return false; }
    // The tool's own settings locked while a job runs.
    virtual void LockToolSettings(bool locked) {}
    // End of job: the tool's own action, after the external program and
    // before the shutdown countdown.
    virtual void ToolEndEvents() {}
    // End of job, "Open the destination folder": the folder the job wrote to
    // (the disc windows open the disc's root).
    virtual void OpenEndFolder();
    // Whether the end of this job starts the shutdown countdown.
    bool TurnOffFollows() const;

    // The start's common steps, in this order: the refusals, an empty line in
    // the log, the destination remembered, `preparingLine` logged, the
    // destination format, the sub-folder, the run's counts cleared and the
    // log shown. False when the start was refused.
    bool PrepareJob(const QString& preparingLine);
    // The question before an output at `path` is written over (not asked with
    // the overwrite box ticked, nor when `path` is one of the `sources`, which
    // the control refuses): 0 go on, 1 skip (No), 2 cancel the run.
    std::int32_t AskOverwrite(const QString& path, const QStringList& sources);
    // Counts an item of the run as made (`file`: its output) or as failed;
    // EndText and DoEndEvents read the counts.
    void CountItemMade(const QString& file);
    void CountItemFailed();
    // The output of the run's last item that ended Done; empty before any.
    QString MadeFile() const { return m_madeFile; }
    // "Done.", or how many of the run's `items` failed ("Done, with errors: 1 of 3 items failed.").
    QString EndText(std::int32_t items, const QString& noun = "items") const;
    // A window with one name template instead of the pattern list: `box`
    // stands where the list stands, with its label and "Parameters" link.
    void UseNameTemplateBox(QLineEdit* box);

    // Tool rows above the common settings, and tool boxes below the event boxes.
    QVBoxLayout* ToolSettingsArea;
    QVBoxLayout* ToolEventsArea;

    void Log(const QString& message);
    // A blank line before a new job's lines when the log holds an earlier job's.
    void StartLogSection();
    // Makes the Log tab current and shows its page.
    void ShowLogPage();
    QString CellText(std::int32_t row, const QString& columnKey) const;
    // A cell read as a whole number; 0 when it holds none.
    std::int32_t WholeNumberCell(std::int32_t row, const char* columnKey) const;
    void SetHourglass(bool on);
    // The running flag, with the job's settings locked while it runs.
    void SetRunning(bool running);
    // Whether a job runs: Abort asks and closing is refused only then.
    virtual bool JobRunning() const;
    // What a confirmed Abort does: the job control stops the job.
    virtual void AbortJob();

private:
    void BuildControls();
    void BuildSettingsPage();
    void BuildEventsPage();
    void ConnectControls();
    void PlacePages();
    void ApplySkin();
    void SetEventBoxesFromSettings();
    QCheckBox* EventBoxOf(EventBox box) const;
    void EnsureDestinationEndsWithSlash();
    bool DestinationRefused();
    // Makes the destination with its sub-folder; false, logged, when it cannot be made.
    bool CreateOutputFolder();
    std::int32_t JobItemCount() const;
    bool RowIsWholeFile(std::int32_t row) const;
    std::int32_t ItemSeconds(std::int32_t row) const;
    void WriteGeneralValue(const QString& name, const QString& text);

    JobWindowDesign m_design;
    JobControl* m_job = nullptr;
    QGridLayout* m_settingsGrid = nullptr;
    std::int32_t m_itemsDone = 0;   // items of this run that ended Done
    std::int32_t m_itemsFailed = 0; // items of this run that ended with an error
    QString m_itemFile;             // the output of the queue's item in hand
    QString m_madeFile;             // the output of the run's last item that ended Done
};
