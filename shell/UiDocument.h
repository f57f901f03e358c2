// A document of the window layer: title, path, modified flag, loading and saving, and the
// document's own commands (save, save as, close window). Its views come from its template.
#pragma once

#include <QObject>
#include <QString>

#include "shell/CommandTarget.h"

namespace kos {

class DocManager;
class DocTemplate;

class UiDocument : public QObject, public CommandTarget {
    Q_OBJECT
public:
    UiDocument(DocTemplate& docTemplate, DocManager& manager);
    ~UiDocument() override;

    DocTemplate& docTemplate() const { return template_; }
    DocManager& manager() const { return manager_; }

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    // Full path; empty for a document never saved. Setting it also sets the title.
    const QString& pathName() const { return pathName_; }
    void setPathName(const QString& path);

    virtual bool isModified() const { return modified_; }
    virtual void setModified(bool modified);

    // Each returns false on failure after telling the user why.
    virtual bool onNewDocument() = 0;
    virtual bool onOpenDocument(const QString& path) = 0;
    virtual bool onSaveDocument(const QString& path) = 0;
    // Whether the document's window may close now; a refusal tells the user why.
    virtual bool canCloseFrame() { return true; }
    // True while the document runs something that must end before the program may close (the
    // online document while it communicates with the registers).
    virtual bool keepsApplicationOpen() const { return false; }

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

Q_SIGNALS:
    void titleChanged();
    // Something changed that may enable or disable commands.
    void commandStateChanged();

private:
    DocTemplate& template_;
    DocManager& manager_;
    QString title_;
    QString pathName_;
    bool modified_ = false;
};

}  // namespace kos
