// The polling worker of an online document.
#include "online/OnlineComm.h"

namespace kos {

namespace {

// The first used slot after `last`, going round once; -1 when every slot is empty.
int nextUsedSlot(const TarvelServerDoc& doc, int last) {
    for (int step = 1; step <= SLOT_COUNT; ++step) {
        const int i = (last + step) % SLOT_COUNT;
        if (doc.slots[i].logicalNumber != -1)
            return i;
    }
    return -1;
}

}  // namespace

void runOnlineWorker(TarvelServerDoc& doc) {
    if (!doc.link.isOpen())
        return;
    int last = SLOT_COUNT - 1;
    bool locked = doc.registerLock.lockUnlessStopped();
    while (locked) {
        const int index = nextUsedSlot(doc, last);
        if (index < 0) {
            // Nothing to poll: sleep until the register list changes or the stop comes,
            // rather than going round an empty list at full speed.
            locked = doc.registerLock.unlockAndWaitForChange();
            continue;
        }
        EcrOnLineComm& slot = doc.slots[index];
        const int before = slot.connected;
        slot.poll(index, doc);
        const int after = slot.connected;
        last = index;
        doc.registerLock.unlock();
        // Told outside the lock, so a listener may look at the register list.
        if (after != before)
            doc.notifyStatus(index, after);
        locked = doc.registerLock.lockUnlessStopped();
    }
}

}  // namespace kos
