#include "articles/ui/ArticleDocument.h"

#include "articles/ui/ArticleCommands.h"
#include "shell/DocManager.h"

namespace kos {

ArticleDocument::ArticleDocument(DocTemplate& docTemplate, DocManager& manager)
    : UiDocument(docTemplate, manager) {}

void ArticleDocument::setModified(bool modified) {
    core_.setModified(modified);
    Q_EMIT commandStateChanged();
}

bool ArticleDocument::onNewDocument() {
    core_.clear();
    Q_EMIT contentsReset();
    Q_EMIT headerChanged();
    return true;
}

bool ArticleDocument::onOpenDocument(const QString& path) {
    const bool ok = core_.open(path.toStdString(), manager().context().prompt);
    Q_EMIT contentsReset();
    Q_EMIT headerChanged();
    return ok;
}

bool ArticleDocument::onSaveDocument(const QString& path) {
    return core_.save(path.toStdString(), manager().context().prompt);
}

bool ArticleDocument::lineBusy() const {
    for (UiDocument* doc : manager().documents())
        if (doc->keepsApplicationOpen())
            return true;
    return false;
}

bool ArticleDocument::updateCommand(int id, CommandState& state) {
    if (id == cmd::WINDOW_ARTICLES || id == cmd::WINDOW_HEADER) {
        state.enabled = true;
        return true;
    }
    return UiDocument::updateCommand(id, state);
}

bool ArticleDocument::runCommand(int id) {
    if (id == cmd::WINDOW_ARTICLES) {
        manager().showView(this, QString::fromLatin1(ARTICLES_VIEW));
        return true;
    }
    if (id == cmd::WINDOW_HEADER) {
        manager().showView(this, QString::fromLatin1(HEADER_VIEW));
        return true;
    }
    return UiDocument::runCommand(id);
}

}  // namespace kos
