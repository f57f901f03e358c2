// One menu of a menu bar: its title and its items, given as command identifiers.
#pragma once

#include <QList>
#include <QString>

namespace kos {

struct MenuSection {
    // Item values that are not commands.
    static constexpr int SEPARATOR = 0;
    static constexpr int RECENT_FILES = -1;  // the recent-file list with its placeholder

    QString title;
    QList<int> items;
};

}  // namespace kos
