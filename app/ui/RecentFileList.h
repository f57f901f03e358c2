// The most-recently-used file list: four full paths, newest first, kept in the settings store
// under "Recent File List" as "File1".."File4".
#pragma once

#include <QString>
#include <QStringList>

#include "app/Settings.h"

namespace kos {

class RecentFileList {
public:
    explicit RecentFileList(SettingsStore& store, int size = RECENT_FILE_COUNT);

    void load();
    // Moves the path to the top (adding it when new) and writes the list back at once.
    void add(const QString& path);
    void remove(const QString& path);
    const QStringList& files() const { return files_; }

private:
    void save();

    SettingsStore& store_;
    int size_;
    QStringList files_;
};

}  // namespace kos
