#pragma once
// Powering the computer off or restarting it, through the login manager
// (logind's PowerOff and Reboot over the system D-Bus). Tests install a
// recorder: nothing in a test ever powers the machine off.
#include <QString>
#include <memory>

namespace platform {

enum class PowerAction { PowerOff, Reboot };

class PowerService {
public:
    virtual ~PowerService() = default;
    // The login manager's answer whether this user may power off ("yes",
    // "challenge", "no", "na"); empty when it cannot be reached, with the reason.
    virtual QString CanPowerOff(QString* errorText) = 0;
    // Asks for the action; false with the reason when the request is refused.
    virtual bool Request(PowerAction action, QString* errorText) = 0;
};

void SetPowerService(std::unique_ptr<PowerService> service); // nullptr: logind
PowerService& Power(); // window thread only

} // namespace platform
