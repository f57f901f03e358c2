// The polling worker of an online document.
#include "online/OnlineComm.h"

namespace kos {

namespace {

// How often a lost device is tried again.
constexpr int REOPEN_INTERVAL_MS = 1000;

constexpr const char* LOG_LINE_LOST = "\n%t Utracono połączenie z portem szeregowym %s.";
constexpr const char* LOG_LINE_BACK = "\n%t Ponownie otwarto port szeregowy %s.";

// The first used slot after `last`, going round once; -1 when every slot is empty.
int nextUsedSlot(const TarvelServerDoc& doc, int last) {
    for (int step = 1; step <= SLOT_COUNT; ++step) {
        const int i = (last + step) % SLOT_COUNT;
        if (doc.slots[i].logicalNumber != -1)
            return i;
    }
    return -1;
}

// The device went away (an unplugged adapter): every register is dropped and the same device
// is tried again about once a second, without registerLock, until it opens. False when the
// stop came first.
bool waitForLine(TarvelServerDoc& doc) {
    const std::string device = doc.link.devicePath();
    doc.link.close();
    disconnectAll(doc);
    doc.serverLog.print(LOG_LINE_LOST, device.c_str());
    doc.notifyLine(true, device);
    do {
        if (!doc.registerLock.sleepUnlessStopped(REOPEN_INTERVAL_MS))
            return false;
    } while (!doc.link.reopen());
    doc.serverLog.print(LOG_LINE_BACK, device.c_str());
    doc.notifyLine(false, device);
    return true;
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
        slot.poll(index, doc.pollContext());
        const int after = slot.connected;
        last = index;
        doc.registerLock.unlock();
        // Told outside the lock, so a listener may look at the register list.
        if (after != before)
            doc.notifyStatus(index, after);
        if (doc.link.lineLost() && !waitForLine(doc))
            return;
        locked = doc.registerLock.lockUnlessStopped();
    }
}

}  // namespace kos
