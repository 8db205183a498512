// Outside text (a file's name, a tag, what a server sends) shows as it is
// typed in every window: a file named "song <b>.wav" goes through the windows
// as the user opens them, and every label and tool tip is read as Qt shows it.
#include "ToolWindowsFixture.h"

#include "conversion/JobWindow.h"
#include "conversion/frmAudioEditorProc.h"
#include "core/Form.h"
#include "core/frmTurnOff.h"
#include "lists/ItemRows.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <functional>
#include <optional>
#include <ostream>

namespace {

const QString kName = "song <b>.wav";

// What Qt shows of a text in a format: rich text loses its tags.
QString ShownText(const QString& text, Qt::TextFormat format)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich) return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// What a window shows wrongly: labels that would read their text as markup,
// labels that show other than their text, and tool tips that show the name
// other than as typed.
struct Walk {
    QStringList notPlain;
    QStringList garbled;
    bool nameShown = false;
};

Walk WalkWindow(QWidget* window)
{
    Walk walk;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    const QString at = window->objectName() + " ";
    for (QWidget* w : widgets) {
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->textFormat() != Qt::PlainText) walk.notPlain << at + label->objectName() + ": " + label->text();
            const QString shown = ShownText(label->text(), label->textFormat());
            if (shown != label->text()) walk.garbled << at + label->objectName() + " label: " + shown;
            walk.nameShown = walk.nameShown || shown.contains(kName);
        }
        // "song " starts the name: a tip that shows it shows all of it.
        const QString tip = ShownText(w->toolTip(), Qt::AutoText);
        if (tip.contains("song ") && !tip.contains(kName)) walk.garbled << at + w->objectName() + " tool tip: " + tip;
        walk.nameShown = walk.nameShown || tip.contains(kName);
    }
    return walk;
}

class PlainTexts;

struct WindowCase {
    const char* window;                     // the window's object name
    std::function<void(PlainTexts&)> open;  // how the user opens it
    // What the user does in it to bring the name in; the walk follows.
    std::function<void(PlainTexts&, QWidget*)> feed = {};
    bool showsName = false;                 // the name reaches a label or tool tip of this window
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.window; }

class PlainTexts : public ToolWindowsFixture, public ::testing::WithParamInterface<WindowCase> {
public:
    QString Song() const { return ProgramFolder() + "/" + kName; }
    // The user will pick the file in the next open dialog.
    void PickSongNext() { dialogs->ExpectOpen({Song()}); }
    // The next conversion's script.
    std::optional<FakeAudioConverter::Script> script;

protected:
    void SetUp() override
    {
        ToolWindowsFixture::SetUp();
        prepareConverter = [this](FakeAudioConverter& fake) {
            if (script) fake.QueueScript(*script);
        };
        FakeAudioConverter::File facts;
        facts.lengthMs = 60000; // long enough for the splitter's six parts
        facts.title = "title <i>x</i>";
        LoadWithOneFile(kName, facts);
        main->cGrid1->SetSelectedRow(1);
    }

    // Opens the case's window, feeds it the name and walks it while it is shown.
    Walk OpenAndWalk()
    {
        const WindowCase& c = GetParam();
        Walk walk;
        bool reached = false;
        auto walkIn = [&](QWidget* window) {
            reached = true;
            QPointer<QWidget> shown(window);
            if (c.feed) c.feed(*this, window);
            if (shown) walk = WalkWindow(shown);
            // A job the feed started runs to its end before the window closes.
            for (QPushButton* button : shown ? shown->findChildren<QPushButton*>() : QList<QPushButton*>()) {
                if (button->text() != "Exit") continue;
                EXPECT_TRUE(QTest::qWaitFor([button] { return button->isEnabled(); }));
            }
            ProcessEvents();
            if (shown) shown->close();
        };
        modal->hook = [&](QWidget* window) {
            if (window->objectName() == c.window) walkIn(window);
            else window->close();
        };
        c.open(*this);
        // A window shown beside the main window rather than over it.
        if (!reached) {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == c.window && window->isVisible()) {
                    walkIn(window);
                    break;
                }
        }
        EXPECT_TRUE(reached) << c.window;
        return walk;
    }
};

TEST_P(PlainTexts, EveryLabelAndToolTipShowsTheNameAsTyped)
{
    const Walk walk = OpenAndWalk();
    EXPECT_TRUE(walk.notPlain.isEmpty()) << walk.notPlain.join("\n").toStdString();
    EXPECT_TRUE(walk.garbled.isEmpty()) << walk.garbled.join("\n").toStdString();
    EXPECT_EQ(walk.nameShown, GetParam().showsName);
}

// The main window shows the list's rows in its grid; its labels and tips are walked as they stand.
class MainWindowTexts : public MainWindowFixture {};

TEST_F(MainWindowTexts, TheMainWindowsLabelsArePlainText)
{
    CfrmMain* main = LoadMain();
    const Walk walk = WalkWindow(main);
    EXPECT_TRUE(walk.notPlain.isEmpty()) << walk.notPlain.join("\n").toStdString();
    EXPECT_TRUE(walk.garbled.isEmpty()) << walk.garbled.join("\n").toStdString();
}

void Run(const char* key, PlainTexts& t) { t.RunKey(key); }

void ClickAndWait(QPushButton* button)
{
    button->click();
    QCoreApplication::processEvents();
}

const WindowCase kCases[] = {
    {"frmAbout", [](PlainTexts& t) { Run("About", t); }},
    // The end-of-job sound's path is the tool tip of its box.
    {"frmOptions", [](PlainTexts& t) { Run("Events", t); },
     [](PlainTexts& t, QWidget*) {
         t.PickSongNext();
         ClickAndWait(frmOptions->cmdAddSound);
     },
     true},
    {"g_frmItem", [](PlainTexts& t) { t.main->cGrid1_DblClick(1, 3); }, {}, true},
    {"g_frmDirProperties", [](PlainTexts& t) { Run("Items List Properties", t); }},
    {"g_frmMP3TagsEditor", [](PlainTexts& t) { Run("MP3 Tags Editor", t); }},
    // The status line names the file being converted.
    {"g_frmConverter", [](PlainTexts& t) { Run("Audio Converter", t); },
     [](PlainTexts&, QWidget* w) { static_cast<JobWindow*>(w)->cmdConvert_Click(); }, true},
    {"g_frmACMConverter", [](PlainTexts& t) { Run("ACM Converter", t); }},
    {"g_frmSplitter", [](PlainTexts& t) { Run("Audio Splitter", t); },
     [](PlainTexts&, QWidget* w) { static_cast<JobWindow*>(w)->cmdConvert_Click(); }, true},
    {"g_frmMicRecorder", [](PlainTexts& t) { Run("Audio Recorder", t); }},
    {"g_frmAudioEditor", [](PlainTexts& t) { Run("Audio Analyser", t); }},
    {"g_frmWaveTTS", [](PlainTexts& t) { Run("Text To Speech", t); }},
    {"g_frmTurnOff", [](PlainTexts&) { ShowTurnOff(30); }},
    {"g_frmNotes", [](PlainTexts& t) { Run("Notes", t); }},
    // An error that names the file shows in the status line and its tool tip.
    {"g_frmAudioEditorProc",
     [](PlainTexts& t) {
         FakeAudioConverter::Script error;
         error.ending = FakeAudioConverter::Ending::Error;
         error.errorText = "Cannot read " + kName;
         t.script = error;
         ConvertWithAudioEditorProc(t.Song(), t.Song() + ".ogg", "OGG - Ogg Media Format (*.ogg)");
     },
     [](PlainTexts&, QWidget* w) {
         auto* proc = static_cast<CfrmAudioEditorProc*>(w);
         EXPECT_TRUE(QTest::qWaitFor([proc] { return proc->lblCurrentTrack->text().startsWith("Cannot read"); }));
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(Windows, PlainTexts, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.window); });

} // namespace
