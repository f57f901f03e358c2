// The document manager: the document templates, the open documents, New, Open, Save, Save As,
// the save question before closing, and the recent-file list.
#pragma once

#include <QList>
#include <QObject>
#include <memory>
#include <vector>

#include "shell/AppContext.h"
#include "shell/DocTemplate.h"
#include "shell/RecentFileList.h"

class QWidget;

namespace kos {

class UiDocument;

class DocManager : public QObject {
    Q_OBJECT
public:
    DocManager(AppContext& context, RecentFileList& recentFiles);
    ~DocManager() override;

    AppContext& context() const { return context_; }
    RecentFileList& recentFiles() const { return recentFiles_; }
    // Parent of the dialogs the manager shows.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    // Registered templates take part in New and Open; the others only describe a type.
    DocTemplate& addTemplate(std::unique_ptr<DocTemplate> docTemplate, bool registered);
    const std::vector<DocTemplate*>& registeredTemplates() const { return registered_; }
    size_t templateCount() const { return templates_.size(); }
    std::vector<DocTemplate*> templates() const;

    const QList<UiDocument*>& documents() const { return documents_; }

    // New document of a registered template; with more than one the user chooses the type.
    UiDocument* fileNew();
    // Open dialog with the registered templates' filters.
    UiDocument* fileOpen();
    // An open document with this path comes to the front as it is; a failed open creates nothing
    // and drops the path from the recent files.
    UiDocument* openDocumentFile(const QString& path);

    bool save(UiDocument* doc);
    bool saveAs(UiDocument* doc);
    // Asks whether to save a modified document (Yes/No/Cancel); false when the user cancelled or
    // saving was wanted but failed: the close that asked does not go on.
    bool saveModified(UiDocument* doc);
    // The document's own refusal first, then the save question.
    bool canCloseDocument(UiDocument* doc);
    // Closes the document's windows and deletes it (both deferred to the event loop).
    void closeDocument(UiDocument* doc);
    // Brings the document's view of this name (one of its template's) to the front, opening it
    // in a new window when the document has none.
    void showView(UiDocument* doc, const QString& viewName) { Q_EMIT viewRequested(doc, viewName); }
    // Brings the document's most recently active window to the front.
    void activate(UiDocument* doc) { Q_EMIT activationRequested(doc); }

Q_SIGNALS:
    // A new or opened document: the frame opens its template's first view.
    void documentOpened(UiDocument* doc);
    void viewRequested(UiDocument* doc, const QString& viewName);
    void activationRequested(UiDocument* doc);
    void documentClosing(UiDocument* doc);
    void recentFilesChanged();
    // The options sheet stored new settings.
    void settingsChanged();

private:
    UiDocument* adopt(UiDocument* doc);
    QString openFilter() const;

    AppContext& context_;
    RecentFileList& recentFiles_;
    QWidget* dialogParent_ = nullptr;
    std::vector<std::unique_ptr<DocTemplate>> templates_;
    std::vector<DocTemplate*> registered_;
    QList<UiDocument*> documents_;
};

}  // namespace kos
