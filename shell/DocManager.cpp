#include "shell/DocManager.h"

#include <QFileInfo>

#include "shell/UiDocument.h"

namespace kos {

DocManager::DocManager(AppContext& context, RecentFileList& recentFiles)
    : context_(context), recentFiles_(recentFiles) {}

DocManager::~DocManager() {
    qDeleteAll(documents_);
}

DocTemplate& DocManager::addTemplate(std::unique_ptr<DocTemplate> docTemplate, bool registered) {
    templates_.push_back(std::move(docTemplate));
    if (registered)
        registered_.push_back(templates_.back().get());
    return *templates_.back();
}

std::vector<DocTemplate*> DocManager::templates() const {
    std::vector<DocTemplate*> all;
    for (const auto& t : templates_)
        all.push_back(t.get());
    return all;
}

UiDocument* DocManager::adopt(UiDocument* doc) {
    documents_.append(doc);
    Q_EMIT documentOpened(doc);
    return doc;
}

UiDocument* DocManager::fileNew() {
    if (registered_.empty())
        return nullptr;
    int chosen = 0;
    if (registered_.size() > 1) {
        QStringList names;
        for (DocTemplate* t : registered_)
            names << t->fileNewName();
        chosen = context_.files.chooseDocumentType(dialogParent_, names);
        if (chosen < 0 || chosen >= int(registered_.size()))
            return nullptr;
    }
    DocTemplate& t = *registered_[size_t(chosen)];
    std::unique_ptr<UiDocument> doc(t.create(*this));
    if (!doc || !doc->onNewDocument())
        return nullptr;
    doc->setTitle(t.untitledTitle(t.nextUntitledNumber()));
    doc->setModified(false);
    return adopt(doc.release());
}

QString DocManager::openFilter() const {
    QStringList filters;
    for (DocTemplate* t : registered_)
        filters << t->filterName();
    return filters.join(QStringLiteral(";;"));
}

UiDocument* DocManager::fileOpen() {
    QString path = context_.files.openFileName(dialogParent_, openFilter());
    if (path.isEmpty())
        return nullptr;
    return openDocumentFile(path);
}

UiDocument* DocManager::openDocumentFile(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    for (UiDocument* doc : documents_) {
        if (doc->pathName() == full) {
            activate(doc);
            return doc;
        }
    }
    // Pick the template by extension; the first registered one takes anything else.
    DocTemplate* chosen = registered_.empty() ? nullptr : registered_.front();
    for (DocTemplate* t : registered_)
        if (!t->filterExt().isEmpty() && full.endsWith(t->filterExt(), Qt::CaseInsensitive))
            chosen = t;
    if (!chosen)
        return nullptr;
    std::unique_ptr<UiDocument> doc(chosen->create(*this));
    if (!doc || !doc->onOpenDocument(full)) {
        recentFiles_.remove(full);
        Q_EMIT recentFilesChanged();
        return nullptr;
    }
    doc->setPathName(full);
    doc->setModified(false);
    recentFiles_.add(full);
    Q_EMIT recentFilesChanged();
    return adopt(doc.release());
}

bool DocManager::save(UiDocument* doc) {
    if (doc->pathName().isEmpty() || !QFileInfo(doc->pathName()).isWritable())
        return saveAs(doc);
    if (!doc->onSaveDocument(doc->pathName()))
        return false;
    doc->setModified(false);
    return true;
}

bool DocManager::saveAs(UiDocument* doc) {
    DocTemplate& t = doc->docTemplate();
    SaveFileRequest request;
    request.defaultName = doc->pathName().isEmpty() ? doc->title() : doc->pathName();
    request.defaultSuffix = t.filterExt().mid(1);
    request.filter = t.filterName();
    QString path = context_.files.saveFileName(dialogParent_, request);
    if (path.isEmpty())
        return false;
    if (!doc->onSaveDocument(path))
        return false;
    doc->setPathName(path);
    doc->setModified(false);
    recentFiles_.add(doc->pathName());
    Q_EMIT recentFilesChanged();
    return true;
}

bool DocManager::saveModified(UiDocument* doc) {
    if (!doc->isModified())
        return true;
    const QString question = QStringLiteral("Zapisz zmiany do %1?").arg(doc->title());
    switch (context_.prompt.askYesNoCancel(question.toStdString())) {
        case PromptAnswer::Yes:
            return save(doc);
        case PromptAnswer::No:
            return true;
        case PromptAnswer::Cancel:
            break;
    }
    return false;
}

bool DocManager::canCloseDocument(UiDocument* doc) {
    return doc->canCloseFrame() && saveModified(doc);
}

void DocManager::closeDocument(UiDocument* doc) {
    if (!documents_.removeOne(doc))
        return;
    Q_EMIT documentClosing(doc);
    doc->deleteLater();
}

}  // namespace kos
