#pragma once
// Where a platform service lives: the one a test installed, or else the
// production one, made once on first use by whichever thread asks first.
#include <memory>

namespace platform {

template <class Service, class Production>
class ServiceSlot {
public:
    // nullptr goes back to the production service. Only while no other thread
    // uses the service (tests install theirs before they start any).
    static void Install(std::unique_ptr<Service> service) { installed() = std::move(service); }

    static Service& Get()
    {
        if (Service* service = installed().get()) return *service;
        static Production production;
        return production;
    }

private:
    static std::unique_ptr<Service>& installed()
    {
        static std::unique_ptr<Service> service;
        return service;
    }
};

} // namespace platform
