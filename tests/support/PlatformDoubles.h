#pragma once
// Test doubles of the shell, the standard dialogs, power control and file
// times: they record what the program asked for and answer from a script.
#include "platform/CommonDialogs.h"
#include "platform/FileTimes.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "platform/Sound.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace support {

// Records every document opened and program started; both succeed unless told
// otherwise. Every program is installed but those named missing.
class RecordingShell : public platform::ShellService {
public:
    bool OpenDocument(const QString& target, const QString& workingFolder,
                      std::function<void()> failedLater) override;
    bool StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder) override;
    QString FindProgram(const QString& name) override;

    QStringList opened;
    QStringList started;                  // program and arguments joined by blanks
    std::vector<QStringList> startedArgv; // program first, then each argument
    QString lastWorkingFolder;
    bool result = true;
    QStringList missingPrograms;
    // The openers' reports of giving up later, in the order they were opened.
    std::vector<std::function<void()>> lateFailures;
};

// Answers the standard dialogs from per-kind scripts; a dialog with no answer
// scripted fails the test and counts as cancelled. Empty answers cancel.
class ScriptedDialogs : public platform::DialogService {
public:
    void ExpectOpen(const QStringList& files) { openAnswers.push_back(files); }
    void ExpectSave(const QString& path) { saveAnswers.push_back(path); }
    // `edit` may change the custom colours as a user would.
    void ExpectColor(std::optional<QColor> color, std::function<void(QList<QColor>&)> edit = {})
    {
        colorAnswers.push_back({color, std::move(edit)});
    }
    void ExpectFolder(const QString& folder) { folderAnswers.push_back(folder); }

    QStringList OpenFiles(const platform::FileDialogRequest& request) override;
    QString SaveFile(const platform::FileDialogRequest& request) override;
    std::optional<QColor> PickColor(platform::ColorRequest& request) override;
    QString PickFolder(const platform::FolderRequest& request) override;

    // Every request, in order of kind.
    std::vector<platform::FileDialogRequest> openRequests, saveRequests;
    std::vector<platform::ColorRequest> colorRequests;
    std::vector<platform::FolderRequest> folderRequests;

    // True when every scripted answer was used.
    bool AllAnswered() const;

private:
    struct ColorAnswer {
        std::optional<QColor> color;
        std::function<void(QList<QColor>&)> edit;
    };
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<ColorAnswer> colorAnswers;
    std::deque<QString> folderAnswers;
};

// Records power requests; never touches the machine.
class RecordingPower : public platform::PowerService {
public:
    QString CanPowerOff(QString* errorText) override;
    bool Request(platform::PowerAction action, QString* errorText) override;

    QString canPowerOffAnswer = "yes"; // empty: the login manager cannot be reached
    QString unreachableText = "The name org.freedesktop.login1 was not provided by any .service files";
    bool accept = true;
    QString refusalText = "Access denied";
    std::vector<platform::PowerAction> requests;
};

// Records the sounds played; never touches a sound card.
class RecordingSound : public platform::SoundService {
public:
    bool PlayAsync(const QString& file) override
    {
        played << file;
        return true;
    }
    void Stop() override { ++stops; }
    QStringList played;
    int stops = 0;
};

// Installs recorders for every service that could reach the desktop, the
// sound card or the machine's power.
void InstallQuietServices();

// Creation times by path; other paths have none.
class FixedFileTimes : public platform::FileTimeService {
public:
    QDateTime CreationTime(const QString& path) override { return times.value(path); }
    QMap<QString, QDateTime> times;
};

} // namespace support
