#include "platform/Power.h"
#include "platform/ServiceSlot.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace platform {

namespace {

class LogindPower : public PowerService {
public:
    QString CanPowerOff(QString* errorText) override
    {
        auto manager = managerInterface(errorText);
        if (!manager) return {};
        QDBusReply<QString> reply = manager->call("CanPowerOff");
        if (!reply.isValid()) {
            if (errorText) *errorText = reply.error().message();
            return {};
        }
        return reply.value();
    }

    bool Request(PowerAction action, QString* errorText) override
    {
        auto manager = managerInterface(errorText);
        if (!manager) return false;
        // Interactive: the desktop may ask for a password where policy wants one.
        QDBusMessage reply = manager->call(action == PowerAction::Reboot ? "Reboot" : "PowerOff", true);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            if (errorText) *errorText = reply.errorMessage();
            return false;
        }
        return true;
    }

private:
    static std::unique_ptr<QDBusInterface> managerInterface(QString* errorText)
    {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected()) {
            if (errorText) *errorText = bus.lastError().message();
            return nullptr;
        }
        auto manager = std::make_unique<QDBusInterface>("org.freedesktop.login1", "/org/freedesktop/login1",
                                                        "org.freedesktop.login1.Manager", bus);
        if (!manager->isValid()) {
            if (errorText) *errorText = manager->lastError().message();
            return nullptr;
        }
        return manager;
    }
};

using Slot = ServiceSlot<PowerService, LogindPower>;

} // namespace

void SetPowerService(std::unique_ptr<PowerService> service) { Slot::Install(std::move(service)); }

PowerService& Power() { return Slot::Get(); }

} // namespace platform
