// A command as a menu, key or tool bar shows it: identifier, menu text, keys and status tip.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

namespace kos {

struct CommandSpec {
    CommandSpec(int id, QString text = {}, QList<QKeySequence> keys = {}, QString tip = {},
                bool checkable = false)
        : id(id),
          text(std::move(text)),
          keys(std::move(keys)),
          tip(std::move(tip)),
          checkable(checkable) {}
    CommandSpec() = default;

    int id = 0;
    QString text;  // menu text; "\t" separates the key shown at the right
    QList<QKeySequence> keys;
    QString tip;  // status bar text
    bool checkable = false;
};

}  // namespace kos
