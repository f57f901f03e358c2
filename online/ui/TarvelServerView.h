// The register list of an online document: one row per register with its logical number and
// connection state; "Dodaj" adds registers typed as a comma list, "Usuń" removes the selected.
// The worker's status changes arrive on its thread and are re-posted to this one in order.
#pragma once

#include <QTreeWidget>
#include <functional>

#include "shell/CommandTarget.h"
#include "online/TarvelServerDoc.h"

namespace kos {

class OnlineDocument;

inline constexpr const char* TEXT_NOT_CONNECTED = "nie podłączona";
inline constexpr const char* TEXT_CONNECTED = "podłączona";

class TarvelServerView : public QTreeWidget, public CommandTarget, public EcrStatusListener {
    Q_OBJECT
public:
    // Shows the "Dodaj kasy" dialog; false when it is not confirmed.
    using RegisterInput = std::function<bool(QWidget* parent, QString& text)>;

    TarvelServerView(OnlineDocument* doc, QWidget* parent = nullptr);
    ~TarvelServerView() override;

    // Tests replace the dialog.
    void setRegisterInput(RegisterInput input) { input_ = std::move(input); }

    // Rebuilds the columns and rows from the document's slots.
    void refill();
    // Adds the registers of a comma list, stopping at the first error.
    void addRegisters(const QString& text);
    void removeSelected();
    // The row carrying this slot index, or none.
    QTreeWidgetItem* rowOfSlot(int slotIndex) const;

    bool updateCommand(int id, CommandState& state) override;
    bool runCommand(int id) override;

    // Worker thread: re-posted, in order, to setStatus on the window's thread.
    void ecrStatusChanged(int slotIndex, int connected) override;

public Q_SLOTS:
    void setStatus(int slotIndex, int connected);

private:
    QTreeWidgetItem* appendRow(int logicalNumber, int connected, int slotIndex);

    OnlineDocument* doc_;
    RegisterInput input_;
};

}  // namespace kos
