// How the article windows run their modal dialogs: exec() in the program; tests put in a
// runner that fills the controls and presses the buttons.
#pragma once

#include <functional>

class QDialog;

namespace kos {

using DialogRunner = std::function<int(QDialog&)>;

// Runs the dialog modally through the installed runner (exec() when none).
int runDialog(QDialog& dialog);
// Replaces the runner; an empty one restores exec().
void setDialogRunner(DialogRunner runner);

}  // namespace kos
