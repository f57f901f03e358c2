#include "shell/UiDocument.h"

#include <QFileInfo>

#include "shell/Commands.h"
#include "shell/DocManager.h"

namespace kos {

UiDocument::UiDocument(DocTemplate& docTemplate, DocManager& manager)
    : template_(docTemplate), manager_(manager) {}

UiDocument::~UiDocument() = default;

void UiDocument::setTitle(const QString& title) {
    if (title_ == title)
        return;
    title_ = title;
    Q_EMIT titleChanged();
}

void UiDocument::setPathName(const QString& path) {
    pathName_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (!pathName_.isEmpty())
        setTitle(QFileInfo(pathName_).fileName());
}

void UiDocument::setModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    Q_EMIT commandStateChanged();
}

bool UiDocument::updateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::FILE_SAVE:
        case cmd::FILE_SAVE_AS:
        case cmd::FILE_CLOSE:
            state.enabled = true;
            return true;
    }
    return false;
}

bool UiDocument::runCommand(int id) {
    switch (id) {
        case cmd::FILE_SAVE:
            manager_.save(this);
            return true;
        case cmd::FILE_SAVE_AS:
            manager_.saveAs(this);
            return true;
        case cmd::FILE_CLOSE:
            if (manager_.canCloseDocument(this))
                manager_.closeDocument(this);
            return true;
    }
    return false;
}

}  // namespace kos
