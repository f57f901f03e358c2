// What documents, views and dialogs of the desktop program share: the settings and their store,
// the message boxes and the file dialogs.
#pragma once

#include "base/Prompt.h"
#include "base/Settings.h"
#include "shell/FileChooser.h"

namespace kos {

struct AppContext {
    Settings& settings;
    SettingsStore& store;
    Prompt& prompt;
    FileChooser& files;
};

}  // namespace kos
