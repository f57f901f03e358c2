// The most-recently-used file list of the window layer: four full paths, newest first, written
// back to the settings store at each change.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "base/Settings.h"

namespace kos {

class RecentFileList {
public:
    explicit RecentFileList(SettingsStore& store);

    void load();
    // Moves the path to the top (adding it when new).
    void add(const QString& path);
    void remove(const QString& path);
    QStringList files() const;

private:
    SettingsStore& store_;
    std::vector<std::string> files_;
};

}  // namespace kos
