#include "shell/RecentFileList.h"

#include <algorithm>

namespace kos {

QString shortenedPath(const QString& path, int maxChars) {
    if (path.size() <= maxChars)
        return path;
    const QChar sep = QLatin1Char('/');
    const QStringList parts = path.split(sep);
    if (parts.size() < 3)
        return parts.last();
    // "/home/.../name": the part before the second separator stays ("" for an absolute path).
    const QString head = parts.first().isEmpty() ? sep + parts.at(1) : parts.first();
    const int firstTail = parts.first().isEmpty() ? 2 : 1;
    QString tail = parts.last();
    for (int i = parts.size() - 2; i >= firstTail; --i) {
        const QString longer = parts.at(i) + sep + tail;
        if (head.size() + 5 + longer.size() > maxChars)
            break;
        tail = longer;
    }
    const QString shown = head + QStringLiteral("/.../") + tail;
    return shown.size() <= maxChars ? shown : parts.last();
}

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
