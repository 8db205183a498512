// Esc and Enter in every dialog and tool window, opened as the user opens
// them: Esc closes the window as its Cancel, Exit or Close button (or its
// close box) does, Enter presses its default button and nothing else.
#include "ToolWindowsFixture.h"

#include "controls/audio/WaveRecorder.h"
#include "core/Form.h"
#include "core/frmTurnOff.h"
#include "lists/ItemRows.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <ostream>

namespace {

class DialogKeys;

struct KeyCase {
    const char* window;                      // the window's object name
    std::function<void(DialogKeys&)> open;   // how the user opens it
    const char* opener = nullptr;            // the window the user opens it from, if not the main window
    std::function<void()> openFromOpener;    // what the user does in that window
    QString enter;                           // the button Enter presses, empty for none
    QString escape;                          // the button Esc presses, empty for the close box
    std::function<void(DialogKeys&)> answerEnter = {}; // answers what the Enter button asks
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.window; }

// What a key did: the captions of the buttons it pressed, and whether the window stayed open.
struct KeyOutcome {
    QStringList pressed;
    bool open = true;
};

class DialogKeys : public ToolWindowsFixture, public ::testing::WithParamInterface<KeyCase> {
public:
    // The user will cancel the next save dialog.
    void CancelNextSave() { dialogs->ExpectSave(""); }

protected:
    void SetUp() override
    {
        ToolWindowsFixture::SetUp();
        FakeAudioConverter::File facts;
        facts.lengthMs = 2000;
        LoadWithOneFile("song.wav", facts);
    }

    // A job Enter started runs to its end (Exit comes back) before the window is looked at.
    static void WaitForJobEnd(QWidget* window)
    {
        const QList<QPushButton*> buttons = window ? window->findChildren<QPushButton*>() : QList<QPushButton*>();
        for (QPushButton* button : buttons) {
            if (button->text() != "Exit") continue;
            EXPECT_TRUE(QTest::qWaitFor([button] { return button->isEnabled(); }));
        }
        ProcessEvents();
    }
    // Opens the case's window and presses the key in it, as the user types it
    // into the widget that has the focus.
    KeyOutcome Press(Qt::Key key)
    {
        const KeyCase& c = GetParam();
        KeyOutcome outcome;
        bool reached = false;
        auto pressIn = [&](QWidget* window) {
            reached = true;
            QPointer<QWidget> shown(window);
            window->activateWindow();
            ProcessEvents();
            QObject spies;
            for (QPushButton* button : window->findChildren<QPushButton*>())
                QObject::connect(button, &QPushButton::clicked, &spies,
                                 [&outcome, text = button->text()] { outcome.pressed << text; });
            QWidget* focus = window->focusWidget();
            QTest::keyClick(focus && window->isAncestorOf(focus) ? focus : window, key);
            WaitForJobEnd(shown);
            outcome.open = shown && shown->isVisible();
        };
        modal->hook = [&](QWidget* window) {
            if (window->objectName() == c.window) {
                pressIn(window);
            } else if (c.opener && window->objectName() == c.opener) {
                c.openFromOpener();
            }
        };
        c.open(*this);
        // A window shown beside the main window rather than over it.
        if (!reached) {
            const QWidgetList windows = QApplication::topLevelWidgets();
            const auto beside = std::find_if(windows.begin(), windows.end(), [&c](QWidget* window) {
                return window->objectName() == c.window && window->isVisible();
            });
            if (beside != windows.end()) pressIn(*beside);
        }
        EXPECT_TRUE(reached) << c.window;
        return outcome;
    }
};

TEST_P(DialogKeys, EscClosesTheWindowAsItsButtonDoes)
{
    const KeyOutcome outcome = Press(Qt::Key_Escape);
    EXPECT_FALSE(outcome.open);
    const QStringList expected = GetParam().escape.isEmpty() ? QStringList() : QStringList{GetParam().escape};
    EXPECT_EQ(outcome.pressed, expected);
}

TEST_P(DialogKeys, EnterPressesTheDefaultButtonOnly)
{
    if (GetParam().answerEnter) GetParam().answerEnter(*this);
    const KeyOutcome outcome = Press(Qt::Key_Return);
    const QStringList expected = GetParam().enter.isEmpty() ? QStringList() : QStringList{GetParam().enter};
    EXPECT_EQ(outcome.pressed, expected);
}

void Run(const char* key, DialogKeys& t) { t.RunKey(key); }

const KeyCase kCases[] = {
    {"frmAbout", [](DialogKeys& t) { Run("About", t); }, nullptr, {}, "OK", "OK"},
    {"frmOptions", [](DialogKeys& t) { Run("General", t); }, nullptr, {}, "OK", "Cancel"},
    {"g_frmProgParameters", [](DialogKeys& t) { Run("General", t); }, "frmOptions",
     [] { frmOptions->ShowParameters(0); }, "OK", "OK"},
    {"g_frmAudioProp", [](DialogKeys& t) { Run("General", t); }, "frmOptions",
     [] { frmOptions->cmdEditTargetFormat_Click(); }, "OK", "Exit"},
    {"g_frmItem", [](DialogKeys& t) { t.main->cGrid1_DblClick(1, 3); }, nullptr, {}, "OK", "Exit"},
    {"g_frmDirProperties", [](DialogKeys& t) { Run("Items List Properties", t); }, nullptr, {}, "OK", "Cancel"},
    {"g_frmMP3TagsEditor", [](DialogKeys& t) { Run("MP3 Tags Editor", t); }, nullptr, {}, "", "Close"},
    {"g_frmConverter", [](DialogKeys& t) { Run("Audio Converter", t); }, nullptr, {}, "Convert", "Exit"},
    {"g_frmACMConverter", [](DialogKeys& t) { Run("ACM Converter", t); }, nullptr, {}, "Convert", "Exit"},
    {"g_frmMicRecorder", [](DialogKeys& t) { Run("Audio Recorder", t); }, nullptr, {}, "", "Exit"},
    // Without a default button Enter presses the button that has the focus.
    {"g_frmAudioEditor", [](DialogKeys& t) { Run("Audio Analyser", t); }, nullptr, {}, "Add Selection", "Exit",
     [](DialogKeys& t) { t.CancelNextSave(); }},
    // Enter never turns the computer off.
    {"g_frmTurnOff", [](DialogKeys&) { ShowTurnOff(30); }, nullptr, {}, "Cancel", "Cancel"},
    {"g_frmNotes", [](DialogKeys& t) { Run("Notes", t); }, nullptr, {}, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Windows, DialogKeys, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.window); });

} // namespace
