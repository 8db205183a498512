#include "support/ProgramFixture.h"
TEST(BuildCore, Links) { SUCCEED(); }
