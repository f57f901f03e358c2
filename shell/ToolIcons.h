// The tool bar's button pictures, drawn at run time so the program carries no image files.
#pragma once

#include <QIcon>

namespace kos {

QIcon toolIcon(int commandId);
// The program's icon: a cash register.
QIcon appIcon();

}  // namespace kos
