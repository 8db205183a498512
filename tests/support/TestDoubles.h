#pragma once
// Test doubles of the platform services: scripted message boxes and a modal
// runner that hands the shown window to the test.
#include "platform/MessageBox.h"
#include "platform/ModalRunner.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace support {

struct Prompt {
    QString text;
    int flags = 0;
    QString title;
};

// Answers message boxes from a script; a prompt with no answer scripted fails the test.
class ScriptedMessageBox : public platform::MessageBoxService {
public:
    // The next message box must contain `expected` (empty: any) and is answered with `answer`.
    void Expect(const QString& expected, int answer = platform::vbOK);
    // The same, running `meanwhile` while the box is open (events the user could not stop).
    void ExpectWhile(const QString& expected, int answer, std::function<void()> meanwhile);
    int Show(const QString& prompt, int flags, const QString& title) override;

    struct Answer {
        QString expected;
        int answer = platform::vbOK;
        std::function<void()> meanwhile;
    };
    std::vector<Prompt> shown;
    std::deque<Answer> script;
};

// Runs modal windows through a hook; a modal show with no hook fails the test.
class HookedModalRunner : public platform::ModalRunner {
public:
    void Run(QWidget* window) override;
    std::function<void(QWidget*)> hook;
    QStringList shown;
};

} // namespace support
