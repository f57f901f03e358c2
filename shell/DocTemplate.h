// A document type: its document string (title, filter, extension...) and how to make a document.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kos {

class DocManager;
class UiDocument;

class DocTemplate {
public:
    using Factory = std::function<UiDocument*(DocTemplate&, DocManager&)>;

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

private:
    QString field(int i) const;

    QStringList fields_;
    Factory factory_;
    int untitledCount_ = 0;
};

}  // namespace kos
