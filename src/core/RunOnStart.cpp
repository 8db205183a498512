#include "core/RunOnStart.h"

#include "core/Edition.h"
#include "core/Paths.h"
#include "core/RegistryRoutines.h"
#include "platform/Autostart.h"

namespace {

const char* const kStartInTray = "-st";

RegistryRoutines runKey()
{
    RegistryRoutines reg;
    reg.hkey = platform::reg::HKEY_CURRENT_USER;
    reg.KeyRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    return reg;
}

QString programFile() { return ProgramExecutable(); }

} // namespace

QString RunOnStartCommand() { return "\"" + programFile() + "\" " + kStartInTray; }

bool SetRunOnStart(bool bOn)
{
    RegistryRoutines reg = runKey();
    if (!bOn) {
        platform::RemoveAutostartEntry(g_sAppName);
        return reg.DeleteValue(g_sAppName) == platform::reg::ERROR_SUCCESS;
    }
    // The Run key belongs to the system, which always has it; a fresh settings store may not yet.
    if (!reg.KeyExists()) reg.CreateKey(QString());
    platform::WriteAutostartEntry(g_sAppName, programFile(), {kStartInTray});
    return reg.SetRegistryValue(g_sAppName, RunOnStartCommand(), platform::reg::REG_SZ);
}

bool IsRunOnStart()
{
    const QVariant value = runKey().GetRegistryValue(g_sAppName);
    if (value.typeId() != QMetaType::QString || value.toString() != RunOnStartCommand()) return false;
    return platform::AutostartEntryExec(g_sAppName) ==
           platform::AutostartExecLine(programFile(), {kStartInTray});
}
