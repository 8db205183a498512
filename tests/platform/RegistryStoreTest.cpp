#include "platform/Registry.h"
#include "support/ProgramFixture.h"

using namespace platform::reg;

TEST(Build, Links) { SUCCEED(); }
