// The program's title and its compiled-in version.
#pragma once

#include <QString>

namespace kos {

// "KOS ONLINE": application title and main window caption.
QString appTitle();
// "Wersja: 2.0.5.0".
QString versionLine();

}  // namespace kos
