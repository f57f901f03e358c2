// The most-recently-used file list of the window layer: four full paths, newest first, written
// back to the settings store at each change.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "base/Settings.h"

namespace kos {

// A path as a menu shows it in at most maxChars characters: the first folder, "...", and as many
// of the last folders as fit before the file name; the file name alone when even that is longer.
QString shortenedPath(const QString& path, int maxChars);

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
