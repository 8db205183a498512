#include "support/TestDoubles.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

namespace support {

void ScriptedMessageBox::Expect(const QString& expected, int answer) { script.push_back({expected, answer, {}}); }

void ScriptedMessageBox::ExpectWhile(const QString& expected, int answer, std::function<void()> meanwhile)
{
    script.push_back({expected, answer, std::move(meanwhile)});
}

int ScriptedMessageBox::Show(const QString& prompt, int flags, const QString& title)
{
    shown.push_back({prompt, flags, title});
    if (script.empty()) {
        ADD_FAILURE() << "unexpected message box: " << prompt.toStdString();
        return platform::vbCancel;
    }
    Answer next = script.front();
    script.pop_front();
    const QString& expected = next.expected;
    if (next.meanwhile) next.meanwhile();
    const int answer = next.answer;
    if (!expected.isEmpty() && !prompt.contains(expected))
        ADD_FAILURE() << "message box \"" << prompt.toStdString() << "\" does not contain \"" << expected.toStdString()
                      << "\"";
    return answer;
}

void HookedModalRunner::Run(QWidget* window)
{
    shown << window->objectName();
    if (!hook) {
        ADD_FAILURE() << "unexpected modal window: " << window->objectName().toStdString();
        window->hide();
        return;
    }
    QPointer<QWidget> shownWindow(window);
    window->show();
    hook(window);
    if (shownWindow && shownWindow->isVisible()) shownWindow->hide();
}

} // namespace support
