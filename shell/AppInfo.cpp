#include "shell/AppInfo.h"

namespace kos {

QString appTitle() {
    return QStringLiteral("KOS ONLINE");
}

QString versionLine() {
    return QStringLiteral("Wersja: %1.%2.%3.%4")
        .arg(KOS_VERSION_MAJOR)
        .arg(KOS_VERSION_MINOR)
        .arg(KOS_VERSION_PATCH)
        .arg(KOS_VERSION_TWEAK);
}

}  // namespace kos
