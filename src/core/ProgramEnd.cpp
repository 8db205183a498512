#include "core/ProgramEnd.h"

#include "core/Form.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

namespace {

// How often an end that waits for the windows looks again.
constexpr int kLookAgainMs = 50;

bool g_loopRuns = false;

// Control is in the program's own loop: no modal show, question or other
// nested loop is running.
bool inOutermostLoop() { return QThread::currentThread()->loopLevel() == 1; }

// Runs `step` from the event loop, again and again, until it returns true.
void repeatUntilDone(std::function<bool()> step)
{
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(kLookAgainMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)] {
        if (!step()) return;
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

// Questions and standard dialogs, whatever runs them, close as their Cancel
// does; the innermost popup menu closes without a choice (one a look).
void cancelOpenDialogsAndMenus()
{
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible()) dialog->reject();
}

} // namespace

int RunProgramLoop()
{
    g_loopRuns = true;
    const int code = QApplication::exec();
    g_loopRuns = false;
    return code;
}

void EndProgram()
{
    static bool ending = false;
    if (!g_loopRuns || ending) return;
    ending = true;
    repeatUntilDone([] {
        if (!Form::Forms().empty() || !inOutermostLoop()) return false;
        QCoreApplication::exit(0);
        return true;
    });
}

void EndProgramOnRequest(const std::function<void()>& exitMainWindow)
{
    static bool asked = false;
    if (asked) return;
    asked = true;
    platform::AnswerMessageBoxesAsClosed();
    repeatUntilDone([exitMainWindow] {
        cancelOpenDialogsAndMenus();
        // Again at every look: a job may have started its next item meanwhile.
        for (Form* form : Form::Forms()) form->AbortForExit();
        // The innermost modal show first; a window whose job still stops refuses for now.
        if (const std::vector<Form*> shows = Form::ModalShows(); !shows.empty()) shows.back()->Unload();
        if (!Form::ModalShows().empty() || !inOutermostLoop()) return false;
        exitMainWindow();
        return true;
    });
}
