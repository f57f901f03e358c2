#include "shell/RecentFileList.h"

#include <algorithm>

namespace kos {

RecentFileList::RecentFileList(SettingsStore& store) : store_(store) {}

void RecentFileList::load() {
    files_ = loadRecentFiles(store_);
}

QStringList RecentFileList::files() const {
    QStringList list;
    for (const std::string& f : files_)
        list.append(QString::fromStdString(f));
    return list;
}

void RecentFileList::add(const QString& path) {
    addRecentFile(files_, path.toStdString());
    saveRecentFiles(store_, files_);
}

void RecentFileList::remove(const QString& path) {
    const auto end = std::remove(files_.begin(), files_.end(), path.toStdString());
    if (end == files_.end())
        return;
    files_.erase(end, files_.end());
    saveRecentFiles(store_, files_);
}

}  // namespace kos
