// A document type: its document string (title, filter, extension...), how to make a document,
// the views it can open on a document, and the commands and menu it brings to the main frame.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "shell/CommandSpec.h"
#include "shell/MenuSection.h"

class QWidget;

namespace kos {

class DocManager;
class UiDocument;

class DocTemplate {
public:
    using Factory = std::function<UiDocument*(DocTemplate&, DocManager&)>;
    // Makes a view onto the document as a child of parent (its frame).
    using ViewFactory = std::function<QWidget*(UiDocument& doc, QWidget* parent)>;

    // docString: "window title\ndoc name\nnew name\nfilter name\n.ext\ntype id\ntype name".
    // A template without a factory describes a document type whose windows are opened onto an
    // existing document only.
    DocTemplate(const QString& docString, Factory factory);

    QString windowTitle() const { return field(0); }
    QString docName() const { return field(1); }
    QString fileNewName() const { return field(2); }
    QString filterName() const { return field(3); }
    QString filterExt() const { return field(4); }
    QString fileTypeId() const { return field(5); }

    bool canCreate() const { return bool(factory_); }
    UiDocument* create(DocManager& manager) {
        return factory_ ? factory_(*this, manager) : nullptr;
    }
    // Title of the n-th untitled document (n from 1).
    QString untitledTitle(int n) const;
    int nextUntitledNumber() { return ++untitledCount_; }

    // Views, by name; the first one added opens with a new or opened document.
    void addView(const QString& name, ViewFactory make);
    QStringList viewNames() const;
    QString defaultView() const;
    // None when the template has no view of that name.
    QWidget* createView(const QString& name, UiDocument& doc, QWidget* parent) const;

    // Commands of this document type. A command the frame or another template also names is
    // shown with this template's text and tip while its document is active.
    void addCommands(const QList<CommandSpec>& commands) { commands_ += commands; }
    const QList<CommandSpec>& commands() const { return commands_; }
    // The menu bar while a document of this type is active; empty keeps the frame's own.
    void setMenu(const QList<MenuSection>& menu) { menu_ = menu; }
    const QList<MenuSection>& menu() const { return menu_; }

private:
    struct View {
        QString name;
        ViewFactory make;
    };

    QString field(int i) const;

    QStringList fields_;
    Factory factory_;
    int untitledCount_ = 0;
    std::vector<View> views_;
    QList<CommandSpec> commands_;
    QList<MenuSection> menu_;
};

}  // namespace kos
