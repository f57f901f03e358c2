// An edit that refuses typing beyond a number of characters but keeps a longer text it is
// given (a name from a file, a header line from the register), so that the dialog's own check
// on "OK" can report it.
#pragma once

class QLineEdit;

namespace kos {

void limitTyping(QLineEdit* edit, int characters);

}  // namespace kos
