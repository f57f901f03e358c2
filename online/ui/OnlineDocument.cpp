#include "online/ui/OnlineDocument.h"

#include <QApplication>
#include <QGuiApplication>

#include "shell/Commands.h"
#include "shell/DocManager.h"
#include "online/OnlineComm.h"
#include "online/SalesExport.h"
#include "online/ui/OnlineCommands.h"

namespace kos {

namespace {

// Busy cursor for the life of the object.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

OnlineDocument::OnlineDocument(DocTemplate& docTemplate, DocManager& manager)
    : UiDocument(docTemplate, manager) {}

OnlineDocument::~OnlineDocument() {
    // Closing is refused while online; this only guards a program torn down regardless.
    if (core_.isOnline())
        stopOnline(core_, manager().context().prompt);
}

void OnlineDocument::setModified(bool modified) {
    core_.setModified(modified);
    Q_EMIT commandStateChanged();
}

bool OnlineDocument::onNewDocument() {
    core_.clear();
    Q_EMIT contentsReset();
    return true;
}

bool OnlineDocument::onOpenDocument(const QString& path) {
    const bool ok = core_.open(path.toStdString(), manager().context().prompt);
    Q_EMIT contentsReset();
    return ok;
}

bool OnlineDocument::onSaveDocument(const QString& path) {
    return core_.save(path.toStdString(), manager().context().prompt);
}

bool OnlineDocument::canCloseFrame() {
    if (!isOnline())
        return true;
    manager().context().prompt.message(TEXT_DOC_CLOSE_REFUSED, PromptIcon::None);
    return false;
}

bool OnlineDocument::onlineElsewhere() const {
    const TarvelServerDoc* running = communicatingDocument();
    return running && running != &core_;
}

bool OnlineDocument::updateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::FILE_SAVE:
            state.enabled = !isOnline() && isModified();
            return true;
        case cmd::FILE_SAVE_AS:
            state.enabled = !isOnline();
            return true;
        case cmd::ONLINE_TOGGLE: {
            // Pressed while this document is online; pressed and disabled while another is.
            const bool elsewhere = onlineElsewhere();
            state.checked = isOnline() || elsewhere;
            state.enabled = !elsewhere;
            return true;
        }
        case cmd::EXPORT_SALES:
        case cmd::EXPORT_SALES_RESET:
            state.enabled = true;
            return true;
    }
    return UiDocument::updateCommand(id, state);
}

bool OnlineDocument::runCommand(int id) {
    switch (id) {
        case cmd::ONLINE_TOGGLE:
            toggleOnline();
            return true;
        case cmd::EXPORT_SALES:
            exportSales(false);
            return true;
        case cmd::EXPORT_SALES_RESET:
            exportSales(true);
            return true;
    }
    return UiDocument::runCommand(id);
}

void OnlineDocument::toggleOnline() {
    {
        // Starting and stopping take a moment (port, directory scan, the poll in progress).
        BusyCursor busy;
        kos::toggleOnline(core_, manager().context().settings, manager().context().prompt);
    }
    Q_EMIT commandStateChanged();
}

void OnlineDocument::exportSales(bool reset) {
    SaveFileRequest request;
    request.defaultName = QStringLiteral("sprzedaz");
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Plik tekstowy (*.txt);;Wszystkie pliki (*.*)");
    const QString path =
        manager().context().files.saveFileName(QApplication::activeWindow(), request);
    if (path.isEmpty())
        return;
    kos::exportSales(core_, path.toStdString(), reset, manager().context().prompt);
    Q_EMIT commandStateChanged();
}

}  // namespace kos
