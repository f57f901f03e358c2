// The online document ("Praca OnLine", "*.dsr") in the window layer: file commands, the toggle
// of online communication, the sales export, and the refusals to close while online.
#pragma once

#include "online/TarvelServerDoc.h"
#include "shell/UiDocument.h"

namespace kos {

inline constexpr const char* TEXT_DOC_CLOSE_REFUSED =
    "Przed zamknięciem dokumentu należy zakończyć wyłączyć komunikację z kasami.";

class OnlineDocument : public UiDocument {
    Q_OBJECT
public:
    OnlineDocument(DocTemplate& docTemplate, DocManager& manager);
    ~OnlineDocument() override;

    TarvelServerDoc& core() { return core_; }
    bool isOnline() const { return core_.isOnline(); }

    bool isModified() const override { return core_.isModified(); }
    void setModified(bool modified) override;

    bool onNewDocument() override;
    bool onOpenDocument(const QString& path) override;
    bool onSaveDocument(const QString& path) override;
    bool canCloseFrame() override;
    bool keepsApplicationOpen() const override { return isOnline(); }

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

    void toggleOnline();
    void exportSales(bool reset);

Q_SIGNALS:
    // The document's contents were replaced: views rebuild their lists.
    void contentsReset();

private:
    // True when another online document of the program communicates.
    bool onlineElsewhere() const;

    TarvelServerDoc core_;
};

}  // namespace kos
