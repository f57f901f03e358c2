#include "online/ui/TarvelServerView.h"

#include <QHeaderView>
#include <mutex>

#include "online/RegisterListText.h"
#include "online/ui/AddRegistersDialog.h"
#include "online/ui/OnlineDocument.h"
#include "shell/Commands.h"
#include "shell/DocManager.h"

namespace kos {

namespace {

constexpr int SLOT_ROLE = Qt::UserRole;

QString statusText(int connected) {
    return QString::fromUtf8(connected ? TEXT_CONNECTED : TEXT_NOT_CONNECTED);
}

bool showAddDialog(QWidget* parent, QString& text) {
    AddRegistersDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.text();
    return true;
}

}  // namespace

TarvelServerView::TarvelServerView(OnlineDocument* doc, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), input_(showAddDialog) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(false);
    connect(doc_, &OnlineDocument::contentsReset, this, &TarvelServerView::refill);
    connect(this, &QTreeWidget::itemSelectionChanged, doc_, &UiDocument::commandStateChanged);
    refill();
    doc_->core().addStatusListener(this);
}

TarvelServerView::~TarvelServerView() {
    doc_->core().removeStatusListener(this);
}

void TarvelServerView::refill() {
    clear();
    setColumnCount(2);
    setHeaderLabels({QStringLiteral("Nr logiczny"), QStringLiteral("Status")});
    header()->resizeSection(0, 80);
    header()->resizeSection(1, 120);
    doc_->core().forEachUsedSlot([this](int i, const EcrOnLineComm& slot) {
        appendRow(slot.logicalNumber, slot.connected, i);
    });
}

QTreeWidgetItem* TarvelServerView::appendRow(int logicalNumber, int connected, int slotIndex) {
    auto* item = new QTreeWidgetItem(this);
    item->setText(0, QString::number(logicalNumber));
    item->setText(1, statusText(connected));
    item->setData(0, SLOT_ROLE, slotIndex);
    return item;
}

QTreeWidgetItem* TarvelServerView::rowOfSlot(int slotIndex) const {
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        if (item->data(0, SLOT_ROLE).toInt() == slotIndex)
            return item;
    }
    return nullptr;
}

void TarvelServerView::addRegisters(const QString& typed) {
    TarvelServerDoc& core = doc_->core();
    const std::vector<int> added =
        addRegistersFromText(core, typed.toStdString(), doc_->manager().context().prompt);
    // Only this thread changes the numbers, so they can be read without the lock.
    for (int slotIndex : added)
        appendRow(core.logicalNumberAt(slotIndex), 0, slotIndex);
    Q_EMIT doc_->commandStateChanged();
}

void TarvelServerView::removeSelected() {
    // Selected rows in list order.
    std::vector<QTreeWidgetItem*> rows;
    std::vector<int> slotIndices;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        if (item->isSelected()) {
            rows.push_back(item);
            slotIndices.push_back(item->data(0, SLOT_ROLE).toInt());
        }
    }
    if (rows.empty() ||
        !removeRegisters(doc_->core(), slotIndices, doc_->manager().context().prompt))
        return;
    for (QTreeWidgetItem* item : rows)
        delete item;
    Q_EMIT doc_->commandStateChanged();
}

void TarvelServerView::ecrStatusChanged(int slotIndex, int connected) {
    // Queued calls to one receiver run in the order they were posted.
    QMetaObject::invokeMethod(
        this, [this, slotIndex, connected] { setStatus(slotIndex, connected); },
        Qt::QueuedConnection);
}

void TarvelServerView::setStatus(int slotIndex, int connected) {
    if (connected != 0 && connected != 1)
        return;
    if (QTreeWidgetItem* item = rowOfSlot(slotIndex))
        item->setText(1, statusText(connected));
}

bool TarvelServerView::updateCommand(int id, CommandState& state) {
    switch (id) {
        case cmd::ADD:
            state.enabled = doc_->core().usedSlotCount() < SLOT_COUNT;
            return true;
        case cmd::DELETE:
            state.enabled = !selectedItems().isEmpty();
            return true;
    }
    return false;
}

bool TarvelServerView::runCommand(int id) {
    switch (id) {
        case cmd::ADD: {
            QString text;
            if (input_(this, text))
                addRegisters(text);
            return true;
        }
        case cmd::DELETE:
            removeSelected();
            return true;
    }
    return false;
}

}  // namespace kos
