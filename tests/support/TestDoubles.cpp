#include "support/TestDoubles.h"

#include <gtest/gtest.h>

namespace support {

void ScriptedMessageBox::Expect(const QString& expected, int answer) { script.emplace_back(expected, answer); }

int ScriptedMessageBox::Show(const QString& prompt, int flags, const QString& title)
{
    shown.push_back({prompt, flags, title});
    if (script.empty()) {
        ADD_FAILURE() << "unexpected message box: " << prompt.toStdString();
        return platform::vbCancel;
    }
    auto [expected, answer] = script.front();
    script.pop_front();
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
    window->show();
    hook(window);
    if (window->isVisible()) window->hide();
}

} // namespace support
