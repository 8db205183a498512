#include "support/KilledWrites.h"

#include "platform/SaveFile.h"

#include <QDir>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace support {

::testing::AssertionResult KilledBeforeItsRename(const std::function<void()>& write)
{
    const pid_t child = ::fork();
    if (child < 0) return ::testing::AssertionFailure() << "fork: " << std::strerror(errno);
    if (child == 0) {
        // Step 0 of a put: the parts are complete and nothing is renamed yet.
        platform::SetPutStepHook([](int step) {
            if (step == 0) ::raise(SIGSTOP);
        });
        write();
        ::_exit(0);
    }
    int status = 0;
    if (::waitpid(child, &status, WUNTRACED) != child) return ::testing::AssertionFailure() << "waitpid failed";
    if (!WIFSTOPPED(status)) {
        return ::testing::AssertionFailure()
               << "the write ended by itself without stopping before a rename (wait status " << status << ")";
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL)
        return ::testing::AssertionFailure() << "the child was not killed (wait status " << status << ")";
    return ::testing::AssertionSuccess();
}

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

bool IsOwnPartName(const QString& name)
{
    static const QRegularExpression own("^\\.tarvello-[0-9a-f]{8}\\.part$");
    return own.match(name).hasMatch();
}

} // namespace support
