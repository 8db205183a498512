#include "core/mdlShutDown.h"

#include "platform/AppInfo.h"
#include "platform/Power.h"

#include <cstring>

namespace {

ShutDownError& lastError()
{
    static ShutDownError e;
    return e;
}

void raiseError(std::uint32_t number, const QString& description)
{
    lastError() = {number, platform::AppExeName() + ".mShutDown", description};
}

} // namespace

const ShutDownError& LastShutDownError() { return lastError(); }

void ClearShutDownError() { lastError() = {}; }

QString GetSystemErrorText(std::int32_t lErrorCode)
{
    const char* text = strerrordesc_np(lErrorCode);
    return text ? QString::fromUtf8(text) : QString();
}

bool IsWindowsNT()
{
    // The login manager decides who may shut down, as the privilege check does.
    return true;
}

bool EnableShutdownPrivilege()
{
    QString why;
    if (platform::Power().CanPowerOff(&why).isEmpty()) {
        raiseError(kErrNoShutdownPrivilegeValue,
                   "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. [" + why + "]");
        return false;
    }
    return true;
}

bool ShutdownSystem(std::int32_t lFlags)
{
    if (lFlags < 0 || lFlags > 31) {
        raiseError(kErrInvalidShutdownFlags, "Invalid parameter to ShutdownSystem: " + QString::number(lFlags));
        return false;
    }
    if (IsWindowsNT() && !EnableShutdownPrivilege()) return false;
    QString why;
    bool accepted = false;
    if (lFlags & EWX_REBOOT)
        accepted = platform::Power().Request(platform::PowerAction::Reboot, &why);
    else if (lFlags & (EWX_SHUTDOWN | EWX_POWEROFF))
        accepted = platform::Power().Request(platform::PowerAction::PowerOff, &why);
    else
        why = "Logging off is not supported.";
    if (!accepted) {
        raiseError(kErrShutdownFailed, "ShutdownSystem failed: " + why);
        return false;
    }
    return true;
}
