#include <QFileDialog>
#include <QInputDialog>

#include "shell/FileChooser.h"

namespace kos {

QString QtFileChooser::openFileName(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent, QStringLiteral("Otwórz"), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString QtFileChooser::saveFileName(QWidget* parent, const SaveFileRequest& request) {
    QFileDialog dialog(parent, QStringLiteral("Zapisz jako"), QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.defaultName);
    // Overwrite confirmation is on unless DontConfirmOverwrite is set.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

int QtFileChooser::chooseDocumentType(QWidget* parent, const QStringList& names) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, QStringLiteral("Nowy"),
                                                 QStringLiteral("Nowy"), names, 0, false, &ok);
    return ok ? int(names.indexOf(chosen)) : -1;
}

}  // namespace kos
