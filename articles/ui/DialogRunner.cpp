#include "articles/ui/DialogRunner.h"

#include <QDialog>

namespace kos {

namespace {

DialogRunner& runner() {
    static DialogRunner r;
    return r;
}

}  // namespace

int runDialog(QDialog& dialog) {
    return runner() ? runner()(dialog) : dialog.exec();
}

void setDialogRunner(DialogRunner r) {
    runner() = std::move(r);
}

}  // namespace kos
