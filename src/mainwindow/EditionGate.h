#pragma once
// The condition under which a menu item or toolbar button exists: none, or
// one or two edition flags of which one must be exactly 1.
#include <cstdint>

struct EditionGate {
    const std::int32_t* flag = nullptr;
    const std::int32_t* orFlag = nullptr;
    bool Holds() const { return !flag || *flag == 1 || (orFlag && *orFlag == 1); }
};
