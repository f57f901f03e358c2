#include "online/OnlineWorker.h"

#include "online/TarvelServerDoc.h"

namespace kos {

namespace {

// How often a lost device is tried again.
constexpr int REOPEN_INTERVAL_MS = 1000;

constexpr const char* LOG_LINE_LOST = "\n%t Utracono połączenie z portem szeregowym %s.";
constexpr const char* LOG_LINE_BACK = "\n%t Ponownie otwarto port szeregowy %s.";

// The device went away (an unplugged adapter): every register is dropped and the same device
// is tried again about once a second, without registerLock, until it opens. False when the
// stop came first.
bool waitForLine(TarvelServerDoc& doc) {
    TX310Comm& link = doc.link();
    const std::string device = link.devicePath();
    link.close();
    doc.disconnectAll();
    doc.serverLog().print(LOG_LINE_LOST, device.c_str());
    doc.notifyLine(true, device);
    do {
        if (!doc.sleepUnlessStopped(REOPEN_INTERVAL_MS))
            return false;
    } while (!link.reopen());
    doc.serverLog().print(LOG_LINE_BACK, device.c_str());
    doc.notifyLine(false, device);
    return true;
}

}  // namespace

void runOnlineWorker(TarvelServerDoc& doc) {
    if (!doc.link().isOpen())
        return;
    int last = SLOT_COUNT - 1;
    while (doc.pollNextSlot(last)) {
        if (doc.link().lineLost() && !waitForLine(doc))
            return;
    }
}

}  // namespace kos
