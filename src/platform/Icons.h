#pragma once
// The program's icon resources by name (matched without regard to case).
// An unknown name gives a null icon.
#include <QIcon>
#include <QString>

namespace platform {

QIcon LoadIconResource(const QString& name);

} // namespace platform
