#include "support/PlatformDoubles.h"

#include <gtest/gtest.h>

namespace support {

bool RecordingShell::OpenDocument(const QString& target, const QString& workingFolder,
                                  std::function<void()> failedLater)
{
    opened << target;
    lastWorkingFolder = workingFolder;
    lateFailures.push_back(std::move(failedLater));
    return result;
}

QString RecordingShell::FindProgram(const QString& name)
{
    return missingPrograms.contains(name) ? QString() : "/usr/bin/" + name;
}

bool RecordingShell::StartProcess(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    started << (QStringList{program} + arguments).join(' ');
    startedArgv.push_back(QStringList{program} + arguments);
    lastWorkingFolder = workingFolder;
    return result;
}

namespace {
template <class Queue>
bool takeAnswer(Queue& answers, const char* kind, const QString& title, typename Queue::value_type* answer)
{
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << kind << " dialog: " << title.toStdString();
        return false;
    }
    *answer = std::move(answers.front());
    answers.pop_front();
    return true;
}
} // namespace

QStringList ScriptedDialogs::OpenFiles(const platform::FileDialogRequest& request)
{
    openRequests.push_back(request);
    QStringList files;
    takeAnswer(openAnswers, "open", request.title, &files);
    return files;
}

QString ScriptedDialogs::SaveFile(const platform::FileDialogRequest& request)
{
    saveRequests.push_back(request);
    QString path;
    takeAnswer(saveAnswers, "save", request.title, &path);
    return path;
}

std::optional<QColor> ScriptedDialogs::PickColor(platform::ColorRequest& request)
{
    colorRequests.push_back(request);
    ColorAnswer answer;
    if (!takeAnswer(colorAnswers, "colour", QString(), &answer)) return std::nullopt;
    if (answer.edit) answer.edit(request.customColors);
    return answer.color;
}

QString ScriptedDialogs::PickFolder(const platform::FolderRequest& request)
{
    folderRequests.push_back(request);
    QString folder;
    takeAnswer(folderAnswers, "folder", request.title, &folder);
    return folder;
}

bool ScriptedDialogs::AllAnswered() const
{
    return openAnswers.empty() && saveAnswers.empty() && colorAnswers.empty() && folderAnswers.empty();
}

QString RecordingPower::CanPowerOff(QString* errorText)
{
    if (canPowerOffAnswer.isEmpty() && errorText) *errorText = unreachableText;
    return canPowerOffAnswer;
}

bool RecordingPower::Request(platform::PowerAction action, QString* errorText)
{
    requests.push_back(action);
    if (!accept && errorText) *errorText = refusalText;
    return accept;
}

void InstallQuietServices()
{
    platform::SetShellService(std::make_unique<RecordingShell>());
    platform::SetDialogService(std::make_unique<ScriptedDialogs>());
    platform::SetPowerService(std::make_unique<RecordingPower>());
    platform::SetSoundService(std::make_unique<RecordingSound>());
}

} // namespace support
