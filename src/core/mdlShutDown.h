#pragma once
// Shutting the computer down. Failures are recorded as numbered errors
// (number, source, description) and reported as False; nothing is thrown.
#include <QString>
#include <cstdint>

// Shutdown flags.
inline constexpr std::int32_t EWX_LOGOFF = 0;
inline constexpr std::int32_t EWX_SHUTDOWN = 1;
inline constexpr std::int32_t EWX_REBOOT = 2;
inline constexpr std::int32_t EWX_FORCE = 4;
inline constexpr std::int32_t EWX_POWEROFF = 8;

// Error numbers.
inline constexpr std::uint32_t kErrShutdownFailed = 0x8004062B;
inline constexpr std::uint32_t kErrNoShutdownPrivilegeValue = 0x8004062C;
inline constexpr std::uint32_t kErrNoCurrentProcess = 0x8004062D;
inline constexpr std::uint32_t kErrNoShutdownPrivilege = 0x8004062E;
inline constexpr std::uint32_t kErrInvalidShutdownFlags = 0x8004062F;

struct ShutDownError {
    std::uint32_t Number = 0;
    QString Source;
    QString Description;
};

// The last recorded error (Number 0: none since the last clear).
const ShutDownError& LastShutDownError();
void ClearShutDownError();

// Asks the system to shut down (EWX_SHUTDOWN, EWX_POWEROFF) or restart
// (EWX_REBOOT); True when the request was accepted.
bool ShutdownSystem(std::int32_t lFlags);
// The system's text for an error code; empty when it has none.
QString GetSystemErrorText(std::int32_t lErrorCode);
// Whether the privilege step applies before a shutdown request (it always does here).
bool IsWindowsNT();
// Makes sure the login manager can be asked to shut down; False (with the error recorded) when not.
bool EnableShutdownPrivilege();
