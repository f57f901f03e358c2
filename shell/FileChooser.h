// The common file dialogs, behind an interface so that tests can script the chosen names.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kos {

struct SaveFileRequest {
    QString defaultName;    // file name proposed in the dialog
    QString defaultSuffix;  // appended when the typed name has none ("txt")
    QString filter;         // Qt filter string: "Name (*.x);;All (*.*)"
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    // Asks before replacing an existing file; empty when the user cancels.
    virtual QString saveFileName(QWidget* parent, const SaveFileRequest& request) = 0;
    // The "Nowy" choice of a document type among names; -1 when the user cancels.
    virtual int chooseDocumentType(QWidget* parent, const QStringList& names) = 0;
};

class QtFileChooser final : public FileChooser {
public:
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const SaveFileRequest& request) override;
    int chooseDocumentType(QWidget* parent, const QStringList& names) override;
};

}  // namespace kos
