#include "app/ui/RecentFileList.h"

namespace kos {

namespace {

std::string entryName(int i) { return "File" + std::to_string(i + 1); }

}  // namespace

RecentFileList::RecentFileList(SettingsStore& store, int size) : store_(store), size_(size) {}

void RecentFileList::load() {
    files_.clear();
    for (int i = 0; i < size_; ++i) {
        auto value = store_.getString(RECENT_FILES_SECTION, entryName(i));
        if (value && !value->empty())
            files_.append(QString::fromStdString(*value));
    }
}

void RecentFileList::add(const QString& path) {
    files_.removeAll(path);
    files_.prepend(path);
    while (files_.size() > size_)
        files_.removeLast();
    save();
}

void RecentFileList::remove(const QString& path) {
    if (files_.removeAll(path) > 0)
        save();
}

void RecentFileList::save() {
    // Empty entries overwrite ones that have dropped out of the list.
    for (int i = 0; i < size_; ++i)
        store_.setString(RECENT_FILES_SECTION, entryName(i),
                         i < files_.size() ? files_.at(i).toStdString() : std::string());
}

}  // namespace kos
