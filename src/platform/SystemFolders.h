#pragma once
// The operating system's own folders, as the program asks for them.
#include <QString>

namespace platform {

// The system's installation folder ("/usr").
QString WindowsFolder();
// The folder of the system's shared libraries ("/usr/lib").
QString SystemFolder();

} // namespace platform
